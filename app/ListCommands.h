#pragma once
// The list's commands on plain data: the rows of a refresh, Up and Down, the move keys, and
// hiding and showing a group through its row's check box, with the groups the user hid. They
// work on a taskbar (ITaskbar) and on the user's windows (IUserWindows), so that the unit
// tests put fakes in their place; the main window only carries the results into its controls.
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/TaskRows.h"
#include "taskbar/Taskbar.h"

// What the commands do to the user's windows.
class IUserWindows {
public:
    virtual ~IUserWindows() = default;
    virtual bool IsShown(TWndHandle Wnd) = 0;
    virtual void Hide(TWndHandle Wnd) = 0;
    // Shows the window without activating it.
    virtual void Show(TWndHandle Wnd) = 0;
    virtual TWndHandle Foreground() = 0;
    virtual void SetForeground(TWndHandle Wnd) = 0;
};

// Where the hidden windows are recorded for a later start (after a crash, say).
class IHiddenRecord {
public:
    virtual ~IHiddenRecord() = default;
    virtual void Add(const std::vector<TWndHandle>& Windows) = 0;
    virtual void Remove(const std::vector<TWndHandle>& Windows) = 0;
};

// The groups the user has hidden, with their windows (hidden while they are here), in the
// order they were hidden. Each is recorded before its windows are hidden, so that none is
// ever lost, and leaves the record when its windows are shown.
class THiddenGroups {
public:
    explicit THiddenGroups(IHiddenRecord* Record = nullptr) : Record_(Record) {}
    void SetRecord(IHiddenRecord* Record) { Record_ = Record; }

    const TGroupList& Groups() const { return Groups_; }
    // Takes Group over, records its windows and hides them.
    void Hide(std::unique_ptr<TGrupButtons> Group, IUserWindows& Windows);
    // Shows the windows of the hidden group Id again (no activation) and lets it go; false
    // when no hidden group matches Id.
    bool Show(const TGroupId& Id, IUserWindows& Windows);
    // A window that its program has shown again by itself leaves its group and the record (its
    // button is on the taskbar again); a group left without windows goes. The windows that
    // left.
    std::vector<TWndHandle> ForgetShownByTheirPrograms(IUserWindows& Windows);

private:
    IHiddenRecord* Record_;
    TGroupList Groups_;
};

// A refresh's rows, and the snapshot their icons belong to.
struct TListRows {
    TGroupList Snapshot;
    std::vector<TListRow> Rows;
};

class TListCommands {
public:
    TListCommands(ITaskbar& Taskbar, THiddenGroups& Hidden, IUserWindows& Windows)
        : Taskbar_(Taskbar), Hidden_(Hidden), Windows_(Windows) {}

    // Raised after every move the user made (Up, Down, a move key).
    std::function<void()> OnMoved;

    // The rows from a fresh snapshot and the hidden groups; windows shown again by their
    // programs have left the hidden groups first.
    TListRows Rows();
    // The same from a full snapshot taken meanwhile (the list's refresh takes it in steps).
    TListRows RowsFrom(TGroupList Snapshot);
    // Up (Step -1) or Down (1) on the row of Group: it goes in front of the listed group above,
    // or behind the one below. True when it moved.
    bool Move(const TGroupId& Group, int Step);
    // The move keys: the listed group of window Wnd (or, for a window without a button, of
    // Owner, the window that owns it) one place left (Step -1) or right (1); nothing at either
    // end.
    bool MoveGroupOfWindow(TWndHandle Wnd, TWndHandle Owner, int Step);
    // A row's check box: unchecked hides the group's windows (the group joins the hidden
    // groups); checked shows a hidden group's windows again. The window in front stays there,
    // unless it was just hidden.
    void SetChecked(const TGroupId& Group, bool Checked);

private:
    ITaskbar& Taskbar_;
    THiddenGroups& Hidden_;
    IUserWindows& Windows_;
};
