#pragma once
// Small GDI helpers for the stand-in's drawing.
#include <windows.h>

#include "toolkit/ScopedWin.h"

namespace standin {

// Selects an object into a DC for the lifetime of this holder.
using Selected = ::ScopedSelectObject;

// a + (b - a) * num / den, per channel.
COLORREF Mix(COLORREF a, COLORREF b, int num, int den);
// Fills `r` with a linear gradient from `from` to `to`: top to bottom when `vertical`, else
// left to right. `span` is the length the gradient runs over (from `origin`), so that
// neighbouring windows can continue one gradient; 0 means the rectangle's own length.
void FillGradient(HDC dc, const RECT& r, COLORREF from, COLORREF to, bool vertical, int origin = 0,
                  int span = 0);
void FillSolid(HDC dc, const RECT& r, COLORREF colour);

} // namespace standin
