#pragma once
// Closing a window by a middle click on its taskbar button, decided on plain data: the press
// and the release must land on the same window button; a collapsed group's header closes
// nothing (it stands for a whole group of windows).
#include <optional>

#include "dragdrop/DropPosition.h"
#include "taskbar/taskbuttons.h"

// The visible button whose rectangle holds P (toolbar client coordinates); null when none.
const TTaskButton* TaskButtonAt(const TButtonList& Buttons, TPoint P);

class TMiddleClick {
public:
    // The middle button went down on Hit (null: not on a taskbar button).
    void Press(const TTaskButton* Hit);
    // Another button went down, or the press ended somewhere else: no close follows.
    void Cancel() { Pressed_.reset(); }
    // The middle button came up on Hit: the window to close, or 0 when nothing closes (the
    // option off, no press before, another button, a group header, a button without window).
    TWndHandle Release(const TTaskButton* Hit, bool Enabled);

private:
    struct TPressed {
        int32_t CommandId;
        TWndHandle Wnd;
    };
    std::optional<TPressed> Pressed_;
};
