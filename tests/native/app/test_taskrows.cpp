// The rows of the main window's list: their texts, which groups get one, the order of checked
// and hidden rows, the selection kept across a rebuild and the Up and Down rules.
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
    for (int i = 0; i < d.buttons; ++i)
        g->Add(std::make_unique<TTaskButton>());
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

TEST(ListRows, RowTexts) {
    EXPECT_EQ(HidenpartText(12), "000C");
    EXPECT_EQ(HidenpartText(0x1ABCD), "1ABCD");
    EXPECT_EQ(WindowListText({0x1A2B4, 0}), "_0001A2B4_00000000");
    EXPECT_EQ(WindowListText({}), "");
    // A handle value with the upper half set still gives eight digits.
    EXPECT_EQ(WindowListText({static_cast<TWndHandle>(0xFFFFFFFFFFFF0010LL)}), "_FFFF0010");
    EXPECT_EQ(RectText({100, 2, 262, 29}), "100:2 262:29");
    EXPECT_EQ(RectText({-100, -100, -95, -95}), "-100:-100 -95:-95");
}

TEST(ListRows, ListedGroupsInTaskbarOrderThenHiddenGroupsUnchecked) {
    TGroupList snap = Groups({{"Notepad", 3, true, 2, {0, 0x10, 0x20}, {100, 2, 262, 29}},
                              {"single", 1, true, 3, {0x30}},
                              {"collapsed", 3, false, 4, {0, 0, 0}},
                              {"Paint", 2, true, 7, {0, 0x40}, {262, 2, 400, 29}}});
    TGroupList hidden = Groups({{"Mail", 2, true, 9, {0, 0x50}}, {"Chat", 3, true, 12, {0x60}}});
    std::vector<TListRow> rows = BuildListRows(snap, hidden);
    ASSERT_THAT(Captions(rows), ElementsAre("Notepad+", "Paint+", "Mail-", "Chat-"));

    EXPECT_THAT(rows[0].SubItems,
                ElementsAre("0", "_00000000_00000010_00000020", "3", "100:2 262:29"));
    EXPECT_EQ(rows[0].Hidenpart, "0002");
    EXPECT_EQ(rows[0].Icon, &snap[0].Group->Icon);
    // Sub-item 0 is the position in the snapshot, which skips the groups without a row.
    EXPECT_THAT(rows[1].SubItems, ElementsAre("3", "_00000000_00000040", "2", "262:2 400:29"));
    // Hidden rows count from 0 again and have no rectangle.
    EXPECT_THAT(rows[2].SubItems, ElementsAre("0", "_00000000_00000050", "2"));
    EXPECT_THAT(rows[3].SubItems, ElementsAre("1", "_00000060", "1"));
    EXPECT_EQ(rows[3].Hidenpart, "000C");
    EXPECT_EQ(rows[3].Icon, &hidden[1].Group->Icon);

    EXPECT_TRUE(BuildListRows({}, {}).empty());
}

TEST(ListRows, TheGroupOfARowIsTheListedGroupOfThatRank) {
    // A program's second window stands alone behind its group and has no row.
    TGroupList snap = Groups({{"notes 1"}, {"notes 2", 1}, {"alpha"}, {"hidden", 2, false}, {"b"}});
    EXPECT_EQ(GroupPositionOfRow(snap, 0), 0);
    EXPECT_EQ(GroupPositionOfRow(snap, 1), 2);
    EXPECT_EQ(GroupPositionOfRow(snap, 2), 4);
    // Past the last row: the end, then beyond it; above the first: negative.
    EXPECT_EQ(GroupPositionOfRow(snap, 3), 5);
    EXPECT_EQ(GroupPositionOfRow(snap, 4), 6);
    EXPECT_EQ(GroupPositionOfRow(snap, -1), -1);
    // Every group listed: rows and positions agree.
    TGroupList plain = Groups({{"a"}, {"b"}, {"c"}});
    for (int row = -1; row <= 4; ++row)
        EXPECT_EQ(GroupPositionOfRow(plain, row), row);
    EXPECT_EQ(GroupPositionOfRow({}, 0), 0);

    // The row of a window's group, counted among the listed groups only.
    TGroupList windows =
        Groups({{"a", 2, true, 1, {11}}, {"lone", 1, true, 3, {22}}, {"b", 3, true, 5, {33, 34}}});
    int count = 0;
    EXPECT_EQ(ListedRowOfWindow(windows, 34, count), 1);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(ListedRowOfWindow(windows, 22, count), -1); // its group has no row
    EXPECT_EQ(ListedRowOfWindow(windows, 0, count), -1);
}

TEST(ListRows, SelectionAfterARebuild) {
    struct Case {
        int line;
        std::vector<std::string> keys;
        int position;
        std::string key;
        int select;
        int click;
    };
    const Case cases[] = {
        // The row is found by its key, wherever it now is.
        {__LINE__, {"a", "b", "c"}, 0, "c", 2, 0},
        {__LINE__, {"a", "b", "c"}, 1, "b", 1, 1},
        // Its key changed (a new window title): the row at the remembered position instead.
        {__LINE__, {"a", "B", "c"}, 1, "b", 1, 1},
        // Two rows with the same key at 1 and 3, remembered position 2: the last one wins.
        {__LINE__, {"x", "k", "y", "k"}, 2, "k", 3, 2},
        // ... and the one at the remembered position when there is one.
        {__LINE__, {"k", "k", "k"}, 1, "k", 1, 1},
        // The selected last row has gone: the remembered position is past the end, so row 0.
        {__LINE__, {"a", "b"}, 2, "c", 0, 0},
        // Nothing was selected: position 0, no key.
        {__LINE__, {"a", "b"}, 0, "", 0, 0},
        {__LINE__, {"a", "b"}, -1, "z", 0, 0},
        // An empty list selects nothing.
        {__LINE__, {}, 0, "", -1, 0},
        {__LINE__, {}, 3, "a", -1, 0},
    };
    for (const Case& c : cases) {
        TRowSelection s = RestoreSelection(c.keys, c.position, c.key);
        EXPECT_EQ(s.Select, c.select) << "line " << c.line;
        EXPECT_EQ(s.ClickRow, c.click) << "line " << c.line;
    }
    EXPECT_EQ(RowKey("Notepad", "_00000010"), "Notepad_00000010");
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

TEST(ListRows, TakingAGroupByTheRowsPosition) {
    EXPECT_EQ(RowPosition("0"), 0);
    EXPECT_EQ(RowPosition("12"), 12);
    for (const char* bad : {"", "-1", "1a", " 1", "99999999999"})
        EXPECT_FALSE(RowPosition(bad)) << bad;

    TGroupList list = Groups({{"a"}, {"b"}, {"c"}});
    std::unique_ptr<TGrupButtons> b = TakeGroup(list, 1);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->Caption, "b");
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].Group->Caption, "c");
    EXPECT_FALSE(TakeGroup(list, 2));
    EXPECT_FALSE(TakeGroup(list, -1));
    EXPECT_EQ(list.size(), 2u);
}

TEST(ListRows, ARowFindsItsGroupByPositionAndWindows) {
    TGroupList list = Groups(
        {{"a", 2, true, 1, {0, 0x10}}, {"b", 2, true, 3, {0, 0x20}}, {"c", 2, true, 5, {0, 0x30}}});
    EXPECT_EQ(FindRowGroup(list, 1, "_00000000_00000020"), 1);
    // b moved up after a was hidden: the windows find it.
    EXPECT_EQ(FindRowGroup(list, 2, "_00000000_00000020"), 1);
    EXPECT_EQ(FindRowGroup(list, 7, "_00000000_00000030"), 2);
    // A group whose windows changed, or that has gone, is not taken for another.
    EXPECT_EQ(FindRowGroup(list, 1, "_00000000_00000020_00000021"), -1);
    EXPECT_EQ(FindRowGroup(list, 0, "_00000099"), -1);
    EXPECT_EQ(FindRowGroup({}, 0, ""), -1);
}

} // namespace
