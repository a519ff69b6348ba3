// Grouping of toolbar buttons into taskbar groups, rectangles, window lists, icon requests
// and the taskbar edge, on plain data.
#include "taskbar/taskbuttons.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct ButtonDef {
    bool visible;
    bool header;
    int32_t img = 0;
    TWndHandle wnd = 0;
    const char* caption = "";
    bool pressed = false;
    TRect rect{};
};

// One button per ButtonDef, at toolbar positions 0, 1, 2, ... (Index and CommandId 100 + i).
TButtonList Toolbar(const std::vector<ButtonDef>& defs) {
    TButtonList list;
    for (std::size_t i = 0; i < defs.size(); ++i) {
        const ButtonDef& s = defs[i];
        auto b = std::make_unique<TTaskButton>();
        uint32_t state = (s.visible ? 0 : kTbStateHidden) | (s.pressed ? kTbStateChecked : 0);
        b->SetStyleState(s.header ? kBtnsDropDown : 0, state);
        b->Index = static_cast<int32_t>(i);
        b->CommandId = static_cast<int32_t>(100 + i);
        b->ImageIndex = s.img;
        b->Wnd = s.wnd;
        b->Caption = s.caption;
        b->Rect = s.rect;
        list.push_back(std::move(b));
    }
    return list;
}

// The Index of every button of every group, group by group.
std::vector<std::vector<int32_t>> Shape(const TGroupList& groups) {
    std::vector<std::vector<int32_t>> shape;
    for (const TGroupListItem& g : groups) {
        shape.emplace_back();
        for (const TGrupButtons::TItem& b : g.Group->Items)
            shape.back().push_back(b.Button->Index);
    }
    return shape;
}

const TRect kNoRect{-100, -100, -100, -100};

// Hidden header A, visible A1, hidden header B, visible B1, visible B2, visible header C,
// hidden C1, hidden C2; window handles 1..8, image indexes 10..17.
std::vector<ButtonDef> EightButtons() {
    return {
        {false, true, 10, 1, "A"},   {true, false, 11, 2, "A1"},  {false, true, 12, 3, "B"},
        {true, false, 13, 4, "B1"},  {true, false, 14, 5, "B2"},  {true, true, 15, 6, "C"},
        {false, false, 16, 7, "C1"}, {false, false, 17, 8, "C2"},
    };
}

TEST(Snapshot, EightButtonToolbarFull) {
    TGroupList groups;
    auto requests = BuildSnapshot(false, Toolbar(EightButtons()), {}, groups);

    // B's two visible window buttons are one program's group: {B, B1, B2}.
    ASSERT_THAT(Shape(groups),
                ElementsAre(ElementsAre(0, 1), ElementsAre(2, 3, 4), ElementsAre(5, 6, 7)));
    struct Expect {
        int32_t index;
        bool alternate;
        const char* caption;
        std::vector<TWndHandle> windows;
    };
    const Expect expect[] = {
        {1, false, "A1", {1, 2}},
        {3, false, "B1", {3, 4, 5}},
        {5, true, "C", {6, 7, 8}},
    };
    for (std::size_t i = 0; i < groups.size(); ++i) {
        SCOPED_TRACE(i);
        const TGrupButtons& g = *groups[i].Group;
        EXPECT_EQ(groups[i].Text, std::to_string(i));
        EXPECT_EQ(g.Index, expect[i].index);
        EXPECT_EQ(g.NeedsAlternateMove, expect[i].alternate);
        EXPECT_EQ(g.Caption, expect[i].caption);
        EXPECT_EQ(g.Windows, expect[i].windows);
        EXPECT_TRUE(g.HasVisible);
        for (int j = 0; j < g.Count(); ++j)
            EXPECT_EQ(g.Items[static_cast<std::size_t>(j)].Text, std::to_string(j));
    }
    // The second button's image of every group: A1, B1 and C1.
    EXPECT_THAT(requests,
                ElementsAre(TIconRequest{0, 11}, TIconRequest{1, 13}, TIconRequest{2, 16}));
}

TEST(Snapshot, LightSnapshotLeavesOutWindowsAndIcons) {
    auto defs = EightButtons();
    for (std::size_t i = 0; i < defs.size(); ++i)
        defs[i].rect = {int32_t(10 * i), 0, int32_t(10 * i + 8), 20};
    const TRect toolbar{100, 700, 900, 730};
    TGroupList full, light;
    BuildSnapshot(false, Toolbar(defs), toolbar, full);
    auto requests = BuildSnapshot(true, Toolbar(defs), toolbar, light);

    EXPECT_THAT(requests, IsEmpty());
    ASSERT_EQ(Shape(light), Shape(full));
    for (std::size_t i = 0; i < light.size(); ++i) {
        SCOPED_TRACE(i);
        const TGrupButtons& l = *light[i].Group;
        const TGrupButtons& f = *full[i].Group;
        EXPECT_EQ(l.Index, f.Index);
        EXPECT_EQ(l.Rect, f.Rect);
        EXPECT_EQ(l.Caption, f.Caption);
        EXPECT_EQ(l.HasVisible, f.HasVisible);
        EXPECT_FALSE(l.NeedsAlternateMove);
        EXPECT_THAT(l.Windows, IsEmpty());
    }
}

TEST(Snapshot, GroupShapes) {
    struct Row {
        int line;
        std::vector<ButtonDef> toolbar;
        std::vector<std::vector<int32_t>> shape;
        std::vector<bool> alternate;
    };
    const Row rows[] = {
        // Visible header and one hidden member (a collapsed group of two).
        {__LINE__, {{true, true}, {false, false}}, {{0, 1}}, {true}},
        // First button a hidden non-header: it starts the first group, hidden ones join it.
        {__LINE__,
         {{false, false}, {false, false}, {true, false}, {true, false}},
         {{0, 1, 2}, {3}},
         {true, true}},
        // A hidden non-header after a visible non-header starts a group of its own.
        {__LINE__, {{true, false}, {false, false}, {false, false}}, {{0}, {1, 2}}, {true, false}},
        // A header, visible or hidden, always starts a new group.
        {__LINE__,
         {{false, true}, {false, true}, {true, false}, {true, true}},
         {{0}, {1, 2}, {3}},
         {false, false, true}},
        // Every window button behind a hidden header up to the next header is the header's
        // group; one hidden among them leaves the group to the reshowing method.
        {__LINE__, {{false, true}, {true, false}, {false, false}}, {{0, 1, 2}}, {true}},
        {__LINE__,
         {{false, true}, {true, false}, {true, false}, {true, false}, {false, true}, {true, false}},
         {{0, 1, 2, 3}, {4, 5}},
         {false, false}},
        // Without headers (grouping of another shell) a visible button still starts a group
        // once the last one has its visible button.
        {__LINE__, {{true, false}, {true, false}}, {{0}, {1}}, {true, true}},
        // Visible header with two hidden members (collapsed group of three).
        {__LINE__, {{true, true}, {false, false}, {false, false}}, {{0, 1, 2}}, {true}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        TGroupList groups;
        BuildSnapshot(false, Toolbar(row.toolbar), {}, groups);
        EXPECT_EQ(Shape(groups), row.shape);
        std::vector<bool> alternate;
        for (const TGroupListItem& g : groups)
            alternate.push_back(g.Group->NeedsAlternateMove);
        EXPECT_EQ(alternate, row.alternate);
    }
}

TEST(Snapshot, GroupWithoutVisibleButton) {
    TGroupList groups;
    auto requests = BuildSnapshot(
        false, Toolbar({{false, true, 3, 7, "H", true}, {false, false, 4, 8, "M"}}), {}, groups);
    ASSERT_EQ(groups.size(), 1u);
    const TGrupButtons& g = *groups[0].Group;
    EXPECT_EQ(g.Rect, kNoRect);
    EXPECT_FALSE(g.HasVisible);
    EXPECT_EQ(g.Caption, "");
    EXPECT_EQ(g.Index, 0); // the first button stands for the group
    EXPECT_TRUE(g.Active); // all buttons count when none is visible
    EXPECT_FALSE(g.NeedsAlternateMove);
    EXPECT_THAT(g.Windows, IsEmpty());
    EXPECT_THAT(requests, IsEmpty());
}

TEST(Snapshot, NoIconRequestForSecondButtonWithoutImage) {
    TGroupList groups;
    auto requests =
        BuildSnapshot(false, Toolbar({{false, true, 5}, {true, false, -1}}), {}, groups);
    EXPECT_THAT(requests, IsEmpty());
    EXPECT_FALSE(groups[0].Group->NeedsAlternateMove);
}

TEST(ComputeGroupRects, MovesByToolbarAndEnlarges) {
    TGroupList groups;
    GroupButtons(Toolbar({{true, false, 0, 0, "x", false, {10, 2, 170, 30}}}), groups);
    ComputeGroupRects(groups, {120, 740, 1000, 770});
    EXPECT_EQ(groups[0].Group->Rect, (TRect{130, 742, 295, 775}));
}

// Found by fuzzing: a button rectangle far out (as a misbehaving shell may hand back) moved by
// the toolbar's corner ran past 32 bits; the edges stop at the 32-bit limits instead.
TEST(ComputeGroupRects, FarRectangleStaysWithin32Bits) {
    TGroupList groups;
    GroupButtons(Toolbar({{true,
                           false,
                           0,
                           0,
                           "x",
                           false,
                           {2122021755, INT32_MIN + 3, INT32_MAX - 2, INT32_MIN}}}),
                 groups);
    ComputeGroupRects(groups, {1881145344, -10, 1024, 768});
    EXPECT_EQ(groups[0].Group->Rect, (TRect{INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN}));
}

// A program's group of several window buttons: its rectangle covers them all, so that a press
// or a drop anywhere on its buttons finds the group; a button wrapped into the next row of the
// taskbar stays out of it.
TEST(ComputeGroupRects, SpansTheWindowButtonsOfItsRow) {
    TGroupList groups;
    GroupButtons(Toolbar({{false, true},
                          {true, false, 0, 0, "x", false, {10, 2, 170, 30}},
                          {true, false, 0, 0, "y", false, {170, 2, 330, 30}},
                          {true, false, 0, 0, "z", false, {0, 32, 160, 60}}}),
                 groups);
    ComputeGroupRects(groups, {100, 700, 1000, 760});
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].Group->Rect, (TRect{110, 702, 435, 735}));
    EXPECT_EQ(groups[0].Group->Caption, "x");
}

TEST(ComputeGroupRects, ActiveCountsButtonsUpToTheVisibleOne) {
    struct Row {
        int line;
        std::vector<ButtonDef> toolbar;
        bool active;
    };
    const Row rows[] = {
        {__LINE__, {{false, true, 0, 0, "", true}, {true, false}}, true},
        {__LINE__, {{false, true}, {true, false, 0, 0, "", true}}, true},
        {__LINE__, {{true, true}, {false, false, 0, 0, "", true}}, false},
        {__LINE__, {{false, true}, {true, false}}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        TGroupList groups;
        GroupButtons(Toolbar(row.toolbar), groups);
        ASSERT_EQ(groups.size(), 1u);
        ComputeGroupRects(groups, {});
        EXPECT_EQ(groups[0].Group->Active, row.active);
    }
}

TEST(ComputeGroupRects, RecomputesFromScratch) {
    TGroupList groups;
    GroupButtons(Toolbar({{false, true}, {false, false}}), groups);
    TGrupButtons& g = *groups[0].Group;
    g.Rect = {1, 2, 3, 4};
    g.HasVisible = true;
    g.Active = true;
    ComputeGroupRects(groups, {});
    EXPECT_EQ(g.Rect, kNoRect);
    EXPECT_FALSE(g.HasVisible);
    EXPECT_FALSE(g.Active);
}

TEST(LastPressedWindow, LaterPressedButtonWins) {
    EXPECT_EQ(LastPressedWindow(Toolbar({{true, false, 0, 0x10, "", true},
                                         {true, false, 0, 0x20},
                                         {true, false, 0, 0x30, "", true},
                                         {true, false, 0, 0, "", true}})),
              0x30); // a pressed button without a window does not count
    EXPECT_EQ(LastPressedWindow(Toolbar({{true, false, 0, 0x10}})), 0);
}

TEST(SortButtonsByIndex, AscendingAndStable) {
    TButtonList list =
        Toolbar({{true, false}, {true, false}, {true, false}, {true, false}, {true, false}});
    const int32_t indexes[] = {3, 1, 3, 0, 1};
    for (std::size_t i = 0; i < list.size(); ++i)
        list[i]->Index = indexes[i];
    SortButtonsByIndex(list);
    std::vector<std::pair<int32_t, int32_t>> order;
    for (const auto& b : list)
        order.emplace_back(b->Index, b->CommandId);
    EXPECT_THAT(order, ElementsAre(std::pair(0, 103), std::pair(1, 101), std::pair(1, 104),
                                   std::pair(3, 100), std::pair(3, 102)));
}

TEST(GroupButtons, ReplacesPreviousGroupsInIndexOrder) {
    TGroupList groups;
    GroupButtons(Toolbar({{true, false}, {true, false}, {true, false}}), groups);
    TButtonList list = Toolbar({{true, false}, {false, true}});
    list[0]->Index = 1; // read out of order: the hidden header comes first after sorting
    list[1]->Index = 0;
    GroupButtons(std::move(list), groups);
    EXPECT_THAT(Shape(groups), ElementsAre(ElementsAre(0, 1)));
    EXPECT_EQ(groups[0].Group->Index, 1);
}

TEST(GroupList, AddGroupAndClear) {
    TGroupList groups;
    AddGroup(groups, std::make_unique<TGrupButtons>());
    AddGroup(groups, std::make_unique<TGrupButtons>());
    EXPECT_EQ(groups[1].Text, "1");
    ClearGroupList(groups);
    EXPECT_THAT(groups, IsEmpty());
}

TEST(PlanCaptionRead, OnlyIntoABufferThatHoldsTheCaption) {
    struct Row {
        int line;
        int64_t length;
        TCaptionRead::TKind kind;
        uint32_t large;
    };
    const Row rows[] = {
        {__LINE__, -1, TCaptionRead::Unreadable, 0},
        {__LINE__, 0, TCaptionRead::Empty, 0},
        {__LINE__, 1, TCaptionRead::InCaptionBuffer, 0},
        {__LINE__, 1023, TCaptionRead::InCaptionBuffer, 0}, // and its zero: 1024 bytes
        {__LINE__, 1024, TCaptionRead::InLargeBuffer, 1025},
        {__LINE__, 5000, TCaptionRead::InLargeBuffer, 5001},
        {__LINE__, int64_t(UINT32_MAX) - 1, TCaptionRead::InLargeBuffer, UINT32_MAX},
        {__LINE__, int64_t(UINT32_MAX), TCaptionRead::Unreadable, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        TCaptionRead plan = PlanCaptionRead(row.length);
        EXPECT_EQ(plan.Kind, row.kind);
        if (row.kind == TCaptionRead::InLargeBuffer) {
            EXPECT_EQ(plan.LargeSize, row.large);
        }
    }
}

TEST(GetTaskbarEdge, Table) {
    struct Row {
        int line;
        TRect r;
        int edge;
    };
    const Row rows[] = {
        {__LINE__, {-2, 738, 1026, 770}, EdgeBottom},
        {__LINE__, {-2, -2, 1026, 30}, EdgeTop},
        {__LINE__, {-2, -2, 60, 770}, EdgeLeft},
        {__LINE__, {964, -2, 1026, 770}, EdgeRight},
        {__LINE__, {6, 738, 1026, 770}, EdgeBottom}, // neither edge near the corner
        {__LINE__, {5, 5, 925, 30}, EdgeTop},        // 925 > 1024 - 100
        {__LINE__, {5, 5, 924, 30}, EdgeLeft},
        {__LINE__, {0, 0, 0, 0}, EdgeLeft}, // no taskbar at all
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        EXPECT_EQ(GetTaskbarEdge(row.r, 1024), row.edge);
    }
    // Found by fuzzing: "width - 100" wrapped for a width near the 32-bit minimum.
    EXPECT_EQ(GetTaskbarEdge({-2, -2, INT32_MIN, 30}, INT32_MIN), EdgeTop);
}

} // namespace

namespace {

// Identity: the lead window is the first non-zero window of the group's buttons; the command id
// is that of its first visible button. A light snapshot (no windows) is matched by command id.
TEST(GroupIdentity, LeadWindowAndVisibleButton) {
    TGroupList full, light;
    std::vector<ButtonDef> defs = EightButtons();
    defs[2].wnd = 0; // B's header has no window: B1's window leads
    BuildSnapshot(false, Toolbar(defs), {}, full);
    for (ButtonDef& d : defs)
        d.wnd = 0;
    BuildSnapshot(true, Toolbar(defs), {}, light);

    const TGroupId b = GroupIdOf(*full[1].Group);
    EXPECT_EQ(b, (TGroupId{4, 103}));
    EXPECT_EQ(GroupIdOf(*full[2].Group), (TGroupId{6, 105})); // the visible header C
    EXPECT_EQ(GroupIdOf(*light[1].Group), (TGroupId{0, 103}));

    // The same group in either snapshot; no other group matches.
    for (std::size_t i = 0; i < full.size(); ++i) {
        SCOPED_TRACE(i);
        const TGroupId id = GroupIdOf(*full[i].Group);
        EXPECT_EQ(FindGroup(full, id), int32_t(i));
        EXPECT_EQ(FindGroup(light, id), int32_t(i));
        EXPECT_EQ(FindGroup(full, GroupIdOf(*light[i].Group)), int32_t(i));
    }
    // Known lead windows decide alone: a new button of the same window is the same group, a
    // recycled command id of another window is not.
    EXPECT_TRUE(b.Matches({4, 999}));
    EXPECT_FALSE(b.Matches({7, 103}));
    EXPECT_EQ(FindGroup(full, {}), -1);
    EXPECT_EQ(FindGroup(full, {42, 0}), -1);
    // A group of nothing but a hidden button matches nothing.
    EXPECT_FALSE(TGroupId{}.Matches(TGroupId{}));
}

TEST(GroupIdentity, TakeGroupKeepsTheOthersInOrder) {
    TGroupList groups;
    BuildSnapshot(false, Toolbar(EightButtons()), {}, groups);
    EXPECT_EQ(TakeGroup(groups, 3), nullptr);
    EXPECT_EQ(TakeGroup(groups, -1), nullptr);
    std::unique_ptr<TGrupButtons> b = TakeGroup(groups, 1);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->Caption, "B1");
    EXPECT_THAT(Shape(groups), ElementsAre(ElementsAre(0, 1), ElementsAre(5, 6, 7)));
}

} // namespace
