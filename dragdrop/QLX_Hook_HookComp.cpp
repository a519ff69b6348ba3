#include "dragdrop/QLX_Hook_HookComp.h"

#include "dragdrop/QLX_Hook_HookCommon.h"
#include "dragdrop/QLX_Hook_HookLoader.h"
#include "toolkit/Forms.h"

namespace {
const char kListenClass[] = "TQLX_Hook_HookListener";
} // namespace

TQLX_Hook_Hook::TQLX_Hook_Hook(TComponent* Owner, std::string Name)
    : TComponent(Owner, std::move(Name)) {}

TQLX_Hook_Hook::~TQLX_Hook_Hook() {
    Deactivate();
}

std::string TQLX_Hook_Hook::DisplayName() const {
    return Name().empty() ? "TQLX_Hook_Hook" : Name();
}

void TQLX_Hook_Hook::SetHookDLL(const std::string& Value) {
    if (Active_) {
        ::MessageBoxA(nullptr, "DLL name cannot be set while hook is active!",
                      DisplayName().c_str(), MB_ICONERROR);
        return;
    }
    HookDLL_ = Value;
}

std::string TQLX_Hook_Hook::Activate() {
    if (Active_)
        return {};
    if (HookDLL_.empty())
        return "Cannot activate hook because DLL name is not set.";
    if (const int32_t loaded = LoadHookLibrary(HookDLL_))
        return HookErrorText(loaded);
    // From here on a failure keeps the library reference: a later Activate takes another one
    // on the same library, and the process's end gives them back.
    if (!CreateListenWindow())
        return "Failed to create listening window.";
    if (const int32_t attached =
            THookLibrary::Instance().AttachReceiver(HookKind(), ListenWindow_.get(), HookOption)) {
        ListenWindow_.reset();
        return HookErrorText(attached);
    }
    Active_ = true;
    return {};
}

void TQLX_Hook_Hook::Deactivate() {
    if (!Active_)
        return;
    // The library drops a receiver whose window is gone; DetachReceiver is not needed.
    ListenWindow_.reset();
    UnloadHookLibrary();
    Active_ = false;
}

void TQLX_Hook_Hook::DoUnfiltered(int32_t Code, int32_t wParam, int32_t lParam, bool& Handled) {
    Fire(OnUnfiltered, this, Code, wParam, lParam, Handled);
}

bool TQLX_Hook_Hook::CreateListenWindow() {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (!::GetClassInfoExA(instance, kListenClass, &wc)) {
        wc = WNDCLASSEXA{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &TQLX_Hook_Hook::ListenWndProc;
        wc.hInstance = instance;
        wc.lpszClassName = kListenClass;
        if (!::RegisterClassExA(&wc))
            return false;
    }
    ListenWindow_.reset(::CreateWindowExA(0, kListenClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                          instance, this));
    return static_cast<bool>(ListenWindow_);
}

LRESULT CALLBACK TQLX_Hook_Hook::ListenWndProc(HWND Wnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (Msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(Wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TQLX_Hook_Hook*>(::GetWindowLongPtrA(Wnd, GWLP_USERDATA));
    if (!self || !IsHookMessage(Msg))
        return ::DefWindowProcA(Wnd, Msg, wParam, lParam);
    try {
        return self->HookMessage(Msg, wParam, lParam);
    } catch (...) {
        HandleException(self);
        return 0;
    }
}

TQLX_MouseHook::~TQLX_MouseHook() {
    // Before the base destructor: no message may reach HookMessage of a half-destroyed object.
    Deactivate();
}

std::string TQLX_MouseHook::DisplayName() const {
    return Name().empty() ? "TQLX_MouseHook" : Name();
}

LRESULT TQLX_MouseHook::HookMessage(UINT Msg, WPARAM wParam, LPARAM lParam) {
    struct Sink final : TMouseHookSink {
        explicit Sink(TQLX_MouseHook& Hook) : Hook_(Hook) {}
        void Unfiltered(int32_t Code, int32_t W, int32_t L, bool& Handled) override {
            Hook_.DoUnfiltered(Code, W, L, Handled);
        }
        void MouseMove(std::intptr_t Source, int32_t x, int32_t y) override {
            Hook_.DoMouseMove(Source, x, y);
        }
        void MouseClick(std::intptr_t Source, int32_t x, int32_t y, TMouseButton button,
                        TQLX_MouseButtonMovement movement) override {
            Hook_.DoMouseClick(Source, x, y, button, movement);
        }
        TQLX_MouseHook& Hook_;
    } sink(*this);
    DispatchMouseHookMessage(static_cast<int32_t>(Msg - HookMessageBase), wParam, lParam, sink);
    return 0;
}

void TQLX_MouseHook::DoMouseClick(std::intptr_t sourceWindow, int32_t x, int32_t y,
                                  TMouseButton button, TQLX_MouseButtonMovement movement) {
    Fire(OnMouseClick, this, sourceWindow, x, y, button, movement);
}

void TQLX_MouseHook::DoMouseMove(std::intptr_t sourceWindow, int32_t x, int32_t y) {
    Fire(OnMouseMove, this, sourceWindow, x, y);
}
