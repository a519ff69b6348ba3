// The main window's start-up wiring and the Exit command, in this process.
#include "app/Help.h"
#include "app/TaskMain.h"
#include "dragdrop/TaskBallon.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "taskbar/taskbuttons_win.h"
#include "tests/support/TestSupport.h"
#include "tests/win32/app/RunValue.h"

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

TEST(StartUp, TheBalloonWindowStartsTheHookAndSwitchesTheMainWindowsTimersOn) {
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
    EXPECT_TRUE(FTaskBarBallon->QLX_MouseHook1->Active());
    EXPECT_TRUE(m.TimerHide->Enabled()); // the hook runs: the window hides after start-up
    EXPECT_EQ(m.TimerRefresh->Interval(), 1000u);
    EXPECT_EQ(m.TimerHide->Interval(), 100u);
    EXPECT_EQ(m.TimerForce->Interval(), 500u);
    EXPECT_EQ(m.TimerHelp->Interval(), 1000u);
    EXPECT_EQ(FTaskBarBallon->SourceIndex(), -1);
    EXPECT_EQ(FTaskBarBallon->TargetIndex(), -1);

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
    fTaskBarMain->mExitClick(nullptr); // the program is ending
    // A second Exit only shows the windows again, and none of them comes to the front.
    for (HWND w : {hidden.a.get(), hidden.b.get(), hidden.c.get()})
        ::ShowWindow(w, SW_HIDE);
    HWND foreground = ::GetForegroundWindow();

    fTaskBarMain->mExitClick(nullptr);

    EXPECT_TRUE(hidden.AllVisible());
    EXPECT_EQ(::GetForegroundWindow(), foreground);
    EXPECT_EQ(HiddenGroups.size(), 2u); // the groups stay in the list
    ASSERT_TRUE(program.App.Terminated());
    program.App.Run();
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

// ---- The tray menu, the Settings tab, the start-with-Windows entry and Help

namespace {
// Runs the help window's showings: each one is counted and closed again at once, so that the
// modal help window returns.
struct THelpShowings {
    THelpShowings() {
        Previous = FHelp->OnShow;
        FHelp->OnShow = [this](TObject* Sender) {
            Fire(Previous, Sender);
            ++Count;
            ::PostMessageA(FHelp->Handle(), WM_CLOSE, 0, 0);
        };
    }
    ~THelpShowings() {
        if (FHelp)
            FHelp->OnShow = Previous;
    }
    TNotifyEvent Previous;
    int Count = 0;
};

// A key pressed and released on a control, through the message loop as typed keys go.
void TypeKey(HWND Control, WPARAM Key) {
    ::PostMessageA(Control, WM_KEYDOWN, Key, 1);
    ::PostMessageA(Control, WM_KEYUP, Key, 0xC0000001);
    Application->ProcessMessages();
}
} // namespace

TEST(TrayMenu, HasItsFourItemsAndIsAttachedAtTheEndOfCreation) {
    TProgramWindows program;
    TfTaskBarMain& m = *fTaskBarMain;
    ASSERT_EQ(m.TkPopupMenu1->Count(), 4);
    const char* captions[] = {"Zorvane", "Settings", "Help", "Exit"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(m.TkPopupMenu1->Items(i)->Caption, captions[i]);
    EXPECT_EQ(m.mZorvane->Images, m.ImageList1);
    EXPECT_EQ(m.mExit->Images, m.ilButtons);
    EXPECT_EQ(m.TkPopupMenu1->Alignment, TPopupAlignment::Right);
    EXPECT_EQ(m.TrayIcon1->PopupMenu, m.TkPopupMenu1);
    EXPECT_EQ(m.TrayIcon1->Hint(), "Zorvane");
    EXPECT_EQ(m.TrayIcon1->IconIndex(), 1);
}

TEST(TrayMenu, TheListAndTheSettingsOpenOnTheirTabs) {
    TProgramWindows program;
    TfTaskBarMain& m = *fTaskBarMain;
    // Settings selects its tab also while the list shows.
    m.Show();
    m.mSettings->Click();
    EXPECT_EQ(m.TkPageControl1->ActivePageIndex(), 1);
    EXPECT_TRUE(m.Showing());
    // The tray double-click opens the list on the first tab; the window never gets a taskbar
    // button of its own.
    m.Hide();
    m.TrayIcon1->OnDblClick(m.TrayIcon1);
    EXPECT_EQ(m.TkPageControl1->ActivePageIndex(), 0);
    EXPECT_TRUE(m.Showing());
    EXPECT_FALSE(::IsWindowVisible(program.App.Handle()));
}

TEST(TrayMenu, HelpHidesTheMainWindowForGood) {
    TProgramWindows program;
    TfTaskBarMain& m = *fTaskBarMain;
    THelpShowings help;
    m.Show();
    m.mHelp->Click();
    EXPECT_EQ(help.Count, 1);
    EXPECT_FALSE(m.Showing());
    EXPECT_FALSE(FHelp->Showing());
    EXPECT_TRUE(::IsWindowEnabled(m.Handle())); // the modal help window gave it back

    // F1, with the focus on any control of the window.
    for (TWinControl* control :
         std::initializer_list<TWinControl*>{m.QlxCheckListTaskBar, m.bUp, m.bOk, m.cbStartUp}) {
        m.TkPageControl1->SetActivePageIndex(control == m.cbStartUp ? 1 : 0);
        m.Show();
        control->SetFocus();
        ASSERT_EQ(::GetFocus(), control->Handle()) << control->Name();
        const int before = help.Count;
        TypeKey(control->Handle(), VK_F1);
        EXPECT_EQ(help.Count, before + 1) << control->Name();
        EXPECT_FALSE(m.Showing()) << control->Name();
    }
}

TEST(TrayMenu, TheDemonstrationFollowsEveryShowingOnceAskedFor) {
    TProgramWindows program;
    TfTaskBarMain& m = *fTaskBarMain;
    ShowDemo = false;
    m.Show();
    EXPECT_FALSE(m.TimerHelp->Enabled());
    m.Hide();

    ShowDemo = true;
    m.Show();
    EXPECT_TRUE(m.TimerHelp->Enabled());
    THelpShowings help;
    m.TimerHelp->Timer();
    EXPECT_EQ(help.Count, 1);
    EXPECT_FALSE(m.TimerHelp->Enabled()); // one-shot
    EXPECT_TRUE(m.Showing());             // not hidden first
    ShowDemo = false;
}

TEST(StartWithWindows, TheFirstStartWritesTheEntryAndUncheckingDeletesOnlyIt) {
    DeleteRunValue("Zorvane");
    WriteRunValue("Zorvane other", {REG_SZ, "C:\\other.exe"});
    char exe[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
    {
        TProgramWindows program; // cbStartUp as designed: checked
        auto value = ReadRunValue("Zorvane");
        ASSERT_TRUE(value);
        EXPECT_EQ(value->Type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(value->Data, std::string("\"") + exe + "\""); // quoted: no path hijack
        EXPECT_TRUE(fTaskBarMain->cbStartUp->Checked());

        // A click on the check box, as the user makes it.
        fTaskBarMain->mSettings->Click();
        ::SendMessageA(fTaskBarMain->cbStartUp->Handle(), BM_CLICK, 0, 0);
        EXPECT_FALSE(fTaskBarMain->cbStartUp->Checked());
        EXPECT_FALSE(ReadRunValue("Zorvane"));
        EXPECT_TRUE(ReadRunValue("Zorvane other"));

        // The bare path an earlier version wrote is ours as well; the next write quotes it.
        WriteRunValue("Zorvane", {REG_SZ, exe});
        bool enabled = false;
        EXPECT_TRUE(fTaskBarMain->RunEntry(enabled, false));
        EXPECT_TRUE(enabled);
        ::SendMessageA(fTaskBarMain->cbStartUp->Handle(), BM_CLICK, 0, 0);
        EXPECT_TRUE(fTaskBarMain->cbStartUp->Checked());
        ASSERT_TRUE(ReadRunValue("Zorvane"));
        EXPECT_EQ(ReadRunValue("Zorvane")->Data, std::string("\"") + exe + "\"");
    }
    DeleteRunValue("Zorvane other");
}

namespace {
// The texts of the message boxes of this thread, each closed as soon as a timer sees it.
std::vector<std::string> g_BoxTexts;
void CALLBACK CloseMessageBoxes(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = ::FindWindowA("#32770", nullptr);
    if (!box || ::GetWindowThreadProcessId(box, nullptr) != ::GetCurrentThreadId())
        return;
    char text[512] = {};
    ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    g_BoxTexts.push_back(text);
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
}
} // namespace

// Security software often refuses writes to the Run key. A value name the registry cannot
// take refuses the write here in the same way.
TEST(StartWithWindows, ARefusedWriteAtStartIsReportedOnceAndStartUpStillFinishes) {
    zvtest::ResetProgramSettings();
    Exiting = false;
    g_BoxTexts.clear();
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &CloseMessageBoxes);
    {
        TApplication app;
        app.SetTitle(std::string(20000, 'Z'));
        app.CreateForm(fTaskBarMain);
        ASSERT_EQ(g_BoxTexts.size(), 1u);
        EXPECT_NE(g_BoxTexts[0].find("Failed to set data"), std::string::npos) << g_BoxTexts[0];
        // The rest of start-up ran: the icon has its menu and opens the list again.
        EXPECT_EQ(fTaskBarMain->TrayIcon1->PopupMenu, fTaskBarMain->TkPopupMenu1);
        EXPECT_TRUE(fTaskBarMain->TrayIcon1->Enabled);
        EXPECT_FALSE(fTaskBarMain->cbStartUp->Checked()); // what the registry holds
    }
    ::KillTimer(nullptr, timer);
}

// After a logoff that another program cancelled, the tray menu's Exit still ends the program,
// with the icon gone and every hidden window shown again.
TEST(ExitCommand, EndsTheProgramAfterACancelledLogoff) {
    TProgramWindows program;
    THiddenWindows hidden;
    HWND main = fTaskBarMain->Handle();
    ::SendMessageA(main, WM_QUERYENDSESSION, 0, 0);
    ::SendMessageA(main, WM_ENDSESSION, FALSE, 0);
    ASSERT_TRUE(Exiting);

    fTaskBarMain->mExit->Click();

    EXPECT_FALSE(fTaskBarMain->TrayIcon1->IconVisible());
    EXPECT_TRUE(hidden.AllVisible());
    ASSERT_TRUE(program.App.Terminated());
    program.App.Run();
}
