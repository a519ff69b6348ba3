#pragma once
// A 16 x 16 picture held as plain pixels, so that group icons can travel through
// platform-free code (toolkit/PixelPicture.h: pixels 0x00RRGGBB, top-down rows).
#include "toolkit/PixelPicture.h"

using TBitmap16 = TPixelPicture<16, 16>;
