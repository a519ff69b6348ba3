// The mouse-hook library. A low-level mouse hook (WH_MOUSE_LL) in the process that attaches
// receivers, installed on the thread of the first attachment (the hook runs through that
// thread's message loop) and removed with the last detachment or when the library is freed.
// Per mouse move, press or release it posts WM_USER + code to every receiver window:
//   code   the mouse message - WM_MOUSEMOVE: 0 move, 1 left down, 2 left up, 4 right down,
//          5 right up, 7 middle down, 8 middle up (low-level hooks never see double-clicks,
//          so 3, 6 and 9 do not occur; wheel and X-button events are not passed on);
//   wParam x in the low and y in the high 16 bits, screen coordinates;
//   lParam the window under the cursor (WindowFromPoint).
// Posting keeps the hook short: input goes on at once whatever the receiver is doing.
//
// Exports (stdcall, 32-bit arguments; the window handle in 32 bits as in 64-bit Windows):
//   AttachReceiver(Kind, Window, Option) -> 0, or hrAlreadyRegistered, hrTooManyReceivers,
//       hrHookInstalled (the hook runs on another thread that is still alive), or a Windows
//       error code: ERROR_NOT_SUPPORTED for a Kind whose low byte is not 2 (mouse),
//       ERROR_INVALID_WINDOW_HANDLE for a Window that is no window, or SetWindowsHookEx's
//       error. Option is not used.
//   DetachReceiver(Window) -> 0 or hrNotRegistered.
//   LastError() -> the result of the last AttachReceiver or DetachReceiver of the process.
// Receivers whose window is gone are dropped (their messages fail, or at the next call).
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "dragdrop/QLX_Hook_HookCommon.h"
#include "toolkit/ScopedWin.h"

namespace {

HWND WindowFrom32(uint32_t w) {
    // Window handles are sign-extended 32-bit values, also in 64-bit processes.
    return reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(w)));
}

LRESULT CALLBACK MouseProc(int nCode, WPARAM wParam, LPARAM lParam) noexcept;

// The receivers of this process and the hook that feeds them.
class ReceiverTable {
public:
    static constexpr size_t kMaxReceivers = 16;

    ReceiverTable() { receivers_.reserve(kMaxReceivers); }

    void SetModule(HMODULE module) { module_ = module; }

    int32_t Attach(uint32_t kind, HWND window) {
        ScopedLock lock(lock_);
        return Remember(AttachLocked(kind, window));
    }

    int32_t Detach(HWND window) {
        ScopedLock lock(lock_);
        return Remember(DetachLocked(window));
    }

    int32_t LastError() {
        ScopedLock lock(lock_);
        return lastError_;
    }

    // One mouse event, on the hook's thread.
    void Deliver(UINT message, const MSLLHOOKSTRUCT& info) noexcept {
        const UINT msg = WM_USER + (message - WM_MOUSEMOVE);
        const WPARAM position = static_cast<WPARAM>(static_cast<uint16_t>(info.pt.x)) |
                                static_cast<WPARAM>(static_cast<uint16_t>(info.pt.y)) << 16;
        const LPARAM target = reinterpret_cast<LPARAM>(::WindowFromPoint(info.pt));
        ScopedLock lock(lock_);
        receivers_.erase(std::remove_if(receivers_.begin(), receivers_.end(),
                                        [&](HWND r) {
                                            // A full queue fails too: only a gone window
                                            // is dropped.
                                            return !::PostMessageA(r, msg, position, target) &&
                                                   !::IsWindow(r);
                                        }),
                         receivers_.end());
    }

    // The library is being freed while the process goes on: no hook may call into it any more.
    void Shutdown() noexcept {
        ScopedLock lock(lock_);
        receivers_.clear();
        RemoveHook();
    }

private:
    int32_t AttachLocked(uint32_t kind, HWND window) {
        if (static_cast<uint8_t>(kind) != HookKindMouse)
            return ERROR_NOT_SUPPORTED;
        if (!window || !::IsWindow(window))
            return ERROR_INVALID_WINDOW_HANDLE;
        DropGoneReceivers();
        if (std::find(receivers_.begin(), receivers_.end(), window) != receivers_.end())
            return hrAlreadyRegistered;
        if (receivers_.size() >= kMaxReceivers)
            return hrTooManyReceivers;
        if (const int32_t hooked = InstallHook())
            return hooked;
        receivers_.push_back(window);
        return hrNoError;
    }

    int32_t DetachLocked(HWND window) {
        const auto it = std::find(receivers_.begin(), receivers_.end(), window);
        const bool found = it != receivers_.end();
        if (found)
            receivers_.erase(it);
        DropGoneReceivers();
        if (receivers_.empty())
            RemoveHook();
        return found ? hrNoError : hrNotRegistered;
    }

    // Installs the hook on the calling thread unless it runs already. A hook belongs to its
    // thread and ends with it; one that runs on another live thread is refused, since that
    // thread's loop, not the caller's, would have to carry the events.
    int32_t InstallHook() {
        if (hook_) {
            if (hookThreadId_ == ::GetCurrentThreadId())
                return hrNoError;
            if (::WaitForSingleObject(hookThread_.get(), 0) == WAIT_TIMEOUT)
                return hrHookInstalled;
            RemoveHook(); // its thread has ended, and Windows has removed it
        }
        HANDLE thread = nullptr;
        if (!::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentThread(), ::GetCurrentProcess(),
                               &thread, SYNCHRONIZE, FALSE, 0))
            return Failure();
        ScopedKernelHandle threadHandle(thread);
        hook_.reset(::SetWindowsHookExA(WH_MOUSE_LL, &MouseProc, module_, 0));
        if (!hook_)
            return Failure();
        hookThread_ = std::move(threadHandle);
        hookThreadId_ = ::GetCurrentThreadId();
        return hrNoError;
    }

    void RemoveHook() noexcept {
        hook_.reset();
        hookThread_.reset();
        hookThreadId_ = 0;
    }

    void DropGoneReceivers() {
        receivers_.erase(std::remove_if(receivers_.begin(), receivers_.end(),
                                        [](HWND r) { return !::IsWindow(r); }),
                         receivers_.end());
    }

    // The calling thread's last error, never 0 (that would read as success).
    static int32_t Failure() {
        const DWORD error = ::GetLastError();
        return static_cast<int32_t>(error ? error : ERROR_GEN_FAILURE);
    }

    int32_t Remember(int32_t result) {
        lastError_ = result;
        return result;
    }

    CriticalSection lock_;
    std::vector<HWND> receivers_; // at most kMaxReceivers: erasing never allocates
    ScopedHook hook_;
    ScopedKernelHandle hookThread_;
    DWORD hookThreadId_ = 0;
    HMODULE module_ = nullptr;
    int32_t lastError_ = hrNoError;
};

ReceiverTable Receivers;

LRESULT CALLBACK MouseProc(int nCode, WPARAM wParam, LPARAM lParam) noexcept {
    if (nCode == HC_ACTION && wParam >= WM_MOUSEMOVE && wParam <= WM_MBUTTONDBLCLK)
        Receivers.Deliver(static_cast<UINT>(wParam),
                          *reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam));
    // The hook handle argument is ignored by Windows NT and later.
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

} // namespace

extern "C" {

__declspec(dllexport) int32_t WINAPI
    AttachReceiver(uint32_t Kind, uint32_t Window, uint32_t /*Option*/) {
    return Receivers.Attach(Kind, WindowFrom32(Window));
}

__declspec(dllexport) int32_t WINAPI DetachReceiver(uint32_t Window) {
    return Receivers.Detach(WindowFrom32(Window));
}

__declspec(dllexport) int32_t WINAPI LastError() {
    return Receivers.LastError();
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        Receivers.SetModule(instance);
        ::DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && !reserved) {
        // Freed while the process goes on. At the process's end the hook goes with it, and
        // the lock may belong to a thread that is gone already, so it is not touched then.
        Receivers.Shutdown();
    }
    return TRUE;
}
}
