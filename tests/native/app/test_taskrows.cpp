// The rows of the main window's list: which groups get one and the group each stands for, the
// order of checked and hidden rows, the selection kept across a rebuild, the neighbour a step
// moves a group in front of, and the Up and Down rules.
#include "app/TaskRows.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::ElementsAre;

struct GroupDef {
    const char* caption;
    int buttons = 2;
    bool visible = true;
    int32_t index = 1;
    std::vector<TWndHandle> windows = {};
    TRect rect = {};
};

void Add(TGroupList& list, const GroupDef& d) {
    auto g = std::make_unique<TGrupButtons>();
    // Button i has window windows[i] (0 when there are fewer) and command id index * 10 + i.
    for (int i = 0; i < d.buttons; ++i) {
        auto b = std::make_unique<TTaskButton>();
        b->Wnd = std::size_t(i) < d.windows.size() ? d.windows[std::size_t(i)] : 0;
        b->CommandId = d.index * 10 + i;
        b->SetStyleState(0, d.visible && i == 1 ? 0 : kTbStateHidden);
        g->Add(std::move(b));
    }
    g->Caption = d.caption;
    g->HasVisible = d.visible;
    g->Index = d.index;
    g->Windows = d.windows;
    g->Rect = d.rect;
    AddGroup(list, std::move(g));
}

TGroupList Groups(const std::vector<GroupDef>& defs) {
    TGroupList list;
    for (const GroupDef& d : defs)
        Add(list, d);
    return list;
}

std::vector<std::string> Captions(const std::vector<TListRow>& rows) {
    std::vector<std::string> out;
    for (const TListRow& r : rows)
        out.push_back(r.Caption + (r.Checked ? "+" : "-"));
    return out;
}

TEST(ListRows, ListedGroupsInTaskbarOrderThenHiddenGroupsUnchecked) {
    TGroupList snap = Groups({{"Notepad", 3, true, 2, {0, 0x10, 0x20}},
                              {"single", 1, true, 3, {0x30}},
                              {"collapsed", 3, false, 4, {0, 0, 0}},
                              {"Paint", 2, true, 7, {0, 0x40}}});
    TGroupList hidden = Groups({{"Mail", 2, true, 9, {0, 0x50}}, {"Chat", 3, true, 12, {0x60}}});
    std::vector<TListRow> rows = BuildListRows(snap, hidden);
    ASSERT_THAT(Captions(rows), ElementsAre("Notepad+", "Paint+", "Mail-", "Chat-"));
    // Each row knows its group: lead window and visible button.
    EXPECT_EQ(rows[0].Group, (TGroupId{0x10, 21}));
    EXPECT_EQ(rows[1].Group, (TGroupId{0x40, 71}));
    EXPECT_EQ(rows[2].Group, (TGroupId{0x50, 91}));
    EXPECT_EQ(rows[3].Group, (TGroupId{0x60, 121}));
    EXPECT_EQ(rows[0].Icon, &snap[0].Group->Icon);
    EXPECT_EQ(rows[3].Icon, &hidden[1].Group->Icon);
    EXPECT_TRUE(BuildListRows({}, {}).empty());
}

// Just after the user hid a group, a shell that learns late still shows its buttons, which a
// full snapshot reads without windows: no checked row stands for them beside the hidden
// group's unchecked one, and Up and Down pass over them. A light snapshot reads no windows at
// all and lists its groups as they are.
TEST(ListRows, ButtonsWhoseWindowsAreNoLongerShownHaveNoRow) {
    TGroupList snap = Groups(
        {{"a", 2, true, 1, {0, 11}}, {"b", 2, true, 2, {0, 0}}, {"c", 3, true, 3, {0, 0, 31}}});
    TGroupList hidden = Groups({{"b", 2, true, 2, {0, 21}}});
    EXPECT_THAT(Captions(BuildListRows(snap, hidden)), ElementsAre("a+", "c+", "b-"));
    std::optional<TGroupId> before;
    ASSERT_TRUE(NeighbourForStep(snap, TGroupId{31, 31}, -1, before));
    EXPECT_EQ(before, (TGroupId{11, 11}));

    TGroupList light = Groups({{"a", 2, true, 1}, {"b", 2, true, 2}});
    EXPECT_THAT(Captions(BuildListRows(light, {})), ElementsAre("a+", "b+"));
}

// Up and Down step over the groups without a row; the move keys find a window's listed group.
TEST(ListRows, StepsAndWindowsCountListedGroupsOnly) {
    // The collapsed group without a visible button and the lone button have no row.
    TGroupList snap = Groups({{"a", 2, true, 1, {0, 11}},
                              {"lone", 1, true, 2, {22}},
                              {"b", 3, true, 3, {0, 33, 34}},
                              {"collapsed", 2, false, 4, {0, 44}},
                              {"c", 2, true, 5, {0, 55}}});
    const TGroupId a{11, 11}, b{33, 31}, c{55, 51};
    struct {
        int line;
        TGroupId group;
        int step;
        bool moves;
        std::optional<TGroupId> before;
    } cases[] = {
        {__LINE__, b, -1, true, a},           // up: in front of the row above
        {__LINE__, c, -1, true, b},           // the rowless groups between are passed over
        {__LINE__, a, 1, true, c},            // down: in front of the row after the next
        {__LINE__, b, 1, true, std::nullopt}, // down past the last row: to the end
        {__LINE__, a, -1, false, std::nullopt},
        {__LINE__, c, 1, false, std::nullopt},
        {__LINE__, TGroupId{22, 20}, -1, false, std::nullopt}, // no row
        {__LINE__, TGroupId{99, 0}, 1, false, std::nullopt},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.line);
        std::optional<TGroupId> before = TGroupId{1, 1};
        ASSERT_EQ(NeighbourForStep(snap, k.group, k.step, before), k.moves);
        if (k.moves) {
            EXPECT_EQ(before, k.before);
        }
    }
    EXPECT_EQ(ListedGroupOfWindow(snap, 34), b);
    EXPECT_EQ(ListedGroupOfWindow(snap, 22), std::nullopt); // its group has no row
    EXPECT_EQ(ListedGroupOfWindow(snap, 0), std::nullopt);
}

TEST(ListRows, SelectionAfterARebuild) {
    const TGroupId a{1, 10}, b{2, 20}, c{3, 30};
    struct Case {
        int line;
        std::vector<TGroupId> rows;
        int position;
        std::optional<TGroupId> selected;
        int select;
        int click;
    };
    const Case cases[] = {
        // The row is found by its group, wherever it now is.
        {__LINE__, {a, b, c}, 0, c, 2, 0},
        {__LINE__, {a, b, c}, 1, b, 1, 1},
        // Its group has gone: the row at the remembered position instead.
        {__LINE__, {a, c}, 1, b, 1, 1},
        // The selected last row has gone: the remembered position is past the end, so row 0.
        {__LINE__, {a, b}, 2, c, 0, 0},
        // Nothing was selected: position 0, no group.
        {__LINE__, {a, b}, 0, std::nullopt, 0, 0},
        {__LINE__, {a, b}, -1, c, 0, 0},
        // An empty list selects nothing.
        {__LINE__, {}, 0, std::nullopt, -1, 0},
        {__LINE__, {}, 3, a, -1, 0},
    };
    for (const Case& k : cases) {
        TRowSelection s = RestoreSelection(k.rows, k.position, k.selected);
        EXPECT_EQ(s.Select, k.select) << "line " << k.line;
        EXPECT_EQ(s.ClickRow, k.click) << "line " << k.line;
    }
}

TEST(ListRows, UpAndDownFollowTheClickedRow) {
    struct Case {
        int line;
        std::optional<TClickedRow> row;
        int count;
        std::optional<bool> nextChecked;
        bool up, down;
    };
    const Case cases[] = {
        {__LINE__, TClickedRow{1, true}, 4, true, true, true},
        {__LINE__, TClickedRow{0, true}, 4, true, false, true},
        // The last checked row, with hidden rows below: no Down.
        {__LINE__, TClickedRow{2, true}, 4, false, true, false},
        {__LINE__, TClickedRow{3, true}, 4, std::nullopt, true, false},
        {__LINE__, TClickedRow{0, true}, 1, std::nullopt, false, false},
        // An unchecked row, or none: both off.
        {__LINE__, TClickedRow{3, false}, 4, std::nullopt, false, false},
        {__LINE__, std::nullopt, 4, true, false, false},
        // The row below could not be read.
        {__LINE__, TClickedRow{1, true}, 4, std::nullopt, true, false},
    };
    for (const Case& c : cases) {
        TUpDown b = UpDownForRow(c.row, c.count, c.nextChecked);
        EXPECT_EQ(b.Up, c.up) << "line " << c.line;
        EXPECT_EQ(b.Down, c.down) << "line " << c.line;
    }
}

} // namespace
