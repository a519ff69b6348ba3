#pragma once
// The stand-in taskbar's looks: the blue Windows XP ("Luna") bar, its green start button,
// the task buttons, the band gripper and the notification area with its clock.
#include <windows.h>

#include <commctrl.h>

#include <string>

namespace standin {

// The taskbar font (Tahoma 8 pt); owned by this unit.
HFONT TaskbarFont();

// Fills `r` (client coordinates of `wnd`) with the bar's background, continued across the
// whole bar `bar` (the Shell_TrayWnd) so that child windows line up with it.
void PaintBarBackground(HDC dc, HWND wnd, const RECT& r, HWND bar, bool vertical);
void PaintStartButton(HDC dc, const RECT& r);
void PaintGripper(HDC dc, const RECT& r, bool vertical);

struct TaskButtonLook {
    bool checked = false; // the active window's button
    bool hot = false;     // under the mouse
    bool pressed = false; // held down
    bool header = false;  // group header: a drop-down arrow at the right
};
void PaintTaskButton(HDC dc, const RECT& r, const TaskButtonLook& look, HIMAGELIST images,
                     int image, const std::string& text);

void PaintNotifyBackground(HDC dc, const RECT& r, bool vertical);
void PaintClock(HDC dc, const RECT& r);

} // namespace standin
