#pragma once
// Mouse input as the mouse makes it (SendInput), for tests and the desktop tour.
#include <windows.h>

namespace standin {

// A left-button click at a point of the screen: move there, press, release.
void ClickAt(POINT Screen);
// The same with the right button.
void RightClickAt(POINT Screen);
// Two left-button clicks in quick succession at a point: a double click.
void DoubleClickAt(POINT Screen);

} // namespace standin
