// The real Zorvane.exe against the stand-in taskbar, driven as a person drives it: mouse
// clicks on the list's rows and check boxes and on the Up, Down and "Exit program" buttons,
// with the taskbar read back from the shell.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "standin/MouseInput.h"
#include "tests/e2e/startup/ProgramUnderTest.h"

namespace {

using ::testing::ElementsAre;

constexpr DWORD kStartMs = 30000;
constexpr DWORD kWaitMs = 10000;
// The list's geometry: header height, row height.
constexpr int kHeaderHeight = 22;
constexpr int kRowHeight = 18;

using standin::ClickAt;

POINT ScreenPoint(HWND Wnd, int X, int Y) {
    POINT p{X, Y};
    ::ClientToScreen(Wnd, &p);
    return p;
}

POINT CentreOf(HWND Wnd) {
    RECT r{};
    ::GetClientRect(Wnd, &r);
    return ScreenPoint(Wnd, r.right / 2, r.bottom / 2);
}

bool Visible(HWND Wnd) {
    return ::IsWindowVisible(Wnd) != FALSE;
}

void WriteDword(HKEY Root, const char* Path, const char* Name, DWORD Value) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(Root, Path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(key, Name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&Value), sizeof Value);
    ::RegCloseKey(key);
}

// The record of the windows the program keeps hidden; "" when it holds none.
std::string HiddenRecord() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Kestrelan\\Zorvane\\Lasting", 0, KEY_READ,
                        &key) != ERROR_SUCCESS)
        return {};
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    ::RegQueryValueExA(key, "HiddenWindows", nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                       &size);
    ::RegCloseKey(key);
    return data;
}

class ListCommands : public ::testing::Test {
protected:
    void SetUp() override {
        // Each program is a group of its own, in the order they started.
        for (const char* name : {"Alpha", "Bravo", "Charlie", "Delta"})
            Apps.push_back(std::make_unique<zvtest::SampleApp>(
                name, std::vector<std::string>{std::string(name)}));
        ASSERT_THAT(TaskbarOrder(), ElementsAre("Alpha", "Bravo", "Charlie", "Delta"));
    }

    // A fifth group: Echo's three windows collapsed behind one header.
    void AddCollapsedEcho() {
        Echo = std::make_unique<zvtest::SampleApp>(
            "Echo", std::vector<std::string>{"echo 1", "echo 2", "echo 3"});
        Shell.Sync(); // a shell that learns late has Echo's buttons only now
        Shell.Collapse(Echo->Window(0));
    }

    // Starts the program and waits until its list shows the taskbar. Settings, when given,
    // writes what the user left in the registry before the start.
    void StartProgram(const std::function<void()>& Settings = nullptr) {
        Shell.Sync();
        zvtest::ResetProgramSettings();
        if (Settings)
            Settings();
        Program =
            std::make_unique<zvtest::ChildProcess>(zvtest::ProgramFolder() + "Zorvane.exe", "");
        Main = WaitForMainWindowBack(*Program, kStartMs);
        ASSERT_TRUE(Main);
        for (HWND w : DescendantsOf(Main)) {
            const std::string c = ClassOf(w);
            if (c == "TQlxCheckList")
                List = w;
            else if (c == "Button" && TextOf(w).empty())
                (Up ? Down : Up) = w; // bUp is created before bDown
        }
        ASSERT_TRUE(List && Up && Down);
        // The first refresh clicks row 0 for the buttons: Up goes off.
        ASSERT_TRUE(RoundTripUntil(Main, kWaitMs, [&] { return !::IsWindowEnabled(Up); }))
            << "the list was never filled";
    }

    void TearDown() override {
        if (Program)
            Program->Kill();
    }

    // The texts of the taskbar's shown buttons, group headers of collapsed groups included,
    // with a collapsed header's "n Program" shortened to its program's name.
    std::vector<std::string> TaskbarOrder() {
        std::vector<std::string> order;
        for (const zvtest::ButtonRecord& b : Shell.SyncAndDump()) {
            if (b.Hidden())
                continue;
            std::string t = b.text;
            if (b.Header())
                t = t.substr(t.find(' ') + 1);
            order.push_back(t);
        }
        return order;
    }

    // Fails with the order the taskbar last showed.
    ::testing::AssertionResult TaskbarBecomes(const std::vector<std::string>& Order) {
        std::vector<std::string> last;
        if (RoundTripUntil(Main, kWaitMs, [&] { return (last = TaskbarOrder()) == Order; }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "the taskbar shows " << ::testing::PrintToString(last);
    }

    // The program sets the two buttons one after the other, and this process reads them while
    // it runs: a state counts only when it holds on both sides of a round trip, which the
    // program answers between messages, never halfway through setting the buttons.
    bool ButtonsBecome(bool UpOn, bool DownOn) {
        const auto shown = [&] {
            return (::IsWindowEnabled(Up) != FALSE) == UpOn &&
                   (::IsWindowEnabled(Down) != FALSE) == DownOn;
        };
        return RoundTripUntil(
            Main, kWaitMs, [&] { return shown() && SendAndWait(Main, WM_NULL, 0, 0) && shown(); });
    }

    int RowMiddle(int Row) const { return kHeaderHeight + Row * kRowHeight + kRowHeight / 2; }
    void ClickRow(int Row) { ClickAt(ScreenPoint(List, 120, RowMiddle(Row))); }
    void ClickCheckBox(int Row) { ClickAt(ScreenPoint(List, 8, RowMiddle(Row))); }
    void ClickButton(HWND Button) { ClickAt(CentreOf(Button)); }

    zvtest::StandinShell Shell;
    std::vector<std::unique_ptr<zvtest::SampleApp>> Apps;
    std::unique_ptr<zvtest::SampleApp> Echo;
    std::unique_ptr<zvtest::ChildProcess> Program;
    HWND Main = nullptr;
    HWND List = nullptr;
    HWND Up = nullptr;
    HWND Down = nullptr;
};

TEST_F(ListCommands, UpAndDownMoveTheSelectedGroupOnTheTaskbar) {
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    // The middle row: up one place, and the row goes with it, so Up again moves it to the top.
    ClickRow(2);
    ASSERT_TRUE(ButtonsBecome(true, true));
    ClickButton(Up);
    EXPECT_TRUE(TaskbarBecomes({"Alpha", "Charlie", "Bravo", "Delta"}));
    ClickButton(Up);
    EXPECT_TRUE(TaskbarBecomes({"Charlie", "Alpha", "Bravo", "Delta"}));
    // Now on the first row: Up is off.
    EXPECT_TRUE(ButtonsBecome(false, true));

    // The first row down, twice.
    ClickButton(Down);
    EXPECT_TRUE(TaskbarBecomes({"Alpha", "Charlie", "Bravo", "Delta"}));
    ClickButton(Down);
    EXPECT_TRUE(TaskbarBecomes({"Alpha", "Bravo", "Charlie", "Delta"}));
    EXPECT_TRUE(ButtonsBecome(true, true));

    // The last row up, then down to the end again.
    ClickRow(3);
    ASSERT_TRUE(ButtonsBecome(true, false));
    ClickButton(Up);
    EXPECT_TRUE(TaskbarBecomes({"Alpha", "Bravo", "Delta", "Charlie"}));
    EXPECT_TRUE(ButtonsBecome(true, true));
    ClickButton(Down);
    EXPECT_TRUE(TaskbarBecomes({"Alpha", "Bravo", "Charlie", "Delta"}));
    EXPECT_TRUE(ButtonsBecome(true, false));

    // A disabled button does nothing. The program handles clicks in the order they come: once
    // an Up clicked after it has moved Delta, the click on Down has been handled too, and the
    // taskbar shows the Up alone.
    ClickButton(Down);
    ClickButton(Up);
    EXPECT_TRUE(TaskbarBecomes({"Alpha", "Bravo", "Delta", "Charlie"}));
}

TEST_F(ListCommands, UncheckingHidesAGroupWithItsWindowsAndCheckingShowsThemAgain) {
    AddCollapsedEcho();
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    // Echo's collapsed group holds three windows: all three go, with their buttons.
    ClickCheckBox(4);
    ASSERT_TRUE(RoundTripUntil(Main, kWaitMs, [&] {
        return !Visible(Echo->Window(0)) && !Visible(Echo->Window(1)) && !Visible(Echo->Window(2));
    }));
    EXPECT_TRUE(TaskbarBecomes({"Alpha", "Bravo", "Charlie", "Delta"}));

    // At the next refresh the hidden group is the last row, unchecked: a click on it turns
    // both buttons off, and the last checked row above it has no Down.
    ClickRow(3);
    ASSERT_TRUE(ButtonsBecome(true, false));
    ClickRow(4);
    EXPECT_TRUE(ButtonsBecome(false, false));

    // Hiding a second group puts its row after the first hidden one.
    ClickCheckBox(1);
    EXPECT_TRUE(TaskbarBecomes({"Alpha", "Charlie", "Delta"}));
    EXPECT_FALSE(Visible(Apps[1]->Window(0)));

    // Checking Echo's row again (still row 3 until the refresh has run: wait for it, by the
    // buttons of row 2, the last checked row).
    ClickRow(2);
    ASSERT_TRUE(ButtonsBecome(true, false));
    ClickCheckBox(3);
    ASSERT_TRUE(RoundTripUntil(Main, kWaitMs, [&] {
        return Visible(Echo->Window(0)) && Visible(Echo->Window(1)) && Visible(Echo->Window(2));
    }));
    // The windows came back without being activated.
    const HWND fg = ::GetForegroundWindow();
    for (int i = 0; i < 3; ++i)
        EXPECT_NE(fg, Echo->Window(i));
    Shell.Sync();
    std::vector<std::string> order = TaskbarOrder();
    EXPECT_EQ(std::count(order.begin(), order.end(), "echo 1") +
                  std::count(order.begin(), order.end(), "Echo"),
              1)
        << ::testing::PrintToString(order);
}

TEST_F(ListCommands, ExitShowsEveryHiddenWindowAgainInOrder) {
    AddCollapsedEcho();
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ClickCheckBox(1); // Bravo
    ASSERT_TRUE(TaskbarBecomes({"Alpha", "Charlie", "Delta", "Echo"}));
    ClickRow(0);
    ASSERT_TRUE(ButtonsBecome(false, true)); // the refresh has run: Delta is row 2 now
    ClickCheckBox(2);                        // Delta
    ASSERT_TRUE(TaskbarBecomes({"Alpha", "Charlie", "Echo"}));

    const HWND exitButton = FindDescendant(Main, "Button", "Exit program");
    ASSERT_TRUE(exitButton);
    ClickButton(exitButton);
    ASSERT_TRUE(Program->WaitForExit(kWaitMs)) << "the program did not end";
    EXPECT_EQ(Program->ExitCode(), 0u);

    // Nothing of the user's is left hidden, and the hidden groups came back in their order.
    for (auto& app : Apps)
        EXPECT_TRUE(Visible(app->Window(0))) << app->Name();
    EXPECT_THAT(TaskbarOrder(), ElementsAre("Alpha", "Charlie", "Echo", "Bravo", "Delta"));
}

// Up at once after a group was hidden, while a shell that learns late still shows the hidden
// group's button: the row moves in front of the row the user sees above it.
TEST_F(ListCommands, UpRightAfterHidingAGroupPassesOverItsButton) {
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ClickCheckBox(1); // Bravo
    ClickRow(2);      // Charlie, below Bravo's unchecked row until the list is rebuilt
    ClickButton(Up);
    EXPECT_TRUE(TaskbarBecomes({"Charlie", "Alpha", "Delta"}));
}

// With XP's grouping on, a program of two windows (not collapsed) is one group: one row,
// hidden and shown as a whole, moved as a whole by Down.
TEST_F(ListCommands, AProgramsTwoWindowsAreOneRowAndMoveAndHideTogether) {
    Apps[1]->Open("Bravo 2");
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_THAT(TaskbarOrder(), ElementsAre("Alpha", "Bravo", "Bravo 2", "Charlie", "Delta"));
    // Four rows: the last one (Delta) has no Down.
    ClickRow(3);
    ASSERT_TRUE(ButtonsBecome(true, false));

    ClickRow(1);
    ASSERT_TRUE(ButtonsBecome(true, true));
    ClickButton(Down);
    EXPECT_TRUE(TaskbarBecomes({"Alpha", "Charlie", "Bravo", "Bravo 2", "Delta"}));

    // Bravo's row is row 2 now: unchecked, both windows go.
    ClickCheckBox(2);
    ASSERT_TRUE(RoundTripUntil(Main, kWaitMs, [&] {
        return !Visible(Apps[1]->Window(0)) && !Visible(Apps[1]->Window(1));
    }));
    EXPECT_TRUE(TaskbarBecomes({"Alpha", "Charlie", "Delta"}));
    // After the refresh its row is the last one, unchecked; checked, both come back.
    ClickRow(2);
    ASSERT_TRUE(ButtonsBecome(true, false));
    ClickCheckBox(3);
    ASSERT_TRUE(RoundTripUntil(
        Main, kWaitMs, [&] { return Visible(Apps[1]->Window(0)) && Visible(Apps[1]->Window(1)); }));
    EXPECT_TRUE(TaskbarBecomes({"Alpha", "Charlie", "Delta", "Bravo", "Bravo 2"}));
}

// A sort column and a descending order left under the list's key do not sort the list: its
// rows stay in taskbar order, and Up moves the group of the row the user selected.
TEST_F(ListCommands, ASavedSortOrderLeavesTheListInTaskbarOrder) {
    ASSERT_NO_FATAL_FAILURE(StartProgram([] {
        const char* key = "SOFTWARE\\TQlxCheckList\\QlxCheckListTaskBar";
        WriteDword(HKEY_LOCAL_MACHINE, key, "Sort_Column", 0);
        WriteDword(HKEY_LOCAL_MACHINE, key, "Sort_Ascendent", 1);
    }));
    ClickRow(1); // Bravo, second on the taskbar
    ASSERT_TRUE(ButtonsBecome(true, true));
    ClickButton(Up);
    EXPECT_TRUE(TaskbarBecomes({"Bravo", "Alpha", "Charlie", "Delta"}));
    // The selection went up with the row: Up again is off, and Down takes Bravo back.
    EXPECT_TRUE(ButtonsBecome(false, true));
    ClickButton(Down);
    EXPECT_TRUE(TaskbarBecomes({"Alpha", "Bravo", "Charlie", "Delta"}));
}

// A hidden window that its program shows again by itself leaves the hidden groups and the
// record: no second row stands for it, and once its program hides it again (to its own tray,
// say) Exit leaves it as its program wants it.
TEST_F(ListCommands, AWindowItsProgramShowsAgainIsNoLongerTheProgramsToShow) {
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ClickCheckBox(1); // Bravo
    ASSERT_TRUE(TaskbarBecomes({"Alpha", "Charlie", "Delta"}));
    ASSERT_TRUE(RoundTripUntil(Main, kWaitMs, [&] { return !HiddenRecord().empty(); }));

    Apps[1]->Show(0);
    ASSERT_TRUE(TaskbarBecomes({"Alpha", "Charlie", "Delta", "Bravo"}));
    EXPECT_TRUE(RoundTripUntil(Main, kWaitMs, [&] { return HiddenRecord().empty(); }))
        << "the shown window is still recorded as hidden";
    Apps[1]->Hide(0);
    ASSERT_TRUE(TaskbarBecomes({"Alpha", "Charlie", "Delta"}));

    // Where a second, unchecked row for Bravo would stand there is none: its check box shows
    // nothing. Clicks are handled in order: once a click on the first row has set the buttons,
    // the one on the check box has been handled too.
    ClickRow(2);
    ASSERT_TRUE(ButtonsBecome(true, false));
    ClickCheckBox(3);
    ClickRow(0);
    ASSERT_TRUE(ButtonsBecome(false, true));
    EXPECT_FALSE(Visible(Apps[1]->Window(0)));

    const HWND exitButton = FindDescendant(Main, "Button", "Exit program");
    ASSERT_TRUE(exitButton);
    ClickButton(exitButton);
    ASSERT_TRUE(Program->WaitForExit(kWaitMs)) << "the program did not end";
    EXPECT_FALSE(Visible(Apps[1]->Window(0)));
    EXPECT_TRUE(Visible(Apps[0]->Window(0)));
}

} // namespace
