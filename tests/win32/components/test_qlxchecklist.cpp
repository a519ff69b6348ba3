// The check list control under the real window manager: mouse and key messages as the
// system sends them, the events they raise, and what the control paints.
#include "components/QlxCheckList.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <array>

#include <string>
#include <vector>

#include "tests/support/WindowCapture.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

namespace {
const TFormParams kForm{.ClassName = "TChecklistTestForm",
                        .Name = "ChecklistTestForm",
                        .Caption = "Check list",
                        .ClientWidth = 540,
                        .ClientHeight = 340};

// A form with the list as the main window sets it up: 7 columns of which only the first
// shows, whole-row colours, no sorting.
class TListForm : public TForm {
public:
    explicit TListForm(TComponent* Owner) : TForm(Owner, kForm) {
        List = Create<TQlxCheckList>(TQlxCheckListParams{.Name = "QlxCheckListTaskBar",
                                                         .Parent = this,
                                                         .Bounds = {5, 8, 511, 312},
                                                         .Hint = "You can do this easier!",
                                                         .ShowHint = true});
        Ok = Create<TButton>(TButtonParams{
            .Name = "bOk", .Parent = this, .Bounds = {440, 325, 90, 12}, .Caption = "OK"});
        TQlxListColumn& first = List->Columns.Add();
        first.Caption = "TaskBar Applications";
        first.SetWidth(450);
        first.SetMinWidth(400);
        first.SetMaxWidth(1000);
        for (int c = 1; c < 7; ++c)
            List->Columns.Add().Visible = false;
        List->EntireRow = true;
        List->HeaderAutoSort = false;
        List->SetSortColumn(-1);
        List->UseItemSelectionTheme = true;
        List->OnItemClick = [this](TObject* Sender, TQlxListItem* Item) {
            EXPECT_EQ(Sender, List);
            Log.push_back("click " + Describe(Item));
        };
        List->OnItemCheck = [this](TObject* Sender, TQlxListItem* Item) {
            EXPECT_EQ(Sender, List);
            Log.push_back("check " + Describe(Item));
        };
    }
    static std::string Describe(TQlxListItem* Item) {
        return std::to_string(Item->Index()) + (Item->Checked() ? " on" : " off");
    }

    TQlxCheckList* List;
    TButton* Ok;
    std::vector<std::string> Log;
};

using Log = std::vector<std::string>;

using zvtest::Capture;
using zvtest::Pixel;
using zvtest::TCapture;

struct TListTest : testing::Test {
    TListTest() {
        App.CreateForm(Form);
        App.OnException = [](TObject*, const Exception& E) { ADD_FAILURE() << E.Message; };
        Form->Show();
        App.ProcessMessages();
        List = Form->List;
    }
    void Fill(int Rows) {
        List->Items.BeginUpdate();
        List->Items.Clear();
        for (int i = 0; i < Rows; ++i)
            List->Items.Add()->SetCaption("Row " + std::to_string(i));
        List->Items.EndUpdate();
    }
    HWND Wnd() const { return List->Handle(); }
    // A point on row Row: x 8 is on its check box.
    int RowY(int Row) const { return List->RowTop(Row) + 8; }
    void Click(int X, int Y) {
        ::SendMessageA(Wnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X, Y));
        ::SendMessageA(Wnd(), WM_LBUTTONUP, 0, MAKELPARAM(X, Y));
    }
    // A key as the keyboard delivers it: posted to the focused window, through the loop.
    void PressKey(WORD Vk) {
        HWND focus = ::GetFocus();
        ::PostMessageA(focus, WM_KEYDOWN, Vk, 1);
        ::PostMessageA(focus, WM_KEYUP, Vk, 0xC0000001);
        App.ProcessMessages();
    }
    std::vector<int> SelectedRows() const {
        std::vector<int> rows;
        for (int i = 0; i < List->Items.Count(); ++i)
            if (List->Items[i].Selected())
                rows.push_back(i);
        return rows;
    }
    std::vector<std::string>& Events() { return Form->Log; }

    TApplication App;
    TListForm* Form = nullptr;
    TQlxCheckList* List = nullptr;
};
} // namespace

TEST_F(TListTest, TheWindowIsOfItsOwnClassAndAsksForArrowsAndCharacters) {
    char cls[64] = {};
    ::GetClassNameA(Wnd(), cls, sizeof(cls));
    EXPECT_STREQ(cls, "TQlxCheckList");
    EXPECT_EQ(::SendMessageA(Wnd(), WM_GETDLGCODE, 0, 0), 0x81);
    EXPECT_TRUE(::GetWindowLongPtrA(Wnd(), GWL_STYLE) & WS_CLIPCHILDREN);
    EXPECT_TRUE(::GetClassLongPtrA(Wnd(), GCL_STYLE) & CS_DBLCLKS);
    EXPECT_EQ(List->CurrentIndex(), -1);
    EXPECT_EQ(List->Bounds().Width, 511);
}

TEST_F(TListTest, APressOnACheckBoxClicksWithTheOldStateThenChecksWithTheNew) {
    Fill(5);
    Click(8, RowY(2));
    EXPECT_EQ(Events(), (Log{"click 2 on", "check 2 off"}));
    EXPECT_EQ(SelectedRows(), std::vector<int>{2});
    EXPECT_EQ(List->SelectedItem(), &List->Items[2]);
    EXPECT_EQ(::GetFocus(), Wnd()); // the press takes the focus
}

TEST_F(TListTest, APressRightOfTheCheckBoxOnlyClicksAndOneRightOfTheColumnDoesNothing) {
    Fill(5);
    Click(100, RowY(3));
    EXPECT_EQ(Events(), Log{"click 3 on"});
    EXPECT_TRUE(List->Items[3].Checked());
    Events().clear();
    Click(480, RowY(1));
    Click(200, RowY(5)); // below the last row
    EXPECT_EQ(Events(), Log{});
    EXPECT_EQ(SelectedRows(), std::vector<int>{3});
}

TEST_F(TListTest, ADoubleClickOnACheckBoxTogglesItThreeTimes) {
    Fill(3);
    const LPARAM at = MAKELPARAM(8, RowY(1));
    ::SendMessageA(Wnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageA(Wnd(), WM_LBUTTONUP, 0, at);
    ::SendMessageA(Wnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    ::SendMessageA(Wnd(), WM_LBUTTONUP, 0, at);
    EXPECT_EQ(Events(), (Log{"click 1 on", "check 1 off", "click 1 off", "check 1 on", "click 1 on",
                             "check 1 off"}));
    EXPECT_FALSE(List->Items[1].Checked());
}

TEST_F(TListTest, KeysFromTheMessageLoopMoveTheCurrentRow) {
    Fill(5);
    List->SetFocus();
    PressKey(VK_SPACE); // no current row yet
    EXPECT_EQ(Events(), Log{});
    PressKey(VK_NEXT);
    EXPECT_EQ(List->CurrentIndex(), 4);
    PressKey(VK_DOWN); // already last
    PressKey(VK_SPACE);
    EXPECT_EQ(Events(), (Log{"click 4 on", "check 4 off", "click 4 off"}));
    Events().clear();
    PressKey(VK_PRIOR);
    PressKey(VK_UP); // already first
    PressKey(VK_DOWN);
    EXPECT_EQ(Events(), (Log{"click 0 on", "click 1 on"}));
    EXPECT_EQ(SelectedRows(), std::vector<int>{1});
    EXPECT_EQ(::GetFocus(), Wnd()); // the arrows did not move the focus away
}

TEST_F(TListTest, ExchangingRowsMovesTheSelectionWithThem) {
    Fill(5);
    List->Items[2].SubItems.Add("2");
    List->Items[2].SetSelected(true);
    List->ExchangeItems(2, 1);
    EXPECT_EQ(SelectedRows(), std::vector<int>{1});
    EXPECT_EQ(List->CurrentIndex(), 1);
    EXPECT_EQ(List->Items[1].Caption(), "Row 2");
    EXPECT_EQ(List->Items[1].SubItems[0], "2");
    List->ExchangeItems(0, 5);
    EXPECT_EQ(List->Items[0].Caption(), "Row 0");
    EXPECT_EQ(Events(), Log{});
}

TEST_F(TListTest, CheckedWrittenFromCodeFiresNothingAndClearingDropsTheSelection) {
    Fill(3);
    List->Items[0].SetChecked(false);
    List->Items[1].SetSelected(true);
    EXPECT_EQ(Events(), Log{});
    List->Items.BeginUpdate();
    List->Items.Clear();
    EXPECT_EQ(List->SelectedItem(), nullptr);
    EXPECT_EQ(List->CurrentIndex(), 1);
    List->Items.EndUpdate();
    EXPECT_THROW(List->Items[0], EListError);
}

TEST_F(TListTest, RowsArePaintedByStateSelectionAndFocus) {
    Fill(4);
    List->UseThemeCheck = false;
    List->CheckItemColor = RGB(255, 0, 0);
    List->GrayCheckItemColor = RGB(0, 0, 255);
    List->Items[1].SetChecked(false);
    List->Items[2].SetState(cbGrayed);
    List->Items[3].SetSelected(true);
    List->SetFocus();
    TCapture c = Capture(Wnd());
    EXPECT_EQ(c.At(300, RowY(0)), 0xFF0000u);
    EXPECT_EQ(c.At(300, RowY(1)), Pixel(::GetSysColor(COLOR_WINDOW)));
    EXPECT_EQ(c.At(300, RowY(2)), 0x0000FFu);
    EXPECT_EQ(c.At(300, RowY(3)), 0x000080u); // navy while focused
    EXPECT_EQ(c.At(490, RowY(3)), 0x000080u); // past the column: the entire row
    // The plain glyph: its frame, and the green tick of a checked row only.
    const int boxX = List->CheckBoxLeft() + 1;
    EXPECT_EQ(c.At(boxX, List->CheckBoxTop(0)), 0x1C5180u);
    EXPECT_EQ(c.At(boxX + 5, List->CheckBoxTop(0) + 8), 0x21A121u);
    EXPECT_NE(c.At(boxX + 5, List->CheckBoxTop(1) + 8), 0x21A121u);
    Form->Ok->SetFocus();
    c = Capture(Wnd());
    EXPECT_EQ(c.At(300, RowY(3)), Pixel(::GetSysColor(COLOR_BTNFACE)));
}

TEST_F(TListTest, TheIconIsDrawnBetweenCheckBoxAndCaptionTransparentlyWhenAsked) {
    Fill(2);
    TBitmap16 icon;
    icon.Pixels.fill(0x00FF00);
    List->Items[0].SetIcon(icon);
    icon.Pixels.fill(0xFF00FF); // the transparent colour ...
    icon.At(8, 8) = 0x00FF00;   // ... around one green pixel
    icon.Transparent = true;
    List->Items[1].SetIcon(icon);
    List->CheckItemColor = RGB(255, 255, 0);
    const TCapture c = Capture(Wnd());
    const int left = 13 + 2 + 3; // right of the check box, after the picture indent
    EXPECT_EQ(c.At(left, List->RowTop(0) + 1), 0x00FF00u);
    EXPECT_EQ(c.At(left + 15, List->RowTop(0) + 16), 0x00FF00u);
    EXPECT_NE(c.At(left + 16, List->RowTop(0) + 8), 0x00FF00u);
    EXPECT_EQ(c.At(left + 8, List->RowTop(1) + 9), 0x00FF00u);
    EXPECT_EQ(c.At(left + 2, List->RowTop(1) + 2), 0xFFFF00u); // the row shows through

    // A picture with a mask of its own: the mask decides, not the corner's colour. An opaque
    // square shows whole; a cleared pixel lets the row through.
    TBitmap16 masked;
    masked.Pixels.fill(0x0000FF);
    std::array<uint8_t, 256> clear{};
    clear[2 * 16 + 2] = 1;
    masked.SetMask(clear);
    masked.Transparent = true;
    List->Items[1].SetIcon(masked);
    const TCapture m = Capture(Wnd());
    EXPECT_EQ(m.At(left, List->RowTop(1) + 16), 0x0000FFu) << "the bottom-left corner";
    EXPECT_EQ(m.At(left + 8, List->RowTop(1) + 9), 0x0000FFu);
    EXPECT_EQ(m.At(left + 2, List->RowTop(1) + 3), 0xFFFF00u);
}

TEST_F(TListTest, InsideAnUpdateBracketTheLastPictureIsShown) {
    Fill(3);
    List->CheckItemColor = RGB(255, 0, 0);
    EXPECT_EQ(Capture(Wnd()).At(300, RowY(2)), 0xFF0000u);
    List->Items.BeginUpdate();
    List->Items.Clear();
    List->Items.Add();
    App.ProcessMessages();
    EXPECT_EQ(Capture(Wnd()).At(300, RowY(2)), 0xFF0000u);
    List->Items.EndUpdate();
    EXPECT_EQ(Capture(Wnd()).At(300, RowY(2)), Pixel(::GetSysColor(COLOR_WINDOW)));
}

TEST_F(TListTest, AVerticalBarAppearsForManyRowsAndTheWheelScrollsThreeRows) {
    Fill(5);
    EXPECT_FALSE(::GetWindowLongPtrA(Wnd(), GWL_STYLE) & WS_VSCROLL);
    Fill(40);
    EXPECT_TRUE(::GetWindowLongPtrA(Wnd(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_FALSE(::GetWindowLongPtrA(Wnd(), GWL_STYLE) & WS_HSCROLL);
    RECT rc{};
    ::GetClientRect(Wnd(), &rc);
    EXPECT_EQ(List->ClientHeight(), rc.bottom);
    POINT inside{100, 100};
    ::ClientToScreen(Wnd(), &inside);
    ::SendMessageA(Wnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                   MAKELPARAM(inside.x, inside.y));
    EXPECT_EQ(List->VertPos(), 3 * 18);
    EXPECT_EQ(::GetScrollPos(Wnd(), SB_VERT), 3 * 18);
    ::SendMessageA(Wnd(), WM_VSCROLL, SB_BOTTOM, 0);
    // The bar's range is the list's: the last row can be scrolled up from the bottom edge.
    EXPECT_EQ(List->VertPos(), List->VertMax());
    EXPECT_EQ(::GetScrollPos(Wnd(), SB_VERT), List->VertMax());
    EXPECT_LT(List->RowTop(39) + 18, rc.bottom);
    List->SetFocus();
    PressKey(VK_PRIOR);
    EXPECT_EQ(List->VertPos(), 0);
    Fill(2); // fewer rows: the bar goes and the position comes back
    EXPECT_FALSE(::GetWindowLongPtrA(Wnd(), GWL_STYLE) & WS_VSCROLL);
}

TEST_F(TListTest, TheHintIsTheControlsTooltip) {
    HWND tip = List->HintWindow();
    ASSERT_TRUE(tip);
    EXPECT_EQ(::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    char text[128] = {};
    TTTOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = Wnd();
    ti.uId = reinterpret_cast<UINT_PTR>(Wnd());
    ti.lpszText = text;
    ::SendMessageA(tip, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(text, "You can do this easier!");
    List->SetHint("Another hint");
    ::SendMessageA(tip, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(text, "Another hint");
}
