#pragma once
// The picture a window of this process paints of its client area (WM_PRINTCLIENT into a
// 32-bit DIB), as plain pixels; works with Wine's null graphics driver too.
#include <windows.h>

#include <cstdint>
#include <vector>

namespace zvtest {

struct TCapture {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels; // 0x00RRGGBB, row by row from the top
    uint32_t At(int X, int Y) const { return Pixels[static_cast<size_t>(Y * Width + X)]; }
};

// WithBackground: the window's background is erased into the picture first (WM_PRINT), so
// parts it does not paint show its background rather than black.
TCapture Capture(HWND Wnd, bool WithBackground = false);

// The picture is not empty and every pixel of it is Pixel.
bool AllPixelsAre(const TCapture& C, uint32_t Pixel);

// A COLORREF as a captured pixel.
inline uint32_t Pixel(COLORREF C) {
    return (GetRValue(C) << 16) | (GetGValue(C) << 8) | GetBValue(C);
}

} // namespace zvtest
