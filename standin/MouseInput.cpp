#include "standin/MouseInput.h"

namespace standin {

namespace {

INPUT MouseInput(DWORD Flags) {
    INPUT i = {};
    i.type = INPUT_MOUSE;
    i.mi.dwFlags = Flags;
    return i;
}

INPUT MoveInput(POINT Screen) {
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT i = MouseInput(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE);
    // Absolute coordinates run from 0 to 65535 across the primary screen.
    i.mi.dx = static_cast<LONG>((Screen.x * 65536 + w / 2) / w);
    i.mi.dy = static_cast<LONG>((Screen.y * 65536 + h / 2) / h);
    return i;
}

} // namespace

void ClickAt(POINT Screen) {
    INPUT in[3] = {MoveInput(Screen), MoveInput(Screen), MoveInput(Screen)};
    in[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    in[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    ::SendInput(3, in, sizeof(INPUT));
}

void MoveTo(POINT Screen) {
    INPUT i = MoveInput(Screen);
    ::SendInput(1, &i, sizeof(INPUT));
}

void PressButtons(DWORD ButtonFlags) {
    INPUT i = MouseInput(ButtonFlags);
    ::SendInput(1, &i, sizeof(INPUT));
}

} // namespace standin
