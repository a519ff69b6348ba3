#pragma once
// The shell's taskbar as one object: the toolbar it reads and moves on, the guard against a
// snapshot inside a snapshot, the user's choice of the alternate move method, the maker of the
// memory manager in the shell's process and the source of the groups' icons. The program owns
// one; the forms and commands are handed it.
#include <windows.h>

#include <climits>
#include <functional>
#include <memory>
#include <optional>

#include "taskbar/Taskbar.h"
#include "taskbar/taskbuttons_win.h"

class TProcessMemMgr;

// Makes the memory manager for the toolbar's process; CreateProcessMemMgrForWindow by default.
using TMemMgrFactory = std::function<std::unique_ptr<TProcessMemMgr>(HWND Toolbar)>;

// A full snapshot asks for the icon of every group that has a visible button and whose second
// button has an image (ImageIndex >= 0), one group after the other, while the snapshot runs.
// The main window's icon channel (loader_hook_win.h) answers each request by drawing into
// Group.Icon before it returns. Group stays valid until the snapshot's list goes.
using TIconRequestHook = std::function<void(HWND Toolbar, TGrupButtons& Group, int32_t ImageIndex)>;

class TTaskbar;

// A snapshot taken in steps: the buttons a batch at a time, then the icon requests a few at a
// time, so that a caller reading a large taskbar handles its messages between the steps.
// Made by TTaskbar::BeginSnapshot; the taskbar must outlive it. The toolbar may change between
// the steps: the snapshot then mixes what it read before and after, as a later look shows.
class TSnapshotSteps {
public:
    // A step reads at most ButtonsPerStep buttons before it looks at its deadline.
    TSnapshotSteps(TTaskbar& Taskbar, bool Light, int ButtonsPerStep = INT_MAX);
    ~TSnapshotSteps();
    TSnapshotSteps(const TSnapshotSteps&) = delete;
    TSnapshotSteps& operator=(const TSnapshotSteps&) = delete;

    // Runs on until Deadline has passed (at least one part: a few buttons or an icon request,
    // unless a snapshot of the taskbar's own runs meanwhile); true once the snapshot is
    // complete.
    bool Run(const TStepDeadline& Deadline);
    bool Done() const { return Phase_ == TPhase::Done; }
    // False when there was no toolbar or its button count did not settle: the snapshot is
    // empty.
    bool Found() const { return Toolbar_ != nullptr; }
    // The cross-process calls spent so far (an icon request counts two: it and its reply).
    uint32_t Calls() const;
    // Once Done: the groups, and the window of the pressed button (0 when none or Light).
    TGroupList TakeGroups() { return std::move(Groups_); }
    HWND ActiveWnd() const { return ActiveWnd_; }

private:
    enum class TPhase { Reading, Icons, Done };
    void FinishReading();
    // Sends one icon request; false when none is left.
    bool RequestNextIcon();

    TTaskbar& Taskbar_;
    bool Light_;
    int ButtonsPerStep_;
    TPhase Phase_ = TPhase::Done;
    HWND Toolbar_ = nullptr;
    std::unique_ptr<TProcessMemMgr> Mem_;
    std::unique_ptr<TToolbarReading> Reading_;
    TToolbarCalls ReadCalls_;
    uint32_t IconCalls_ = 0;
    std::vector<TIconRequest> Requests_;
    std::size_t NextRequest_ = 0;
    TGroupList Groups_;
    HWND ActiveWnd_ = nullptr;
};

class TTaskbar : public ITaskbar {
public:
    TTaskbar();

    // --- What the owner sets up -----------------------------------------------------------
    // Whether the user chose the alternate method for every move; asked at each move. Unset
    // means no.
    std::function<bool()> AlternateMoveChosen;
    // Test seam: the memory manager for the toolbar's process.
    TMemMgrFactory MemMgrFactory;
    // The icon requests of full snapshots; when unset, SendIconRequest to IconReplyWnd.
    TIconRequestHook OnIconRequest;
    HWND IconReplyWnd = nullptr;

    // The toolbar the drag tracking found at its last click; the direct moves send to it
    // while it is a window, and look the toolbar up themselves otherwise.
    void SetToolbar(HWND Toolbar) { Toolbar_ = Toolbar; }
    // True while a snapshot runs; a nested snapshot gives nothing.
    bool Reading() const { return Reading_; }
    // A full or light snapshot taken in steps (see TSnapshotSteps); Snapshot takes it at once.
    std::unique_ptr<TSnapshotSteps> BeginSnapshot(bool Light, int ButtonsPerStep);

    // --- ITaskbar ---------------------------------------------------------------------------
    TGroupList Snapshot(bool Light, TWndHandle* Active = nullptr) override;
    bool MoveGroup(const TGroupId& Moving, const std::optional<TGroupId>& Before) override;
    bool MoveGroupIn(TGroupList& Groups, const TGroupId& Moving,
                     const std::optional<TGroupId>& Before) override;

    // --- Moves by position (taskbar/taskmove.h) on a full snapshot taken just before ----------
    // Moves the group at FromIndex in front of the group at ToIndex. The reshowing method
    // replaces Groups with a fresh snapshot. True when the move was carried out; false when it
    // was refused (nothing sent, nothing hidden) or did not complete.
    bool MoveTaskButton(int32_t FromIndex, int32_t ToIndex, TGroupList& Groups);
    // Moves every button of the group at FromIndex in front of the group at ToIndex with one
    // TB_MOVEBUTTON per button. False, sending nothing, when there is nothing to move or no
    // toolbar; true once the messages are sent.
    bool MoveDirect(int32_t FromIndex, int32_t ToIndex, TGroupList& Groups);
    // Takes a fresh full snapshot into Groups, hides the windows of every group from the lower
    // position on and shows them again in the new order; then brings back to the front the
    // window of the pressed button (or else the desktop's top window). True when every hidden
    // window came back visible.
    bool MoveByReshowing(int32_t FromIndex, int32_t ToIndex, TGroupList& Groups);

private:
    friend class TSnapshotSteps;
    // Reads into Groups; false (Groups untouched) when nothing could be read.
    bool Read(bool Light, TGroupList& Groups, HWND& ActiveWnd);
    TButtonList ReadButtons(HWND Toolbar, int Count, bool Light);
    HWND MoveTarget() const;
    // Waits until the shell shows the buttons of Shown in that order, so that whatever reads
    // the taskbar after a reshowing (the list, the lasting order, the next move) reads its
    // result. A shell learns of shown windows after the fact.
    void WaitForShellToShow(const std::vector<TWndHandle>& Shown);

    HWND Toolbar_ = nullptr;
    bool Reading_ = false;
};
