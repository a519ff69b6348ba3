// Moving taskbar groups on the stand-in shell: the direct method on a scripted toolbar, read
// back from the shell's dump; the reshowing method on windows of this process (whose hides and
// shows are logged) and on live sample applications, whose buttons the shell rebuilds in the
// order the windows come back.
#include "taskbar/Taskbar_win.h"

#include <commctrl.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"
#include "toolkit/ScopedWin.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using zvtest::ScriptedButton;

// What happened to the logged windows, in order: "hide <name>" / "show <name>".
std::vector<std::string> WindowLog;

LRESULT CALLBACK LoggingProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_WINDOWPOSCHANGED) {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        char name[64] = "";
        GetWindowTextA(wnd, name, sizeof name);
        if (pos->flags & SWP_SHOWWINDOW)
            WindowLog.push_back(std::string("show ") + name);
        if (pos->flags & SWP_HIDEWINDOW)
            WindowLog.push_back(std::string("hide ") + name);
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

// A window of this process of a class of its own with the window procedure Proc.
ScopedWindow TestWindow(const char* Class, WNDPROC Proc, const std::string& Title, DWORD Style,
                        DWORD ExStyle) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = Class;
    RegisterClassA(&wc); // fails harmlessly once the class exists
    return ScopedWindow(CreateWindowExA(ExStyle, Class, Title.c_str(), Style, 20, 20, 200, 120,
                                        nullptr, nullptr, wc.hInstance, nullptr));
}

// A visible top-level window of this process, titled `name`, whose hides and shows go to
// WindowLog. Tool windows get no taskbar button when the shell follows the real windows.
ScopedWindow LoggedWindow(const std::string& name, DWORD exStyle = 0) {
    return TestWindow("ZvMoveTestWindow", LoggingProc, name, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                      exStyle);
}

// Waits until `wnd` is the foreground window. Activating another process's window completes
// on that window's thread, so each try lets it handle its messages first.
bool BecomesForeground(HWND wnd) {
    for (int attempt = 0; attempt < 50 && GetForegroundWindow() != wnd; ++attempt) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(wnd, WM_NULL, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, 1000, &ignored);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
    }
    return GetForegroundWindow() == wnd;
}

class Move : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        try {
            Shell = std::make_unique<zvtest::StandinShell>();
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
        }
    }
    static void TearDownTestSuite() { Shell.reset(); }
    void SetUp() override {
        ASSERT_TRUE(Shell) << "the stand-in shell did not start";
        Taskbar.OnIconRequest = [](HWND, TGrupButtons&, int32_t) {};
        WindowLog.clear();
    }

    // A full snapshot into Groups, as every caller of the mover takes one first.
    void Snapshot() { Groups = Taskbar.Snapshot(false); }
    bool MoveTaskButton(int32_t From, int32_t To, TGroupList& G) {
        return Taskbar.MoveTaskButton(From, To, G);
    }

    // Texts of the toolbar's buttons in toolbar order.
    static std::vector<std::string> Texts() {
        std::vector<std::string> texts;
        for (const zvtest::ButtonRecord& b : Shell->Dump())
            texts.push_back(b.text);
        return texts;
    }

    static std::unique_ptr<zvtest::StandinShell> Shell;
    TTaskbar Taskbar;
    TGroupList Groups;
};

std::unique_ptr<zvtest::StandinShell> Move::Shell;

// [H0, B0, H1, B1, H2, B2]: three groups of a hidden header and one visible button each.
class DirectMove : public Move {
protected:
    void SetUp() override {
        Move::SetUp();
        for (int i = 0; i < 3; ++i)
            Windows.push_back(LoggedWindow("W" + std::to_string(i)));
        Rescript();
        WindowLog.clear();
    }
    void Rescript() {
        std::vector<ScriptedButton> buttons;
        for (int i = 0; i < 3; ++i) {
            buttons.push_back(ScriptedButton::Header("H" + std::to_string(i), true));
            buttons.push_back(ScriptedButton::Window("B" + std::to_string(i), Windows[i].get()));
        }
        Shell->Script(buttons);
        Shell->Sync();
    }
    std::vector<ScopedWindow> Windows;
};

TEST_F(DirectMove, WorkedExampleOrders) {
    const struct {
        int32_t from, to;
        std::vector<std::string> result;
    } cases[] = {
        {2, 1, {"H0", "B0", "H2", "B2", "H1", "B1"}},
        {0, 2, {"H1", "B1", "H0", "B0", "H2", "B2"}},
        {0, 3, {"H1", "B1", "H2", "B2", "H0", "B0"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " to " << c.to);
        Rescript();
        Snapshot();
        ASSERT_EQ(Groups.size(), 3u);
        EXPECT_TRUE(MoveTaskButton(c.from, c.to, Groups));
        EXPECT_EQ(Texts(), c.result);
    }
    EXPECT_THAT(WindowLog, IsEmpty()); // no window was hidden on the way
}

TEST_F(DirectMove, RefusedMovesSendNothing) {
    const std::vector<std::string> start = Texts();
    Snapshot();
    const struct {
        int32_t from, to;
    } refused[] = {{2, 2}, {-1, 0}, {0, -1}, {0, 1},
                   {3, 0}, {2, 3},  {1, 4}}; // in front of a fourth group of three
    for (const auto& r : refused) {
        SCOPED_TRACE(testing::Message() << r.from << " to " << r.to);
        EXPECT_FALSE(MoveTaskButton(r.from, r.to, Groups));
        EXPECT_EQ(Texts(), start);
    }
    EXPECT_THAT(WindowLog, IsEmpty());
}

// TB_MOVEBUTTON messages that reached a stand-in for the drag tracking's toolbar.
std::vector<std::pair<WPARAM, LPARAM>> ReceivedMoves;

LRESULT CALLBACK RecordingToolbarProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == TB_MOVEBUTTON)
        ReceivedMoves.emplace_back(wParam, lParam);
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

// The drag tracking's toolbar gets the moves while it is a window; otherwise the toolbar is
// looked up at the time of the move.
TEST_F(DirectMove, SendsToTheRememberedToolbarWhileItIsAWindow) {
    ReceivedMoves.clear();
    const std::vector<std::string> start = Texts();
    Snapshot();
    {
        ScopedWindow remembered = TestWindow("ZvMoveTestToolbar", RecordingToolbarProc, "", 0, 0);
        Taskbar.SetToolbar(remembered.get());
        EXPECT_TRUE(MoveTaskButton(2, 1, Groups));
        EXPECT_THAT(ReceivedMoves, ElementsAre(std::make_pair(WPARAM(4), LPARAM(2)),
                                               std::make_pair(WPARAM(5), LPARAM(3))));
        EXPECT_EQ(Texts(), start);
    }
    // The remembered window is gone: the shell's toolbar is found again.
    EXPECT_TRUE(MoveTaskButton(2, 1, Groups));
    EXPECT_EQ(ReceivedMoves.size(), 2u);
    EXPECT_THAT(Texts(), ElementsAre("H0", "B0", "H2", "B2", "H1", "B1"));
}

// A program's group of several windows moves directly, one message per button, and stays
// together behind its header.
TEST_F(DirectMove, AProgramsWindowsMoveTogether) {
    ScopedWindow second = LoggedWindow("W0b");
    Shell->Script(
        {ScriptedButton::Header("H0", true), ScriptedButton::Window("B0", Windows[0].get()),
         ScriptedButton::Window("B0b", second.get()), ScriptedButton::Header("H1", true),
         ScriptedButton::Window("B1", Windows[1].get()), ScriptedButton::Header("H2", true),
         ScriptedButton::Window("B2", Windows[2].get())});
    Shell->Sync();
    WindowLog.clear();
    Snapshot();
    ASSERT_EQ(Groups.size(), 3u);
    ASSERT_FALSE(Groups[0].Group->NeedsAlternateMove);
    EXPECT_TRUE(MoveTaskButton(0, 2, Groups));
    EXPECT_THAT(Texts(), ElementsAre("H1", "B1", "H0", "B0", "B0b", "H2", "B2"));
    Snapshot();
    EXPECT_TRUE(MoveTaskButton(1, 3, Groups));
    EXPECT_THAT(Texts(), ElementsAre("H1", "B1", "H2", "B2", "H0", "B0", "B0b"));
    Snapshot();
    EXPECT_TRUE(MoveTaskButton(2, 0, Groups));
    EXPECT_THAT(Texts(), ElementsAre("H0", "B0", "B0b", "H1", "B1", "H2", "B2"));
    EXPECT_THAT(WindowLog, IsEmpty());
}

// [H0, B0, C1, M1, H2, B2]: the collapsed group C1 (its header shown, its member hidden) cannot
// be moved button by button. The scripted toolbar does not follow windows, so what the
// reshowing did shows in the log only.
TEST_F(Move, AcrossOrOutOfAGroupThatNeedsTheAlternateMethod) {
    ScopedWindow w0 = LoggedWindow("W0"), w1 = LoggedWindow("W1"), w2 = LoggedWindow("W2");
    Shell->Script({ScriptedButton::Header("H0", true), ScriptedButton::Window("B0", w0.get()),
                   ScriptedButton::Header("C1", false),
                   ScriptedButton::Window("M1", w1.get(), 0, /*hidden*/ true),
                   ScriptedButton::Header("H2", true), ScriptedButton::Window("B2", w2.get())});
    Shell->Sync();
    const std::vector<std::string> start = Texts();
    {
        SCOPED_TRACE("group 2 up across group 1");
        Snapshot();
        ASSERT_EQ(Groups.size(), 3u);
        ASSERT_TRUE(Groups[1].Group->NeedsAlternateMove);
        WindowLog.clear();
        // Every window came back: the move succeeds (the headers stand for no window).
        EXPECT_TRUE(MoveTaskButton(2, 0, Groups));
        EXPECT_THAT(WindowLog,
                    ElementsAre("hide W0", "hide W1", "hide W2", "show W2", "show W0", "show W1"));
        EXPECT_EQ(Texts(), start);
    }
    {
        SCOPED_TRACE("group 1 down out of itself, to the end");
        Snapshot();
        WindowLog.clear();
        EXPECT_TRUE(MoveTaskButton(1, 3, Groups));
        EXPECT_THAT(WindowLog, ElementsAre("hide W1", "hide W2", "show W2", "show W1"));
        EXPECT_EQ(Texts(), start);
    }
}

// Buttons without headers: every window of the range comes back, so the move reports true,
// and the pressed button's window is brought back to the front.
TEST_F(Move, AlternateMethodChosenRestoresThePressedButtonsWindow) {
    ScopedWindow w0 = LoggedWindow("W0"), w1 = LoggedWindow("W1"), w2 = LoggedWindow("W2");
    Shell->Script({ScriptedButton::Window("B0", w0.get()),
                   ScriptedButton::Window("B1", w1.get(), 0, false, /*checked*/ true),
                   ScriptedButton::Window("B2", w2.get())});
    Shell->Sync();
    int asked = 0;
    Taskbar.AlternateMoveChosen = [&asked] {
        ++asked;
        return true;
    };
    SetForegroundWindow(w2.get());
    ASSERT_EQ(GetForegroundWindow(), w2.get());
    Snapshot();
    WindowLog.clear();
    EXPECT_TRUE(MoveTaskButton(0, 3, Groups));
    EXPECT_EQ(asked, 1);
    EXPECT_THAT(WindowLog,
                ElementsAre("hide W0", "hide W1", "hide W2", "show W1", "show W2", "show W0"));
    EXPECT_EQ(GetForegroundWindow(), w1.get());

    // Refusals of the reshowing method itself hide nothing.
    WindowLog.clear();
    EXPECT_FALSE(MoveTaskButton(1, 1, Groups));
    EXPECT_FALSE(MoveTaskButton(3, 0, Groups));
    EXPECT_FALSE(MoveTaskButton(-1, 2, Groups));
    EXPECT_THAT(WindowLog, IsEmpty());
}

// No pressed button: the desktop's top window comes to the front at the end.
TEST_F(Move, WithoutPressedButtonTheDesktopsTopWindowComesToTheFront) {
    ScopedWindow w0 = LoggedWindow("W0"), w1 = LoggedWindow("W1");
    Shell->Script({ScriptedButton::Window("B0", w0.get()), ScriptedButton::Window("B1", w1.get())});
    Shell->Sync();
    ScopedWindow front = LoggedWindow("front", WS_EX_TOOLWINDOW);
    ScopedWindow top = LoggedWindow("top", WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    SetForegroundWindow(front.get());
    ASSERT_EQ(GetForegroundWindow(), front.get());
    ASSERT_EQ(GetTopWindow(GetDesktopWindow()), top.get());
    Taskbar.AlternateMoveChosen = [] { return true; };
    Snapshot();
    EXPECT_TRUE(MoveTaskButton(1, 0, Groups));
    EXPECT_EQ(GetForegroundWindow(), top.get());
}

// Live sample applications, one window each: the shell gives every window that comes back a
// new button at the end, so the toolbar shows the order in which the mover showed them.
class LiveMove : public Move {
protected:
    void SetUp() override {
        Move::SetUp();
        Shell->Unscript();
        for (const char* name : {"Alpha", "Bravo", "Charlie", "Delta"})
            Apps.push_back(std::make_unique<zvtest::SampleApp>(
                name, std::vector<std::string>{std::string(name) + " 1"}));
        Shell->Sync();
    }
    void TearDown() override {
        Apps.clear();
        Shell->Sync();
        Move::TearDown();
    }
    HWND Wnd(std::size_t app) { return Apps[app]->Window(0); }
    // The windows of the window buttons, and their button ids, in toolbar order.
    std::vector<HWND> Order(std::vector<int>* Ids = nullptr) {
        std::vector<HWND> order;
        for (const zvtest::ButtonRecord& b : Shell->SyncAndDump())
            if (!b.Header()) {
                order.push_back(b.hwnd);
                if (Ids)
                    Ids->push_back(b.id);
            }
        return order;
    }
    std::vector<std::unique_ptr<zvtest::SampleApp>> Apps;
};

TEST_F(LiveMove, ToTheEndHidesFromTheLowerPositionAndShowsTheMovingGroupLast) {
    std::vector<int> before, after;
    ASSERT_THAT(Order(&before), ElementsAre(Wnd(0), Wnd(1), Wnd(2), Wnd(3)));
    Shell->Foreground(Wnd(1));
    Taskbar.AlternateMoveChosen = [] { return true; };
    Snapshot();
    ASSERT_EQ(Groups.size(), 4u);
    ASSERT_EQ(Groups[1].Group->Windows, (std::vector<TWndHandle>{0, FromHWND(Wnd(1))}));

    // Every group carries its header's 0 handle, which stands for no window: the windows came
    // back in the new order, and the move says so.
    EXPECT_TRUE(MoveTaskButton(1, 4, Groups));
    EXPECT_THAT(Order(&after), ElementsAre(Wnd(0), Wnd(2), Wnd(3), Wnd(1)));
    // The first group was left alone; the others got new buttons.
    EXPECT_EQ(after[0], before[0]);
    for (std::size_t i = 1; i < 4; ++i)
        EXPECT_THAT(before, ::testing::Not(::testing::Contains(after[i])));
    for (std::size_t app = 0; app < 4; ++app)
        EXPECT_TRUE(IsWindowVisible(Wnd(app)));
    EXPECT_TRUE(BecomesForeground(Wnd(1)));
}

TEST_F(LiveMove, UpAcrossGroupsWithTheForegroundOutsideTheTaskbar) {
    ScopedWindow front = LoggedWindow("front", WS_EX_TOOLWINDOW);
    ScopedWindow top = LoggedWindow("top", WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    SetForegroundWindow(front.get());
    ASSERT_TRUE(BecomesForeground(front.get()));
    ASSERT_EQ(GetTopWindow(GetDesktopWindow()), top.get());
    Shell->Sync(); // no button is pressed now
    Taskbar.AlternateMoveChosen = [] { return true; };
    Snapshot();
    for (const TGroupListItem& g : Groups)
        ASSERT_FALSE(g.Group->Active);

    EXPECT_TRUE(MoveTaskButton(3, 1, Groups));
    EXPECT_THAT(Order(), ElementsAre(Wnd(0), Wnd(3), Wnd(1), Wnd(2)));
    EXPECT_EQ(GetForegroundWindow(), top.get());
}

// A program of two windows is one group: the direct method moves both its buttons, and the
// shell keeps them together behind its header.
TEST_F(LiveMove, AProgramsTwoWindowsMoveTogether) {
    Apps[1]->Open("Bravo 2");
    const HWND bravo2 = Apps[1]->Window(1);
    ASSERT_THAT(Order(), ElementsAre(Wnd(0), Wnd(1), bravo2, Wnd(2), Wnd(3)));
    Snapshot();
    ASSERT_EQ(Groups.size(), 4u);
    ASSERT_EQ(Groups[1].Group->Windows,
              (std::vector<TWndHandle>{0, FromHWND(Wnd(1)), FromHWND(bravo2)}));
    ASSERT_FALSE(Groups[1].Group->NeedsAlternateMove);
    EXPECT_TRUE(MoveTaskButton(1, 3, Groups)); // Bravo past Charlie
    EXPECT_THAT(Order(), ElementsAre(Wnd(0), Wnd(2), Wnd(1), bravo2, Wnd(3)));
    Snapshot();
    EXPECT_TRUE(MoveTaskButton(3, 1, Groups)); // Delta up across Bravo
    EXPECT_THAT(Order(), ElementsAre(Wnd(0), Wnd(3), Wnd(2), Wnd(1), bravo2));
    Snapshot();
    ASSERT_EQ(Groups.size(), 4u);
    EXPECT_EQ(Groups[3].Group->Windows,
              (std::vector<TWndHandle>{0, FromHWND(Wnd(1)), FromHWND(bravo2)}));
}

TEST(MoveWithoutShell, DirectMoveWithNoToolbarSendsNothingAndSaysSo) {
    if (FindTaskbarToolbar() != nullptr)
        GTEST_SKIP() << "a taskbar toolbar is running";
    TGroupList groups;
    for (int32_t index : {1, 3}) {
        auto g = std::make_unique<TGrupButtons>();
        g->Index = index;
        AddGroup(groups, std::move(g));
    }
    TTaskbar taskbar;
    EXPECT_FALSE(taskbar.MoveDirect(1, 0, groups));
    EXPECT_FALSE(taskbar.MoveTaskButton(1, 0, groups));
}

} // namespace
