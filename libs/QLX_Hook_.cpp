// The mouse-hook library. Its hook comes with the drag-and-drop work; until then it
// refuses every receiver, so the program runs without drag and drop.
#include <windows.h>

extern "C" {
__declspec(dllexport) LONG WINAPI AttachReceiver(DWORD, HWND, DWORD) { return -2; }
__declspec(dllexport) LONG WINAPI DetachReceiver(HWND) { return 0; }
__declspec(dllexport) LONG WINAPI LastError() { return 0; }
}
