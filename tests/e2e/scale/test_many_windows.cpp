// The real Zorvane.exe with a taskbar of 300 windows of one program, grouping off: the list
// fills soon after it opens, the window keeps answering while it does, Up on the last row
// moves that window's button, and the tray menu opens.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "standin/MouseInput.h"
#include "tests/e2e/startup/ProgramUnderTest.h"

namespace {

constexpr int kWindows = 300;
constexpr DWORD kStartMs = 60000;
// Generous for a busy build machine: the list fills in a few seconds.
constexpr DWORD kFillMs = 60000;
constexpr DWORD kWaitMs = 20000;

POINT ScreenPoint(HWND Wnd, int X, int Y) {
    POINT p{X, Y};
    ::ClientToScreen(Wnd, &p);
    return p;
}

bool Enabled(HWND Wnd) {
    return ::IsWindowEnabled(Wnd) != FALSE;
}

// The windows of the taskbar's window buttons, in taskbar order.
std::vector<HWND> ButtonWindows(zvtest::StandinShell& Shell) {
    std::vector<HWND> order;
    for (const zvtest::ButtonRecord& b : Shell.SyncAndDump())
        if (!b.Header() && !b.Hidden() && b.hwnd)
            order.push_back(b.hwnd);
    return order;
}

TEST(ManyWindows, TheListFillsAndAnswersWithThreeHundredWindows) {
    // The windows open while the shell groups them (one group, so that each new window
    // changes one button rather than the widths of all), then every window gets a group of
    // its own.
    zvtest::StandinShell Shell;
    zvtest::SampleApp many("Many", {}, "--count " + std::to_string(kWindows));
    Shell.SetGrouping(false);
    const std::vector<HWND> before = ButtonWindows(Shell);
    ASSERT_GE(before.size(), std::size_t(kWindows));

    zvtest::ResetProgramSettings();
    zvtest::ChildProcess program(zvtest::ProgramFolder() + "Zorvane.exe", "");
    struct TKill {
        zvtest::ChildProcess& P;
        ~TKill() { P.Kill(); }
    } kill{program};
    const HWND main = WaitForMainWindowBack(program, kStartMs);
    ASSERT_TRUE(main);
    HWND list = nullptr, up = nullptr, down = nullptr;
    for (HWND w : DescendantsOf(main)) {
        const std::string c = ClassOf(w);
        if (c == "TQlxCheckList")
            list = w;
        else if (c == "Button" && TextOf(w).empty())
            (up ? down : up) = w; // Up is created before Down
    }
    ASSERT_TRUE(list && up && down);

    // The first refresh fills the list and clicks its first row: Up goes off.
    const DWORD start = ::GetTickCount();
    ASSERT_TRUE(RoundTripUntil(main, kFillMs, [&] { return !Enabled(up) && Enabled(down); }))
        << "the list was never filled";
    std::printf("list filled after %lu ms\n", static_cast<unsigned long>(::GetTickCount() - start));

    // Page Down: the last row, which has Up but no Down. (The key goes to the list directly: a
    // click on a row first could be handled after the key, on whatever row then lies under it.)
    ::PostMessageA(list, WM_KEYDOWN, VK_NEXT, 0);
    ::PostMessageA(list, WM_KEYUP, VK_NEXT, 0);
    ASSERT_TRUE(RoundTripUntil(main, kWaitMs, [&] { return Enabled(up) && !Enabled(down); }))
        << "the last row was not selected";

    // Up: the last window's button goes one place to the left.
    RECT r{};
    ::GetClientRect(up, &r);
    standin::ClickAt(ScreenPoint(up, r.right / 2, r.bottom / 2));
    std::vector<HWND> expected = before;
    std::iter_swap(expected.end() - 2, expected.end() - 1);
    EXPECT_TRUE(RoundTripUntil(main, kWaitMs, [&] { return ButtonWindows(Shell) == expected; }))
        << "Up on the last row did not move its group";

    // The tray menu opens (a right click on the icon, as the shell passes it on: the press
    // opens it).
    for (const zvtest::TrayIconRecord& icon : Shell.Tray()) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(icon.hwnd, &pid);
        if (pid == program.Pid())
            for (UINT m : {WM_RBUTTONDOWN, WM_RBUTTONUP})
                Shell.TrayClick(icon.hwnd, icon.uid, m);
    }
    HWND menu = nullptr;
    EXPECT_TRUE(RoundTripUntil(main, kWaitMs, [&] {
        for (HWND w : TopLevelWindowsOf(program.Pid()))
            if (ClassOf(w) == "#32768" && ::IsWindowVisible(w))
                menu = w;
        return menu != nullptr;
    })) << "the tray menu did not open";
    if (menu)
        ::PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
}

} // namespace
