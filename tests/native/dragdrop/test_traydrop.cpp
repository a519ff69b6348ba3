// A notification-area icon dropped along the tray toolbar: where it goes and where the line
// that marks the place stands, on one row and on the wrapped rows of a vertical taskbar.
#include "dragdrop/TrayDrop.h"

#include <gtest/gtest.h>

namespace {

// Icons 20 wide at x = 0, 20, 40, ... on one row 0..20 high; position 2 is hidden.
std::vector<TTrayIconPlace> Row(int Count) {
    std::vector<TTrayIconPlace> icons;
    int x = 0;
    for (int i = 0; i < Count; ++i) {
        const bool shown = i != 2;
        icons.push_back({i, shown, shown ? TRect{x, 0, x + 20, 20} : TRect{}});
        if (shown)
            x += 20;
    }
    return icons;
}

TEST(TrayDrop, ALeadingHalfDropsInFrontATrailingHalfBehind) {
    const std::vector<TTrayIconPlace> icons = Row(5); // shown: 0 1 3 4 at x 0 20 40 60
    struct {
        int line;
        int32_t from;
        TPoint p;
        int32_t before, moveTo, markX;
    } const rows[] = {
        {__LINE__, 4, {2, 10}, 0, 0, 0},   // first icon's leading half: to the front
        {__LINE__, 4, {15, 10}, 1, 1, 20}, // its trailing half: behind it
        {__LINE__, 0, {45, 10}, 3, 2, 40}, // moving right: one less once it is taken out
        {__LINE__, 0, {75, 10}, 5, 4, 80}, // the last icon's trailing half: the end
        {__LINE__, 0, {300, 5}, 5, 4, 80}, // far right on the row: still the end
        {__LINE__, 3, {-40, 5}, 0, 0, 0},  // far left: the front
        {__LINE__, 1, {25, 10}, 1, 1, 20}, // its own place: it stays
        {__LINE__, 1, {35, 10}, 2, 1, 40}, // behind itself: it stays too
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.line);
        const std::optional<TTrayDrop> d = TrayDropAt(icons, r.from, r.p);
        ASSERT_TRUE(d);
        EXPECT_EQ(d->Before, r.before);
        EXPECT_EQ(d->MoveTo, r.moveTo);
        EXPECT_EQ(d->Mark, (TRect{r.markX - 1, 0, r.markX + 1, 20}));
    }
}

TEST(TrayDrop, NothingOffTheRowsOrForAnIconNotThere) {
    const std::vector<TTrayIconPlace> icons = Row(5);
    EXPECT_FALSE(TrayDropAt(icons, 1, {10, 20})) << "below the row";
    EXPECT_FALSE(TrayDropAt(icons, 1, {10, -1})) << "above it";
    EXPECT_FALSE(TrayDropAt(icons, 9, {10, 10})) << "no icon at position 9";
    EXPECT_FALSE(TrayDropAt({}, 0, {10, 10}));
}

TEST(TrayDrop, WrappedRowsTakeTheRowUnderTheMouse) {
    // A vertical taskbar: two icons a row, rows 20 high.
    std::vector<TTrayIconPlace> icons;
    for (int i = 0; i < 5; ++i)
        icons.push_back(
            {i, true, {(i % 2) * 20, (i / 2) * 20, (i % 2) * 20 + 20, (i / 2) * 20 + 20}});
    const std::optional<TTrayDrop> d = TrayDropAt(icons, 0, {22, 45}); // third row, second place
    ASSERT_TRUE(d);
    EXPECT_EQ(d->Before, 5);
    EXPECT_EQ(d->MoveTo, 4);
    EXPECT_EQ(d->Mark, (TRect{19, 40, 21, 60}));
    const std::optional<TTrayDrop> e = TrayDropAt(icons, 4, {3, 25}); // second row, leading
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Before, 2);
    EXPECT_EQ(e->MoveTo, 2);
}

} // namespace
