// Test partner for the memory managers: another process with one window, idle until it is
// killed. memchild.exe <window title> <ready event name>: the event is set once the window
// exists.
#include <windows.h>

#include <cstring>

namespace {
LRESULT CALLBACK ChildWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    return ::DefWindowProcA(Wnd, Msg, WParam, LParam);
}
} // namespace

int WINAPI WinMain(HINSTANCE Instance, HINSTANCE, LPSTR, int) {
    if (__argc < 3)
        return 2;
    WNDCLASSA cls{};
    cls.lpfnWndProc = ChildWndProc;
    cls.hInstance = Instance;
    cls.lpszClassName = "ZvMemChild";
    if (!::RegisterClassA(&cls))
        return 3;
    HWND wnd = ::CreateWindowExA(0, cls.lpszClassName, __argv[1], WS_OVERLAPPED, 0, 0, 100, 100,
                                 nullptr, nullptr, Instance, nullptr);
    if (!wnd)
        return 4;
    HANDLE ready = ::OpenEventA(EVENT_MODIFY_STATE, FALSE, __argv[2]);
    if (!ready)
        return 5;
    ::SetEvent(ready);
    ::CloseHandle(ready);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
        ::DispatchMessageA(&msg);
    return 0;
}
