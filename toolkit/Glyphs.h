#pragma once
// Picture buttons without the window system: where a button's picture and caption go, and
// the greyed picture a disabled control shows. Platform-free.
#include "toolkit/Bitmap16.h"

// Pixels between the picture and the caption, and kept clear inside the button's frame.
constexpr int kGlyphSpacing = 4;
constexpr int kGlyphMargin = 2;

struct TGlyphLayout {
    int GlyphLeft = 0; // the picture's top-left corner (unused without a picture)
    int GlyphTop = 0;
    int TextLeft = 0; // the caption's rectangle (empty without a caption)
    int TextTop = 0;
    int TextWidth = 0;
    int TextHeight = 0;
};

// The widest caption that fits in a content area Width pixels wide, beside the picture
// when there is one; never negative.
int GlyphTextRoom(int Width, bool HasGlyph);

// Lays out a content area Width x Height: the picture (16 x 16, when HasGlyph) and the
// caption (TextWidth x TextHeight, 0 x 0 for none) side by side, picture first, centred
// together; each is centred vertically on its own. A caption wider than the room left
// beside the picture is cut to that room; one taller than the area starts at its top, so
// that its first lines show.
TGlyphLayout LayoutGlyph(int Width, int Height, bool HasGlyph, int TextWidth, int TextHeight);

// The picture as a disabled control shows it: the same shape in light greys, with the same
// transparent pixels.
TBitmap16 DisabledPicture(const TBitmap16& Picture);
