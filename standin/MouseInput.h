#pragma once
// Mouse input as the mouse makes it (SendInput), for tests and the desktop tour.
#include <windows.h>

namespace standin {

// A left-button click at a point of the screen: move there, press, release.
void ClickAt(POINT Screen);
// A move of the mouse to a point of the screen.
void MoveTo(POINT Screen);
// Presses or releases buttons where the mouse is: MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_RIGHTUP, ...
void PressButtons(DWORD ButtonFlags);

} // namespace standin
