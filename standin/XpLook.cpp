#include "standin/XpLook.h"

#include "standin/Gdi.h"
#include "toolkit/ScopedWin.h"
#include "toolkit/Utf8_win.h"

#include <algorithm>

namespace standin {

namespace {
const COLORREF kBarLight = RGB(0x3D, 0x95, 0xFF);
const COLORREF kBarMid = RGB(0x24, 0x5E, 0xDC);
const COLORREF kBarDark = RGB(0x1C, 0x4A, 0xC0);
const COLORREF kWhite = RGB(255, 255, 255);

HFONT MakeFont(int weight, bool italic, int height) {
    return ::CreateFontA(height, 0, 0, 0, weight, italic, 0, 0, DEFAULT_CHARSET, 0, 0,
                         ANTIALIASED_QUALITY, 0, "Tahoma");
}

void RoundedFill(HDC dc, const RECT& r, COLORREF top, COLORREF bottom, COLORREF border,
                 int radius) {
    // Gradient inside a rounded clip, then the border.
    ScopedGdiObject region(
        ::CreateRoundRectRgn(r.left, r.top, r.right + 1, r.bottom + 1, radius, radius));
    ::SaveDC(dc);
    ::SelectClipRgn(dc, static_cast<HRGN>(region.get()));
    FillGradient(dc, r, top, bottom, true);
    ::RestoreDC(dc, -1);
    ScopedGdiObject pen(::CreatePen(PS_SOLID, 1, border));
    Selected selectPen(dc, pen.get());
    Selected selectBrush(dc, ::GetStockObject(NULL_BRUSH));
    ::RoundRect(dc, r.left, r.top, r.right, r.bottom, radius, radius);
}

// Draws text with a soft shadow, the way the XP bar shows its texts.
void ShadowText(HDC dc, const std::string& text, RECT r, UINT format, COLORREF colour) {
    ::SetBkMode(dc, TRANSPARENT);
    RECT shadow = r;
    ::OffsetRect(&shadow, 1, 1);
    ::SetTextColor(dc, Mix(kBarDark, RGB(0, 0, 0), 1, 2));
    const std::wstring wide = WideText(text);
    ::DrawTextW(dc, wide.c_str(), int(wide.size()), &shadow, format);
    ::SetTextColor(dc, colour);
    ::DrawTextW(dc, wide.c_str(), int(wide.size()), &r, format);
}
} // namespace

HFONT TaskbarFont() {
    static ScopedGdiObject font(MakeFont(FW_NORMAL, false, -11));
    return static_cast<HFONT>(font.get());
}

void PaintBarBackground(HDC dc, HWND wnd, const RECT& r, HWND bar, bool vertical) {
    RECT barRect = {};
    ::GetWindowRect(bar, &barRect);
    POINT origin = {0, 0};
    ::ClientToScreen(wnd, &origin);
    // The bar's own coordinates of this window's client origin.
    const int offset = vertical ? origin.x - barRect.left : origin.y - barRect.top;
    const int length = vertical ? barRect.right - barRect.left : barRect.bottom - barRect.top;
    // A light edge of 3 pixels, then the body darkening towards the far side.
    const int edge = 3;
    RECT light = r, body = r;
    if (vertical) {
        light.right = std::min<LONG>(r.right, edge - offset);
        body.left = std::max<LONG>(r.left, edge - offset);
    } else {
        light.bottom = std::min<LONG>(r.bottom, edge - offset);
        body.top = std::max<LONG>(r.top, edge - offset);
    }
    if ((vertical ? light.right > light.left : light.bottom > light.top))
        FillGradient(dc, light, kBarLight, kBarMid, !vertical, -offset, edge);
    if ((vertical ? body.right > body.left : body.bottom > body.top))
        FillGradient(dc, body, kBarMid, kBarDark, !vertical, edge - offset, length - edge);
}

void PaintStartButton(HDC dc, const RECT& r) {
    // Green, with a rounded right end.
    RECT shape = r;
    shape.left -= 12; // only the right end is rounded
    RoundedFill(dc, shape, RGB(0x48, 0xB0, 0x48), RGB(0x2A, 0x86, 0x2A), RGB(0x1E, 0x6A, 0x1E), 18);
    // The four-colour flag.
    const int s = 6, x = r.left + 10, y = (r.top + r.bottom) / 2 - s;
    const COLORREF flag[4] = {RGB(0xF0, 0x50, 0x20), RGB(0x70, 0xC0, 0x30), RGB(0x30, 0x90, 0xF0),
                              RGB(0xF8, 0xC8, 0x10)};
    for (int i = 0; i < 4; ++i) {
        RECT q = {x + (i % 2) * (s + 1), y + (i / 2) * (s + 1), 0, 0};
        q.right = q.left + s;
        q.bottom = q.top + s;
        FillSolid(dc, q, flag[i]);
    }
    static ScopedGdiObject font(MakeFont(FW_BOLD, true, -17));
    Selected selectFont(dc, font.get());
    RECT text = r;
    text.left = x + 2 * s + 6;
    ShadowText(dc, "start", text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, kWhite);
}

void PaintGripper(HDC dc, const RECT& r, bool vertical) {
    // A column (row) of small raised dots.
    const COLORREF lightDot = RGB(0x6E, 0xA8, 0xFF), darkDot = RGB(0x14, 0x3C, 0xA0);
    for (int p = (vertical ? r.left : r.top) + 4; p + 2 < (vertical ? r.right : r.bottom) - 3;
         p += 4) {
        int cross = vertical ? (r.top + r.bottom) / 2 - 1 : (r.left + r.right) / 2 - 1;
        RECT d = vertical ? RECT{p, cross, p + 2, cross + 2} : RECT{cross, p, cross + 2, p + 2};
        RECT s = d;
        ::OffsetRect(&s, 1, 1);
        FillSolid(dc, s, darkDot);
        FillSolid(dc, d, lightDot);
    }
}

void PaintTaskButton(HDC dc, const RECT& cell, const TaskButtonLook& look, HIMAGELIST images,
                     int image, const std::string& text) {
    RECT r = cell;
    ::InflateRect(&r, -1, -1);
    if (r.right - r.left < 4 || r.bottom - r.top < 4)
        return;
    if (look.checked || look.pressed)
        RoundedFill(dc, r, RGB(0x1A, 0x48, 0xB4), RGB(0x1E, 0x52, 0xC4), RGB(0x10, 0x30, 0x88), 6);
    else if (look.hot)
        RoundedFill(dc, r, RGB(0x62, 0xA4, 0xFF), RGB(0x40, 0x86, 0xF8), RGB(0x20, 0x58, 0xC8), 6);
    else
        RoundedFill(dc, r, RGB(0x4C, 0x92, 0xFA), RGB(0x32, 0x74, 0xEA), RGB(0x1C, 0x50, 0xC4), 6);
    const int pressedShift = (look.checked || look.pressed) ? 1 : 0;
    int x = r.left + 5 + pressedShift;
    if (images && image >= 0 && image < ImageList_GetImageCount(images)) {
        int y = (r.top + r.bottom - 16) / 2 + pressedShift;
        ImageList_Draw(images, image, dc, x, y, ILD_TRANSPARENT);
    }
    x += 16 + 4;
    RECT textRect = {x, r.top + pressedShift, r.right - (look.header ? 14 : 4), r.bottom};
    if (textRect.right > textRect.left) {
        Selected selectFont(dc, TaskbarFont());
        ShadowText(dc, text, textRect,
                   DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS, kWhite);
    }
    if (look.header) {
        // A small down arrow.
        int ax = r.right - 11, ay = (r.top + r.bottom) / 2 - 1;
        for (int i = 0; i < 4; ++i) {
            RECT line = {ax + i, ay + i, ax + 7 - i, ay + i + 1};
            FillSolid(dc, line, kWhite);
        }
    }
}

void PaintNotifyBackground(HDC dc, const RECT& r, bool vertical) {
    FillGradient(dc, r, RGB(0x16, 0x98, 0xF4), RGB(0x0C, 0x7C, 0xE0), !vertical);
    // The XP tray's double edge towards the task band.
    RECT dark = r, light = r;
    if (vertical) {
        dark.bottom = dark.top + 1;
        light.top += 1;
        light.bottom = light.top + 1;
    } else {
        dark.right = dark.left + 1;
        light.left += 1;
        light.right = light.left + 1;
    }
    FillSolid(dc, dark, RGB(0x10, 0x42, 0xA8));
    FillSolid(dc, light, RGB(0x40, 0xC0, 0xFF));
}

void PaintClock(HDC dc, const RECT& r) {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    char text[16];
    int hour = now.wHour % 12 ? now.wHour % 12 : 12;
    wsprintfA(text, "%d:%02d %s", hour, now.wMinute, now.wHour < 12 ? "AM" : "PM");
    Selected selectFont(dc, TaskbarFont());
    RECT box = r;
    ShadowText(dc, text, box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, kWhite);
}

} // namespace standin
