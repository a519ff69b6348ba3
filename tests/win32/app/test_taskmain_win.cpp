// The main window's start-up wiring and the Exit command, in this process.
#include "app/Help.h"
#include "app/TaskMain.h"
#include "dragdrop/TaskBallon.h"

#include <gtest/gtest.h>

#include "taskbar/taskbuttons_win.h"
#include "tests/support/TestSupport.h"

namespace {
// The program's three windows, as the program entry creates them.
struct TProgramWindows {
    TProgramWindows() {
        zvtest::ResetProgramSettings();
        Exiting = false;
        App.SetTitle("Zorvane");
        App.CreateForm(fTaskBarMain);
        App.CreateForm(FTaskBarBallon);
        App.CreateForm(FHelp);
    }
    ~TProgramWindows() { ClearGroupList(HiddenGroups); }
    TApplication App;
};

ScopedWindow HiddenWindow() {
    return ScopedWindow(::CreateWindowExA(0, "STATIC", "hidden", WS_POPUP, 0, 0, 50, 50, nullptr,
                                          nullptr, nullptr, nullptr));
}
} // namespace

TEST(StartUp, TheBalloonWindowSwitchesTheRefreshAndThePollOnButNotTheHide) {
    zvtest::ResetProgramSettings();
    Exiting = false;
    TApplication app;
    app.CreateForm(fTaskBarMain);
    TfTaskBarMain& m = *fTaskBarMain;
    for (TTimer* t : {m.TimerRefresh, m.TimerHide, m.TimerForce, m.TimerHelp})
        EXPECT_FALSE(t->Enabled()) << t->Name();
    EXPECT_EQ(m.TkPageControl1->ActivePageIndex(), 0);
    EXPECT_EQ(IconReplyWnd, m.Handle()); // the snapshot's icon requests name the main window

    app.CreateForm(FTaskBarBallon);
    EXPECT_TRUE(m.TimerRefresh->Enabled());
    EXPECT_TRUE(m.TimerForce->Enabled());
    EXPECT_FALSE(m.TimerHide->Enabled()); // no mouse hook yet: the window stays up
    EXPECT_EQ(m.TimerRefresh->Interval(), 1000u);
    EXPECT_EQ(m.TimerHide->Interval(), 100u);
    EXPECT_EQ(m.TimerForce->Interval(), 500u);
    EXPECT_EQ(m.TimerHelp->Interval(), 1000u);
    EXPECT_EQ(FTaskBarBallon->SourceIndex, -1);
    EXPECT_EQ(FTaskBarBallon->TargetIndex, -1);

    // The list refresh pauses while a drag runs.
    FTaskBarBallon->SetDragging(true);
    EXPECT_FALSE(m.TimerRefresh->Enabled());
    FTaskBarBallon->SetDragging(false);
    EXPECT_TRUE(m.TimerRefresh->Enabled());
}

// Two hidden groups: a and b, then c.
struct THiddenWindows {
    THiddenWindows() {
        auto first = std::make_unique<TGrupButtons>();
        first->Windows = {FromHWND(a.get()), FromHWND(b.get())};
        auto second = std::make_unique<TGrupButtons>();
        second->Windows = {FromHWND(c.get())};
        AddGroup(HiddenGroups, std::move(first));
        AddGroup(HiddenGroups, std::move(second));
    }
    bool AllVisible() const {
        return ::IsWindowVisible(a.get()) && ::IsWindowVisible(b.get()) &&
               ::IsWindowVisible(c.get());
    }
    ScopedWindow a = HiddenWindow(), b = HiddenWindow(), c = HiddenWindow();
};

TEST(ExitCommand, ShowsTheHiddenWindowsAgainWithoutActivatingThem) {
    TProgramWindows program;
    fTaskBarMain->Show();
    THiddenWindows hidden;
    HWND foreground = ::GetForegroundWindow();
    Exiting = true; // so the command stops once the windows are shown

    fTaskBarMain->mExitClick(nullptr);

    EXPECT_TRUE(hidden.AllVisible());
    EXPECT_EQ(::GetForegroundWindow(), foreground);
    EXPECT_EQ(HiddenGroups.size(), 2u); // the groups stay in the list
    EXPECT_FALSE(program.App.Terminated());
}

TEST(ExitCommand, EndsTheProgram) {
    TProgramWindows program;
    fTaskBarMain->Show();
    THiddenWindows hidden;

    fTaskBarMain->mExitClick(nullptr);

    EXPECT_TRUE(hidden.AllVisible());
    EXPECT_TRUE(Exiting);
    EXPECT_FALSE(::IsWindowVisible(fTaskBarMain->Handle()));
    ASSERT_TRUE(program.App.Terminated());
    program.App.Run(); // takes the request to end
}

TEST(CloseRequest, OnlyHidesTheMainWindowUntilTheProgramIsEnding) {
    TProgramWindows program;
    fTaskBarMain->Show();
    fTaskBarMain->bOkClick(nullptr);
    EXPECT_FALSE(::IsWindowVisible(fTaskBarMain->Handle()));
    EXPECT_FALSE(program.App.Terminated());

    fTaskBarMain->OneInstance1ApplicationExists(nullptr); // a second start: Exiting
    fTaskBarMain->Show();
    fTaskBarMain->bOkClick(nullptr);
    ASSERT_TRUE(program.App.Terminated());
    program.App.Run();
}

// After a cancelled logoff a close request ends the program at once; the windows of the
// hidden groups must not stay hidden behind it. When the session really ends they are left
// as they are.
TEST(SessionEnd, ACancelledLogoffLeavesNoWindowHiddenWhenTheProgramEnds) {
    for (bool sessionEnds : {false, true}) {
        zvtest::ResetProgramSettings();
        Exiting = false;
        THiddenWindows hidden;
        {
            TApplication app;
            app.SetTitle("Zorvane");
            app.CreateForm(fTaskBarMain);
            HWND main = fTaskBarMain->Handle();
            EXPECT_EQ(::SendMessageA(main, WM_QUERYENDSESSION, 0, 0), TRUE);
            ::SendMessageA(main, WM_ENDSESSION, sessionEnds ? TRUE : FALSE, 0);
            fTaskBarMain->bOkClick(nullptr);
            ASSERT_TRUE(app.Terminated());
            app.Run();
            EXPECT_FALSE(hidden.AllVisible()); // the Exit command's steps did not run
        }
        EXPECT_EQ(hidden.AllVisible(), !sessionEnds) << "session ends: " << sessionEnds;
        ClearGroupList(HiddenGroups);
    }
}
