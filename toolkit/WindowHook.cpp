#include "toolkit/WindowHook.h"

#include <algorithm>
#include <vector>

#include "toolkit/Forms.h"

namespace {
// The window property that holds the window's chain of hooks.
const char kChainProp[] = "Zorvane.Hooks";
} // namespace

// Held by the window (a property) from its first hook until its last hook goes.
struct TWindowHook::TChain {
    WNDPROC Original = nullptr;
    std::vector<TWindowHook*> Hooks;
};

TWindowHook::TWindowHook(HWND Wnd, THandler Handler) : Wnd_(Wnd), Handler_(std::move(Handler)) {
    auto* chain = static_cast<TChain*>(::GetPropA(Wnd_, kChainProp));
    if (!chain) {
        chain = new TChain;
        chain->Original = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
            Wnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWindowHook::HookProc)));
        ::SetPropA(Wnd_, kChainProp, chain);
    }
    chain->Hooks.push_back(this);
}

TWindowHook::~TWindowHook() {
    auto* chain = static_cast<TChain*>(::GetPropA(Wnd_, kChainProp));
    if (!chain)
        return;
    auto& hooks = chain->Hooks;
    hooks.erase(std::remove(hooks.begin(), hooks.end(), this), hooks.end());
    if (!hooks.empty())
        return;
    if (::IsWindow(Wnd_) && reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(Wnd_, GWLP_WNDPROC)) ==
                                &TWindowHook::HookProc)
        ::SetWindowLongPtrA(Wnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(chain->Original));
    ::RemovePropA(Wnd_, kChainProp);
    delete chain;
}

LRESULT CALLBACK TWindowHook::HookProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto* chain = static_cast<TChain*>(::GetPropA(Wnd, kChainProp));
    if (!chain)
        return ::DefWindowProcA(Wnd, Msg, WParam, LParam);
    const WNDPROC original = chain->Original;
    // A handler may end hooks, this one's chain included: each hook is looked up anew.
    const std::vector<TWindowHook*> hooks = chain->Hooks;
    for (TWindowHook* hook : hooks) {
        auto* now = static_cast<TChain*>(::GetPropA(Wnd, kChainProp));
        if (!now || std::find(now->Hooks.begin(), now->Hooks.end(), hook) == now->Hooks.end())
            continue;
        try {
            Fire(hook->Handler_, Msg, WParam, LParam);
        } catch (...) {
            HandleException(nullptr);
        }
    }
    const LRESULT result = ::CallWindowProcA(original, Wnd, Msg, WParam, LParam);
    if (Msg == WM_NCDESTROY) {
        // The window is gone: its hooks stay without a chain and have nothing to undo.
        if (auto* last = static_cast<TChain*>(::RemovePropA(Wnd, kChainProp)))
            delete last;
    }
    return result;
}
