#include "dragdrop/MiddleClick_win.h"

#include <commctrl.h>

#include <memory>

#include "taskbar/taskbuttons_win.h"
#include "taskbar/uProcessMemMgr.h"

namespace {
// The toolbar's buttons with their windows; empty when the shell cannot be read.
TButtonList ReadButtonsWithWindows(HWND Toolbar) {
    const int count = static_cast<int>(::SendMessageW(Toolbar, TB_BUTTONCOUNT, 0, 0));
    if (count <= 0)
        return {};
    try {
        const std::unique_ptr<TProcessMemMgr> mem = CreateProcessMemMgrForWindow(Toolbar);
        return ReadToolbarButtons(Toolbar, count, false, *mem);
    } catch (const std::exception&) {
        return {};
    }
}
} // namespace

bool TMiddleClickClose::Click(HWND Source, TQLX_MouseButtonMovement Movement, TPoint P,
                              bool Enabled) {
    if (Movement == bmDoubleClick)
        return false;
    const HWND toolbar = FindTaskbarToolbar();
    TButtonList buttons;
    const TTaskButton* hit = nullptr;
    // Only a press or release on the toolbar itself is looked at, and only while the option is
    // on: a middle click anywhere else is left alone and costs nothing.
    if (Enabled && toolbar != nullptr && Source == toolbar) {
        buttons = ReadButtonsWithWindows(toolbar);
        POINT client{P.X, P.Y};
        ::ScreenToClient(toolbar, &client);
        hit = TaskButtonAt(buttons, {client.x, client.y});
    }
    if (Movement == bmDown) {
        Decision_.Press(hit);
        return false;
    }
    const TWndHandle wnd = Decision_.Release(hit, Enabled);
    // Posted: a program that does not answer cannot hold this one up.
    return wnd != 0 && ::PostMessageW(ToHWND(wnd), WM_SYSCOMMAND, SC_CLOSE, 0) != FALSE;
}
