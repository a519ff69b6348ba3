// The main window's list of taskbar groups, in this process, against the stand-in taskbar with
// windows of other programs: the window's controls, the rows a refresh builds, the row kept
// selected, a tick while the window is hidden, and the check toggle's foreground rule.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include <any>

#include "app/Help.h"
#include "app/Program.h"
#include "app/TaskMain.h"
#include "dragdrop/TaskBallon.h"
#include "standin/LetterIcon.h"
#include "standin/StandinProtocol.h"
#include "taskbar/loader_hook_win.h"
#include "taskbar/taskbuttons_win.h"
#include "taskbar/uProcessMemMgr.h"
#include "tests/support/BenchSupport.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WindowCapture.h"
#include "tests/win32/app/RefreshToEnd.h"
#include "toolkit/SysUtils.h"

namespace {

using ::testing::ElementsAre;

// The group a row stands for.
TGroupId RowGroup(const TQlxListItem& Row) {
    const TGroupId* id = std::any_cast<TGroupId>(&Row.Data);
    return id ? *id : TGroupId{};
}

class TaskList : public ::testing::Test {
protected:
    TaskList() {
        zvtest::ResetProgramSettings();
        App.SetTitle("Zorvane");
        Program.CreateForms(App, false);
        Main = Program.Main;
        Main->TimerHide->SetEnabled(false); // the window stays up for the test
        Main->Show();
        Shell.Sync();
    }
    const TGroupList& HiddenGroups() const { return Program.HiddenGroups.Groups(); }

    TQlxListItems& Rows() { return Main->QlxCheckListTaskBar->Items; }
    std::vector<std::string> Captions() {
        std::vector<std::string> c;
        for (int i = 0; i < Rows().Count(); ++i)
            c.push_back(Rows()[i].Caption() + (Rows()[i].Checked() ? "+" : "-"));
        return c;
    }
    void Refresh() {
        Shell.Sync();
        RefreshToEnd(*Main);
    }
    // A hidden group as the hide command leaves it: one hidden window, an icon of one colour.
    HWND AddHiddenGroup(const std::string& Caption, uint32_t Colour) {
        HiddenWindows.emplace_back(::CreateWindowExA(0, "STATIC", Caption.c_str(), WS_POPUP, 0, 0,
                                                     50, 50, nullptr, nullptr, nullptr, nullptr));
        auto g = std::make_unique<TGrupButtons>();
        g->Add(std::make_unique<TTaskButton>());
        g->Add(std::make_unique<TTaskButton>());
        g->Buttons(1).Wnd = FromHWND(HiddenWindows.back().get());
        g->Buttons(1).SetStyleState(0, 0);
        g->Caption = Caption;
        g->Index = 0x1C;
        g->HasVisible = true;
        g->Windows = {0, FromHWND(HiddenWindows.back().get())};
        // Drawn as an icon reply draws: on white, which is the transparent colour then.
        for (int y = 2; y < 14; ++y)
            for (int x = 2; x < 14; ++x)
                g->Icon.At(x, y) = Colour;
        Program.HiddenGroups.Hide(std::move(g), Program.Windows);
        return HiddenWindows.back().get();
    }

    zvtest::StandinShell Shell;
    zvtest::SampleApp Notes{"Notes", {"notes 1", "notes 2"}};
    zvtest::SampleApp Alpha{"Alpha", {"alpha"}};
    zvtest::SampleApp Bravo{"Bravo", {"bravo"}};
    std::vector<ScopedWindow> HiddenWindows;
    TProgram Program; // outlives the windows, which use it
    TApplication App;
    TfTaskBarMain* Main = nullptr;
};

TEST_F(TaskList, TheControlsLieWhereTheWindowPutsThem) {
    RECT client{};
    ::GetClientRect(Main->Handle(), &client);
    EXPECT_EQ(client.right, 586);
    EXPECT_EQ(client.bottom, 419);
    struct Place {
        TWinControl* Control;
        TBounds Bounds;
    };
    const Place places[] = {
        {Main->TkPageControl1, {8, 8, 573, 366}}, {Main->QlxCheckListTaskBar, {5, 8, 511, 312}},
        {Main->bUp, {525, 5, 33, 150}},           {Main->bDown, {525, 170, 35, 150}},
        {Main->cbStartUp, {8, 56, 530, 20}},      {Main->cmodmove, {8, 100, 530, 41}},
        {Main->bHelp, {9, 382, 90, 30}},          {Main->bExit, {379, 382, 95, 30}},
        {Main->bOk, {484, 382, 95, 30}},          {Main->bDemo_OLD, {119, 381, 87, 33}},
    };
    for (const Place& p : places) {
        const TBounds b = p.Control->Bounds();
        EXPECT_EQ(b.Left, p.Bounds.Left) << p.Control->Name();
        EXPECT_EQ(b.Top, p.Bounds.Top) << p.Control->Name();
        EXPECT_EQ(b.Width, p.Bounds.Width) << p.Control->Name();
        EXPECT_EQ(b.Height, p.Bounds.Height) << p.Control->Name();
    }
    EXPECT_EQ(Main->QlxCheckListTaskBar->Parent(), Main->TabTaskbar);
    EXPECT_FALSE(Main->bDemo_OLD->Visible());
    // The hints, each with its tooltip window.
    ASSERT_TRUE(Main->bHelp->Hint());
    EXPECT_EQ(Main->bHelp->Hint()->Text(), "How to do this easier using drag and drop");
    EXPECT_TRUE(Main->bHelp->Hint()->Handle());
    EXPECT_EQ(Main->QlxCheckListTaskBar->Hint(), "You can do this easier! Click the Help button "
                                                 "to see a brief demo on using drag and drop!");
    EXPECT_TRUE(Main->QlxCheckListTaskBar->ShowHint());
    EXPECT_FALSE(Main->bUp->Hint());
    EXPECT_TRUE(::GetWindowLongA(Main->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(TaskList, ARefreshListsTheTaskbarsGroupsThenTheHiddenOnes) {
    const HWND hiddenWnd = AddHiddenGroup("hidden one", 0x00FF0000);
    Refresh();
    // Notes' two windows are one group with one row, named after its first window.
    ASSERT_THAT(Captions(), ElementsAre("notes 1+", "alpha+", "bravo+", "hidden one-"));
    EXPECT_EQ(RowGroup(Rows()[0]).Lead, FromHWND(Notes.Window(0)));
    EXPECT_EQ(RowGroup(Rows()[1]).Lead, FromHWND(Alpha.Window(0)));
    EXPECT_NE(RowGroup(Rows()[1]).CommandId, 0);

    const TQlxListItem& hidden = Rows()[3];
    EXPECT_EQ(RowGroup(hidden).Lead, FromHWND(hiddenWnd));
    ASSERT_TRUE(hidden.HasIcon());
    EXPECT_EQ(hidden.Icon().At(8, 8), 0x00FF0000u);

    // With nothing selected, the first row is selected and decides the buttons.
    ASSERT_NE(Main->QlxCheckListTaskBar->SelectedItem(), nullptr);
    EXPECT_EQ(Main->QlxCheckListTaskBar->SelectedItem()->Index(), 0);
    EXPECT_FALSE(Main->bUp->Enabled());
    EXPECT_TRUE(Main->bDown->Enabled());
    EXPECT_TRUE(Main->TimerRefresh->Enabled());
}

// What a person sees: a check box, the icon and the caption on every row.
TEST_F(TaskList, EveryRowShowsItsCheckBoxIconAndCaption) {
    AddHiddenGroup("hidden one", 0x00C00000);
    Refresh();
    ASSERT_EQ(Rows().Count(), 4);
    const zvtest::TCapture c = zvtest::Capture(Main->QlxCheckListTaskBar->Handle());
    ASSERT_GT(c.Width, 0);
    const uint32_t window = zvtest::Pixel(::GetSysColor(COLOR_WINDOW));
    auto dark = [](uint32_t px) {
        return ((px >> 16) & 0xFF) + ((px >> 8) & 0xFF) + (px & 0xFF) < 3 * 96;
    };
    for (int row = 0; row < Rows().Count(); ++row) {
        const int top = 22 + row * 18;
        int checkPixels = 0, textPixels = 0, red = 0;
        for (int y = top; y < top + 18; ++y) {
            for (int x = 1; x <= 15; ++x)
                checkPixels += c.At(x, y) != c.At(0, top + 9) ? 1 : 0;
            for (int x = 17; x < 35; ++x)
                red += c.At(x, y) == 0x00C00000 ? 1 : 0;
            for (int x = 35; x < 200; ++x)
                textPixels += dark(c.At(x, y)) ? 1 : 0;
        }
        EXPECT_GT(checkPixels, 20) << "row " << row;
        EXPECT_GT(textPixels, 10) << "row " << row;
        // The hidden group's icon is red; the applications' icons are of their own colours.
        if (row == 3)
            EXPECT_GT(red, 100) << "row " << row;
        else
            EXPECT_EQ(red, 0) << "row " << row;
    }
    // Below the last row there is nothing.
    for (int x = 0; x < 300; ++x)
        EXPECT_EQ(c.At(x, 22 + 5 * 18), window) << x;
}

// Titles outside the code page: a row and the balloon show them as the window has them.
TEST_F(TaskList, TitlesInAnyScriptReachTheRowsAndTheBalloonWhole) {
    const std::string russian = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, "
                                "\xD0\xBC\xD0\xB8\xD1\x80";                         // Privet, mir
    const std::string chinese = "\xE4\xBD\xA0\xE5\xA5\xBD\xE4\xB8\x96\xE7\x95\x8C"; // ni hao shijie
    Alpha.SetTitle(0, russian);
    Bravo.SetTitle(0, chinese);
    Refresh();
    ASSERT_THAT(Captions(), ElementsAre("notes 1+", russian + "+", chinese + "+"));

    // A drag of Bravo's button: the balloon names it, in its label and its window's text.
    const TGroupList groups = Program.Taskbar.Snapshot(false);
    auto bravo = std::find_if(groups.begin(), groups.end(),
                              [&](const TGroupListItem& g) { return g.Group->Caption == chinese; });
    ASSERT_NE(bravo, groups.end());
    const TRect& r = bravo->Group->Rect;
    TFTaskBarBallon& balloon = *Program.Balloon;
    balloon.QLX_MouseHook1MouseClick(nullptr, FromHWND(zvtest::StandinShell::Toolbar()),
                                     (r.Left + r.Right - 5) / 2, (r.Top + r.Bottom - 5) / 2,
                                     TMouseButton::Left, bmDown);
    ASSERT_TRUE(balloon.Dragging());
    EXPECT_EQ(balloon.QlxLabelCaption.Caption, chinese);
    EXPECT_EQ(balloon.Caption(), chinese);
    balloon.SetDragging(false);
}

// The icon a sample application set on its window, drawn as a reply draws it.
TBitmap16 OwnIcon(HWND Wnd) {
    const auto value = reinterpret_cast<std::uintptr_t>(::GetPropA(Wnd, standin::kIconProperty));
    ScopedIcon icon(standin::MakeLetterIcon(16, standin::IconPropertyColour(value),
                                            standin::IconPropertyLetter(value)));
    TBitmap16 b;
    EXPECT_TRUE(DrawIconOnto(b, icon.get()));
    return b;
}

TEST_F(TaskList, EachRowShowsItsApplicationsOwnIcon) {
    Refresh();
    ASSERT_THAT(Captions(), ElementsAre("notes 1+", "alpha+", "bravo+"));
    const HWND windows[] = {Notes.Window(0), Alpha.Window(0), Bravo.Window(0)};
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(Rows()[row].Icon().Pixels, OwnIcon(windows[row]).Pixels);
    }
    EXPECT_NE(Rows()[1].Icon().Pixels, Rows()[2].Icon().Pixels);

    // Without the icon library in the shell the rows still come, with the icons drawn before
    // (kept per window and picture). The library is one module in this process, so a second
    // loader stops the main window's hook too.
    TIconHookLoader other;
    other.StartIconHook();
    ASSERT_TRUE(other.StopIconHook());
    Refresh();
    ASSERT_THAT(Captions(), ElementsAre("notes 1+", "alpha+", "bravo+"));
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(Rows()[row].Icon().Pixels, OwnIcon(windows[row]).Pixels) << row;
}

TEST_F(TaskList, TheUsersRowStaysSelectedWhereverItGoes) {
    Refresh();
    Rows()[2].SetSelected(true); // bravo
    Alpha.Hide(0);
    Refresh();
    ASSERT_THAT(Captions(), ElementsAre("notes 1+", "bravo+"));
    EXPECT_TRUE(Rows()[1].Selected());
    EXPECT_FALSE(Rows()[0].Selected());
    // The buttons follow the remembered position, which was past the end and became row 0;
    // the next tick remembers bravo's new position: the last row, where Down is off.
    EXPECT_FALSE(Main->bUp->Enabled());
    EXPECT_TRUE(Main->bDown->Enabled());
    Refresh();
    EXPECT_TRUE(Rows()[1].Selected());
    EXPECT_TRUE(Main->bUp->Enabled());
    EXPECT_FALSE(Main->bDown->Enabled());

    // A new title changes nothing: the row is its group's.
    Alpha.Show(0);
    Bravo.SetTitle(0, "bravo - edited");
    Refresh();
    ASSERT_THAT(Captions(), ElementsAre("notes 1+", "bravo - edited+", "alpha+"));
    EXPECT_TRUE(Rows()[1].Selected());
}

// Up and Down move the group of the selected row past the group of the row above or below it;
// Notes' group moves with both its windows.
TEST_F(TaskList, UpAndDownMoveTheGroupOfTheSelectedRow) {
    auto taskbar = [&] {
        std::vector<std::string> order;
        for (const zvtest::ButtonRecord& b : Shell.SyncAndDump())
            if (!b.Hidden())
                order.push_back(b.text);
        return order;
    };
    Refresh();
    ASSERT_THAT(Captions(), ElementsAre("notes 1+", "alpha+", "bravo+"));
    Rows()[2].SetSelected(true);
    Main->bUpClick(Main->bUp);
    EXPECT_THAT(taskbar(), ElementsAre("notes 1", "notes 2", "bravo", "alpha"));
    EXPECT_THAT(Captions(), ElementsAre("notes 1+", "bravo+", "alpha+"));
    EXPECT_TRUE(Rows()[1].Selected());

    Main->bDownClick(Main->bDown);
    EXPECT_THAT(taskbar(), ElementsAre("notes 1", "notes 2", "alpha", "bravo"));
    EXPECT_TRUE(Rows()[2].Selected());
    // Down on the last row is refused.
    Main->bDownClick(Main->bDown);
    EXPECT_THAT(taskbar(), ElementsAre("notes 1", "notes 2", "alpha", "bravo"));

    Rows()[0].SetSelected(true);
    Main->bDownClick(Main->bDown);
    EXPECT_THAT(taskbar(), ElementsAre("alpha", "notes 1", "notes 2", "bravo"));
    EXPECT_THAT(Captions(), ElementsAre("alpha+", "notes 1+", "bravo+"));
    EXPECT_TRUE(Rows()[1].Selected());
}

// Two rows toggled one after the other before the next refresh: each toggle takes its own
// row's group, although the first one moved the others.
TEST_F(TaskList, QuickTogglesTakeTheirOwnRowsGroups) {
    TQlxCheckList* list = Main->QlxCheckListTaskBar;
    auto toggle = [&](int row, bool checked) {
        Rows()[row].SetChecked(checked);
        Main->QlxCheckListTaskBarItemCheck(list, &Rows()[row]);
    };
    Refresh();
    ASSERT_THAT(Captions(), ElementsAre("notes 1+", "alpha+", "bravo+"));
    toggle(1, false); // alpha, at position 2 of the snapshot
    toggle(2, false); // bravo: at position 3 when the row was made, 2 now
    EXPECT_FALSE(::IsWindowVisible(Alpha.Window(0)));
    EXPECT_FALSE(::IsWindowVisible(Bravo.Window(0)));
    EXPECT_TRUE(::IsWindowVisible(Notes.Window(0)));
    EXPECT_TRUE(::IsWindowVisible(Notes.Window(1)));

    Refresh();
    ASSERT_THAT(Captions(), ElementsAre("notes 1+", "alpha-", "bravo-"));
    toggle(1, true); // alpha, hidden group 0
    toggle(2, true); // bravo: hidden group 1 when the row was made, 0 now
    EXPECT_TRUE(::IsWindowVisible(Alpha.Window(0)));
    EXPECT_TRUE(::IsWindowVisible(Bravo.Window(0)));
    EXPECT_TRUE(HiddenGroups().empty());

    // Undone before the refresh: the group just hidden comes back.
    Refresh();
    toggle(2, false);
    toggle(2, true);
    EXPECT_TRUE(::IsWindowVisible(Bravo.Window(0)));
    EXPECT_TRUE(HiddenGroups().empty());
}

// A program of two windows: its one row hides both, and shows both again.
TEST_F(TaskList, AProgramsRowHidesAndShowsAllItsWindows) {
    TQlxCheckList* list = Main->QlxCheckListTaskBar;
    Refresh();
    ASSERT_THAT(Captions(), ElementsAre("notes 1+", "alpha+", "bravo+"));
    Rows()[0].SetChecked(false);
    Main->QlxCheckListTaskBarItemCheck(list, &Rows()[0]);
    EXPECT_FALSE(::IsWindowVisible(Notes.Window(0)));
    EXPECT_FALSE(::IsWindowVisible(Notes.Window(1)));
    Refresh();
    ASSERT_THAT(Captions(), ElementsAre("alpha+", "bravo+", "notes 1-"));
    Rows()[2].SetChecked(true);
    Main->QlxCheckListTaskBarItemCheck(list, &Rows()[2]);
    EXPECT_TRUE(::IsWindowVisible(Notes.Window(0)));
    EXPECT_TRUE(::IsWindowVisible(Notes.Window(1)));
    EXPECT_TRUE(HiddenGroups().empty());
}

TEST_F(TaskList, ATickWhileTheWindowIsHiddenTouchesNoRow) {
    Refresh();
    ASSERT_EQ(Rows().Count(), 3);
    Main->Hide();
    AddHiddenGroup("hidden one", 0);
    Alpha.Hide(0);
    Refresh();
    EXPECT_THAT(Captions(), ElementsAre("notes 1+", "alpha+", "bravo+"));
    EXPECT_FALSE(::IsWindowVisible(App.Handle()));
    // Shown again, the next tick rebuilds the rows.
    Main->Show();
    Refresh();
    EXPECT_THAT(Captions(), ElementsAre("notes 1+", "bravo+", "hidden one-"));
}

TEST_F(TaskList, AnEmptyListLeavesTheButtonsAsTheyWere) {
    Refresh();
    Shell.Script({});
    Main->bUp->SetEnabled(true);
    Main->bDown->SetEnabled(false);
    RefreshToEnd(*Main);
    EXPECT_EQ(Rows().Count(), 0);
    EXPECT_EQ(Main->QlxCheckListTaskBar->SelectedItem(), nullptr);
    EXPECT_TRUE(Main->bUp->Enabled());
    EXPECT_FALSE(Main->bDown->Enabled());
    EXPECT_TRUE(Main->TimerRefresh->Enabled());
    Shell.Unscript();
}

// A taskbar too large for one step is read in steps from the step timer, with the window's
// messages in between; a tick meanwhile starts no second reading, and a refresh the window
// hides during is let go with the rows as they were.
TEST_F(TaskList, ALargeTaskbarIsReadInStepsBetweenTheWindowsMessages) {
    Refresh();
    const std::vector<std::string> before = Captions();
    {
        zvtest::TBenchToolbar bar(Shell, 150);
        Main->TimerRefreshOnTimer(nullptr);
        ASSERT_TRUE(Main->RefreshUnderWay());
        EXPECT_TRUE(Main->TimerRefreshStep->Enabled());
        Main->Hide();
        Main->TimerRefreshStepTimer(Main->TimerRefreshStep);
        EXPECT_FALSE(Main->RefreshUnderWay());
        EXPECT_FALSE(Main->TimerRefreshStep->Enabled());
        EXPECT_EQ(Captions(), before);

        Main->Show();
        Main->TimerRefreshOnTimer(nullptr);
        int steps = 1;
        for (; Main->RefreshUnderWay(); ++steps) {
            Main->TimerRefreshOnTimer(Main->TimerRefresh); // a tick: the same refresh goes on
            Main->TimerRefreshStepTimer(Main->TimerRefreshStep);
        }
        EXPECT_GT(steps, 1);
        ASSERT_EQ(Rows().Count(), 150);
        EXPECT_EQ(Rows()[149].Caption(), "Window 149");
    }
    Shell.Unscript();
}

TEST_F(TaskList, UncheckingBringsThePressedWindowBackUnlessItWasHidden) {
    Refresh();
    Alpha.Activate(0);
    Shell.Sync(); // alpha's button is the pressed one now
    TQlxCheckList* list = Main->QlxCheckListTaskBar;

    // Hiding bravo's group: alpha, whose button was pressed, is in front again.
    Rows()[2].SetChecked(false);
    Main->QlxCheckListTaskBarItemCheck(list, &Rows()[2]);
    EXPECT_FALSE(::IsWindowVisible(Bravo.Window(0)));
    EXPECT_EQ(::GetForegroundWindow(), Alpha.Window(0));
    ASSERT_EQ(HiddenGroups().size(), 1u);
    EXPECT_EQ(HiddenGroups()[0].Group->Windows.back(), FromHWND(Bravo.Window(0)));

    // Hiding alpha's own group: it cannot come to the front.
    Rows()[1].SetChecked(false);
    Main->QlxCheckListTaskBarItemCheck(list, &Rows()[1]);
    EXPECT_FALSE(::IsWindowVisible(Alpha.Window(0)));
    EXPECT_NE(::GetForegroundWindow(), Alpha.Window(0));
    ASSERT_EQ(HiddenGroups().size(), 2u);

    // Checking the rows again (after a refresh: hidden rows 0 and 1) shows the windows
    // without activating them.
    Refresh();
    ASSERT_THAT(Captions(), ElementsAre("notes 1+", "bravo-", "alpha-"));
    const HWND before = ::GetForegroundWindow();
    for (int row : {2, 1}) {
        Rows()[row].SetChecked(true);
        Main->QlxCheckListTaskBarItemCheck(list, &Rows()[row]);
    }
    EXPECT_TRUE(::IsWindowVisible(Alpha.Window(0)));
    EXPECT_TRUE(::IsWindowVisible(Bravo.Window(0)));
    EXPECT_EQ(::GetForegroundWindow(), before);
    EXPECT_TRUE(HiddenGroups().empty());

    // A row whose group is no longer there hides nothing.
    Refresh();
    Rows()[1].Data = TGroupId{0xDEAD, 0xDEAD};
    Rows()[1].SetChecked(false);
    Main->QlxCheckListTaskBarItemCheck(list, &Rows()[1]);
    EXPECT_TRUE(HiddenGroups().empty());
    Refresh();
    EXPECT_TRUE(Rows()[1].Checked());
}

TEST_F(TaskList, TheOneShotHideAndTheMaximiseKeepTheProgramInTheTray) {
    // The hide after start-up hides the window and then stays off.
    Main->TimerHide->SetEnabled(true);
    Main->TimerHideTimer(Main->TimerHide);
    EXPECT_FALSE(Main->Showing());
    EXPECT_FALSE(Main->TimerHide->Enabled());

    // A maximise request leaves the application's own window (and its taskbar button) hidden.
    Main->Show();
    ::ShowWindow(App.Handle(), SW_SHOWNA);
    ::SendMessageA(Main->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_FALSE(::IsWindowVisible(App.Handle()));
    // So does every refresh tick, shown or not.
    ::ShowWindow(App.Handle(), SW_SHOWNA);
    Main->Hide();
    Main->TimerRefreshOnTimer(Main->TimerRefresh);
    EXPECT_FALSE(::IsWindowVisible(App.Handle()));

    // In the tray the refresh timer rests while the mouse poll runs; the window shown again
    // starts it.
    ASSERT_TRUE(Main->TimerForce->Enabled());
    EXPECT_FALSE(Main->TimerRefresh->Enabled());
    Main->Show();
    EXPECT_TRUE(Main->TimerRefresh->Enabled());
}

} // namespace

namespace {
TEST_F(TaskList, AFailedRefreshOrUpCommandLeavesTheListRefreshing) {
    Refresh();
    ASSERT_GE(Rows().Count(), 2);
    Rows()[1].SetSelected(true);
    Program.Taskbar.MemMgrFactory = [](HWND) -> std::unique_ptr<TProcessMemMgr> {
        throw std::runtime_error("the shell went away");
    };
    // The refresh's error reaches the error handler, and the timer is back on.
    EXPECT_THROW(Main->TimerRefreshOnTimer(nullptr), std::runtime_error);
    EXPECT_TRUE(Main->TimerRefresh->Enabled());
    // Up ends silently, the timer on as well.
    Main->TimerRefresh->SetEnabled(false);
    EXPECT_NO_THROW(Main->bUpClick(nullptr));
    EXPECT_TRUE(Main->TimerRefresh->Enabled());
}
} // namespace
