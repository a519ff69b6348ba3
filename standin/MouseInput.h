#pragma once
// Mouse input as the mouse makes it (SendInput), for tests and the desktop tour.
#include <windows.h>

namespace standin {

// Moves the cursor to a point of the screen.
void MoveMouseTo(POINT Screen);
// Presses (Down) or releases a button where the cursor is: MOUSEEVENTF_LEFTDOWN and so on.
void PressButton(DWORD ButtonFlag);
// A left-button click at a point of the screen: move there, press, release.
void ClickAt(POINT Screen);

} // namespace standin
