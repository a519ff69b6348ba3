// Broken stand-ins for images.dll, for the loader's tests: FAKE_START and FAKE_STOP are the
// results of StartHook and StopHook; without FAKE_STOP the library lacks StopHook.
#include <windows.h>

extern "C" {
__declspec(dllexport) DWORD WINAPI StartHook() {
    return FAKE_START;
}
#ifdef FAKE_STOP
__declspec(dllexport) BOOL WINAPI StopHook() {
    return FAKE_STOP;
}
#endif
}
