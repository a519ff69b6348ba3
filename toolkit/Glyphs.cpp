#include "toolkit/Glyphs.h"

#include <algorithm>

int GlyphTextRoom(int Width, bool HasGlyph) {
    const int room = Width - 2 * kGlyphMargin - (HasGlyph ? TBitmap16::Width + kGlyphSpacing : 0);
    return std::max(room, 0);
}

TGlyphLayout LayoutGlyph(int Width, int Height, bool HasGlyph, int TextWidth, int TextHeight) {
    TGlyphLayout l;
    const bool hasText = TextWidth > 0 && TextHeight > 0;
    const int textWidth = hasText ? std::min(TextWidth, GlyphTextRoom(Width, HasGlyph)) : 0;
    const int glyphWidth = HasGlyph ? TBitmap16::Width : 0;
    const int gap = HasGlyph && textWidth > 0 ? kGlyphSpacing : 0;
    const int left = std::max((Width - glyphWidth - gap - textWidth) / 2, 0);
    if (HasGlyph) {
        l.GlyphLeft = left;
        l.GlyphTop = (Height - TBitmap16::Height) / 2;
    }
    if (textWidth > 0) {
        l.TextLeft = left + glyphWidth + gap;
        l.TextTop = std::max((Height - TextHeight) / 2, 0); // too tall: its first lines show
        l.TextWidth = textWidth;
        l.TextHeight = TextHeight;
    }
    return l;
}

TBitmap16 DisabledPicture(const TBitmap16& Picture) {
    TBitmap16 out = Picture;
    const uint32_t clear = Picture.TransparentColor();
    for (uint32_t& p : out.Pixels) {
        if (Picture.Transparent && p == clear)
            continue;
        const uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        const uint32_t luma = (r * 30 + g * 59 + b * 11) / 100;
        // Faded towards white, so the whole range lands in light greys that still show the
        // shape on a button face.
        const uint32_t grey = 0x70 + luma * (0xF0 - 0x70) / 0xFF;
        p = (grey << 16) | (grey << 8) | grey;
        if (Picture.Transparent && p == clear) // a grey transparent colour: stay visible
            p += 0x010101;
    }
    return out;
}
