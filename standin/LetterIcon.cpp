#include "standin/LetterIcon.h"

#include "standin/Gdi.h"
#include "toolkit/ScopedWin.h"

namespace standin {

COLORREF PaletteColour(unsigned index) {
    static const COLORREF kColours[] = {
        RGB(0xD0, 0x30, 0x30), RGB(0x2E, 0x9E, 0x3E), RGB(0x30, 0x60, 0xD8), RGB(0xE0, 0xA0, 0x10),
        RGB(0xA0, 0x30, 0xC0), RGB(0x10, 0xA0, 0xB0), RGB(0xE8, 0x68, 0x10), RGB(0x70, 0x70, 0x70),
    };
    return kColours[index % (sizeof kColours / sizeof kColours[0])];
}

namespace {

COLORREF Lighter(COLORREF c) {
    return Mix(c, RGB(255, 255, 255), 1, 3);
}

} // namespace

HICON MakeLetterIcon(int size, COLORREF colour, char letter) {
    HDC screen = ::GetDC(nullptr);
    ScopedDc dc(::CreateCompatibleDC(screen));
    ScopedGdiObject colourBits(::CreateCompatibleBitmap(screen, size, size));
    ::ReleaseDC(nullptr, screen);
    ScopedGdiObject maskBits(::CreateBitmap(size, size, 1, 1, nullptr));
    if (!dc || !colourBits || !maskBits)
        return nullptr;
    const int round = size / 4;
    {
        // Mask: 1 (white) is transparent, 0 (black) shows the colour bits.
        Selected bitmap(dc.get(), maskBits.get());
        RECT all = {0, 0, size, size};
        ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        Selected brush(dc.get(), ::GetStockObject(BLACK_BRUSH));
        Selected pen(dc.get(), ::GetStockObject(BLACK_PEN));
        ::RoundRect(dc.get(), 0, 0, size, size, round, round);
    }
    {
        Selected bitmap(dc.get(), colourBits.get());
        RECT all = {0, 0, size, size};
        ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ScopedGdiObject fill(::CreateSolidBrush(colour));
        ScopedGdiObject edge(::CreatePen(PS_SOLID, 1, Lighter(colour)));
        Selected brush(dc.get(), fill.get());
        Selected pen(dc.get(), edge.get());
        ::RoundRect(dc.get(), 0, 0, size, size, round, round);
        ScopedGdiObject font(::CreateFontA(-(size * 3 / 4), 0, 0, 0, FW_BOLD, 0, 0, 0,
                                           DEFAULT_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0,
                                           "Tahoma"));
        Selected textFont(dc.get(), font.get());
        ::SetBkMode(dc.get(), TRANSPARENT);
        ::SetTextColor(dc.get(), RGB(255, 255, 255));
        char text[2] = {letter, 0};
        ::DrawTextA(dc.get(), text, 1, &all, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    ICONINFO info = {};
    info.fIcon = TRUE;
    info.hbmMask = static_cast<HBITMAP>(maskBits.get());
    info.hbmColor = static_cast<HBITMAP>(colourBits.get());
    return ::CreateIconIndirect(&info); // copies both bitmaps
}

} // namespace standin
