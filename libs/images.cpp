// The icon library. Its hook in the shell comes with the icon channel; until then it does
// not start, and the program runs without group icons.
#include <windows.h>

extern "C" {
__declspec(dllexport) DWORD WINAPI StartHook() { return 0; }
__declspec(dllexport) BOOL WINAPI StopHook() { return TRUE; }
}
