#pragma once
// The taskbar as the program's commands see it: snapshots that the caller owns, and moves of
// groups named by their identity. TTaskbar (taskbar/Taskbar_win.h) is the shell's taskbar;
// the unit tests of the commands put a fake in its place.
#include <optional>

#include "taskbar/taskbuttons.h"

class ITaskbar {
public:
    virtual ~ITaskbar() = default;
    // A new snapshot of the taskbar's groups, in taskbar order. Active (when given) receives
    // the window of the pressed button (0 when none, always 0 for a light snapshot). Empty when
    // there is no taskbar, a snapshot is under way already, or the button count does not
    // settle.
    virtual TGroupList Snapshot(bool Light, TWndHandle* Active = nullptr) = 0;
    // Moves the group Moving in front of the group Before, or behind every group when Before
    // is absent. The positions are taken from a fresh snapshot; false when either group is
    // not found there or the move is refused or does not complete.
    virtual bool MoveGroup(const TGroupId& Moving, const std::optional<TGroupId>& Before) = 0;
    // The same on Groups, a full snapshot the caller took just before (no message handled
    // since), which saves the move a second reading; the move may replace it.
    virtual bool MoveGroupIn(TGroupList& Groups, const TGroupId& Moving,
                             const std::optional<TGroupId>& Before) {
        (void)Groups;
        return MoveGroup(Moving, Before);
    }
};
