#pragma once
// Mouse input as the mouse makes it (SendInput), for tests and the desktop tour.
#include <windows.h>

namespace standin {

// Moves the cursor to a point of the screen.
void MoveMouseTo(POINT Screen);
// Presses or releases a button where the cursor is: MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_RIGHTUP...
void PressButton(DWORD ButtonFlag);
// One step of a drag: the mouse moves to a point of the screen and then does what ButtonFlag
// says there (MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, or 0 for nothing more).
void MouseAt(POINT Screen, DWORD ButtonFlag);
// A left-button click at a point of the screen: move there, press, release.
void ClickAt(POINT Screen);
// The same with the right button.
void RightClickAt(POINT Screen);
// Two left-button clicks in quick succession at a point: a double click.
void DoubleClickAt(POINT Screen);

} // namespace standin
