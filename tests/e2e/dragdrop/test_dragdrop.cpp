// The real Zorvane.exe against the stand-in taskbar, dragged as a person drags: the mouse
// (SendInput) presses a taskbar button, moves along the taskbar and lets go, on a taskbar at
// the bottom, the top and the left of the screen; the order is read back from the shell.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "standin/MouseInput.h"
#include "taskbar/Taskbar_win.h"
#include "tests/e2e/startup/ProgramUnderTest.h"

namespace {

constexpr DWORD kStartMs = 30000;
constexpr DWORD kWaitMs = 10000;
const std::vector<std::string> kNames = {"Alpha", "Bravo", "Charlie", "Delta"};

bool Visible(HWND Wnd) {
    return ::IsWindowVisible(Wnd) != FALSE;
}

class DragDrop : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        zvtest::StandinShell::Options options;
        options.edge = GetParam();
        Shell = std::make_unique<zvtest::StandinShell>(options);
        // Each program is a group of its own.
        for (const std::string& name : kNames)
            Apps.push_back(
                std::make_unique<zvtest::SampleApp>(name, std::vector<std::string>{name}));
        Shell->Sync();
        zvtest::ResetProgramSettings(); // no first-run question
        Program =
            std::make_unique<zvtest::ChildProcess>(zvtest::ProgramFolder() + "Zorvane.exe", "");
        Main = WaitForTopLevelWindow(*Program, "TfTaskBarMain", nullptr, kStartMs);
        ASSERT_TRUE(Main);
        for (HWND w : TopLevelWindowsOf(Program->Pid()))
            if (ClassOf(w) == "TFTaskBarBallon")
                Balloon = w;
        ASSERT_TRUE(Balloon);
        // With the mouse hook running, the main window hides itself after start-up.
        ASSERT_TRUE(RoundTripUntil(Main, kWaitMs, [&] { return !Visible(Main); }))
            << "the mouse hook did not start";
        Vertical = std::string(GetParam()) == "left" || std::string(GetParam()) == "right";
    }

    void TearDown() override {
        if (Program)
            Program->Kill();
    }

    // Paces the input: one round trip to the program. Its hook's events are posted, so they
    // may still wait after it; the tests wait for what the events do, or for the probe below.
    void Settle() { SendAndWait(Main, WM_NULL, 0, 0); }

    bool BalloonBecomes(bool Shown) {
        return RoundTripUntil(Main, kWaitMs, [&] { return Visible(Balloon) == Shown; });
    }

    // The program handles its hook's events one after the other: once a drag made after them
    // has moved Alpha to the end, every earlier event has been handled. Expected: the order
    // before the probe (Alpha first).
    void ExpectNothingMovedBeforeTheProbe(std::vector<std::string> Expected) {
        const std::vector<TRect> groups = Groups();
        POINT end = Middle(groups.back());
        (Vertical ? end.y : end.x) += 4;
        PressAndMove(Middle(groups[0]), end);
        LetGo();
        Expected.push_back(Expected.front());
        Expected.erase(Expected.begin());
        EXPECT_TRUE(TaskbarBecomes(Expected)) << ::testing::PrintToString(TaskbarOrder());
    }

    std::vector<std::string> TaskbarOrder() {
        std::vector<std::string> order;
        for (const zvtest::ButtonRecord& b : Shell->SyncAndDump())
            if (!b.Hidden())
                order.push_back(b.text);
        return order;
    }

    bool TaskbarBecomes(const std::vector<std::string>& Order) {
        return RoundTripUntil(Main, kWaitMs, [&] { return TaskbarOrder() == Order; });
    }

    // The groups' buttons on the screen (each group here is one window's button), as the
    // shell lays them out: the aim points do not depend on the program's reading of them.
    std::vector<TRect> Groups() {
        Shell->Sync(); // the shell has caught up with every window
        std::vector<TRect> groups;
        for (const RECT& r : Shell->ShownButtonRects())
            groups.push_back({r.left, r.top, r.right, r.bottom});
        return groups;
    }

    static POINT Middle(const TRect& R) { return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }
    // A point on the leading quarter of a group: the drop goes in front of it.
    POINT Leading(const TRect& R) const {
        POINT p = Middle(R);
        if (Vertical)
            p.y = R.Top + (R.Bottom - R.Top) / 4;
        else
            p.x = R.Left + (R.Right - R.Left) / 4;
        return p;
    }

    // Presses the left button on From and moves to To in Steps moves, letting the program
    // handle each.
    void PressAndMove(POINT From, POINT To, int Steps = 4) {
        standin::MoveMouseTo(From);
        standin::PressButton(MOUSEEVENTF_LEFTDOWN);
        Settle();
        for (int i = 1; i <= Steps; ++i) {
            standin::MoveMouseTo(
                {From.x + (To.x - From.x) * i / Steps, From.y + (To.y - From.y) * i / Steps});
            Settle();
        }
    }
    void LetGo() {
        standin::PressButton(MOUSEEVENTF_LEFTUP);
        Settle();
    }

    RECT BalloonRect() const {
        RECT r{};
        ::GetWindowRect(Balloon, &r);
        return r;
    }

    std::unique_ptr<zvtest::StandinShell> Shell;
    std::vector<std::unique_ptr<zvtest::SampleApp>> Apps;
    std::unique_ptr<zvtest::ChildProcess> Program;
    HWND Main = nullptr;
    HWND Balloon = nullptr;
    bool Vertical = false;
};

TEST_P(DragDrop, ADraggedButtonGoesWhereTheBalloonPoints) {
    const std::vector<TRect> groups = Groups();
    ASSERT_EQ(groups.size(), 4u);
    const POINT press = Middle(groups[0]);

    standin::MoveMouseTo(press);
    standin::PressButton(MOUSEEVENTF_LEFTDOWN);
    Settle();
    standin::MoveMouseTo({press.x + (Vertical ? 0 : 6), press.y + (Vertical ? 6 : 0)});
    Settle();

    // Over the leading part of Delta's button: the balloon shows, names Alpha and points at
    // Delta's leading edge.
    const POINT target = Leading(groups[3]);
    standin::MoveMouseTo({(press.x + target.x) / 2, (press.y + target.y) / 2});
    Settle();
    standin::MoveMouseTo(target);
    Settle();
    ASSERT_TRUE(BalloonBecomes(true));
    EXPECT_EQ(TextOf(Balloon), "Alpha");
    const RECT b = BalloonRect();
    // The balloon stands off the group, whose area reaches 5 pixels past its button to the
    // right and the bottom.
    const TRect& d = groups[3];
    const std::string edge = GetParam();
    if (edge == "bottom") {
        EXPECT_EQ(b.left, d.Left - 100);
        EXPECT_EQ(b.bottom, d.Top - 2);
    } else if (edge == "top") {
        EXPECT_EQ(b.left, d.Left - 100);
        EXPECT_EQ(b.top, d.Bottom + 5);
    } else {
        EXPECT_EQ(b.top, d.Top - 55);
        EXPECT_EQ(b.left, d.Right + 5);
    }

    LetGo();
    EXPECT_TRUE(TaskbarBecomes({"Bravo", "Charlie", "Alpha", "Delta"}));
    EXPECT_TRUE(BalloonBecomes(false));

    // Back to the front: the first group's zone starts at its leading edge.
    const std::vector<TRect> now = Groups();
    PressAndMove(Middle(now[2]), Leading(now[0]));
    LetGo();
    EXPECT_TRUE(TaskbarBecomes(kNames));
}

TEST_P(DragDrop, TheLastGroupsTrailingHalfDropsAtTheEnd) {
    const std::vector<TRect> groups = Groups();
    ASSERT_EQ(groups.size(), 4u);
    POINT end = Middle(groups[3]);
    (Vertical ? end.y : end.x) += 4;
    PressAndMove(Middle(groups[1]), end);
    EXPECT_TRUE(BalloonBecomes(true));
    LetGo();
    EXPECT_TRUE(TaskbarBecomes({"Alpha", "Charlie", "Delta", "Bravo"}));
}

INSTANTIATE_TEST_SUITE_P(Edges, DragDrop, ::testing::Values("bottom", "top", "left"));

// What moves nothing; on the usual bottom taskbar.
class DragDropCancel : public DragDrop {};

TEST_P(DragDropCancel, AClickWithoutAMoveMovesNothing) {
    const std::vector<TRect> groups = Groups();
    PressAndMove(Middle(groups[1]), Middle(groups[1]), 0);
    LetGo();
    ExpectNothingMovedBeforeTheProbe(kNames);
}

TEST_P(DragDropCancel, AReleaseOutsideEveryZoneMovesNothing) {
    const std::vector<TRect> groups = Groups();
    // High above the taskbar: past the middle of the screen, where no zone reaches.
    PressAndMove(Middle(groups[0]), Leading(groups[3]));
    ASSERT_TRUE(BalloonBecomes(true));
    standin::MoveMouseTo({Middle(groups[2]).x, 100});
    POINT cursor{};
    ::GetCursorPos(&cursor); // as the mouse's own coordinates round it
    const std::string title = std::to_string(cursor.x) + ":" + std::to_string(cursor.y);
    EXPECT_TRUE(RoundTripUntil(Main, kWaitMs, [&] { return TextOf(Main) == title; }))
        << "the main window's title shows where the cursor is";
    EXPECT_FALSE(Visible(Balloon));
    LetGo();
    ExpectNothingMovedBeforeTheProbe(kNames);
}

TEST_P(DragDropCancel, ADraggedWindowThatClosesMovesNothing) {
    const std::vector<TRect> groups = Groups();
    PressAndMove(Middle(groups[1]), Leading(groups[3]));
    ASSERT_TRUE(BalloonBecomes(true));
    Apps[1]->Close(0);
    ASSERT_TRUE(TaskbarBecomes({"Alpha", "Charlie", "Delta"}));
    LetGo();
    EXPECT_TRUE(BalloonBecomes(false));
    ExpectNothingMovedBeforeTheProbe({"Alpha", "Charlie", "Delta"});
}

INSTANTIATE_TEST_SUITE_P(Bottom, DragDropCancel, ::testing::Values("bottom"));

// With XP's grouping on, a program of two windows is one group on the taskbar: a drag of either
// of its buttons moves both, and a drop onto its buttons never lands between them.
class DragDropGrouped : public DragDrop {};

TEST_P(DragDropGrouped, AProgramsTwoWindowsMoveTogether) {
    Apps[1]->Open("Bravo 2");
    ASSERT_TRUE(TaskbarBecomes({"Alpha", "Bravo", "Bravo 2", "Charlie", "Delta"}));
    // The shell's own buttons: Alpha, Bravo, Bravo 2, Charlie, Delta.
    std::vector<TRect> buttons = Groups();
    ASSERT_EQ(buttons.size(), 5u);
    POINT end = Middle(buttons[4]);
    end.x += 4;
    PressAndMove(Middle(buttons[2]), end); // Bravo 2's own button, to Delta's trailing half
    EXPECT_TRUE(BalloonBecomes(true));
    LetGo();
    EXPECT_TRUE(TaskbarBecomes({"Alpha", "Charlie", "Delta", "Bravo", "Bravo 2"}))
        << ::testing::PrintToString(TaskbarOrder());

    // Alpha dropped on Bravo 2's button goes behind the whole group, not between its windows.
    buttons = Groups();
    ASSERT_EQ(buttons.size(), 5u);
    PressAndMove(Middle(buttons[0]), Leading(buttons[4]));
    LetGo();
    EXPECT_TRUE(TaskbarBecomes({"Charlie", "Delta", "Bravo", "Bravo 2", "Alpha"}))
        << ::testing::PrintToString(TaskbarOrder());
}

INSTANTIATE_TEST_SUITE_P(Bottom, DragDropGrouped, ::testing::Values("bottom"));

// Where a drag drops, what it drags and how it starts again; on the usual bottom taskbar.
class DragDropRules : public DragDrop {
protected:
    // The programs of the taskbar's groups in order: a collapsed group's header ("2 Echo") and
    // the buttons of a program's windows ("echo 1") stand for their program.
    std::vector<std::string> GroupOrder() {
        std::vector<std::string> order;
        for (const zvtest::ButtonRecord& b : Shell->SyncAndDump()) {
            if (b.Hidden())
                continue;
            std::string t = b.text;
            if (b.Header())
                t = t.substr(t.find(' ') + 1);
            else if (t.rfind("echo ", 0) == 0)
                t = "Echo";
            if (order.empty() || order.back() != t)
                order.push_back(t);
        }
        return order;
    }
};

TEST_P(DragDropRules, AReleaseFarAboveTheTaskbarDropsOverWhateverWindowIsThere) {
    const std::vector<TRect> groups = Groups();
    // 150 pixels above the taskbar, where the zones still reach, over Delta's window.
    const HWND delta = Apps[3]->Window(0);
    const POINT over{Leading(groups[2]).x, groups[2].Top - 150};
    ::SetWindowPos(delta, HWND_TOPMOST, 0, over.y - 100, 1024, 200, SWP_NOACTIVATE);
    ASSERT_EQ(::GetAncestor(::WindowFromPoint(over), GA_ROOT), delta);
    PressAndMove(Middle(groups[0]), over);
    ASSERT_TRUE(BalloonBecomes(true));
    const RECT b = BalloonRect();
    EXPECT_EQ(b.left, groups[2].Left - 100) << "the balloon points at Charlie's leading edge";
    LetGo();
    EXPECT_TRUE(TaskbarBecomes({"Bravo", "Alpha", "Charlie", "Delta"}));
    EXPECT_TRUE(BalloonBecomes(false));
    ::SetWindowPos(delta, HWND_NOTOPMOST, 0, 0, 100, 100, SWP_NOACTIVATE);
}

TEST_P(DragDropRules, ACollapsedGroupIsDraggedLikeAnyOther) {
    zvtest::SampleApp echo("Echo", {"echo 1", "echo 2"});
    Shell->Collapse(echo.Window(0));
    const std::vector<TRect> groups = Groups();
    ASSERT_EQ(groups.size(), 5u);
    ASSERT_EQ(GroupOrder(),
              (std::vector<std::string>{"Alpha", "Bravo", "Charlie", "Delta", "Echo"}));
    PressAndMove(Middle(groups[4]), Leading(groups[1]));
    ASSERT_TRUE(BalloonBecomes(true));
    LetGo();
    const std::vector<std::string> expected = {"Alpha", "Echo", "Bravo", "Charlie", "Delta"};
    EXPECT_TRUE(RoundTripUntil(Main, kWaitMs, [&] { return GroupOrder() == expected; }))
        << ::testing::PrintToString(TaskbarOrder());
}

TEST_P(DragDropRules, ASecondPressStartsTheDragAgainFromThePressedGroup) {
    const std::vector<TRect> groups = Groups();
    PressAndMove(Middle(groups[0]), Leading(groups[3]));
    ASSERT_TRUE(BalloonBecomes(true));
    // The right button pressed on Charlie, the left one still held: the drag starts again from
    // Charlie, and goes on while the right button is held.
    standin::MoveMouseTo(Middle(groups[2]));
    Settle();
    standin::PressButton(MOUSEEVENTF_RIGHTDOWN);
    Settle();
    const POINT front = Leading(groups[0]);
    for (int i = 1; i <= 4; ++i) {
        const POINT from = Middle(groups[2]);
        standin::MoveMouseTo({from.x + (front.x - from.x) * i / 4, from.y});
        Settle();
    }
    EXPECT_TRUE(BalloonBecomes(true));
    standin::PressButton(MOUSEEVENTF_RIGHTUP);
    Settle();
    EXPECT_TRUE(TaskbarBecomes({"Charlie", "Alpha", "Bravo", "Delta"}));
    LetGo();
    ExpectNothingMovedBeforeTheProbe({"Charlie", "Alpha", "Bravo", "Delta"});
}

TEST_P(DragDropRules, ARightClickDuringTheDragForgetsTheTarget) {
    const std::vector<TRect> groups = Groups();
    // The right click on Bravo starts the drag again from Bravo without a target: its release
    // drops nothing.
    PressAndMove(Middle(groups[0]), Leading(groups[3]));
    ASSERT_TRUE(BalloonBecomes(true));
    standin::MoveMouseTo(Middle(groups[1]));
    Settle();
    standin::PressButton(MOUSEEVENTF_RIGHTDOWN);
    standin::PressButton(MOUSEEVENTF_RIGHTUP);
    EXPECT_TRUE(BalloonBecomes(false));
    LetGo();
    ExpectNothingMovedBeforeTheProbe(kNames);
}

INSTANTIATE_TEST_SUITE_P(Bottom, DragDropRules, ::testing::Values("bottom"));

} // namespace
