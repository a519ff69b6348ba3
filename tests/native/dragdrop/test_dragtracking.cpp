// The rules of a drag on plain data: which press starts one, when the balloon shows, and which
// move a release carries out when the taskbar changed meanwhile.
#include "dragdrop/DragTracking.h"

#include <gtest/gtest.h>

#include "components/QlxLabel.h"

namespace {

struct GroupDef {
    int32_t commandId;
    bool header = false; // the visible button is a collapsed group's header
    bool visible = true;
};

// One group per def; the visible button's window is 1000 + its command id, except in a light
// snapshot, which reads no windows.
TGroupList Groups(const std::vector<GroupDef>& defs, bool light = false) {
    TGroupList list;
    for (const GroupDef& d : defs) {
        auto g = std::make_unique<TGrupButtons>();
        auto b = std::make_unique<TTaskButton>();
        b->CommandId = d.commandId;
        b->Wnd = light ? 0 : 1000 + d.commandId;
        b->Visible = d.visible;
        b->IsGroupHeader = d.header;
        g->HasVisible = d.visible;
        g->Add(std::move(b));
        AddGroup(list, std::move(g));
    }
    return list;
}

TEST(DragTracker, APressOnAnyGroupStartsTheDragOrStartsItAgain) {
    const TGroupList groups = Groups({{100}, {101, true}, {102}});
    TDragTracker drag;
    EXPECT_FALSE(drag.Press(groups, 3, {5, 5})) << "no group there";
    EXPECT_FALSE(drag.Dragging());

    ASSERT_TRUE(drag.Press(groups, 1, {40, 700})) << "a collapsed group is dragged too";
    EXPECT_EQ(drag.SourceIndex(), 1);
    EXPECT_EQ(drag.TargetIndex(), -1);
    EXPECT_EQ(drag.PressPoint(), (TPoint{40, 700}));
    drag.MoveInZone(groups, 3, {300, 700}, false);

    // A second press starts again from the pressed group, and the old target is forgotten:
    // a release before any move moves nothing.
    ASSERT_TRUE(drag.Press(groups, 0, {5, 690}));
    EXPECT_EQ(drag.SourceIndex(), 0);
    EXPECT_EQ(drag.TargetIndex(), -1);
    EXPECT_EQ(drag.PressPoint(), (TPoint{5, 690}));
    EXPECT_FALSE(drag.Release(groups, true));
}

TEST(DragTracker, HookPositionsAndTheRightButtonsState) {
    EXPECT_EQ(HookScreenPoint(100, 700), (TPoint{100, 700}));
    EXPECT_EQ(HookScreenPoint(65536 - 300, 65535), (TPoint{-300, -1})) << "left of, above";
    EXPECT_EQ(HookScreenPoint(-100, -100), (TPoint{-100, -100})) << "already signed";

    EXPECT_TRUE(RightClickCompleted(1)) << "up, pressed since the last look";
    EXPECT_FALSE(RightClickCompleted(static_cast<int16_t>(0x8000))) << "held";
    EXPECT_FALSE(RightClickCompleted(static_cast<int16_t>(0x8001))) << "held, newly pressed";
    EXPECT_FALSE(RightClickCompleted(0));
}

TEST(DragTracker, BalloonShowsOnceTheCursorLeavesTheSquareAroundThePress) {
    const TGroupList groups = Groups({{100}, {101}, {102}});
    TDragTracker drag;
    ASSERT_TRUE(drag.Press(groups, 0, {100, 700}));
    EXPECT_FALSE(drag.MoveInZone(groups, 0, {110, 690}, false)) << "10 px away is still near";
    EXPECT_EQ(drag.TargetIndex(), 0);
    EXPECT_TRUE(drag.MoveInZone(groups, 1, {111, 700}, false));
    EXPECT_TRUE(drag.MoveInZone(groups, 1, {100, 689}, false));
    EXPECT_FALSE(drag.MoveInZone(groups, 2, {300, 700}, true)) << "already showing";
    EXPECT_EQ(drag.TargetIndex(), 2);
}

TEST(DragTracker, ReleaseMovesFromThePressedGroupToTheLastTarget) {
    const TGroupList groups = Groups({{100}, {101}, {102}, {103}});
    TDragTracker drag;

    // A click without a move moves nothing.
    ASSERT_TRUE(drag.Press(groups, 1, {0, 0}));
    EXPECT_FALSE(drag.Release(groups, true));

    ASSERT_TRUE(drag.Press(groups, 0, {0, 0}));
    drag.MoveInZone(groups, 4, {0, 0}, false); // behind the last group
    const std::optional<TDropMove> move = drag.Release(groups, true);
    ASSERT_TRUE(move);
    EXPECT_EQ(move->Moving, (TGroupId{1100, 100}));
    EXPECT_EQ(move->Before, std::nullopt);
    EXPECT_FALSE(drag.Dragging());
    EXPECT_EQ(drag.SourceIndex(), -1);
    EXPECT_EQ(drag.TargetIndex(), -1);

    // Released outside every zone: nothing moves.
    ASSERT_TRUE(drag.Press(groups, 0, {0, 0}));
    drag.MoveInZone(groups, 2, {0, 0}, false);
    EXPECT_FALSE(drag.Release(groups, false));
    EXPECT_FALSE(drag.Dragging());
}

TEST(DragTracker, ReleaseFindsTheGroupsAgainInAChangedTaskbar) {
    TDragTracker drag;
    const TGroupList atPress = Groups({{100}, {101}, {102}, {103}});
    // The moves' snapshots are light ones: no windows, the groups known by their buttons.
    const TGroupList moving = Groups({{100}, {101}, {102}, {103}}, true);
    ASSERT_TRUE(drag.Press(atPress, 1, {0, 0}));
    drag.MoveInZone(moving, 3, {0, 0}, false);

    // A window opened in front meanwhile: the same groups, one place further on; the move
    // names them as the release's snapshot does.
    std::optional<TDropMove> move = drag.Release(Groups({{99}, {100}, {101}, {102}, {103}}), true);
    ASSERT_TRUE(move);
    EXPECT_EQ(move->Moving, (TGroupId{1101, 101}));
    EXPECT_EQ(move->Before, (TGroupId{1103, 103}));

    // The dragged window closed, or the target did: nothing moves (the group now at the old
    // position is another program's).
    for (const std::vector<GroupDef>& after :
         {std::vector<GroupDef>{{100}, {102}, {103}}, std::vector<GroupDef>{{100}, {101}, {102}}}) {
        ASSERT_TRUE(drag.Press(atPress, 1, {0, 0}));
        drag.MoveInZone(atPress, 3, {0, 0}, false);
        EXPECT_FALSE(drag.Release(Groups(after), true));
    }
}

TEST(QlxLabel, DrawTextFlags) {
    EXPECT_EQ(QlxLabelDrawFlags(shEnd, taCenter, true), 0x8041u);
    EXPECT_EQ(QlxLabelDrawFlags(ShPath, taRightJustify, false), 0x4842u);
    EXPECT_EQ(QlxLabelDrawFlags(shNormal, taLeftJustify, true), 0x40u);
}

} // namespace
