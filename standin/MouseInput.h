#pragma once
// Mouse input as the mouse makes it (SendInput), for tests and the desktop tour.
#include <windows.h>

namespace standin {

// A left-button click at a point of the screen: move there, press, release.
void ClickAt(POINT Screen);
// One step of a drag: the mouse moves to a point of the screen and then does what
// ButtonFlags says there (MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, or 0 for nothing more).
void MouseAt(POINT Screen, DWORD ButtonFlags);

} // namespace standin
