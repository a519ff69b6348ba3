// The mouse-hook library. A low-level mouse hook (WH_MOUSE_LL) in the process that attaches
// receivers. The hook runs on a thread of the library's own with its own message loop, started
// with the first attachment and ended with the last detachment or when the library is freed: so
// the mouse never waits for a receiver's thread, however busy that thread is. That thread waits
// for input from its start, and a process counts as started once any of its threads does (the
// end of WaitForInputIdle for whoever started it): a program attaches when its start-up is done.
// Per mouse move, press or release it posts WM_USER + code to every receiver window:
//   code   the mouse message - WM_MOUSEMOVE: 0 move, 1 left down, 2 left up, 4 right down,
//          5 right up, 7 middle down, 8 middle up (low-level hooks never see double-clicks,
//          so 3, 6 and 9 do not occur; wheel and X-button events are not passed on);
//   wParam x in the low and y in the high 16 bits, screen coordinates;
//   lParam the window under the cursor (WindowFromPoint).
//
// Exports (stdcall, 32-bit arguments; the window handle in 32 bits as in 64-bit Windows):
//   AttachReceiver(Kind, Window, Option) -> 0, or hrAlreadyRegistered, hrTooManyReceivers, or
//       a Windows error code: ERROR_NOT_SUPPORTED for a Kind whose low byte is not 2 (mouse),
//       ERROR_INVALID_WINDOW_HANDLE for a Window that is no window, or the error of starting
//       the hook's thread or setting its hook. Option is not used. Any thread may attach.
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

// The calling thread's last error, never 0 (that would read as success).
int32_t Failure() {
    const DWORD error = ::GetLastError();
    return static_cast<int32_t>(error ? error : ERROR_GEN_FAILURE);
}

LRESULT CALLBACK MouseProc(int nCode, WPARAM wParam, LPARAM lParam) noexcept;

// The thread that carries the hook: it sets the hook, runs a message loop (through which
// Windows calls the hook) until it is asked to stop, and removes the hook.
class HookThread {
public:
    // A thread ended in its wait is gone at once; this only bounds the wait should the system
    // take longer.
    static constexpr DWORD kTerminateWaitMs = 5000;

    bool Running() const { return static_cast<bool>(thread_); }

    // Starts the thread and waits until its hook is set: 0, or a Windows error code (nothing
    // runs then).
    int32_t Start(HMODULE module) noexcept {
        module_ = module;
        ready_.reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
        stopped_.reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
        release_.reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
        if (!ready_ || !stopped_ || !release_)
            return Failure();
        thread_.reset(::CreateThread(nullptr, 0, &HookThread::Main, this, 0, &threadId_));
        if (!thread_)
            return Failure();
        ::WaitForSingleObject(ready_.get(), INFINITE);
        const int32_t result = startResult_;
        if (result != 0)
            Stop(false);
        return result;
    }

    // Ends the thread: once this returns, its hook is removed and it runs no more code of this
    // library. In the loader lock (the library is being freed) the thread cannot be let out
    // through this library's code, which is about to go, nor end by itself, since ending a
    // thread takes that lock: it is ended where it waits, in the system, holding nothing.
    void Stop(bool InLoaderLock) noexcept {
        if (!thread_)
            return;
        // Nothing else posts to the thread, so its queue has room.
        ::PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
        ::WaitForSingleObject(stopped_.get(), INFINITE);
        if (InLoaderLock) {
            ::TerminateThread(thread_.get(), 0);
            ::WaitForSingleObject(thread_.get(), kTerminateWaitMs);
        } else {
            ::SetEvent(release_.get());
            ::WaitForSingleObject(thread_.get(), INFINITE);
        }
        thread_.reset();
        threadId_ = 0;
    }

private:
    static DWORD WINAPI Main(void* param) noexcept {
        auto* self = static_cast<HookThread*>(param);
        MSG msg;
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE); // the queue, for PostThreadMessage
        // The hook only posts: nothing of a busy desktop should keep it from its turn.
        ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
        {
            ScopedHook hook(::SetWindowsHookExA(WH_MOUSE_LL, &MouseProc, self->module_, 0));
            self->startResult_ = hook ? 0 : Failure();
            ::SetEvent(self->ready_.get());
            if (hook) {
                while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
                    ::DispatchMessageA(&msg);
            }
        }
        // Tells Stop that the hook is gone and waits in the same call, so that nothing of this
        // library runs after the signal unless Stop lets the thread out.
        ::SignalObjectAndWait(self->stopped_.get(), self->release_.get(), INFINITE, FALSE);
        return 0;
    }

    HMODULE module_ = nullptr;
    ScopedKernelHandle thread_;
    DWORD threadId_ = 0;
    ScopedKernelHandle ready_;   // the thread has set its hook, or failed to
    ScopedKernelHandle stopped_; // the thread has removed its hook
    ScopedKernelHandle release_; // lets the thread out of its last wait
    int32_t startResult_ = 0;
};

// The receivers of this process and the hook that feeds them.
class ReceiverTable {
public:
    static constexpr size_t kMaxReceivers = 16;

    ReceiverTable() { receivers_.reserve(kMaxReceivers); }

    void SetModule(HMODULE module) { module_ = module; }

    int32_t Attach(uint32_t kind, HWND window) {
        ScopedLock control(control_);
        return Remember(AttachLocked(kind, window));
    }

    int32_t Detach(HWND window) {
        ScopedLock control(control_);
        return Remember(DetachLocked(window));
    }

    int32_t LastError() {
        ScopedLock control(control_);
        return lastError_;
    }

    // One mouse event, on the hook's thread.
    void Deliver(UINT message, const MSLLHOOKSTRUCT& info) noexcept {
        const UINT msg = WM_USER + (message - WM_MOUSEMOVE);
        const WPARAM position = static_cast<WPARAM>(static_cast<uint16_t>(info.pt.x)) |
                                static_cast<WPARAM>(static_cast<uint16_t>(info.pt.y)) << 16;
        const LPARAM target = reinterpret_cast<LPARAM>(::WindowFromPoint(info.pt));
        ScopedLock lock(receiversLock_);
        receivers_.erase(std::remove_if(receivers_.begin(), receivers_.end(),
                                        [&](HWND r) {
                                            // A full queue fails too: only a gone window
                                            // is dropped.
                                            return !::PostMessageA(r, msg, position, target) &&
                                                   !::IsWindow(r);
                                        }),
                         receivers_.end());
    }

    // The library is being freed while the process goes on (in the loader lock): no hook may
    // call into it any more.
    void Shutdown() noexcept {
        {
            ScopedLock lock(receiversLock_);
            receivers_.clear();
        }
        thread_.Stop(true);
    }

private:
    int32_t AttachLocked(uint32_t kind, HWND window) {
        if (static_cast<uint8_t>(kind) != HookKindMouse)
            return ERROR_NOT_SUPPORTED;
        if (!window || !::IsWindow(window))
            return ERROR_INVALID_WINDOW_HANDLE;
        {
            ScopedLock lock(receiversLock_);
            DropGoneReceivers();
            if (std::find(receivers_.begin(), receivers_.end(), window) != receivers_.end())
                return hrAlreadyRegistered;
            if (receivers_.size() >= kMaxReceivers)
                return hrTooManyReceivers;
        }
        // Not under the receivers' lock: the hook's first events take it. Meanwhile the hook's
        // thread only ever removes receivers, so the room found above stays.
        if (!thread_.Running())
            if (const int32_t started = thread_.Start(module_))
                return started;
        ScopedLock lock(receiversLock_);
        receivers_.push_back(window);
        return hrNoError;
    }

    int32_t DetachLocked(HWND window) {
        bool found = false;
        bool empty = false;
        {
            ScopedLock lock(receiversLock_);
            const auto it = std::find(receivers_.begin(), receivers_.end(), window);
            found = it != receivers_.end();
            if (found)
                receivers_.erase(it);
            DropGoneReceivers();
            empty = receivers_.empty();
        }
        // Not under the receivers' lock: the hook's thread may be waiting for it.
        if (empty)
            thread_.Stop(false);
        return found ? hrNoError : hrNotRegistered;
    }

    void DropGoneReceivers() {
        receivers_.erase(std::remove_if(receivers_.begin(), receivers_.end(),
                                        [](HWND r) { return !::IsWindow(r); }),
                         receivers_.end());
    }

    int32_t Remember(int32_t result) {
        lastError_ = result;
        return result;
    }

    CriticalSection control_;       // attaching and detaching, one at a time
    CriticalSection receiversLock_; // the table, shared with the hook's thread
    std::vector<HWND> receivers_;   // at most kMaxReceivers: erasing never allocates
    HookThread thread_;
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
        // Freed while the process goes on: the hook's thread stops. At the process's end the
        // thread is gone already and the locks may belong to threads that are gone too, so
        // nothing is touched then.
        Receivers.Shutdown();
    }
    return TRUE;
}
}
