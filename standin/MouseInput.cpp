#include "standin/MouseInput.h"

namespace standin {
namespace {
// A move to Screen, in the absolute coordinates of SendInput (0 to 65535 across the primary
// screen), followed by ButtonFlags.
INPUT MoveTo(POINT Screen, DWORD ButtonFlags) {
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT i{};
    i.type = INPUT_MOUSE;
    i.mi.dx = static_cast<LONG>((Screen.x * 65536 + w / 2) / w);
    i.mi.dy = static_cast<LONG>((Screen.y * 65536 + h / 2) / h);
    i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | ButtonFlags;
    return i;
}
} // namespace

void ClickAt(POINT Screen) {
    INPUT in[3] = {MoveTo(Screen, 0), MoveTo(Screen, MOUSEEVENTF_LEFTDOWN),
                   MoveTo(Screen, MOUSEEVENTF_LEFTUP)};
    ::SendInput(3, in, sizeof(INPUT));
}

void MouseAt(POINT Screen, DWORD ButtonFlags) {
    INPUT in[2] = {MoveTo(Screen, 0), MoveTo(Screen, ButtonFlags)};
    ::SendInput(ButtonFlags ? 2 : 1, in, sizeof(INPUT));
}

} // namespace standin
