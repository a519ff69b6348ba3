#include "standin/Window.h"

#include "toolkit/Utf8_win.h"
#include "toolkit/WinErrors.h"

namespace standin {

Window::~Window() {
    Destroy();
}

void Window::Destroy() {
    if (hwnd_) {
        HWND h = hwnd_;
        ::DestroyWindow(h); // WM_NCDESTROY clears hwnd_
        hwnd_ = nullptr;
    }
}

void Window::Register(const char* name, UINT style, HCURSOR cursor) {
    // Unicode windows, so that their titles hold any script.
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    const std::wstring className = WideText(name);
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof existing;
    if (::GetClassInfoExW(instance, className.c_str(), &existing) && existing.lpfnWndProc == Proc)
        return;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = cursor ? cursor : ::LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = className.c_str();
    if (!::RegisterClassExW(&wc))
        RaiseLastOSError();
}

void Window::Create(const CreateArgs& a) {
    HWND h = ::CreateWindowExW(a.exStyle, WideText(a.className).c_str(), WideText(a.title).c_str(),
                               a.style, a.x, a.y, a.width, a.height, a.parent, nullptr,
                               ::GetModuleHandleA(nullptr), this);
    if (!h)
        RaiseLastOSError();
}

LRESULT Window::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* self;
    if (msg == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Window*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!self)
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    LRESULT result = self->OnMessage(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

} // namespace standin
