#pragma once
// The mouse hook component's reading of one message of the hook library, on plain data.
// The library posts WM_USER + Code per mouse event; the low four bits of Code are those of
// the mouse message (0 move, 1 left down, 2 left up, 3 left double-click, 4 right down, ...
// 9 middle double-click), wParam holds x in its low and y in its high 16 bits, and lParam is
// the window under the cursor.
#include <cstdint>

#include "toolkit/Classes.h"

enum TQLX_MouseButtonMovement : uint8_t { bmDown = 0, bmUp = 1, bmDoubleClick = 2 };

struct TMouseHookEvent {
    bool Move = false; // a move, else a click
    std::intptr_t SourceWindow = 0;
    int32_t X = 0; // 0..65535: a negative coordinate arrives as 65536 plus it
    int32_t Y = 0;
    TMouseButton Button = TMouseButton::Left;   // clicks only
    TQLX_MouseButtonMovement Movement = bmDown; // clicks only
};

// Codes whose low four bits are 10..15 (no mouse message of the library's) read as clicks of
// the left button, with the movement (n - 1) mod 3.
TMouseHookEvent DecodeMouseHookMessage(int32_t Code, std::uintptr_t wParam, std::intptr_t lParam);

// Receives what one message stands for.
class TMouseHookSink {
public:
    virtual void Unfiltered(int32_t Code, int32_t wParam, int32_t lParam, bool& Handled) = 0;
    virtual void MouseMove(std::intptr_t sourceWindow, int32_t x, int32_t y) = 0;
    virtual void MouseClick(std::intptr_t sourceWindow, int32_t x, int32_t y, TMouseButton button,
                            TQLX_MouseButtonMovement movement) = 0;

protected:
    ~TMouseHookSink() = default;
};

// The message WM_USER + Code: Unfiltered sees it first, with the whole Code; unless that sets
// Handled, the decoded move or click follows. Allocates nothing.
void DispatchMouseHookMessage(int32_t Code, std::uintptr_t wParam, std::intptr_t lParam,
                              TMouseHookSink& Sink);
