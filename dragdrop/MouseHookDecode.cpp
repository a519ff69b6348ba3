#include "dragdrop/MouseHookDecode.h"

TMouseHookEvent DecodeMouseHookMessage(int32_t Code, std::uintptr_t wParam, std::intptr_t lParam) {
    TMouseHookEvent e;
    e.SourceWindow = lParam;
    e.X = static_cast<int32_t>(wParam & 0xFFFF);
    e.Y = static_cast<int32_t>((wParam >> 16) & 0xFFFF);
    const int32_t n = Code & 0x0F;
    if (n == 0) {
        e.Move = true;
        return e;
    }
    const int32_t k = n - 1;
    switch (k / 3) {
    case 1:
        e.Button = TMouseButton::Right;
        break;
    case 2:
        e.Button = TMouseButton::Middle;
        break;
    default:
        e.Button = TMouseButton::Left;
        break;
    }
    e.Movement = static_cast<TQLX_MouseButtonMovement>(k % 3);
    return e;
}

void DispatchMouseHookMessage(int32_t Code, std::uintptr_t wParam, std::intptr_t lParam,
                              TMouseHookSink& Sink) {
    bool Handled = false;
    Sink.Unfiltered(Code, static_cast<int32_t>(wParam), static_cast<int32_t>(lParam), Handled);
    if (Handled)
        return;
    const TMouseHookEvent e = DecodeMouseHookMessage(Code, wParam, lParam);
    if (e.Move)
        Sink.MouseMove(e.SourceWindow, e.X, e.Y);
    else
        Sink.MouseClick(e.SourceWindow, e.X, e.Y, e.Button, e.Movement);
}
