// The real Zorvane.exe on the stand-in taskbar, clicked with the middle button (SendInput):
// a window's button closes that window; a collapsed group's header, a click off the taskbar
// and a click with the option off close nothing.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "standin/MouseInput.h"
#include "taskbar/taskbuttons_win.h"
#include "tests/e2e/startup/ProgramUnderTest.h"
#include "tests/support/BenchSupport.h"

namespace {

constexpr DWORD kStartMs = 30000;
constexpr DWORD kWaitMs = 10000;

class MiddleClick : public ::testing::Test {
protected:
    // The shell and four programs; Echo has two windows. OptionOn: the Settings tab's check box
    // as stored in the control states.
    void Start(bool OptionOn) {
        Shell = std::make_unique<zvtest::StandinShell>();
        for (const char* name : {"Alpha", "Bravo", "Charlie"})
            Apps.push_back(
                std::make_unique<zvtest::SampleApp>(name, std::vector<std::string>{name}));
        Apps.push_back(std::make_unique<zvtest::SampleApp>(
            "Echo", std::vector<std::string>{"Echo 1", "Echo 2"}));
        Shell->Sync();
        zvtest::ResetProgramSettings();
        if (!OptionOn) {
            HKEY key = nullptr;
            ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Kestrelan\\Zorvane", 0,
                                        nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                      ERROR_SUCCESS);
            const DWORD off = 0;
            ::RegSetValueExA(key, "cbMiddleCloseCheck", 0, REG_DWORD,
                             reinterpret_cast<const BYTE*>(&off), sizeof off);
            ::RegCloseKey(key);
        }
        Program =
            std::make_unique<zvtest::ChildProcess>(zvtest::ProgramFolder() + "Zorvane.exe", "");
        Main = WaitForTopLevelWindow(*Program, "TfTaskBarMain", nullptr, kStartMs);
        ASSERT_TRUE(Main);
        ASSERT_TRUE(RoundTripUntil(Main, kWaitMs, [&] { return !::IsWindowVisible(Main); }))
            << "the mouse hook did not start";
    }

    void TearDown() override {
        if (Program)
            Program->Kill();
    }

    static POINT Middle(const TRect& R) {
        return {(R.Left + R.Right - 5) / 2, (R.Top + R.Bottom - 5) / 2};
    }

    // The shown buttons' screen rectangles, in taskbar order, as the shell lays them out (one
    // per window: the middle click closes one window, not its program's group).
    std::vector<TRect> Groups() {
        Shell->Sync();
        std::vector<TRect> buttons;
        for (const RECT& r : Shell->ShownButtonRects())
            buttons.push_back({r.left, r.top, r.right, r.bottom});
        return buttons;
    }

    void MiddleClickAt(POINT P) {
        standin::MoveMouseTo(P);
        standin::PressButton(MOUSEEVENTF_MIDDLEDOWN);
        SendAndWait(Main, WM_NULL, 0, 0);
        standin::PressButton(MOUSEEVENTF_MIDDLEUP);
        SendAndWait(Main, WM_NULL, 0, 0);
    }

    bool Closes(HWND Wnd) {
        return RoundTripUntil(Main, kWaitMs, [&] { return !::IsWindow(Wnd); });
    }

    std::vector<std::string> TaskbarTexts() {
        std::vector<std::string> texts;
        for (const zvtest::ButtonRecord& b : Shell->SyncAndDump())
            if (!b.Hidden())
                texts.push_back(b.text);
        return texts;
    }

    std::unique_ptr<zvtest::StandinShell> Shell;
    std::vector<std::unique_ptr<zvtest::SampleApp>> Apps;
    std::unique_ptr<zvtest::ChildProcess> Program;
    HWND Main = nullptr;
};

TEST_F(MiddleClick, ClosesTheWindowOfTheButtonOnly) {
    Start(true);
    const HWND bravo = Apps[1]->Window(0);
    std::vector<TRect> groups = Groups();
    ASSERT_EQ(groups.size(), 5u);

    // Off the taskbar (high on the screen), then pressed on one button and let go on another.
    MiddleClickAt({::GetSystemMetrics(SM_CXSCREEN) / 2, 100});
    standin::MoveMouseTo(Middle(groups[0]));
    standin::PressButton(MOUSEEVENTF_MIDDLEDOWN);
    SendAndWait(Main, WM_NULL, 0, 0);
    standin::MoveMouseTo(Middle(groups[2]));
    standin::PressButton(MOUSEEVENTF_MIDDLEUP);

    // Bravo's button: its window closes. The program handles the hook's events in order, so the
    // clicks before it have been handled by then.
    MiddleClickAt(Middle(groups[1]));
    ASSERT_TRUE(Closes(bravo));
    for (std::size_t i = 0; i < Apps.size(); ++i) {
        if (i == 1)
            continue;
        for (HWND w : Apps[i]->Windows())
            EXPECT_TRUE(::IsWindow(w)) << TextOf(w);
    }
    EXPECT_THAT(TaskbarTexts(), ::testing::ElementsAre("Alpha", "Charlie", "Echo 1", "Echo 2"));
}

TEST_F(MiddleClick, ACollapsedGroupsHeaderClosesNothing) {
    Start(true);
    Shell->Collapse(Apps[3]->Window(0));
    const std::vector<TRect> groups = Groups();
    ASSERT_EQ(groups.size(), 4u);
    MiddleClickAt(Middle(groups[3])); // Echo's header
    const HWND alpha = Apps[0]->Window(0);
    MiddleClickAt(Middle(groups[0]));
    ASSERT_TRUE(Closes(alpha));
    for (HWND w : Apps[3]->Windows())
        EXPECT_TRUE(::IsWindow(w));
}

TEST_F(MiddleClick, TheOptionOffClosesNothing) {
    Start(false);
    const std::vector<TRect> groups = Groups();
    MiddleClickAt(Middle(groups[1]));
    // A left-button drag made after it has moved Alpha, so the click has been handled.
    standin::MoveMouseTo(Middle(groups[0]));
    standin::PressButton(MOUSEEVENTF_LEFTDOWN);
    for (int i = 1; i <= 4; ++i) {
        const POINT a = Middle(groups[0]), b = Middle(groups[2]);
        standin::MoveMouseTo({a.x + (b.x + 4 - a.x) * i / 4, a.y});
        SendAndWait(Main, WM_NULL, 0, 0);
    }
    standin::PressButton(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(RoundTripUntil(Main, kWaitMs, [&] {
        const std::vector<std::string> t = TaskbarTexts();
        return !t.empty() && t[0] != "Alpha";
    }));
    EXPECT_TRUE(::IsWindow(Apps[1]->Window(0)));
}

} // namespace
