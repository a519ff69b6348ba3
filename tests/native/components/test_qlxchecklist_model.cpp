// The check list's rows, columns and input handling, without a window.
#include "components/QlxCheckListModel.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "tests/native/support/MemoryRegistry.h"
#include "toolkit/SysUtils.h"

namespace {
struct TRecordingView : IQlxCheckListView {
    void InvalidateList() override { ++Paints; }
    void ListLayoutChanged() override { ++Layouts; }
    void ScrollPositionChanged() override { ++Scrolls; }
    void ResetHint() override { ++Hints; }
    // Seven pixels a character in the list's font, eight in the header's.
    int TextWidth(const std::string& Text, bool Header) override {
        return static_cast<int>(Text.size()) * (Header ? 8 : 7);
    }
    int Paints = 0;
    int Layouts = 0;
    int Scrolls = 0;
    int Hints = 0;
};

// A list set up as the main window sets up its own: seven columns of which only the first
// (450 wide, 400 .. 1000) shows, a client area of 507 x 308, and Rows rows "r0", "r1", ...
// Every event is written to Log with the row's index and its check state at that moment.
struct TList {
    explicit TList(int Rows = 5) {
        TQlxListColumn& first = List.Columns.Add();
        first.Caption = "TaskBar Applications";
        first.SetWidth(450);
        first.SetMinWidth(400);
        first.SetMaxWidth(1000);
        for (int c = 1; c < 7; ++c)
            List.Columns.Add().Visible = false;
        List.EntireRow = true;
        List.HeaderAutoSort = false;
        List.SetSortColumn(-1);
        List.SetClientSize(507, 308);
        List.OnItemClick = [this](TObject* Sender, TQlxListItem* Item) {
            EXPECT_EQ(Sender, &Control);
            Log.push_back("click " + Describe(Item));
        };
        List.OnItemCheck = [this](TObject* Sender, TQlxListItem* Item) {
            EXPECT_EQ(Sender, &Control);
            Log.push_back("check " + Describe(Item));
        };
        Fill(Rows);
    }
    void Fill(int Rows) {
        List.Items.BeginUpdate();
        List.Items.Clear();
        for (int i = 0; i < Rows; ++i)
            List.Items.Add()->SetCaption("r" + std::to_string(i));
        List.Items.EndUpdate();
    }
    static std::string Describe(TQlxListItem* Item) {
        return std::to_string(Item->Index()) + (Item->Checked() ? " on" : " off");
    }
    // The middle of a row's check box, and a point on its caption.
    int RowY(int Row) const { return List.RowTop(Row) + 8; }
    void Press(int X, int Y) { List.MouseDown(TMouseButton::Left, 0, X, Y); }
    std::vector<int> SelectedRows() const {
        std::vector<int> rows;
        for (int i = 0; i < List.Items.Count(); ++i)
            if (List.Items[i].Selected())
                rows.push_back(i);
        return rows;
    }

    TObject Control;
    TRecordingView View;
    TQlxCheckListCore List{View, &Control};
    std::vector<std::string> Log;
};

using Log = std::vector<std::string>;
} // namespace

TEST(QlxItems, ANewRowIsCheckedUnselectedAndHasNoIcon) {
    TList t(0);
    TQlxListItem* item = t.List.Items.Add();
    EXPECT_EQ(item->Index(), 0);
    EXPECT_TRUE(item->Checked());
    EXPECT_EQ(item->State(), cbChecked);
    EXPECT_TRUE(item->VisibleCheck());
    EXPECT_FALSE(item->Selected());
    EXPECT_FALSE(item->HasIcon());
    EXPECT_EQ(item->ImageIndex, -1);
    EXPECT_EQ(item->Offset, 3);
    EXPECT_EQ(item->SubItems.Count(), 0);
    EXPECT_EQ(t.List.CurrentIndex(), -1);
    EXPECT_EQ(t.List.SelectedItem(), nullptr);
}

TEST(QlxItems, CheckedAndStateMoveTogetherAndAHiddenCheckReadsUnchecked) {
    TList t(1);
    TQlxListItem& item = t.List.Items[0];
    item.SetState(cbGrayed);
    EXPECT_TRUE(item.Checked());
    item.SetState(cbUnchecked);
    EXPECT_FALSE(item.Checked());
    item.SetChecked(true);
    EXPECT_EQ(item.State(), cbChecked);
    item.SetVisibleCheck(false);
    EXPECT_FALSE(item.Checked());
    EXPECT_EQ(item.State(), cbChecked);
    item.SetVisibleCheck(true);
    EXPECT_TRUE(item.Checked());
    // A grayed row's toggle unchecks it.
    item.SetState(cbGrayed);
    t.List.ToggleCheck(0);
    EXPECT_EQ(item.State(), cbUnchecked);
}

TEST(QlxItems, CheckedWrittenFromCodeFiresOnlyWhenAskedFor) {
    TList t(2);
    t.List.Items[0].SetChecked(false);
    t.List.Items[1].SetChecked(true); // the old value is not compared
    EXPECT_EQ(t.Log, Log{});
    t.List.UseCheckEventRuntime = true;
    t.List.Items[1].SetChecked(true);
    EXPECT_EQ(t.Log, Log{"check 1 on"});
    // The user's toggle fires once, not again from the write it makes.
    t.Log.clear();
    t.List.ToggleCheck(0);
    EXPECT_EQ(t.Log, Log{"check 0 on"});
    EXPECT_FALSE(t.List.UserToggle());
}

TEST(QlxItems, SelectingARowMakesItCurrentAndAloneUnlessMultiSelecting) {
    TList t(4);
    t.List.Items[1].SetSelected(true);
    t.List.Items[3].SetSelected(true);
    EXPECT_EQ(t.SelectedRows(), std::vector<int>{3});
    EXPECT_EQ(t.List.CurrentIndex(), 3);
    t.List.Items[2].SetSelected(false); // unchanged, still current
    EXPECT_EQ(t.List.CurrentIndex(), 2);
    t.List.MultiSelect = true;
    t.List.Items[0].SetSelected(true);
    EXPECT_EQ(t.SelectedRows(), (std::vector<int>{0, 3}));
    EXPECT_EQ(t.List.SelectedItem(), &t.List.Items[0]);
    EXPECT_EQ(t.Log, Log{}); // selecting from code fires nothing
}

TEST(QlxItems, BadIndexesRaiseTheListError) {
    TList t(2);
    EXPECT_THROW(t.List.Items[2], EListError);
    EXPECT_THROW(t.List.Items[-1], EListError);
    EXPECT_THROW(t.List.Columns[7], EListError);
    TSubItems& sub = t.List.Items[0].SubItems;
    sub.Add("0");
    EXPECT_EQ(sub[0], "0");
    try {
        (void)sub[1];
        FAIL() << "no error";
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message, "List index out of bounds (1)");
    }
    EXPECT_THROW(sub.Put(1, "x"), EListError);
    EXPECT_THROW(sub.Delete(-1), EListError);
}

TEST(QlxItems, ClearingLeavesNothingSelectedButKeepsTheCurrentIndex) {
    TList t(5);
    t.List.Items[3].SetSelected(true);
    t.List.Items.Clear();
    EXPECT_EQ(t.List.SelectedItem(), nullptr);
    EXPECT_EQ(t.List.CurrentIndex(), 3);
    EXPECT_EQ(t.List.Items.Count(), 0);
}

TEST(QlxItems, AnUpdateBracketHoldsLayoutAndPaintingUntilTheOutermostClose) {
    TList t(0);
    t.View = {};
    t.List.Items.BeginUpdate();
    t.List.Items.BeginUpdate();
    TQlxListItem* item = t.List.Items.Add();
    item->SetCaption("x");
    item->SubItems.Add("0");
    t.List.Items.EndUpdate();
    EXPECT_EQ(t.List.Items.UpdateCount(), 1);
    EXPECT_EQ(t.View.Layouts + t.View.Paints, 0);
    t.List.Items.EndUpdate();
    EXPECT_EQ(t.View.Layouts, 1);
    t.List.Items.EndUpdate(); // an unmatched close changes nothing
    EXPECT_EQ(t.List.Items.UpdateCount(), 0);
    EXPECT_EQ(t.View.Layouts, 1);
    // Outside a bracket a sub-item re-lays out; a caption repaints only when it changes.
    item->SubItems.Put(0, "1");
    EXPECT_EQ(t.View.Layouts, 2);
    item->SetCaption("x");
    EXPECT_EQ(t.View.Paints, 0);
    item->SetCaption("y");
    EXPECT_EQ(t.View.Paints, 1);
}

TEST(QlxColumns, WidthsAreClampedIntoTheirLimits) {
    struct TCase {
        int Line;
        int Min, Max; // set in this order
        int Width;
        int WantMin, WantMax, WantWidth;
    };
    const TCase cases[] = {
        {__LINE__, 400, 1000, 2000, 400, 1000, 1000},
        {__LINE__, 400, 1000, 100, 400, 1000, 400},
        {__LINE__, 400, 1000, 450, 400, 1000, 450},
        {__LINE__, 0, 0, 5000, 0, 0, 5000},     // no limits
        {__LINE__, 0, 0, -5, 0, 0, 100},        // a negative width is ignored
        {__LINE__, 500, 300, 200, 500, 0, 500}, // a maximum below the minimum is dropped
        {__LINE__, 0, 300, 1000, 0, 300, 300},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "case of line " << c.Line);
        TList t(0);
        TQlxListColumn& col = t.List.Columns.Add();
        col.SetMinWidth(c.Min);
        col.SetMaxWidth(c.Max);
        col.SetWidth(c.Width);
        EXPECT_EQ(col.MinWidth(), c.WantMin);
        EXPECT_EQ(col.MaxWidth(), c.WantMax);
        EXPECT_EQ(col.Width(), c.WantWidth);
    }
    // A minimum above a positive maximum is dropped; the width is clamped again at once.
    TList t(0);
    TQlxListColumn& col = t.List.Columns.Add();
    col.SetMaxWidth(300);
    col.SetMinWidth(400);
    EXPECT_EQ(col.MinWidth(), 0);
    col.SetWidth(250);
    col.SetMinWidth(280);
    EXPECT_EQ(col.Width(), 280);
}

TEST(QlxExchange, TheContentsAndTheSelectionTravelAndTheSecondRowBecomesCurrent) {
    TList t(5);
    TBitmap16 icon;
    icon.At(0, 0) = 0x123456;
    t.List.Items[2].SetCaption("two");
    t.List.Items[2].SubItems.Add("2");
    t.List.Items[2].SetIcon(icon);
    t.List.Items[2].Hidenpart = "0002";
    t.List.Items[1].SetChecked(false);
    t.List.Items[1].SubItems.Add("1");
    t.List.Items[1].SubItems.Add("x");
    t.List.Items[2].SetSelected(true);

    t.List.ExchangeItems(2, 1);
    const TQlxListItem& one = t.List.Items[1];
    const TQlxListItem& two = t.List.Items[2];
    EXPECT_EQ(one.Caption(), "two");
    EXPECT_EQ(one.SubItems.List(), std::vector<std::string>{"2"});
    EXPECT_TRUE(one.Checked());
    EXPECT_TRUE(one.HasIcon());
    EXPECT_EQ(one.Icon().At(0, 0), 0x123456u);
    EXPECT_EQ(one.Hidenpart, "0002");
    EXPECT_EQ(two.Caption(), "r1");
    EXPECT_EQ(two.SubItems.List(), (std::vector<std::string>{"1", "x"}));
    EXPECT_FALSE(two.Checked());
    EXPECT_EQ(two.State(), cbUnchecked);
    EXPECT_FALSE(two.HasIcon());
    EXPECT_EQ(t.SelectedRows(), std::vector<int>{1});
    EXPECT_EQ(t.List.CurrentIndex(), 1);
    EXPECT_EQ(one.Index(), 1); // rows keep their places; their contents move

    // Downwards the selection travels as well.
    t.List.ExchangeItems(1, 2);
    EXPECT_EQ(t.SelectedRows(), std::vector<int>{2});
    EXPECT_EQ(t.List.CurrentIndex(), 2);
    EXPECT_EQ(t.Log, Log{}); // no events
}

TEST(QlxExchange, AGrayedRowStaysGrayedAndAHiddenCheckArrivesUnchecked) {
    TList t(3);
    t.List.Items[0].SetState(cbGrayed);
    t.List.Items[2].SetVisibleCheck(false);
    t.List.ExchangeItems(0, 1);
    EXPECT_EQ(t.List.Items[1].State(), cbGrayed);
    t.List.ExchangeItems(2, 0);
    EXPECT_FALSE(t.List.Items[0].VisibleCheck());
    t.List.Items[0].SetVisibleCheck(true);
    EXPECT_FALSE(t.List.Items[0].Checked());
}

TEST(QlxExchange, SameOrMissingRowsChangeNothing) {
    TList t(5);
    t.List.Items[4].SetSelected(true);
    for (auto [a, b] : std::initializer_list<std::pair<int, int>>{{0, 5}, {-1, 2}, {3, 3}}) {
        t.List.ExchangeItems(a, b);
        EXPECT_EQ(t.List.Items[0].Caption(), "r0");
        EXPECT_EQ(t.List.Items[3].Caption(), "r3");
        EXPECT_EQ(t.List.CurrentIndex(), 4);
    }
}

// The main window's list: a 22-pixel header, 18-pixel rows, a 13-pixel check box at x 1 .. 15
// and y row top + 2 .. row top + 15, one visible column from 0 to 450.
TEST(QlxGeometry, HitTestOfPoints) {
    struct TCase {
        int Line;
        int X, Y;
        THitZone Zone;
        int Column, Row;
    };
    using Z = THitZone;
    const TCase cases[] = {
        {__LINE__, 100, 10, Z::Header, 0, -1},
        {__LINE__, 2, 10, Z::Header, 0, -1},
        {__LINE__, 1, 10, Z::None, -1, -1}, // within the border of the left edge
        {__LINE__, 448, 10, Z::Header, 0, -1},
        {__LINE__, 449, 10, Z::Border, 0, -1},
        {__LINE__, 451, 10, Z::Border, 0, -1},
        {__LINE__, 452, 10, Z::None, -1, -1},
        {__LINE__, 8, 22 + 8, Z::CheckBox, 0, 0},
        {__LINE__, 1, 22 + 2, Z::CheckBox, 0, 0},   // top left corner of the box
        {__LINE__, 15, 22 + 15, Z::CheckBox, 0, 0}, // bottom right corner
        {__LINE__, 16, 22 + 8, Z::Cell, 0, 0},      // right of the box
        {__LINE__, 8, 22 + 1, Z::Cell, 0, 0},       // above the box
        {__LINE__, 8, 22 + 16, Z::Cell, 0, 0},      // below the box
        {__LINE__, 0, 22 + 8, Z::None, -1, -1},     // on the column's left edge
        {__LINE__, 8, 22, Z::None, -1, -1},         // on a row boundary
        {__LINE__, 8, 22 + 18 * 4 + 8, Z::CheckBox, 0, 4},
        {__LINE__, 200, 22 + 18 * 2 + 5, Z::Cell, 0, 2},
        {__LINE__, 449, 22 + 18 * 2 + 5, Z::Cell, 0, 2},
        {__LINE__, 450, 22 + 18 * 2 + 5, Z::None, -1, -1},
        {__LINE__, 480, 22 + 18 * 2 + 5, Z::None, -1, -1}, // right of the only column
        {__LINE__, 100, 22 + 18 * 5 + 5, Z::None, -1, -1}, // below the last row
    };
    TList t(5);
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "case of line " << c.Line);
        const THitInfo hit = t.List.HitTest(c.X, c.Y);
        EXPECT_EQ(hit.Zone, c.Zone);
        EXPECT_EQ(hit.Column, c.Column);
        EXPECT_EQ(hit.Row, c.Row);
    }
}

TEST(QlxGeometry, HiddenColumnsTakeNoRoomAndScrollingShiftsEverything) {
    TList t(30);
    t.List.Columns[0].Visible = false;
    t.List.Columns[2].Visible = true;
    t.List.Columns[3].Visible = true;
    EXPECT_EQ(t.List.FirstVisibleColumn(), 2);
    EXPECT_EQ(t.List.ContentWidth(), 200);
    EXPECT_EQ(t.List.ColumnAt(50), 2);
    EXPECT_EQ(t.List.ColumnAt(150), 3);
    EXPECT_EQ(t.List.HitTest(5, 22 + 8).Zone, THitZone::CheckBox);
    EXPECT_EQ(t.List.HitTest(105, 22 + 8).Zone, THitZone::Cell); // no box in other columns
    t.List.SetVertPos(36);
    EXPECT_EQ(t.List.RowTop(2), 22);
    EXPECT_EQ(t.List.HitTest(5, 22 + 8).Row, 2);
    EXPECT_EQ(t.List.HitTest(5, 10).Zone, THitZone::Header); // the header stays on top
    t.List.HeaderVisible = false;
    EXPECT_EQ(t.List.HitTest(5, 10).Row, 2);
}

TEST(QlxScrolling, TheBarsAppearOnlyWhenTheContentDoesNotFit) {
    struct TCase {
        int Line;
        int Rows;
        int Width, Height;
        bool Vert, Horz;
    };
    const TCase cases[] = {
        {__LINE__, 5, 511, 312, false, false},
        {__LINE__, 16, 511, 312, false, false}, // 22 + 16 * 18 = 310 fits
        {__LINE__, 17, 511, 312, true, false},  // 328 does not; 511 - 16 still holds 450
        {__LINE__, 5, 440, 312, false, true},
        {__LINE__, 16, 440, 312, true, true}, // the horizontal bar pushes the last row out
        {__LINE__, 16, 460, 312, false, false},
        {__LINE__, 17, 460, 312, true, true}, // the vertical bar leaves too little width
        {__LINE__, 0, 100, 30, true, true},   // the header alone is too high, too wide
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "case of line " << c.Line);
        TList t(c.Rows);
        const TScrollLayout l = t.List.CalcScrollLayout(c.Width, c.Height, 16, 16);
        EXPECT_EQ(l.VertVisible, c.Vert);
        EXPECT_EQ(l.HorzVisible, c.Horz);
        EXPECT_EQ(l.ClientWidth, c.Width - (c.Vert ? 16 : 0));
        EXPECT_EQ(l.ClientHeight, c.Height - (c.Horz ? 16 : 0));
    }
}

TEST(QlxScrolling, PositionsStayInRangeAndTheWheelMovesThreeRows) {
    TList t(40); // 720 pixels of rows under a 286-pixel window on them
    // Three rows more than the overflow, in whole rows: 18 * ((742 - 308) div 18 + 3).
    EXPECT_EQ(t.List.VertMax(), 18 * 27);
    t.List.MouseWheel(-1, false);
    EXPECT_EQ(t.List.VertPos(), 54);
    t.List.MouseWheel(-100, false);
    EXPECT_EQ(t.List.VertPos(), 18 * 27);
    t.List.MouseWheel(100, false);
    EXPECT_EQ(t.List.VertPos(), 0);
    t.List.SetHorzPos(20); // the column fits: nothing to scroll
    EXPECT_EQ(t.List.HorzPos(), 0);
    t.Fill(3); // fewer rows pull the position back
    t.List.SetVertPos(100);
    EXPECT_EQ(t.List.VertPos(), 0);
}

TEST(QlxPress, OnTheCheckBoxClickFiresWithTheOldStateThenCheckWithTheNew) {
    TList t;
    t.Press(8, t.RowY(2));
    EXPECT_EQ(t.Log, (Log{"click 2 on", "check 2 off"}));
    EXPECT_EQ(t.SelectedRows(), std::vector<int>{2});
    EXPECT_EQ(t.List.CurrentIndex(), 2);
    EXPECT_EQ(t.List.PressedRow(), 2);
    EXPECT_EQ(t.List.PressedColumn(), 0);
}

TEST(QlxPress, RightOfTheCheckBoxOnlySelectsAndClicks) {
    TList t;
    t.List.Items[0].SetSelected(true);
    t.Press(16, t.RowY(3));
    EXPECT_EQ(t.Log, Log{"click 3 on"});
    EXPECT_EQ(t.SelectedRows(), std::vector<int>{3});
    EXPECT_TRUE(t.List.Items[3].Checked());
}

TEST(QlxPress, OutsideTheRowsOrColumnsOrWithAnotherButtonNothingHappens) {
    TList t;
    t.List.Items[1].SetSelected(true);
    t.Press(480, t.RowY(2));
    t.Press(100, t.RowY(5));
    t.Press(100, 10); // the header: nothing in this list
    t.List.MouseDown(TMouseButton::Right, 0, 8, t.RowY(2));
    EXPECT_EQ(t.Log, Log{});
    EXPECT_EQ(t.SelectedRows(), std::vector<int>{1});
    EXPECT_EQ(t.List.CurrentIndex(), 1);
    EXPECT_TRUE(t.List.Items[2].Checked());
}

TEST(QlxPress, WithControlHeldAPressOnTheSelectedRowDeselectsIt) {
    TList t;
    t.Press(100, t.RowY(1));
    t.List.KeyDown(0x11, ssCtrl); // the Control key itself
    EXPECT_TRUE(t.List.ControlHeld());
    t.Press(100, t.RowY(1));
    EXPECT_EQ(t.SelectedRows(), std::vector<int>{});
    t.List.KeyUp();
    EXPECT_FALSE(t.List.ControlHeld());
    t.Press(100, t.RowY(1));
    t.List.MouseDown(TMouseButton::Left, ssCtrl, 100, t.RowY(1)); // Control seen with the press
    EXPECT_EQ(t.SelectedRows(), std::vector<int>{});
}

TEST(QlxPress, ShiftWithMultiSelectSelectsTheRangeFromTheCurrentRow) {
    TList t;
    t.List.MultiSelect = true;
    t.Press(100, t.RowY(1));
    t.List.MouseDown(TMouseButton::Left, ssShift, 100, t.RowY(3));
    EXPECT_EQ(t.SelectedRows(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(t.List.ShiftAnchor(), 1);
    t.Press(100, t.RowY(4));
    EXPECT_EQ(t.SelectedRows(), std::vector<int>{4});
    EXPECT_EQ(t.List.ShiftAnchor(), -1);
}

TEST(QlxPress, ADoubleClickOnTheCheckBoxTogglesItThreeTimes) {
    TList t;
    t.Press(8, t.RowY(1));
    t.List.DblClick(0, 8, t.RowY(1));
    EXPECT_EQ(t.Log, (Log{"click 1 on", "check 1 off", "click 1 off", "check 1 on", "click 1 on",
                          "check 1 off"}));
    EXPECT_FALSE(t.List.Items[1].Checked());
    // Selection is inverted by every press, as by a single one on an unselected row.
    EXPECT_EQ(t.SelectedRows(), std::vector<int>{1});
}

TEST(QlxPress, AHandlerThatEmptiesTheListEndsThePressSafely) {
    TList t;
    t.List.OnItemClick = [&](TObject*, TQlxListItem*) { t.List.Items.Clear(); };
    t.List.OnItemCheck = [&](TObject*, TQlxListItem*) { ADD_FAILURE() << "no row to check"; };
    t.Press(8, t.RowY(4));
    EXPECT_EQ(t.List.Items.Count(), 0);
    t.Fill(5);
    t.List.OnItemCheck = [&](TObject*, TQlxListItem*) { t.Fill(2); };
    t.List.OnItemClick = nullptr;
    t.List.Items[4].SetSelected(true);
    t.List.KeyDown(kVkSpace, 0); // the check handler shrinks the list under the current row
    EXPECT_EQ(t.List.Items.Count(), 2);
}

namespace {
struct TKeyCase {
    int Line;
    int Rows;
    int Current; // made current (and selected) first; -1: none
    uint16_t Key;
    int WantCurrent;
    Log WantLog;
    std::vector<int> WantSelected;
};
} // namespace

TEST(QlxKeys, TheKeysMoveTheCurrentRowSelectItAndClick) {
    const TKeyCase cases[] = {
        {__LINE__, 5, 2, kVkSpace, 2, {"check 2 off", "click 2 off"}, {2}},
        {__LINE__, 5, -1, kVkSpace, -1, {}, {}},
        {__LINE__, 5, 0, kVkPrior, 0, {"click 0 on"}, {0}},
        {__LINE__, 5, 3, kVkPrior, 0, {"click 0 on"}, {0}},
        {__LINE__, 0, -1, kVkPrior, -1, {}, {}},
        {__LINE__, 5, -1, kVkNext, 4, {"click 4 on"}, {4}},
        {__LINE__, 5, 4, kVkNext, 4, {"click 4 on"}, {4}},
        {__LINE__, 0, -1, kVkNext, -1, {}, {}},
        {__LINE__, 5, -1, kVkUp, 0, {"click 0 on"}, {0}},
        {__LINE__, 5, 0, kVkUp, 0, {}, {0}},
        {__LINE__, 5, 3, kVkUp, 2, {"click 2 on"}, {2}},
        {__LINE__, 5, -1, kVkDown, 0, {"click 0 on"}, {0}},
        {__LINE__, 5, 1, kVkDown, 2, {"click 2 on"}, {2}},
        {__LINE__, 5, 4, kVkDown, 4, {}, {4}},
        {__LINE__, 0, -1, kVkDown, -1, {}, {}},
        {__LINE__, 5, 2, kVkHome, 2, {}, {2}},
        {__LINE__, 5, 2, 'A', 2, {}, {2}},
    };
    for (const TKeyCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "case of line " << c.Line);
        TList t(c.Rows);
        if (c.Current >= 0)
            t.List.Items[c.Current].SetSelected(true);
        t.List.KeyDown(c.Key, 0);
        EXPECT_EQ(t.List.CurrentIndex(), c.WantCurrent);
        EXPECT_EQ(t.Log, c.WantLog);
        EXPECT_EQ(t.SelectedRows(), c.WantSelected);
    }
}

TEST(QlxKeys, MovingTheCurrentRowScrollsItIntoView) {
    TList t(40); // 15 rows and a part show
    t.List.KeyDown(kVkNext, 0);
    EXPECT_EQ(t.List.RowTop(39) + 18, 308);
    t.List.KeyDown(kVkPrior, 0);
    EXPECT_EQ(t.List.VertPos(), 0);
    for (int i = 0; i < 15; ++i)
        t.List.KeyDown(kVkDown, 0);
    EXPECT_EQ(t.List.CurrentIndex(), 15);
    EXPECT_EQ(t.List.RowTop(15) + 18, 308); // just in view at the bottom
    EXPECT_GT(t.View.Scrolls, 0);
}

TEST(QlxKeys, ShiftKeepsTheAnchorAndControlAloneSetsTheFlag) {
    TList t;
    t.List.Items[2].SetSelected(true);
    t.List.KeyDown(kVkDown, ssShift);
    EXPECT_EQ(t.List.ShiftAnchor(), 2);
    t.List.KeyDown(kVkDown, ssShift);
    EXPECT_EQ(t.List.ShiftAnchor(), 2);
    t.List.KeyDown(kVkDown, 0);
    EXPECT_EQ(t.List.ShiftAnchor(), -1);
    t.List.KeyDown(kVkDown, ssCtrl | ssShift);
    EXPECT_FALSE(t.List.ControlHeld());
}

TEST(QlxRows, ColoursFollowTheCheckStateAndTheSelectionAndFocus) {
    TList t(1);
    t.List.CheckItemColor = 0x00FF00;
    t.List.ItemsColor = 0x0000FF;
    TQlxListItem& item = t.List.Items[0];
    EXPECT_EQ(t.List.RowColors(item, true).Back, 0x00FF00u);
    item.SetChecked(false);
    EXPECT_EQ(t.List.RowColors(item, true).Back, 0x0000FFu);
    item.SetState(cbGrayed);
    EXPECT_EQ(t.List.RowColors(item, true).Back, clGray);
    item.SetSelected(true);
    EXPECT_EQ(t.List.RowColors(item, true).Back, clNavy);
    EXPECT_EQ(t.List.RowColors(item, true).Text, clWhite);
    EXPECT_EQ(t.List.RowColors(item, false).Back, clBtnFace);
    EXPECT_EQ(t.List.RowColors(item, false).Text, clWindowText);
}

TEST(QlxRows, ThePlainGlyphsDifferOnlyInTheirTick) {
    const TCheckGlyph off = PlainCheckGlyph(cbUnchecked);
    const TCheckGlyph on = PlainCheckGlyph(cbChecked);
    const TCheckGlyph gray = PlainCheckGlyph(cbGrayed);
    EXPECT_EQ(off.At(0, 0), on.At(0, 0)); // the same frame
    EXPECT_EQ(off.At(12, 6), gray.At(12, 6));
    EXPECT_NE(on.At(5, 8), off.At(5, 8)); // the tick crosses the middle
    EXPECT_NE(gray.At(5, 8), on.At(5, 8));
    EXPECT_EQ(on.At(10, 10), off.At(10, 10));
}

TEST(QlxRows, HintsFollowTheRowsOnlyWhenForced) {
    TList t;
    t.List.MouseMove(100, t.RowY(0));
    t.List.MouseMove(100, t.RowY(1));
    EXPECT_EQ(t.View.Hints, 0);
    t.List.ForceHint = true;
    t.List.MouseMove(100, t.RowY(2));
    t.List.MouseMove(120, t.RowY(2));
    t.List.MouseMove(480, t.RowY(2));
    EXPECT_EQ(t.View.Hints, 2);
}

// ---- Sorting, column sizing and the registry

TEST(QlxControlKey, ReleasedWhileTheListHadNoFocusItIsNotHeldAnyMore) {
    TList t;
    t.Press(100, t.RowY(1));
    t.List.KeyDown(0x11, ssCtrl); // Control goes down in the list ...
    t.List.FocusLost();           // ... and comes up in another window
    t.Press(100, t.RowY(1));      // a plain press keeps the row selected
    EXPECT_EQ(t.SelectedRows(), std::vector<int>{1});
    t.List.KeyDown(kVkDown, 0);
    EXPECT_EQ(t.List.CurrentIndex(), 2);
}

TEST(QlxSort, SortTextsCompareByTheColumnsType) {
    struct TCase {
        int Line;
        TsortType Type;
        const char *A, *B;
        int Want;
    };
    const TCase cases[] = {
        {__LINE__, stString, "apple", "Banana", -1},
        {__LINE__, stString, "ABC", "abc", 0},
        {__LINE__, stHex, "$FF", "0x100", -1},
        {__LINE__, stHex, "1f", "1E", 1},
        {__LINE__, stInteger, "9", "10", -1},
        {__LINE__, stInteger, "-3", "2", -1},
        {__LINE__, stInteger, "1.5", "1", -1}, // not an integer: missing comes first
        {__LINE__, stFloat, "2.5", "10", -1},
        {__LINE__, stFloat, " 3e2 ", "299.9", 1},
        {__LINE__, stDate, "2024-02-01", "2023-12-31", 1},
        {__LINE__, stDate, "31.12.2023", "2024-01-01", -1},
        {__LINE__, stDate, "12/31/2023", "1/1/2024", -1},
        {__LINE__, stDate, "2024-13-01", "2024-01-01", -1}, // no such month
        {__LINE__, stTime, "9:05", "10:00", -1},
        {__LINE__, stTime, "12:30 PM", "1:00 pm", -1},
        {__LINE__, stTime, "11:59:59 PM", "23:59:59", 0},
        {__LINE__, stDateTime, "2024-01-01 23:00", "2024-01-02 01:00", -1},
        {__LINE__, stDateTime, "2024-01-02", "2024-01-01 23:59", 1},
        {__LINE__, stFileSize, "900 KB", "1 MB", -1},
        {__LINE__, stFileSize, "1.5 kb", "1536", 0},
        {__LINE__, stFileSize, "2 GB", "12 bytes", 1},
        {__LINE__, stFileSize, "many", "", 0}, // both missing
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "case of line " << c.Line);
        EXPECT_EQ(CompareSortTexts(c.A, c.B, c.Type), c.Want);
        EXPECT_EQ(CompareSortTexts(c.B, c.A, c.Type), -c.Want);
    }
}

namespace {
// A list sorted by its first (visible) column, rows given by caption and Hidenpart.
struct TSortList : TList {
    explicit TSortList(const std::vector<std::pair<std::string, std::string>>& Rows) : TList(0) {
        List.Columns[1].Visible = true;
        List.Items.BeginUpdate();
        for (auto& [caption, hidden] : Rows) {
            TQlxListItem* item = List.Items.Add();
            item->SetCaption(caption);
            item->Hidenpart = hidden;
        }
        List.Items.EndUpdate();
    }
    std::vector<std::string> Captions() const {
        std::vector<std::string> c;
        for (int i = 0; i < List.Items.Count(); ++i)
            c.push_back(List.Items[i].Caption());
        return c;
    }
};
} // namespace

TEST(QlxSort, RowsFollowTheSortColumnAndTheCurrentRowGoesWithThem) {
    TSortList t({{"delta", ""}, {"Alpha", ""}, {"charlie", ""}, {"bravo", ""}, {"echo", ""}});
    t.List.Items[2].SetSelected(true); // charlie
    int starts = 0, ends = 0;
    t.List.OnStartSort = [&](TObject*) { ++starts; };
    t.List.OnEndSort = [&](TObject*) { ++ends; };
    t.List.SetSortColumn(0);
    EXPECT_EQ(t.Captions(),
              (std::vector<std::string>{"Alpha", "bravo", "charlie", "delta", "echo"}));
    EXPECT_EQ(t.List.CurrentIndex(), 2);
    EXPECT_EQ(t.SelectedRows(), std::vector<int>{2});
    t.List.SetSortSens(ssDescendent);
    EXPECT_EQ(t.Captions(),
              (std::vector<std::string>{"echo", "delta", "charlie", "bravo", "Alpha"}));
    EXPECT_EQ(starts, 2);
    EXPECT_EQ(ends, 2);

    // A second column: the rows without that sub-item come first; inside an update the sort
    // waits for the outermost EndUpdate.
    t.List.Items.BeginUpdate();
    t.List.Items[0].SubItems.Add("2");
    t.List.Items[3].SubItems.Add("1");
    t.List.SetSortSens(ssAscendent);
    t.List.SetSortColumn(1);
    EXPECT_EQ(t.List.Items[0].Caption(), "echo");
    t.List.Items.EndUpdate();
    EXPECT_EQ(t.Captions()[3], "bravo");
    EXPECT_EQ(t.Captions()[4], "echo");

    // A hidden sort column does not sort.
    t.List.Columns[1].Visible = false;
    t.List.SetSortColumn(-1);
    t.List.Items.Add()->SetCaption("aaa");
    t.List.SetSortColumn(1);
    EXPECT_EQ(t.Captions().back(), "aaa");
}

TEST(QlxSort, TheHiddenPartLeadsTheKeyWhenTheColumnUsesIt) {
    TSortList t({{"b", "0002"}, {"a", "0003"}, {"c", "0001"}});
    t.List.SetSortColumn(0);
    EXPECT_EQ(t.Captions(), (std::vector<std::string>{"c", "b", "a"}));
    t.List.Columns[0].UseHidenPart = false;
    t.List.SortItems();
    EXPECT_EQ(t.Captions(), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(QlxSort, ManyEqualAndMixedKeysEndInOrder) {
    std::vector<std::pair<std::string, std::string>> rows;
    for (int i = 0; i < 200; ++i)
        rows.push_back({std::to_string((i * 7919) % 23), ""});
    TSortList t(rows);
    t.List.Columns[0].SortType = stInteger;
    t.List.SetSortColumn(0);
    for (int i = 1; i < 200; ++i)
        EXPECT_LE(std::stoi(t.Captions()[i - 1]), std::stoi(t.Captions()[i]));
}

TEST(QlxHeader, AReleasedHeaderPressSortsOnlyWithHeaderAutoSort) {
    TSortList t({{"b", ""}, {"a", ""}, {"c", ""}});
    std::vector<int> clicks;
    t.List.OnColumnClick = [&](TObject*, int c) { clicks.push_back(c); };
    auto click = [&](int X) {
        t.Press(X, 10);
        t.List.MouseUp(TMouseButton::Left, X, 10);
    };
    click(200); // the main window's setting: nothing changes
    EXPECT_EQ(t.List.SortColumn(), -1);
    EXPECT_EQ(t.Captions(), (std::vector<std::string>{"b", "a", "c"}));
    t.List.HeaderAutoSort = true;
    click(200); // another column starts descending
    EXPECT_EQ(t.List.SortColumn(), 0);
    EXPECT_EQ(t.List.SortSens(), ssDescendent);
    EXPECT_EQ(t.Captions(), (std::vector<std::string>{"c", "b", "a"}));
    click(200); // the sort column turns round
    EXPECT_EQ(t.List.SortSens(), ssAscendent);
    EXPECT_EQ(t.Captions(), (std::vector<std::string>{"a", "b", "c"}));
    t.List.Columns[1].BlockSort = true;
    click(500); // column 1 lies from 450 to 550
    EXPECT_EQ(t.List.SortColumn(), 0);
    EXPECT_EQ(clicks, (std::vector<int>{0, 0, 0, 1}));
}

TEST(QlxHeader, ABorderDragSizesTheColumnWithinItsLimits) {
    TList t;
    std::vector<int> resized;
    t.List.OnColumnResize = [&](TObject*, int c) { resized.push_back(c); };
    EXPECT_TRUE(t.List.SplitCursorAt(450, 10));
    EXPECT_TRUE(t.List.SplitCursorAt(449, 10));
    EXPECT_FALSE(t.List.SplitCursorAt(440, 10));
    EXPECT_FALSE(t.List.SplitCursorAt(450, 40)); // not in the header
    for (auto [release, want] : {std::pair{600, 600}, {1200, 1000}, {300, 400}, {-5, 400}}) {
        t.Press(t.List.ColumnLeft(0) + t.List.Columns[0].Width(), 10);
        EXPECT_TRUE(t.List.SizingColumn());
        EXPECT_TRUE(t.List.SplitCursorAt(release, 100)); // the cursor stays while dragging
        t.List.MouseUp(TMouseButton::Left, release, 100);
        EXPECT_EQ(t.List.Columns[0].Width(), want) << release;
    }
    EXPECT_EQ(resized, (std::vector<int>{0, 0, 0, 0}));
    EXPECT_FALSE(t.List.SizingColumn());
}

TEST(QlxAutoSize, ColumnsFitTheirCaptionAndEveryRow) {
    TList t(0);
    t.List.Columns[0].SetMinWidth(0);
    t.List.Columns[1].Visible = true;
    t.List.Columns[1].Caption = "Nr";
    TQlxListItem* a = t.List.Items.Add();
    a->SetCaption("a caption of 40 characters, quite long..");
    a->SubItems.Add("x");
    TQlxListItem* b = t.List.Items.Add();
    b->SetCaption("short");
    b->Offset = 10;
    t.List.AutoSizeColumns();
    EXPECT_EQ(t.List.Columns[0].Width(), 40 * 7 + 3 + 3 + 25);
    a->SetIcon(TBitmap16{}); // a row with a picture: its drawn side (18 - 2) + 10 more
    t.List.AutoSizeColumns();
    EXPECT_EQ(t.List.Columns[0].Width(), 40 * 7 + 3 + 3 + 25 + 16 + 10);
    EXPECT_EQ(t.List.Columns[1].Width(), 43); // the other columns leave it out
    a->ClearIcon();
    // Caption 2 * 8 + 25 = 41; row a: 7 + 31 = 38; row b has no sub-item: 10 + 3 + 30 = 43.
    EXPECT_EQ(t.List.Columns[1].Width(), 43);
    EXPECT_EQ(t.List.Columns[2].Width(), 100); // hidden columns keep their width
    a->SetCaption("x");
    t.List.Columns[0].SetMinWidth(400);
    t.List.KeyDown(kVkAdd, ssCtrl); // Control and the keypad's plus
    EXPECT_EQ(t.List.Columns[0].Width(), 400);
    t.List.Columns[0].SetMinWidth(0);
    t.List.KeyDown(kVkAdd, 0); // without Control nothing
    EXPECT_EQ(t.List.Columns[0].Width(), 400);
}

TEST(QlxAutoSize, ADoubleClickOnABorderFitsThatColumnAndTheReleaseKeepsIt) {
    TList t(2);
    t.List.Columns[0].SetMinWidth(0);
    std::vector<int> dbl;
    t.List.OnColumnDblClick = [&](TObject*, int c) { dbl.push_back(c); };
    t.Press(450, 10);
    t.List.MouseUp(TMouseButton::Left, 450, 10);
    t.List.DblClick(0, 450, 10);
    t.List.MouseUp(TMouseButton::Left, 450, 10);
    EXPECT_EQ(t.List.Columns[0].Width(), 20 * 8 + 25); // the caption is the widest text
    t.List.DblClick(0, 100, 10);
    EXPECT_EQ(dbl, std::vector<int>{0});
}

TEST(QlxResize, TheResizeColumnTakesUpTheChangeOfWidth) {
    TList t;
    int after = 0;
    t.List.OnAfterResize = [&](TObject*) { ++after; };
    t.List.RememberWidth(511);
    t.List.ControlResized(611); // no resize column
    EXPECT_EQ(t.List.Columns[0].Width(), 450);
    t.List.ResizeColumn = 0;
    t.List.ControlResized(711);
    EXPECT_EQ(t.List.Columns[0].Width(), 550);
    t.List.ControlResized(311);
    EXPECT_EQ(t.List.Columns[0].Width(), 400); // its MinWidth
    EXPECT_EQ(after, 3);
}

namespace {
const char kListKey[] = "SOFTWARE\\TQlxCheckList\\QlxCheckListTaskBar";
constexpr TRegRoot HKLM = TRegRoot::LocalMachine;
} // namespace

TEST(QlxRegistry, TheMainWindowsListWritesItsSevenWidthsAndSortSettingsAndReadsThemBack) {
    zvtest::TMemoryRegistryData reg;
    TList t;
    t.List.Registry = reg.Factory();
    t.List.RegistrySaving.RegistrySubkey = "QlxCheckListTaskBar";
    t.List.SaveRegistrySettings("ignored");
    EXPECT_EQ(reg.Names(HKLM, kListKey),
              (std::vector<std::string>{"Column_0_Width", "Column_1_Width", "Column_2_Width",
                                        "Column_3_Width", "Column_4_Width", "Column_5_Width",
                                        "Column_6_Width", "Sort_Column", "Sort_Ascendent"}));
    const auto& v = *reg.Find(HKLM, kListKey);
    EXPECT_EQ(v[0].second.Dword, 450u);
    EXPECT_EQ(v[6].second.Dword, 100u);
    EXPECT_EQ(v[7].second.Dword, 0xFFFFFFFFu);
    EXPECT_EQ(v[8].second.Dword, 0u);
    for (const auto& [name, value] : v)
        EXPECT_EQ(value.Type, kRegDword) << name;

    TList back(3);
    back.List.Items[2].SetCaption("a"); // would move if anything sorted
    back.List.Registry = reg.Factory();
    back.List.LoadRegistrySettings("QlxCheckListTaskBar");
    EXPECT_EQ(back.List.SortColumn(), -1);
    EXPECT_EQ(back.List.SortSens(), ssAscendent);
    EXPECT_EQ(back.List.Columns[0].Width(), 450);
    EXPECT_EQ(back.List.Items[2].Caption(), "a");
    EXPECT_EQ(back.List.RegistrySaving.RegistryKey, "SOFTWARE\\TQlxCheckList\\");
}

TEST(QlxRegistry, StoredWidthsAreClampedAndValuesOfAnotherTypeIgnored) {
    zvtest::TMemoryRegistryData reg;
    reg.Put(HKLM, kListKey, "Column_0_Width", zvtest::Dword(2000));
    reg.Put(HKLM, kListKey, "Column_1_Width", zvtest::Sz("55"));
    reg.Put(HKLM, kListKey, "Column_2_Width", zvtest::Dword(60));
    reg.Put(HKLM, kListKey, "Sort_Column", zvtest::Dword(0xFFFFFFFF));
    reg.Put(HKLM, kListKey, "Sort_Ascendent", zvtest::Dword(1));
    TList t;
    t.List.Registry = reg.Factory();
    t.List.RegistrySaving.RegistryKey = "SOFTWARE\\TQlxCheckList"; // the backslash is added
    t.List.LoadRegistrySettings("QlxCheckListTaskBar");
    EXPECT_EQ(t.List.Columns[0].Width(), 1000);
    EXPECT_EQ(t.List.Columns[1].Width(), 100);
    EXPECT_EQ(t.List.Columns[2].Width(), 60);
    EXPECT_EQ(t.List.SortSens(), ssDescendent);
    reg.Put(HKLM, kListKey, "Column_0_Width", zvtest::Dword(100));
    t.List.LoadRegistrySettings("QlxCheckListTaskBar");
    EXPECT_EQ(t.List.Columns[0].Width(), 400);
}

TEST(QlxRegistry, AKeyWithoutSortColumnSortsByHiddenPartAndCaption) {
    zvtest::TMemoryRegistryData reg;
    reg.Put(HKLM, kListKey, "Column_0_Width", zvtest::Dword(450));
    TList t(0);
    t.List.Registry = reg.Factory();
    t.List.LoadRegistrySettings("QlxCheckListTaskBar");
    EXPECT_EQ(t.List.SortColumn(), 0);
    t.List.Items.BeginUpdate();
    for (auto [caption, hidden] :
         {std::pair{"Zeta", "0001"}, {"beta", "0002"}, {"Alpha", "0002"}}) {
        TQlxListItem* item = t.List.Items.Add();
        item->SetCaption(caption);
        item->Hidenpart = hidden;
    }
    t.List.Items.EndUpdate();
    EXPECT_EQ(t.List.Items[0].Caption(), "Zeta");
    EXPECT_EQ(t.List.Items[1].Caption(), "Alpha");
    EXPECT_EQ(t.List.Items[2].Caption(), "beta");
}

TEST(QlxRegistry, WithoutRightsNothingIsSavedAndNothingIsRaised) {
    zvtest::TMemoryRegistryData reg;
    reg.Denied.insert(zvtest::TMemoryRegistryData::Id(HKLM, kListKey));
    TList t;
    t.List.Registry = reg.Factory();
    t.List.SaveRegistrySettings("QlxCheckListTaskBar");
    EXPECT_EQ(reg.Find(HKLM, kListKey), nullptr);
    // A key that opens but refuses every write: each value is tried, none raises.
    reg.Keys[zvtest::TMemoryRegistryData::Id(HKLM, kListKey)];
    t.List.SaveRegistrySettings("QlxCheckListTaskBar");
    EXPECT_TRUE(reg.Names(HKLM, kListKey).empty());
    t.List.Registry = [](TRegRoot, uint32_t) -> std::unique_ptr<TRegistry> {
        throw ERegistryException("no registry");
    };
    t.List.SaveRegistrySettings("QlxCheckListTaskBar");
    t.List.LoadRegistrySettings("QlxCheckListTaskBar");
    EXPECT_EQ(t.List.Columns[0].Width(), 450);
}
