#pragma once
// The shell's taskbar as one object: the toolbar it reads and moves on, the guard against a
// snapshot inside a snapshot, the user's choice of the alternate move method, the maker of the
// memory manager in the shell's process and the source of the groups' icons. The program owns
// one; the forms and commands are handed it.
#include <windows.h>

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

    // --- ITaskbar ---------------------------------------------------------------------------
    TGroupList Snapshot(bool Light, TWndHandle* Active = nullptr) override;
    bool MoveGroup(const TGroupId& Moving, const std::optional<TGroupId>& Before) override;

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
