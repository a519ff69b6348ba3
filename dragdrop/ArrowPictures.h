#pragma once
// The four arrow pictures of the drop balloon: a curved crimson arrow on a transparent
// background, 50 x 50 pixels, drawn in code. Platform-free.
#include <cstdint>

#include "dragdrop/DropPosition.h"
#include "toolkit/PixelPicture.h"

using TArrowBitmap = TPixelPicture<TBalloonGeometry::kArrowSize, TBalloonGeometry::kArrowSize>;

// Colours as 0x00RRGGBB.
constexpr uint32_t kArrowColor = 0x00D40138;     // the arrow's crimson, RGB (212, 1, 56)
constexpr uint32_t kBalloonFill = 0x00DEDEEF;    // the balloon's shape, RGB (222, 222, 239)
constexpr uint32_t kBalloonOutline = 0x00000000; // its 1-pixel outline
constexpr uint32_t kBalloonClear = 0x00808080;   // the window's transparent colour key

// The pixel the arrow of Which points with.
TPoint ArrowTip(TArrowPicture Which);

// The picture Which, with Transparent set and kBalloonClear as its transparent colour (so
// copying it onto the balloon's key grey leaves those pixels see-through as well as skipping
// them). Where the picture lies over the balloon's shape, as TBalloonGeometry lays it out for
// the picture's edge, the arrow's edges are blended into the shape's fill and outline; where
// it stands out over the screen behind, an edge pixel is painted when at least half covered.
// Raises std::out_of_range for any other value.
TArrowBitmap ArrowPicture(TArrowPicture Which);
