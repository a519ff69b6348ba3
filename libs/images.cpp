// The icon library. StartHook puts a thread hook (WH_CALLWNDPROC) on the thread of the shell's
// task-switch toolbar, which brings this library into the shell's process. There it sees each
// icon request sent to the toolbar before the toolbar does, and answers it with one reply to the
// window named in the request: an icon of that picture of the toolbar's image list. While the
// reply is being handled the icon's pixels also lie in a named section (a receiver under Wine
// cannot draw an icon of another process); once the reply returns the library destroys the
// icon when the receiver lives in another process, since it cannot do that across processes.
// taskbar/loader_hook.h has the blocks.
#include <windows.h>

#include <commctrl.h>

#include <array>
#include <cstring>

#include "taskbar/loader_hook_win.h"
#include "toolkit/ScopedWin.h"

namespace {

// A receiver waiting in its request answers at once; one that does not keeps the shell's
// taskbar waiting no longer than this.
constexpr UINT kReplyTimeoutMs = 5000;
constexpr UINT kNudgeTimeoutMs = 1000;

using TImageListGetIcon = HICON(WINAPI*)(HIMAGELIST, int, UINT);

UINT RequestMsg() {
    static const UINT id = RegisterWindowMessageA(kIconRequestMessageName);
    return id;
}

UINT ReplyMsg() {
    static const UINT id = RegisterWindowMessageA(kIconReplyMessageName);
    return id;
}

HMODULE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&RequestMsg), &module);
    return module;
}

// Shell_TrayWnd > ReBarWindow32 > MSTaskSwWClass > ToolbarWindow32, as the program finds it.
HWND FindToolbar() {
    HWND wnd = FindWindowA("Shell_TrayWnd", nullptr);
    for (const char* cls : {"ReBarWindow32", "MSTaskSwWClass", "ToolbarWindow32"})
        wnd = wnd != nullptr ? FindWindowExA(wnd, nullptr, cls, nullptr) : nullptr;
    return wnd;
}

bool IsToolbar(HWND Wnd) {
    char cls[32] = {};
    return GetClassNameA(Wnd, cls, sizeof cls) > 0 && lstrcmpiA(cls, TOOLBARCLASSNAMEA) == 0;
}

// ImageList_GetIcon of the common controls that made the toolbar, so that it works on the
// toolbar's own image list whichever version of them the shell uses.
TImageListGetIcon ImageListGetIcon(HWND Toolbar) {
    auto module = reinterpret_cast<HMODULE>(GetClassLongPtrA(Toolbar, GCLP_HMODULE));
    if (module != nullptr)
        if (FARPROC f = GetProcAddress(module, "ImageList_GetIcon"))
            return reinterpret_cast<TImageListGetIcon>(f);
    if (HMODULE common = GetModuleHandleA("comctl32.dll"))
        return reinterpret_cast<TImageListGetIcon>(GetProcAddress(common, "ImageList_GetIcon"));
    return nullptr;
}

// Reads Height rows of a 16-pixel-wide bitmap as 32-bit pixels, rows from the top.
bool ReadRows(HDC Dc, HGDIOBJ Bitmap, int Height, uint32_t* Pixels) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = TIconPixels::Side;
    info.bmiHeader.biHeight = -Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return GetDIBits(Dc, static_cast<HBITMAP>(Bitmap), 0, static_cast<UINT>(Height), Pixels, &info,
                     DIB_RGB_COLORS) == Height;
}

// The colour and mask bits of a 16 x 16 icon; false for any other size.
bool CapturePixels(HICON Icon, TIconPixels& Pixels) {
    ICONINFO info{};
    if (!GetIconInfo(Icon, &info))
        return false;
    ScopedGdiObject mask(info.hbmMask), colour(info.hbmColor);
    BITMAP bm{};
    if (!mask || !GetObjectA(mask.get(), sizeof bm, &bm))
        return false;
    constexpr int kSide = TIconPixels::Side;
    constexpr int kCount = kSide * kSide;
    // A monochrome icon's mask holds the AND mask above the XOR bits.
    const int maskHeight = colour ? kSide : 2 * kSide;
    if (bm.bmWidth != kSide || bm.bmHeight != maskHeight)
        return false;
    ScopedDc dc(CreateCompatibleDC(nullptr));
    std::array<uint32_t, 2 * kCount> maskBits{};
    if (!dc || !ReadRows(dc.get(), mask.get(), maskHeight, maskBits.data()))
        return false;
    for (int i = 0; i < kCount; ++i)
        Pixels.Mask[i] = (maskBits[static_cast<std::size_t>(i)] & 0x00FFFFFF) != 0 ? 1 : 0;
    if (colour)
        return ReadRows(dc.get(), colour.get(), kSide, Pixels.Colour);
    std::memcpy(Pixels.Colour, maskBits.data() + kCount, sizeof Pixels.Colour);
    return true;
}

// The section with an icon's pixels, for as long as its reply is being handled.
class THandedOverPixels {
public:
    THandedOverPixels(HWND ReplyWnd, HICON Icon) {
        TIconPixels pixels;
        pixels.Magic = TIconPixels::kMagic;
        pixels.Size = sizeof pixels;
        pixels.Icon = reinterpret_cast<uintptr_t>(Icon);
        if (!CapturePixels(Icon, pixels))
            return;
        const std::string name = IconPixelsSectionName(reinterpret_cast<intptr_t>(ReplyWnd));
        FSection.reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                          sizeof pixels, name.c_str()));
        if (FSection && GetLastError() == ERROR_ALREADY_EXISTS) {
            FSection.reset(); // another reply's pixels: left as they are
            return;
        }
        ScopedView view(MapViewOfFile(FSection.get(), FILE_MAP_WRITE, 0, 0, sizeof pixels));
        if (view)
            std::memcpy(view.get(), &pixels, sizeof pixels);
        else
            FSection.reset();
    }

private:
    ScopedKernelHandle FSection;
};

// The library's state in one process: the hook where StartHook was called.
class TIconLibrary {
public:
    DWORD Start() {
        HWND toolbar = FindToolbar();
        if (FHook && toolbar != nullptr && toolbar == FToolbar &&
            GetWindowThreadProcessId(toolbar, nullptr) == FThread)
            return FThread;
        if (FHook) {
            // The shell has restarted: the hook on the old toolbar's thread goes (it may be gone
            // with that thread already) and a new one is set on the new toolbar's thread.
            UnhookWindowsHookEx(FHook.release());
            FToolbar = nullptr;
            FThread = 0;
        }
        if (toolbar == nullptr)
            return 0;
        const DWORD thread = GetWindowThreadProcessId(toolbar, nullptr);
        FHook.reset(SetWindowsHookExA(WH_CALLWNDPROC, &CallWndProc, ThisModule(), thread));
        if (!FHook)
            return 0;
        FToolbar = toolbar;
        FThread = thread;
        return thread;
    }

    BOOL Stop() {
        if (!FHook)
            return TRUE;
        if (!UnhookWindowsHookEx(FHook.get()))
            return FALSE;
        FHook.release();
        // A message lets the shell's thread notice that the hook is gone and drop the library.
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(FToolbar, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kNudgeTimeoutMs, &ignored);
        FToolbar = nullptr;
        FThread = 0;
        return TRUE;
    }

    // In the shell: one reply to ReplyWnd with the icon of picture Index of Toolbar's images.
    void Answer(HWND Toolbar, int Index, HWND ReplyWnd) {
        if (Index < 0 || !IsWindow(ReplyWnd))
            return;
        auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(Toolbar, TB_GETIMAGELIST, 0, 0));
        TImageListGetIcon getIcon = images != nullptr ? ImageListGetIcon(Toolbar) : nullptr;
        HICON icon = getIcon != nullptr ? getIcon(images, Index, ILD_NORMAL) : nullptr;
        if (icon == nullptr)
            return;
        {
            THandedOverPixels pixels(ReplyWnd, icon);
            DWORD_PTR ignored = 0;
            // A hung receiver is given up at once rather than after the timeout: the shell's
            // taskbar waits meanwhile.
            SendMessageTimeoutA(ReplyWnd, ReplyMsg(), reinterpret_cast<WPARAM>(icon), 0,
                                SMTO_ABORTIFHUNG, kReplyTimeoutMs, &ignored);
        }
        // A receiver in this process owns the icon and destroys it itself; one in another
        // process cannot, so it is destroyed here. Destroying it here in the first case would
        // hit whatever icon reuses the handle.
        DWORD receiverPid = 0;
        GetWindowThreadProcessId(ReplyWnd, &receiverPid);
        if (receiverPid != GetCurrentProcessId())
            DestroyIcon(icon);
    }

private:
    static LRESULT CALLBACK CallWndProc(int Code, WPARAM wParam, LPARAM lParam) noexcept {
        if (Code == HC_ACTION) {
            const auto* msg = reinterpret_cast<const CWPSTRUCT*>(lParam);
            if (msg->message == RequestMsg() && IsToolbar(msg->hwnd)) {
                try {
                    Library().Answer(msg->hwnd, static_cast<int>(msg->wParam),
                                     reinterpret_cast<HWND>(msg->lParam));
                } catch (...) {
                    // no memory for a name: this request goes unanswered
                }
            }
        }
        return CallNextHookEx(nullptr, Code, wParam, lParam);
    }

public:
    static TIconLibrary& Library() {
        static TIconLibrary library;
        return library;
    }

private:
    ScopedHook FHook;
    HWND FToolbar = nullptr;
    DWORD FThread = 0;
};

} // namespace

extern "C" {
// Non-zero (the toolbar's thread) once the hook is in place; 0 when there is no taskbar
// toolbar or the hook cannot be set. Called again after the shell restarted, it moves the hook
// to the new toolbar's thread.
__declspec(dllexport) DWORD WINAPI StartHook() {
    return TIconLibrary::Library().Start();
}
// 1 once the hook is removed (or none was set); 0 when it could not be removed.
__declspec(dllexport) BOOL WINAPI StopHook() {
    return TIconLibrary::Library().Stop();
}
}
