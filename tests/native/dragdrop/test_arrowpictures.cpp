// The arrow pictures: each points with the pixel the balloon's placement counts on.
#include "dragdrop/ArrowPictures.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

TEST(ArrowPictures, TipIsTheArrowsFarthestPixel) {
    struct Row {
        int line;
        TArrowPicture which;
        TPoint tip;
        int dx, dy; // the direction it points
    };
    const Row rows[] = {
        {__LINE__, ArrowDown, {24, 42}, 0, 1},
        {__LINE__, ArrowUp, {25, 7}, 0, -1},
        {__LINE__, ArrowLeft, {7, 24}, -1, 0},
        {__LINE__, ArrowRight, {42, 24}, 1, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        EXPECT_EQ(ArrowTip(r.which), r.tip);
        const TArrowBitmap b = ArrowPicture(r.which);
        ASSERT_TRUE(b.Transparent);
        ASSERT_EQ(b.TransparentColor(), kBalloonClear);
        EXPECT_EQ(b.At(r.tip.X, r.tip.Y), kArrowColor);
        int painted = 0;
        for (int y = 0; y < TArrowBitmap::Height; ++y)
            for (int x = 0; x < TArrowBitmap::Width; ++x) {
                if (b.At(x, y) == kBalloonClear)
                    continue;
                ++painted;
                const int beyond = (x - r.tip.X) * r.dx + (y - r.tip.Y) * r.dy;
                EXPECT_LE(beyond, 0) << "painted pixel (" << x << ", " << y << ")";
            }
        // A thick arrow, not a few strokes; and the transparent background around it.
        EXPECT_GT(painted, 350);
        EXPECT_LT(painted, 1000);
    }
}

TEST(ArrowPictures, OnlyFourPictures) {
    EXPECT_THROW(ArrowPicture(static_cast<TArrowPicture>(4)), std::out_of_range);
}

} // namespace
