#include "standin/MouseInput.h"

namespace standin {

void ClickAt(POINT Screen) {
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT in[3] = {};
    for (INPUT& i : in) {
        i.type = INPUT_MOUSE;
        // Absolute coordinates run from 0 to 65535 across the primary screen.
        i.mi.dx = static_cast<LONG>((Screen.x * 65536 + w / 2) / w);
        i.mi.dy = static_cast<LONG>((Screen.y * 65536 + h / 2) / h);
        i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    }
    in[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    in[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    ::SendInput(3, in, sizeof(INPUT));
}

} // namespace standin
