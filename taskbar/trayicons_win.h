#pragma once
// The shell's notification area as a toolbar: Shell_TrayWnd > TrayNotifyWnd > SysPager >
// ToolbarWindow32, one button per tray icon, whose dwData points to the shell's own record of
// the icon (its owner window first, pointer-sized, then the icon's id). Read out of the shell's
// process like the task-switch toolbar; moved with TB_MOVEBUTTON.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "taskbar/taskbuttons.h"

// 0 when any window of the chain is missing.
HWND FindTrayToolbar();

struct TTrayButton {
    int32_t Index = 0;    // position in the toolbar
    bool Visible = false; // shown (a hidden button has an empty rectangle)
    TRect Rect;           // toolbar client coordinates
    TWndHandle Wnd = 0;   // the icon's owner window
    uint32_t Uid = 0;     // the owner's id for the icon
};

// The buttons of the toolbar from position First on, in toolbar order; what was read before a
// failed transfer when the shell's memory cannot be read to the end; empty when it cannot be
// opened at all.
std::vector<TTrayButton> ReadTrayButtons(HWND Toolbar, int First = 0);
// The button at From taken out and put back at To (TB_MOVEBUTTON); false when the toolbar
// refused.
bool MoveTrayButton(HWND Toolbar, int32_t From, int32_t To);
