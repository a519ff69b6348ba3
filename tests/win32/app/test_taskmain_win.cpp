// The main window's start-up wiring and the Exit command, in this process.
#include "app/Help.h"
#include "app/Program.h"
#include "app/TaskMain.h"
#include "dragdrop/TaskBallon.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
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
        App.SetTitle("Zorvane");
        Program.CreateForms(App);
    }
    TProgram Program; // outlives the windows, which use it
    TApplication App;
};

ScopedWindow HiddenWindow() {
    return ScopedWindow(::CreateWindowExA(0, "STATIC", "hidden", WS_POPUP, 0, 0, 50, 50, nullptr,
                                          nullptr, nullptr, nullptr));
}
} // namespace

TEST(StartUp, TheBalloonWindowStartsTheHookAndSwitchesTheMainWindowsTimersOn) {
    zvtest::ResetProgramSettings();
    TProgram program;
    TApplication app;
    TfTaskBarMain* main = nullptr;
    app.CreateForm(main, program);
    TfTaskBarMain& m = *main;
    for (TTimer* t : {m.TimerRefresh, m.TimerHide, m.TimerForce, m.TimerHelp})
        EXPECT_FALSE(t->Enabled()) << t->Name();
    EXPECT_EQ(m.TkPageControl1->ActivePageIndex(), 0);
    // The snapshot's icon requests name the main window.
    EXPECT_EQ(program.Taskbar.IconReplyWnd, m.Handle());

    TFTaskBarBallon* balloon = nullptr;
    app.CreateForm(balloon, main, program.Taskbar);
    EXPECT_TRUE(m.TimerRefresh->Enabled());
    EXPECT_TRUE(m.TimerForce->Enabled());
    EXPECT_TRUE(balloon->QLX_MouseHook1->Active());
    EXPECT_TRUE(m.TimerHide->Enabled()); // the hook runs: the window hides after start-up
    EXPECT_EQ(m.TimerRefresh->Interval(), 1000u);
    EXPECT_EQ(m.TimerHide->Interval(), 100u);
    EXPECT_EQ(m.TimerForce->Interval(), 500u);
    EXPECT_EQ(m.TimerHelp->Interval(), 1000u);
    EXPECT_EQ(balloon->SourceIndex(), -1);
    EXPECT_EQ(balloon->TargetIndex(), -1);

    // The list refresh pauses while a drag runs.
    balloon->SetDragging(true);
    EXPECT_FALSE(m.TimerRefresh->Enabled());
    balloon->SetDragging(false);
    EXPECT_TRUE(m.TimerRefresh->Enabled());
}

// Two hidden groups: a and b, then c.
struct THiddenWindows {
    explicit THiddenWindows(TProgram& Program) {
        auto first = std::make_unique<TGrupButtons>();
        first->Windows = {FromHWND(a.get()), FromHWND(b.get())};
        auto second = std::make_unique<TGrupButtons>();
        second->Windows = {FromHWND(c.get())};
        Program.HiddenGroups.Hide(std::move(first), Program.Windows);
        Program.HiddenGroups.Hide(std::move(second), Program.Windows);
    }
    bool AllVisible() const {
        return ::IsWindowVisible(a.get()) && ::IsWindowVisible(b.get()) &&
               ::IsWindowVisible(c.get());
    }
    ScopedWindow a = HiddenWindow(), b = HiddenWindow(), c = HiddenWindow();
};

TEST(ExitCommand, ShowsTheHiddenWindowsAgainWithoutActivatingThem) {
    TProgramWindows program;
    program.Program.Main->Show();
    THiddenWindows hidden(program.Program);
    program.Program.Main->mExitClick(nullptr); // the program is ending
    // A second Exit only shows the windows again, and none of them comes to the front.
    for (HWND w : {hidden.a.get(), hidden.b.get(), hidden.c.get()})
        ::ShowWindow(w, SW_HIDE);
    HWND foreground = ::GetForegroundWindow();

    program.Program.Main->mExitClick(nullptr);

    EXPECT_TRUE(hidden.AllVisible());
    EXPECT_EQ(::GetForegroundWindow(), foreground);
    EXPECT_EQ(program.Program.HiddenGroups.Groups().size(), 2u); // the groups stay
    ASSERT_TRUE(program.App.Terminated());
    program.App.Run();
}

TEST(ExitCommand, EndsTheProgram) {
    TProgramWindows program;
    program.Program.Main->Show();
    THiddenWindows hidden(program.Program);

    program.Program.Main->mExitClick(nullptr);

    EXPECT_TRUE(hidden.AllVisible());
    EXPECT_TRUE(program.Program.Exiting);
    EXPECT_FALSE(::IsWindowVisible(program.Program.Main->Handle()));
    ASSERT_TRUE(program.App.Terminated());
    program.App.Run(); // takes the request to end
}

TEST(CloseRequest, OnlyHidesTheMainWindowUntilTheProgramIsEnding) {
    TProgramWindows program;
    program.Program.Main->Show();
    program.Program.Main->bOkClick(nullptr);
    EXPECT_FALSE(::IsWindowVisible(program.Program.Main->Handle()));
    EXPECT_FALSE(program.App.Terminated());

    program.Program.Main->OneInstance1ApplicationExists(nullptr); // a second start: Exiting
    program.Program.Main->Show();
    program.Program.Main->bOkClick(nullptr);
    ASSERT_TRUE(program.App.Terminated());
    program.App.Run();
}

// After a cancelled logoff a close request ends the program at once; the windows of the
// hidden groups must not stay hidden behind it. When the session really ends they are left
// as they are.
TEST(SessionEnd, ACancelledLogoffLeavesNoWindowHiddenWhenTheProgramEnds) {
    for (bool sessionEnds : {false, true}) {
        zvtest::ResetProgramSettings();
        TProgram program;
        // Hidden once the program runs (hidden before, a start would show them again).
        std::optional<THiddenWindows> hidden;
        {
            TApplication app;
            app.SetTitle("Zorvane");
            TfTaskBarMain* m = nullptr;
            app.CreateForm(m, program);
            hidden.emplace(program);
            HWND main = m->Handle();
            EXPECT_EQ(::SendMessageA(main, WM_QUERYENDSESSION, 0, 0), TRUE);
            ::SendMessageA(main, WM_ENDSESSION, sessionEnds ? TRUE : FALSE, 0);
            m->bOkClick(nullptr);
            ASSERT_TRUE(app.Terminated());
            app.Run();
            EXPECT_FALSE(hidden->AllVisible()); // the Exit command's steps did not run
        }
        EXPECT_EQ(hidden->AllVisible(), !sessionEnds) << "session ends: " << sessionEnds;
    }
}

// ---- The tray menu, the Settings tab, the start-with-Windows entry and Help

namespace {
// Runs the help window's showings: each one is counted and closed again at once, so that the
// modal help window returns.
struct THelpShowings {
    explicit THelpShowings(TFHelp& Help) : Help(Help) {
        Previous = Help.OnShow;
        Help.OnShow = [this](TObject* Sender) {
            Fire(Previous, Sender);
            ++Count;
            ::PostMessageA(this->Help.Handle(), WM_CLOSE, 0, 0);
        };
    }
    ~THelpShowings() { Help.OnShow = Previous; }
    TFHelp& Help;
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
    TfTaskBarMain& m = *program.Program.Main;
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
    TfTaskBarMain& m = *program.Program.Main;
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
    TfTaskBarMain& m = *program.Program.Main;
    THelpShowings help(*program.Program.Help);
    m.Show();
    m.mHelp->Click();
    EXPECT_EQ(help.Count, 1);
    EXPECT_FALSE(m.Showing());
    EXPECT_FALSE(program.Program.Help->Showing());
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
    TfTaskBarMain& m = *program.Program.Main;
    program.Program.ShowDemo = false;
    m.Show();
    EXPECT_FALSE(m.TimerHelp->Enabled());
    m.Hide();

    program.Program.ShowDemo = true;
    m.Show();
    EXPECT_TRUE(m.TimerHelp->Enabled());
    THelpShowings help(*program.Program.Help);
    m.TimerHelp->Timer();
    EXPECT_EQ(help.Count, 1);
    EXPECT_FALSE(m.TimerHelp->Enabled()); // one-shot
    EXPECT_TRUE(m.Showing());             // not hidden first
    program.Program.ShowDemo = false;
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
        EXPECT_TRUE(program.Program.Main->cbStartUp->Checked());

        // A click on the check box, as the user makes it.
        program.Program.Main->mSettings->Click();
        ::SendMessageA(program.Program.Main->cbStartUp->Handle(), BM_CLICK, 0, 0);
        EXPECT_FALSE(program.Program.Main->cbStartUp->Checked());
        EXPECT_FALSE(ReadRunValue("Zorvane"));
        EXPECT_TRUE(ReadRunValue("Zorvane other"));

        // The bare path an earlier version wrote is ours as well; the next write quotes it.
        WriteRunValue("Zorvane", {REG_SZ, exe});
        bool enabled = false;
        EXPECT_TRUE(program.Program.Main->RunEntry(enabled, false));
        EXPECT_TRUE(enabled);
        ::SendMessageA(program.Program.Main->cbStartUp->Handle(), BM_CLICK, 0, 0);
        EXPECT_TRUE(program.Program.Main->cbStartUp->Checked());
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
    g_BoxTexts.clear();
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &CloseMessageBoxes);
    {
        TProgram program;
        TApplication app;
        app.SetTitle(std::string(20000, 'Z'));
        TfTaskBarMain* fTaskBarMain = nullptr;
        app.CreateForm(fTaskBarMain, program);
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
    THiddenWindows hidden(program.Program);
    HWND main = program.Program.Main->Handle();
    ::SendMessageA(main, WM_QUERYENDSESSION, 0, 0);
    ::SendMessageA(main, WM_ENDSESSION, FALSE, 0);
    ASSERT_TRUE(program.Program.Exiting);

    program.Program.Main->mExit->Click();

    EXPECT_FALSE(program.Program.Main->TrayIcon1->IconVisible());
    EXPECT_TRUE(hidden.AllVisible());
    ASSERT_TRUE(program.App.Terminated());
    program.App.Run();
}
