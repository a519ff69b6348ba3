// The balloon's layout for each taskbar edge, and the drop zones and balloon placement of
// ComputeDropPosition, on plain data.
#include "dragdrop/DropPosition.h"

#include <algorithm>
#include <climits>
#include <gtest/gtest.h>

namespace {

struct LayoutRow {
    int line;
    int edge;
    TArrowPicture picture;
    int32_t width, height;
    TPoint shape, arrow;
    int32_t hotSpotX, hotSpotY;
    TRect icon, caption, help;
};

TEST(BalloonLayout, EachEdge) {
    const LayoutRow rows[] = {
        {__LINE__,
         EdgeBottom,
         ArrowDown,
         200,
         135,
         {0, 0},
         {72, 85},
         100,
         -1,
         {90, 28, 110, 48},
         {5, 53, 195, 70},
         {5, 72, 195, 85}},
        {__LINE__,
         EdgeTop,
         ArrowUp,
         200,
         115,
         {0, 5},
         {75, 0},
         100,
         -1,
         {90, 33, 110, 53},
         {5, 58, 195, 75},
         {5, 72, 195, 85}},
        {__LINE__,
         EdgeLeft,
         ArrowLeft,
         205,
         110,
         {5, 0},
         {0, 30},
         -1,
         55,
         {92, 28, 112, 48},
         {10, 53, 200, 70},
         {10, 72, 200, 85}},
        {__LINE__,
         EdgeRight,
         ArrowRight,
         205,
         110,
         {0, 0},
         {155, 30},
         -1,
         55,
         {90, 28, 110, 48},
         {5, 53, 195, 70},
         {5, 72, 195, 85}},
    };
    for (const LayoutRow& r : rows) {
        SCOPED_TRACE(r.line);
        TBalloonGeometry g;
        EXPECT_TRUE(g.LayOut(r.edge));
        EXPECT_FALSE(g.LayOut(r.edge)); // laid out once per edge
        const TBalloonParts& p = g.Parts();
        EXPECT_EQ(p.Picture, r.picture);
        EXPECT_EQ(p.Width, r.width);
        EXPECT_EQ(p.Height, r.height);
        EXPECT_EQ(p.Shape, (TRect{r.shape.X, r.shape.Y, r.shape.X + 200, r.shape.Y + 110}));
        EXPECT_EQ(p.Arrow, (TRect{r.arrow.X, r.arrow.Y, r.arrow.X + 50, r.arrow.Y + 50}));
        EXPECT_EQ(g.HotSpotX(), r.hotSpotX);
        EXPECT_EQ(g.HotSpotY(), r.hotSpotY);
        EXPECT_EQ(p.Icon, r.icon);
        EXPECT_EQ(p.Caption, r.caption);
        EXPECT_EQ(p.Help, r.help);
        EXPECT_EQ(g.LastEdge(), r.edge);
    }
}

TEST(BalloonLayout, OnlyTheFourEdges) {
    TBalloonGeometry g;
    EXPECT_FALSE(g.LayOut(TBalloonGeometry::kNoEdge));
    EXPECT_FALSE(g.LayOut(-1));
    EXPECT_EQ(g.LastEdge(), TBalloonGeometry::kNoEdge);
}

// Groups with the given rectangles, captions "G0", "G1", ...; a rectangle left empty marks a
// group without a visible button.
TGroupList Groups(std::initializer_list<TRect> rects) {
    TGroupList list;
    for (const TRect& r : rects) {
        auto g = std::make_unique<TGrupButtons>();
        g->HasVisible = r != TRect{};
        if (g->HasVisible)
            g->Rect = r;
        g->Caption = "G" + std::to_string(list.size());
        AddGroup(list, std::move(g));
    }
    return list;
}

constexpr int kMiss = -2; // a row that hits no zone

struct DropRow {
    int line;
    TPoint cursor;
    int32_t index; // kMiss: nothing hit
    TPoint balloon;
};

void ExpectDrops(const TGroupList& groups, const TDropContext& context, bool atPress,
                 std::initializer_list<DropRow> rows) {
    for (const DropRow& r : rows) {
        SCOPED_TRACE(r.line);
        TBalloonGeometry g;
        TPoint p = r.cursor;
        std::string caption = "old";
        int32_t index = -7;
        const bool hit = ComputeDropPosition(p, caption, index, groups, atPress, context, g);
        EXPECT_EQ(g.LastEdge(), context.Edge);
        if (r.index == kMiss) {
            EXPECT_FALSE(hit);
            EXPECT_EQ(p, r.cursor);
            EXPECT_EQ(caption, "old");
            EXPECT_EQ(index, -7);
            continue;
        }
        ASSERT_TRUE(hit);
        EXPECT_EQ(index, r.index);
        EXPECT_EQ(p, r.balloon);
        const std::size_t group = std::min<std::size_t>(r.index, groups.size() - 1);
        EXPECT_EQ(caption, groups[group].Group->Caption);
    }
}

// A bottom taskbar of a 1024 x 768 screen with three groups 100 pixels wide.
const TDropContext kBottom{EdgeBottom, {0, 738, 1024, 768}, 1024, 768, -1};
TGroupList BottomGroups() {
    return Groups({{100, 740, 200, 770}, {200, 740, 300, 770}, {300, 740, 400, 770}});
}

TEST(DropPosition, BottomTaskbarDuringADrag) {
    // Balloon: left = drop x - 100, top = group top - (135 + 2).
    ExpectDrops(BottomGroups(), kBottom, false,
                {
                    {__LINE__, {99, 750}, kMiss, {}},
                    {__LINE__, {100, 750}, 0, {0, 603}}, // the first zone starts at its group
                    {__LINE__, {149, 750}, 0, {0, 603}},
                    {__LINE__, {150, 750}, 1, {100, 603}}, // trailing half of the one before
                    {__LINE__, {249, 750}, 1, {100, 603}},
                    {__LINE__, {350, 750}, 2, {200, 603}},
                    {__LINE__, {351, 750}, 3, {300, 603}}, // the last one's trailing half
                    {__LINE__, {399, 750}, 3, {300, 603}},
                    {__LINE__, {400, 750}, kMiss, {}},
                    {__LINE__, {120, 438}, 0, {0, 603}}, // 300 pixels above the taskbar
                    {__LINE__, {120, 384}, 0, {0, 603}},
                    {__LINE__, {120, 383}, kMiss, {}},
                    {__LINE__, {120, 770}, kMiss, {}},
                });
}

// A program's group of two buttons is twice as long as the others: the zones still meet, so
// that its second half drops in front of the next group and no point between groups misses.
TEST(DropPosition, AGroupOfTwoButtonsAmongSingleOnes) {
    ExpectDrops(Groups({{100, 740, 300, 770}, {300, 740, 400, 770}, {400, 740, 500, 770}}), kBottom,
                false,
                {
                    {__LINE__, {199, 750}, 0, {0, 603}},
                    {__LINE__, {200, 750}, 1, {200, 603}}, // the long group's trailing half
                    {__LINE__, {249, 750}, 1, {200, 603}},
                    {__LINE__, {349, 750}, 1, {200, 603}},
                    {__LINE__, {350, 750}, 2, {300, 603}},
                });
}

TEST(DropPosition, TheDraggedGroupsOwnZone) {
    TDropContext c = kBottom;
    c.SourceIndex = 1; // reaches from 150 to 350, over the next group's leading half
    ExpectDrops(BottomGroups(), c, false,
                {
                    {__LINE__, {149, 750}, 0, {0, 603}},
                    {__LINE__, {150, 750}, 1, {150, 603}}, // the arrow at its middle
                    {__LINE__, {349, 750}, 1, {150, 603}},
                    {__LINE__, {350, 750}, 2, {200, 603}},
                });
    c.SourceIndex = 2; // the last group: from half its length before it to a length past it
    ExpectDrops(BottomGroups(), c, false,
                {
                    {__LINE__, {399, 750}, 2, {250, 603}},
                    {__LINE__, {499, 750}, 2, {250, 603}},
                    {__LINE__, {500, 750}, kMiss, {}},
                });
}

TEST(DropPosition, APressHitsOnlyAGroupsOwnRectangle) {
    ExpectDrops(BottomGroups(), kBottom, true,
                {
                    {__LINE__, {99, 750}, kMiss, {}},
                    {__LINE__, {100, 750}, 0, {0, 603}},
                    {__LINE__, {199, 750}, 0, {100, 603}}, // trailing half: arrow at 200
                    {__LINE__, {200, 750}, 1, {100, 603}},
                    {__LINE__, {399, 750}, 2, {300, 603}}, // not the end of the list
                    {__LINE__, {120, 739}, kMiss, {}},
                    {__LINE__, {120, 500}, kMiss, {}},
                });
}

TEST(DropPosition, ALastGroupWithoutAVisibleButton) {
    const TGroupList groups =
        Groups({{100, 740, 200, 770}, {200, 740, 300, 770}, {300, 740, 400, 770}, {}});
    ExpectDrops(groups, kBottom, false,
                {
                    {__LINE__, {349, 750}, 2, {200, 603}},
                    {__LINE__, {350, 750}, kMiss, {}}, // the last visible zone ends at its middle
                });
    for (int32_t x = 0; x < 1024; ++x) {
        TBalloonGeometry g;
        TPoint p{x, 750};
        std::string caption;
        int32_t index = -1;
        ComputeDropPosition(p, caption, index, groups, false, kBottom, g);
        ASSERT_LT(index, 4) << x;
    }
}

TEST(DropPosition, TopTaskbarOfTwoRows) {
    // Only the lower row, whose bottom lies within 10 pixels of the taskbar's, reaches down.
    const TDropContext c{EdgeTop, {0, 0, 1024, 62}, 1024, 768, -1};
    const TGroupList groups =
        Groups({{100, 2, 200, 32}, {200, 2, 300, 32}, {100, 32, 200, 62}, {200, 32, 300, 62}});
    ExpectDrops(groups, c, false,
                {
                    {__LINE__, {120, 31}, 0, {0, 32}}, // balloon top = group bottom
                    {__LINE__, {260, 10}, kMiss, {}},
                    {__LINE__, {200, 100}, 3, {100, 62}}, // below the upper row's zones
                    {__LINE__, {60, 100}, 2, {0, 62}},
                    {__LINE__, {60, 383}, 2, {0, 62}},
                    {__LINE__, {60, 384}, kMiss, {}},
                    {__LINE__, {299, 40}, 4, {200, 62}},
                });
}

TEST(DropPosition, LeftTaskbar) {
    // Balloon: left = group right, top = drop y - 55.
    const TDropContext c{EdgeLeft, {0, 0, 60, 768}, 1024, 768, -1};
    const TGroupList groups = Groups({{0, 100, 60, 140}, {0, 140, 60, 180}, {0, 180, 60, 220}});
    ExpectDrops(groups, c, false,
                {
                    {__LINE__, {511, 110}, 0, {60, 45}},
                    {__LINE__, {512, 110}, kMiss, {}},
                    {__LINE__, {30, 120}, 1, {60, 85}},
                    {__LINE__, {30, 200}, 2, {60, 125}},
                    {__LINE__, {30, 201}, 3, {60, 165}},
                });
}

TEST(DropPosition, RightTaskbarOfTwoColumns) {
    // Only the outer column, more than 10 pixels from the taskbar's left edge, reaches left.
    // Balloon: left = group left - 205, top = drop y - 55.
    const TDropContext c{EdgeRight, {904, 0, 1024, 768}, 1024, 768, -1};
    const TGroupList groups =
        Groups({{906, 100, 966, 140}, {906, 140, 966, 180}, {966, 100, 1024, 140}});
    ExpectDrops(groups, c, false,
                {
                    {__LINE__, {905, 150}, kMiss, {}},
                    {__LINE__, {910, 110}, 0, {701, 45}}, // first in the list wins
                    {__LINE__, {600, 90}, 2, {761, 45}},
                    {__LINE__, {600, 130}, 3, {761, 85}},
                    {__LINE__, {511, 130}, kMiss, {}},
                });
}

TEST(DropPosition, EmptyListAndUnknownEdge) {
    TBalloonGeometry g;
    TPoint p{120, 750};
    std::string caption = "old";
    int32_t index = 5;
    const TGroupList none;
    EXPECT_FALSE(ComputeDropPosition(p, caption, index, none, false, kBottom, g));
    EXPECT_EQ(g.LastEdge(), EdgeBottom); // laid out all the same
    TDropContext odd = kBottom;
    odd.Edge = 7;
    EXPECT_FALSE(ComputeDropPosition(p, caption, index, BottomGroups(), false, odd, g));
    EXPECT_EQ(p, (TPoint{120, 750}));
    EXPECT_EQ(caption, "old");
    EXPECT_EQ(index, 5);
}

TEST(DropPosition, AnEdgeChangeLaysTheBalloonOutAgain) {
    TBalloonGeometry g;
    TPoint p{120, 750};
    std::string caption;
    int32_t index = -1;
    ASSERT_TRUE(ComputeDropPosition(p, caption, index, BottomGroups(), false, kBottom, g));
    EXPECT_EQ(g.Parts().Picture, ArrowDown);

    const TDropContext right{EdgeRight, {964, 0, 1024, 768}, 1024, 768, -1};
    p = {970, 110};
    ASSERT_TRUE(
        ComputeDropPosition(p, caption, index, Groups({{966, 100, 1024, 140}}), false, right, g));
    EXPECT_EQ(g.Parts().Picture, ArrowRight);
    EXPECT_EQ(g.LastEdge(), EdgeRight);
    EXPECT_EQ(p, (TPoint{966 - 205, 100 - 55}));
}

TEST(DropPosition, AbsurdRectanglesStayInRange) {
    const TDropContext c{EdgeRight, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, 1024, 768, 0};
    const TGroupList groups = Groups({{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {0, 0, 1, 1}});
    for (bool atPress : {true, false}) {
        TBalloonGeometry g;
        TPoint p{0, 0};
        std::string caption;
        int32_t index = -1;
        ASSERT_TRUE(ComputeDropPosition(p, caption, index, groups, atPress, c, g));
        EXPECT_EQ(index, 0);
        EXPECT_EQ(p, (TPoint{INT_MIN, -1 - 55})); // held at the left end, not wrapped
    }
}

} // namespace
