// The pictures of the main window's buttons: each one a drawing of its own on a transparent
// background.
#include "app/ButtonPictures.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>

namespace {
int OpaquePixels(const TBitmap16& b) {
    int n = 0;
    for (uint32_t p : b.Pixels)
        n += p != b.TransparentColor();
    return n;
}

// Every picture of the set: a distinct drawing on a transparent background.
void ExpectDistinctDrawings(TBitmap16 (*Picture)(int), int Count) {
    for (int i = 0; i < Count; ++i) {
        SCOPED_TRACE(i);
        const TBitmap16 b = Picture(i);
        EXPECT_TRUE(b.Transparent);
        EXPECT_EQ(b.TransparentColor(), 0x00FF00FFu);
        // A real drawing, not a square: a fair share of the pixels, transparent corners.
        EXPECT_GT(OpaquePixels(b), 40);
        for (auto [x, y] : {std::pair{0, 0}, {15, 0}, {0, 15}, {15, 15}})
            EXPECT_EQ(b.At(x, y), b.TransparentColor()) << x << "," << y;
        for (int j = 0; j < i; ++j)
            EXPECT_NE(b.Pixels, Picture(j).Pixels) << "same as picture " << j;
    }
}
} // namespace

TEST(ButtonPictures, EachIsADistinctDrawingOnATransparentBackground) {
    ExpectDistinctDrawings(&ButtonPicture, kButtonPictureCount);
}

TEST(ButtonPictures, TheTrayIconsPicturesAsWell) {
    ExpectDistinctDrawings(&TrayPicture, kTrayPictureCount);
    EXPECT_THROW(TrayPicture(kTrayPictureCount), std::out_of_range);
}

TEST(ButtonPictures, TheDownArrowIsTheUpArrowUpsideDown) {
    const TBitmap16 up = ButtonPicture(kPictureUpArrow);
    const TBitmap16 down = ButtonPicture(kPictureDownArrow);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(down.At(x, y), up.At(x, 15 - y)) << x << "," << y;
}

TEST(ButtonPictures, AnIndexOutsideTheListIsRefused) {
    EXPECT_THROW(ButtonPicture(-1), std::out_of_range);
    EXPECT_THROW(ButtonPicture(kButtonPictureCount), std::out_of_range);
}
