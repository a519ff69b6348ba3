// Picture buttons without the window system: layout of picture and caption, and the greyed
// picture of a disabled control.
#include "toolkit/Glyphs.h"

#include <gtest/gtest.h>

TEST(GlyphLayout, APictureAloneIsCentred) {
    // The tall Up button: 33 x 150 less its frame.
    const TGlyphLayout l = LayoutGlyph(29, 146, true, 0, 0);
    EXPECT_EQ(l.GlyphLeft, 6);
    EXPECT_EQ(l.GlyphTop, 65);
    EXPECT_EQ(l.TextWidth, 0);
}

TEST(GlyphLayout, PictureAndCaptionAreCentredTogether) {
    // 16 + 4 + 40 = 60 pixels in 100: 20 on either side.
    const TGlyphLayout l = LayoutGlyph(100, 26, true, 40, 13);
    EXPECT_EQ(l.GlyphLeft, 20);
    EXPECT_EQ(l.GlyphTop, 5);
    EXPECT_EQ(l.TextLeft, 40);
    EXPECT_EQ(l.TextTop, 6);
    EXPECT_EQ(l.TextWidth, 40);
    EXPECT_EQ(l.TextHeight, 13);
}

TEST(GlyphLayout, ACaptionAloneIsCentred) {
    const TGlyphLayout l = LayoutGlyph(100, 26, false, 30, 13);
    EXPECT_EQ(l.TextLeft, 35);
    EXPECT_EQ(l.TextWidth, 30);
}

TEST(GlyphLayout, ATooWideCaptionIsCutToTheRoomBesideThePicture) {
    EXPECT_EQ(GlyphTextRoom(60, true), 60 - 2 * kGlyphMargin - 16 - kGlyphSpacing);
    EXPECT_EQ(GlyphTextRoom(60, false), 60 - 2 * kGlyphMargin);
    EXPECT_EQ(GlyphTextRoom(10, true), 0);
    const TGlyphLayout l = LayoutGlyph(60, 26, true, 200, 13);
    EXPECT_EQ(l.TextWidth, GlyphTextRoom(60, true));
    EXPECT_GE(l.GlyphLeft, 0);
    EXPECT_LE(l.TextLeft + l.TextWidth, 60);
    // Wrapped onto more lines than fit: the first lines show, the picture stays centred.
    const TGlyphLayout tall = LayoutGlyph(80, 26, true, 50, 52);
    EXPECT_EQ(tall.TextTop, 0);
    EXPECT_EQ(tall.GlyphTop, 5);
    // Narrower than the picture itself: the picture starts at the left edge.
    EXPECT_EQ(LayoutGlyph(10, 26, true, 0, 0).GlyphLeft, 0);
}

TEST(DisabledPicture, OpaquePixelsTurnGreyAndTransparentOnesStay) {
    TBitmap16 b;
    b.Pixels.fill(0x00FF00FF);
    b.Transparent = true;
    b.At(3, 3) = 0x000000FF;
    b.At(4, 3) = 0x00000000;
    b.At(5, 3) = 0x00FFFFFF;
    const TBitmap16 d = DisabledPicture(b);
    EXPECT_TRUE(d.Transparent);
    EXPECT_EQ(d.At(0, 0), 0x00FF00FFu);
    for (int x : {3, 4, 5}) {
        const uint32_t p = d.At(x, 3);
        EXPECT_EQ(p >> 16, p & 0xFF) << x;
        EXPECT_EQ((p >> 8) & 0xFF, p & 0xFF) << x;
    }
    // Lighter stays lighter, and even black is a light grey.
    EXPECT_LT(d.At(4, 3) & 0xFF, d.At(3, 3) & 0xFF);
    EXPECT_LT(d.At(3, 3) & 0xFF, d.At(5, 3) & 0xFF);
    EXPECT_GE(d.At(4, 3) & 0xFF, 0x60u);
}

TEST(DisabledPicture, AGreyTransparentColourDoesNotSwallowThePicture) {
    TBitmap16 b;
    b.Transparent = true;
    b.Pixels.fill(0x00707070); // the grey that black becomes
    b.At(2, 2) = 0x00000000;
    const TBitmap16 d = DisabledPicture(b);
    EXPECT_NE(d.At(2, 2), d.TransparentColor());
}
