#include "standin/MouseInput.h"

namespace standin {

namespace {
INPUT MouseAt(POINT Screen, DWORD Flags) {
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT i{};
    i.type = INPUT_MOUSE;
    // Absolute coordinates run from 0 to 65535 across the primary screen.
    i.mi.dx = static_cast<LONG>((Screen.x * 65536 + w / 2) / w);
    i.mi.dy = static_cast<LONG>((Screen.y * 65536 + h / 2) / h);
    i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | Flags;
    return i;
}

POINT CursorNow() {
    POINT p{};
    ::GetCursorPos(&p);
    return p;
}
} // namespace

void MoveMouseTo(POINT Screen) {
    INPUT in = MouseAt(Screen, 0);
    ::SendInput(1, &in, sizeof(INPUT));
}

void PressButton(DWORD ButtonFlag) {
    INPUT in = MouseAt(CursorNow(), ButtonFlag);
    ::SendInput(1, &in, sizeof(INPUT));
}

void ClickAt(POINT Screen) {
    INPUT in[3] = {MouseAt(Screen, 0), MouseAt(Screen, MOUSEEVENTF_LEFTDOWN),
                   MouseAt(Screen, MOUSEEVENTF_LEFTUP)};
    ::SendInput(3, in, sizeof(INPUT));
}

} // namespace standin
