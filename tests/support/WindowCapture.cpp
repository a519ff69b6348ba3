#include "tests/support/WindowCapture.h"

#include "toolkit/ScopedWin.h"

namespace zvtest {

TCapture Capture(HWND Wnd, bool WithBackground) {
    RECT rc{};
    ::GetClientRect(Wnd, &rc);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = rc.right;
    bi.bmiHeader.biHeight = -rc.bottom;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    ScopedGdiObject dib(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    ScopedDc dc(::CreateCompatibleDC(nullptr));
    TCapture c;
    if (!dib || !dc)
        return c;
    HGDIOBJ old = ::SelectObject(dc.get(), dib.get());
    if (WithBackground)
        ::SendMessageA(Wnd, WM_PRINT, reinterpret_cast<WPARAM>(dc.get()),
                       PRF_CLIENT | PRF_ERASEBKGND);
    else
        ::SendMessageA(Wnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
    ::GdiFlush();
    c.Width = rc.right;
    c.Height = rc.bottom;
    const auto* p = static_cast<const uint32_t*>(bits);
    c.Pixels.assign(p, p + rc.right * rc.bottom);
    for (uint32_t& px : c.Pixels)
        px &= 0xFFFFFF;
    ::SelectObject(dc.get(), old);
    return c;
}

bool AllPixelsAre(const TCapture& C, uint32_t Pixel) {
    for (uint32_t p : C.Pixels)
        if (p != Pixel)
            return false;
    return !C.Pixels.empty();
}

} // namespace zvtest
