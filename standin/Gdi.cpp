#include "standin/Gdi.h"

#include "toolkit/ScopedWin.h"

namespace standin {

COLORREF Mix(COLORREF a, COLORREF b, int num, int den) {
    if (den <= 0)
        return a;
    auto channel = [&](int x, int y) { return x + (y - x) * num / den; };
    return RGB(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
               channel(GetBValue(a), GetBValue(b)));
}

void FillSolid(HDC dc, const RECT& r, COLORREF colour) {
    ScopedGdiObject brush(::CreateSolidBrush(colour));
    ::FillRect(dc, &r, static_cast<HBRUSH>(brush.get()));
}

void FillGradient(HDC dc, const RECT& r, COLORREF from, COLORREF to, bool vertical, int origin,
                  int span) {
    const int first = vertical ? r.top : r.left;
    const int last = vertical ? r.bottom : r.right;
    if (span <= 0) {
        origin = first;
        span = last - first;
    }
    for (int p = first; p < last; ++p) {
        int at = p - origin;
        if (at < 0)
            at = 0;
        if (at > span - 1)
            at = span - 1;
        RECT line = vertical ? RECT{r.left, p, r.right, p + 1} : RECT{p, r.top, p + 1, r.bottom};
        FillSolid(dc, line, Mix(from, to, at, span > 1 ? span - 1 : 1));
    }
}

} // namespace standin
