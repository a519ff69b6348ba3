// Test partner for the memory managers: another process with one window, idle until it is
// killed. memchild.exe <window title>.
#include <windows.h>

namespace {
LRESULT CALLBACK ChildWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    return ::DefWindowProcA(Wnd, Msg, WParam, LParam);
}
} // namespace

int WINAPI WinMain(HINSTANCE Instance, HINSTANCE, LPSTR, int) {
    if (__argc < 2)
        return 2;
    WNDCLASSA cls{};
    cls.lpfnWndProc = ChildWndProc;
    cls.hInstance = Instance;
    cls.lpszClassName = "ZvMemChild";
    if (!::RegisterClassA(&cls))
        return 3;
    if (!::CreateWindowExA(0, cls.lpszClassName, __argv[1], WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                           nullptr, Instance, nullptr))
        return 4;
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
        ::DispatchMessageA(&msg);
    return 0;
}
