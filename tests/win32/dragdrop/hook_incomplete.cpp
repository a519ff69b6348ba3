// A hook library that lacks LastError: the loader must refuse it and free it again.
#include <windows.h>

#include <cstdint>

extern "C" {
__declspec(dllexport) int32_t WINAPI AttachReceiver(uint32_t, uint32_t, uint32_t) {
    return 0;
}
__declspec(dllexport) int32_t WINAPI DetachReceiver(uint32_t) {
    return 0;
}
}
