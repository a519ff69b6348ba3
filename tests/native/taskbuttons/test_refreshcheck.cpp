// The refresh's rebuild decision and the kept group icons, on plain data.
#include <gtest/gtest.h>

#include <functional>

#include "taskbar/IconCache.h"
#include "taskbar/RefreshCheck.h"

namespace {

TToolbarLook Look(std::initializer_list<int32_t> Ids) {
    TToolbarLook look;
    for (int32_t id : Ids)
        look.push_back({id, id % 7, 0, 0, uint64_t(0x1000 + id)});
    return look;
}

// A group of a hidden header and one window button, as the snapshot lists it.
std::unique_ptr<TGrupButtons> Group(TWndHandle Wnd) {
    auto g = std::make_unique<TGrupButtons>();
    g->Windows = {0, Wnd};
    return g;
}

TEST(RefreshCheck, RebuildsOnlyWhenTheLookOrATitleChanged) {
    TRefreshCheck check;
    const TWindowTitles titles{{11, "Mail"}, {12, "Notes"}};
    EXPECT_TRUE(check.NeedsRebuild(Look({1, 2}), {})) << "nothing known yet";
    check.Remember(Look({1, 2}), titles);
    EXPECT_FALSE(check.NeedsRebuild(Look({1, 2}), titles));

    // Each part of a button's look counts: id, order, image, state, style, window block.
    EXPECT_TRUE(check.NeedsRebuild(Look({2, 1}), titles));
    EXPECT_TRUE(check.NeedsRebuild(Look({1, 2, 3}), titles));
    const std::function<void(TButtonLook&)> changes[] = {
        [](TButtonLook& b) { ++b.CommandId; }, [](TButtonLook& b) { ++b.ImageIndex; },
        [](TButtonLook& b) { b.State ^= kTbStateChecked; },
        [](TButtonLook& b) { b.Style ^= kBtnsDropDown; }, [](TButtonLook& b) { b.Data += 4; }};
    for (const auto& change : changes) {
        TToolbarLook changed = Look({1, 2});
        change(changed[1]);
        EXPECT_TRUE(check.NeedsRebuild(changed, titles));
    }
    check.Forget();
    EXPECT_TRUE(check.NeedsRebuild(Look({1, 2}), titles));
}

TEST(RefreshCheck, ARenamedWindowRebuildsAgainAtTheNextCheck) {
    TRefreshCheck check;
    check.Remember(Look({1, 2}), {{11, "Mail"}, {12, "Notes"}});
    EXPECT_EQ(check.ListedWindows(), (std::vector<TWndHandle>{11, 12}));
    const TWindowTitles renamed{{11, "Mail (1)"}, {12, "Notes"}};
    EXPECT_TRUE(check.NeedsRebuild(Look({1, 2}), renamed));
    check.Remember(Look({1, 2}), renamed);
    // The shell may show the new title only later: one more rebuild, then quiet.
    EXPECT_TRUE(check.NeedsRebuild(Look({1, 2}), renamed));
    check.Remember(Look({1, 2}), renamed);
    EXPECT_FALSE(check.NeedsRebuild(Look({1, 2}), renamed));
}

TEST(RefreshCheck, WindowsOfListsEachWindowOnceWithoutTheEmptyOnes) {
    TGroupList groups;
    AddGroup(groups, Group(11));
    AddGroup(groups, Group(12));
    groups[1].Group->Windows.push_back(11);
    const TWindowTitles windows = WindowsOf(groups);
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows[0].first, 11);
    EXPECT_EQ(windows[1].first, 12);
}

TEST(IconCache, KeepsIconsPerWindowAndImageUntilTheWindowLeaves) {
    TIconCache cache;
    TGroupList groups;
    AddGroup(groups, Group(11));
    AddGroup(groups, Group(12));
    TGrupButtons& mail = *groups[0].Group;
    TGrupButtons& notes = *groups[1].Group;
    EXPECT_FALSE(cache.Take(mail, 3));
    mail.Icon.At(0, 0) = 0x112233;
    mail.Icon.Transparent = true;
    cache.Keep(mail, 3);

    auto again = Group(11);
    ASSERT_TRUE(cache.Take(*again, 3));
    EXPECT_EQ(again->Icon.At(0, 0), 0x112233u);
    EXPECT_TRUE(again->Icon.Transparent);
    EXPECT_FALSE(cache.Take(*again, 4)) << "another picture of the same window";
    EXPECT_FALSE(cache.Take(notes, 3)) << "the same image index of another window";

    // A group with no window of its own is never taken for another.
    auto bare = std::make_unique<TGrupButtons>();
    cache.Keep(*bare, 3);
    EXPECT_FALSE(cache.Take(*bare, 3));

    cache.Prune(groups);
    EXPECT_EQ(cache.Size(), 1u);
    groups.erase(groups.begin());
    cache.Prune(groups);
    EXPECT_EQ(cache.Size(), 0u);
}

} // namespace
