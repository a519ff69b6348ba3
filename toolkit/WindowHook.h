#pragma once
// TWindowHook: watches the messages of a window of this process that belongs to someone else
// (the application's hidden window, a form), without changing how the window answers them.
// The window's procedure is replaced once, by the first hook; every hook on the window sees
// each message, in the order the hooks were made, before the window's own procedure does,
// and the own procedure comes back when the last hook goes.
#include <windows.h>

#include <functional>

class TWindowHook {
public:
    using THandler = std::function<void(UINT Msg, WPARAM WParam, LPARAM LParam)>;

    // Wnd must live longer than the hook.
    TWindowHook(HWND Wnd, THandler Handler);
    ~TWindowHook();
    TWindowHook(const TWindowHook&) = delete;
    TWindowHook& operator=(const TWindowHook&) = delete;

    HWND Window() const { return Wnd_; }

private:
    struct TChain;
    static LRESULT CALLBACK HookProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

    HWND Wnd_;
    THandler Handler_;
};
