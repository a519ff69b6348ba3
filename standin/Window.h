#pragma once
// A window whose messages go to a C++ object. One window procedure serves every class
// registered here: it attaches the object at WM_NCCREATE (from lpCreateParams) and forwards
// every message to the object's OnMessage. The object owns its window: destroying the object
// destroys the window.
#include <windows.h>

#include <functional>

namespace standin {

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Hwnd() const { return hwnd_; }

    struct CreateArgs {
        const char* className = nullptr;
        const char* title = "";
        DWORD style = 0;
        DWORD exStyle = 0;
        int x = 0, y = 0, width = 0, height = 0;
        HWND parent = nullptr;
    };
    // Creates the window; raises EOSError when it cannot.
    void Create(const CreateArgs& args);
    void Destroy();

    // Registers a class served by this wrapper (once per name; later calls do nothing).
    static void Register(const char* name, UINT style = 0, HCURSOR cursor = nullptr);

protected:
    virtual LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // Answers WM_PAINT: paint(dc, client rectangle) between BeginPaint and EndPaint.
    template <typename Paint> LRESULT PaintClient(Paint&& paint) {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd_, &ps);
        RECT client;
        ::GetClientRect(hwnd_, &client);
        paint(dc, client);
        ::EndPaint(hwnd_, &ps);
        return 0;
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
};

// A window whose messages go to a function: the hidden control windows of larger objects.
class MessageWindow : public Window {
public:
    using Handler = std::function<LRESULT(UINT, WPARAM, LPARAM)>;
    explicit MessageWindow(Handler handler) : handler_(std::move(handler)) {}

protected:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        return handler_ ? handler_(msg, wParam, lParam) : Window::OnMessage(msg, wParam, lParam);
    }

private:
    Handler handler_;
};

} // namespace standin
