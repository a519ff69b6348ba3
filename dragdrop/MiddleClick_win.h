#pragma once
// The Win32 half of closing a window by a middle click on its taskbar button: reads the
// task-switch toolbar's buttons at the press and at the release and posts the close request
// (WM_SYSCOMMAND, SC_CLOSE, as the taskbar's own Close command) when TMiddleClick says so.
#include <windows.h>

#include "dragdrop/MiddleClick.h"
#include "dragdrop/MouseHookDecode.h"

class TMiddleClickClose {
public:
    // A middle button event the hook reported at screen point P over the window Source.
    // Enabled: the user's option. True when a close request was posted.
    bool Click(HWND Source, TQLX_MouseButtonMovement Movement, TPoint P, bool Enabled);
    // Another mouse button went down.
    void Cancel() { Decision_.Cancel(); }

private:
    TMiddleClick Decision_;
};
