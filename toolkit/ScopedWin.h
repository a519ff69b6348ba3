#pragma once
// RAII holders for the Win32 handles the program keeps. Each closes its handle exactly once
// with the function that belongs to it; none can be copied, all can be moved.
#include <windows.h>

#include <utility>

template <typename T, T Null, typename Closer> class ScopedHandle {
public:
    ScopedHandle() = default;
    explicit ScopedHandle(T h) : h_(h) {}
    ~ScopedHandle() { reset(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& o) noexcept : h_(o.release()) {}
    ScopedHandle& operator=(ScopedHandle&& o) noexcept {
        if (this != &o)
            reset(o.release());
        return *this;
    }
    T get() const { return h_; }
    explicit operator bool() const { return h_ != Null; }
    T release() { return std::exchange(h_, Null); }
    void reset(T h = Null) {
        if (h_ != Null)
            Closer()(h_);
        h_ = h;
    }

private:
    T h_ = Null;
};

namespace scoped_detail {
struct CloseKernel {
    void operator()(HANDLE h) const { ::CloseHandle(h); }
};
struct CloseKey {
    void operator()(HKEY h) const { ::RegCloseKey(h); }
};
struct Unhook {
    void operator()(HHOOK h) const { ::UnhookWindowsHookEx(h); }
};
struct DeleteGdi {
    void operator()(HGDIOBJ h) const { ::DeleteObject(h); }
};
struct DestroyIconH {
    void operator()(HICON h) const { ::DestroyIcon(h); }
};
struct DeleteDc {
    void operator()(HDC h) const { ::DeleteDC(h); }
};
struct FreeLib {
    void operator()(HMODULE h) const { ::FreeLibrary(h); }
};
struct DestroyWnd {
    void operator()(HWND h) const { ::DestroyWindow(h); }
};
struct Unmap {
    void operator()(void* p) const { ::UnmapViewOfFile(p); }
};
} // namespace scoped_detail

// A kernel handle whose "none" value is 0 (processes, threads, mappings, mutexes, events).
using ScopedKernelHandle = ScopedHandle<HANDLE, nullptr, scoped_detail::CloseKernel>;
using ScopedKey = ScopedHandle<HKEY, nullptr, scoped_detail::CloseKey>;
using ScopedHook = ScopedHandle<HHOOK, nullptr, scoped_detail::Unhook>;
using ScopedGdiObject = ScopedHandle<HGDIOBJ, nullptr, scoped_detail::DeleteGdi>;
using ScopedIcon = ScopedHandle<HICON, nullptr, scoped_detail::DestroyIconH>;
using ScopedDc = ScopedHandle<HDC, nullptr, scoped_detail::DeleteDc>;
using ScopedLibrary = ScopedHandle<HMODULE, nullptr, scoped_detail::FreeLib>;
using ScopedWindow = ScopedHandle<HWND, nullptr, scoped_detail::DestroyWnd>;
using ScopedView = ScopedHandle<void*, nullptr, scoped_detail::Unmap>;

// A recursive lock (critical section) and its guard.
class CriticalSection {
public:
    CriticalSection() { ::InitializeCriticalSection(&cs_); }
    ~CriticalSection() { ::DeleteCriticalSection(&cs_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
    void Enter() { ::EnterCriticalSection(&cs_); }
    void Leave() { ::LeaveCriticalSection(&cs_); }

private:
    CRITICAL_SECTION cs_;
};

// Selects a GDI object into a DC for the lifetime of this holder, then the one it replaced.
class ScopedSelectObject {
public:
    ScopedSelectObject(HDC dc, HGDIOBJ obj) : dc_(dc), old_(::SelectObject(dc, obj)) {}
    ~ScopedSelectObject() { ::SelectObject(dc_, old_); }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

class ScopedLock {
public:
    explicit ScopedLock(CriticalSection& cs) : cs_(cs) { cs_.Enter(); }
    ~ScopedLock() { cs_.Leave(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    CriticalSection& cs_;
};
