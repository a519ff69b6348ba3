#include "standin/MouseInput.h"

#include <initializer_list>
#include <vector>

namespace standin {

namespace {
// Moves to the point, then sends one event per button flag there, in one go.
void ButtonsAt(POINT Screen, std::initializer_list<DWORD> Buttons) {
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    std::vector<INPUT> in(Buttons.size() + 1);
    for (INPUT& i : in) {
        i.type = INPUT_MOUSE;
        // Absolute coordinates run from 0 to 65535 across the primary screen.
        i.mi.dx = static_cast<LONG>((Screen.x * 65536 + w / 2) / w);
        i.mi.dy = static_cast<LONG>((Screen.y * 65536 + h / 2) / h);
        i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    }
    std::size_t n = 1;
    for (DWORD b : Buttons)
        in[n++].mi.dwFlags |= b;
    ::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

POINT CursorNow() {
    POINT p{};
    ::GetCursorPos(&p);
    return p;
}
} // namespace

void MoveMouseTo(POINT Screen) {
    ButtonsAt(Screen, {});
}

void PressButton(DWORD ButtonFlag) {
    ButtonsAt(CursorNow(), {ButtonFlag});
}

void MouseAt(POINT Screen, DWORD ButtonFlag) {
    if (ButtonFlag == 0)
        ButtonsAt(Screen, {});
    else
        ButtonsAt(Screen, {ButtonFlag});
}

void ClickAt(POINT Screen) {
    ButtonsAt(Screen, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
}

void RightClickAt(POINT Screen) {
    ButtonsAt(Screen, {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP});
}

void DoubleClickAt(POINT Screen) {
    ButtonsAt(Screen,
              {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
}

} // namespace standin
