// The icon channel's plain data: StopHook's result, the handed-over pixels and the section
// names; and the group's destruction event that lets the pending icon group go.
#include "taskbar/loader_hook.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(IconHook, OnlyALowByteOfOneMeansStopped) {
    for (uint32_t stopped : {1u, 0x101u, 0xFFFFFF01u})
        EXPECT_TRUE(IconHookStopped(stopped)) << stopped;
    for (uint32_t running : {0u, 2u, 0x100u, 0xFFu})
        EXPECT_FALSE(IconHookStopped(running)) << running;
}

TEST(IconPixels, BelongOnlyToTheReplyTheyWereMadeFor) {
    TIconPixels p;
    p.Magic = TIconPixels::kMagic;
    p.Size = sizeof p;
    p.Icon = 0x1234567890ull;
    EXPECT_TRUE(IconPixelsFor(p, 0x1234567890ull));
    EXPECT_FALSE(IconPixelsFor(p, 0x34567890ull)); // all 64 bits count
    TIconPixels stale = p;
    stale.Magic = 0;
    EXPECT_FALSE(IconPixelsFor(stale, p.Icon));
    TIconPixels other = p;
    other.Size = sizeof p - 1;
    EXPECT_FALSE(IconPixelsFor(other, p.Icon));
    TIconPixels none;
    EXPECT_FALSE(IconPixelsFor(none, 0));
}

TEST(IconPixels, MaskRowsPutTheLeftmostPixelInTheHighestBit) {
    TIconPixels p;
    p.Mask[0] = 1;            // row 0, x 0
    p.Mask[9] = 1;            // row 0, x 9
    p.Mask[16 * 15 + 15] = 1; // row 15, x 15
    const std::string rows = IconMaskRows(p);
    ASSERT_EQ(rows.size(), 32u);
    EXPECT_EQ(static_cast<unsigned char>(rows[0]), 0x80);
    EXPECT_EQ(static_cast<unsigned char>(rows[1]), 0x40);
    EXPECT_EQ(static_cast<unsigned char>(rows[31]), 0x01);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), '\0'), 29);
}

TEST(IconSection, NamedAfterTheWholeWindowHandle) {
    EXPECT_EQ(IconPixelsSectionName(0x1A2B), "ZorvaneIconPixels.1A2B");
    EXPECT_NE(IconPixelsSectionName(0x100001A2B), IconPixelsSectionName(0x1A2B));
}

TEST(GroupDestruction, TellsWhoeverStillRefersToTheGroup) {
    TGroupList groups;
    AddGroup(groups, std::make_unique<TGrupButtons>());
    AddGroup(groups, std::make_unique<TGrupButtons>());
    std::vector<TGrupButtons*> gone;
    for (TGroupListItem& g : groups)
        g.Group->OnDestroy = [&](TGrupButtons& Sender) { gone.push_back(&Sender); };
    TGrupButtons* first = groups[0].Group.get();
    TGrupButtons* second = groups[1].Group.get();
    ClearGroupList(groups);
    EXPECT_EQ(gone, (std::vector<TGrupButtons*>{first, second}));
}
