// The real Zorvane.exe: the version gate under the Windows versions Wine reports, the main
// window after start-up, and the ways a close request and the end of the program go.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/e2e/startup/ProgramUnderTest.h"

namespace {
constexpr DWORD kStartMs = 30000;
constexpr DWORD kExitMs = 10000;
const char kKestrelanKey[] = "Software\\Kestrelan";
const char kRefusal[] = "Sorry, this program can only be run on Windows XP or higher.";

std::vector<HWND> ButtonsOf(HWND Wnd) {
    std::vector<HWND> buttons;
    for (HWND w : DescendantsOf(Wnd))
        if (ClassOf(w) == "Button")
            buttons.push_back(w);
    return buttons;
}

// The system's own windows of the input method, which every thread with windows gets.
bool IsInputMethodWindow(HWND Wnd) {
    const std::string c = ClassOf(Wnd);
    return c == "IME" || c == "MSCTFIME UI";
}

zvtest::ChildProcess StartZorvane() {
    return zvtest::ChildProcess(zvtest::ProgramFolder() + "Zorvane.exe", "");
}

// A started program with its main window up.
struct TRunningProgram {
    zvtest::ChildProcess Child = (zvtest::ResetProgramSettings(), StartZorvane());
    HWND Main = WaitForMainWindowBack(Child, kStartMs);

    HWND Button(const char* Caption) const { return FindDescendant(Main, "Button", Caption); }

    // The process goes on: it stays up for a second, answering all the while.
    void ExpectStillRunning() {
        EXPECT_TRUE(NothingHappensWithin(Child, Main, 1000, [&] { return !Child.Running(); }));
    }

    void ExpectEndsWithCodeZero() {
        ASSERT_TRUE(Child.WaitForExit(kExitMs)) << "the program did not end";
        EXPECT_EQ(Child.ExitCode(), 0u);
    }

    // A key press as it arrives from the keyboard: posted to the control with the focus.
    void PressKey(WORD Vk, UINT ScanCode) {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        HWND target = Main;
        if (::GetGUIThreadInfo(::GetWindowThreadProcessId(Main, nullptr), &info) && info.hwndFocus)
            target = info.hwndFocus;
        ::PostMessageA(target, WM_KEYDOWN, Vk, static_cast<LPARAM>(1 | (ScanCode << 16)));
        ::PostMessageA(target, WM_KEYUP, Vk,
                       static_cast<LPARAM>(1 | (ScanCode << 16) | (3u << 30)));
    }
};

struct TCloseRequest {
    const char* Name;
    std::function<void(TRunningProgram&)> Send;
};

void PressAndWaitHidden(TRunningProgram& P, WORD Vk, UINT ScanCode) {
    P.PressKey(Vk, ScanCode);
    RoundTripUntil(P.Main, kExitMs, [&] { return !::IsWindowVisible(P.Main); });
}

const TCloseRequest kCloseRequests[] = {
    {"CloseBox", [](TRunningProgram& p) { SendAndWait(p.Main, WM_CLOSE, 0, 0); }},
    {"SystemMenuClose",
     [](TRunningProgram& p) { SendAndWait(p.Main, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    {"OkButton", [](TRunningProgram& p) { SendAndWait(p.Button("OK"), BM_CLICK, 0, 0); }},
    {"Enter", [](TRunningProgram& p) { PressAndWaitHidden(p, VK_RETURN, 0x1C); }},
    {"Escape", [](TRunningProgram& p) { PressAndWaitHidden(p, VK_ESCAPE, 0x01); }},
};

class CloseRequest : public testing::TestWithParam<TCloseRequest> {};
class CloseRequestAfterSessionEnd : public testing::TestWithParam<TCloseRequest> {};
class StartsOn : public testing::TestWithParam<const char*> {};

std::string CloseRequestName(const testing::TestParamInfo<TCloseRequest>& info) {
    return info.param.Name;
}
} // namespace

TEST(VersionGate, Windows2000GetsOnlyTheMessageAndNothingIsWritten) {
    const std::string before = DumpRegistryKey(HKEY_CURRENT_USER, kKestrelanKey);
    {
        TScopedWineVersion version("win2k");
        zvtest::ChildProcess child = StartZorvane();
        HWND box = WaitForTopLevelWindow(child, "#32770", nullptr, kStartMs);
        ASSERT_TRUE(box) << "no message box";
        EXPECT_EQ(TextOf(box), "Warning");
        EXPECT_EQ(TextOf(::GetDlgItem(box, 0xFFFF)), kRefusal);
        const std::vector<HWND> buttons = ButtonsOf(box);
        ASSERT_EQ(buttons.size(), 1u);
        EXPECT_EQ(TextOf(buttons[0]), "OK");
        for (HWND w : TopLevelWindowsOf(child.Pid()))
            if (w != box && !IsInputMethodWindow(w)) {
                ADD_FAILURE() << "another window: " << ClassOf(w) << " \"" << TextOf(w) << "\"";
            }

        SendAndWait(buttons[0], BM_CLICK, 0, 0);
        ASSERT_TRUE(child.WaitForExit(kExitMs));
        EXPECT_EQ(child.ExitCode(), 0u);
    }
    EXPECT_EQ(DumpRegistryKey(HKEY_CURRENT_USER, kKestrelanKey), before);
    if (before.empty()) {
        EXPECT_EQ(DumpRegistryKey(HKEY_CURRENT_USER, kKestrelanKey), "");
    }
}

TEST_P(StartsOn, TheMainWindowComesUpWithItsControls) {
    TScopedWineVersion version(GetParam());
    TRunningProgram p;
    ASSERT_TRUE(p.Main) << "no main window";
    EXPECT_TRUE(::IsWindowVisible(p.Main));

    RECT client{};
    ::GetClientRect(p.Main, &client);
    EXPECT_EQ(client.right, 586);
    EXPECT_EQ(client.bottom, 419);
    const LONG_PTR style = ::GetWindowLongPtrA(p.Main, GWL_STYLE);
    const LONG_PTR exStyle = ::GetWindowLongPtrA(p.Main, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));

    // Owned by the application's hidden window, so it has no taskbar button of its own.
    HWND owner = ::GetWindow(p.Main, GW_OWNER);
    ASSERT_TRUE(owner);
    EXPECT_EQ(ClassOf(owner), "TApplication");
    EXPECT_EQ(TextOf(owner), "Zorvane");
    EXPECT_FALSE(::IsWindowVisible(owner));

    for (const char* caption : {"OK", "Exit program", "Help"}) {
        HWND b = p.Button(caption);
        EXPECT_TRUE(b && ::IsWindowVisible(b)) << caption;
    }
    HWND demo = p.Button("How to do this easier using drag and drop");
    EXPECT_TRUE(demo && !::IsWindowVisible(demo));
    EXPECT_TRUE(::GetWindowLongPtrA(p.Button("OK"), GWL_STYLE) & BS_DEFPUSHBUTTON);
    EXPECT_TRUE(FindDescendant(p.Main, "Button", "Start this program each time Windows starts up"));
    EXPECT_TRUE(FindDescendant(p.Main, "SysTabControl32", ""));

    // The focus starts on the page control, so Enter goes to the default button.
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(::GetGUIThreadInfo(::GetWindowThreadProcessId(p.Main, nullptr), &info));
    EXPECT_EQ(ClassOf(info.hwndFocus), "SysTabControl32");

    // The balloon and help windows exist, hidden.
    bool balloon = false, help = false;
    for (HWND w : TopLevelWindowsOf(p.Child.Pid())) {
        balloon |= ClassOf(w) == "TFTaskBarBallon" && !::IsWindowVisible(w);
        help |= ClassOf(w) == "TFHelp" && TextOf(w) == "Help" && !::IsWindowVisible(w);
    }
    EXPECT_TRUE(balloon);
    EXPECT_TRUE(help);
}

INSTANTIATE_TEST_SUITE_P(Version, StartsOn, testing::Values("winxp", "win7"));

// Whoever starts the program may wait until it waits for input (as the shell does): by then
// all its windows are made and the main window has been shown, even though the mouse hook's
// own thread waits for input from the moment it starts.
TEST(StartUp, WaitsForInputOnlyOnceItsWindowsAreMade) {
    zvtest::ResetProgramSettings();
    zvtest::ChildProcess child = StartZorvane();
    ASSERT_EQ(::WaitForInputIdle(child.Handle(), kStartMs), 0u);
    // No round trip here: what exists now existed when the wait ended.
    bool main = false, balloon = false, help = false;
    for (HWND w : TopLevelWindowsOf(child.Pid())) {
        const std::string c = ClassOf(w);
        main |= c == "TfTaskBarMain";
        balloon |= c == "TFTaskBarBallon";
        help |= c == "TFHelp";
    }
    EXPECT_TRUE(main);
    EXPECT_TRUE(balloon);
    EXPECT_TRUE(help);
    SendAndWait(FindDescendant(WaitForMainWindowBack(child, kStartMs), "Button", "Exit program"),
                BM_CLICK, 0, 0);
    EXPECT_TRUE(child.WaitForExit(kExitMs));
}

TEST_P(CloseRequest, OnlyHidesTheWindowAndTheProgramGoesOn) {
    TRunningProgram p;
    ASSERT_TRUE(p.Main);
    GetParam().Send(p);
    EXPECT_FALSE(::IsWindowVisible(p.Main));
    p.ExpectStillRunning();
}

INSTANTIATE_TEST_SUITE_P(Path, CloseRequest, testing::ValuesIn(kCloseRequests), CloseRequestName);

TEST(ExitProgram, EndsTheProcessWithExitCodeZero) {
    TRunningProgram p;
    ASSERT_TRUE(p.Main);
    ASSERT_TRUE(SendAndWait(p.Button("Exit program"), BM_CLICK, 0, 0));
    p.ExpectEndsWithCodeZero();
}

TEST_P(CloseRequestAfterSessionEnd, EndsTheProgramAtOnce) {
    TRunningProgram p;
    ASSERT_TRUE(p.Main);
    LRESULT answer = 0;
    ASSERT_TRUE(SendAndWait(p.Main, WM_QUERYENDSESSION, 0, 0, &answer));
    EXPECT_EQ(answer, TRUE);
    // The session end was cancelled (no WM_ENDSESSION follows): the program goes on.
    EXPECT_TRUE(::IsWindowVisible(p.Main));
    p.ExpectStillRunning();

    GetParam().Send(p);
    p.ExpectEndsWithCodeZero();
}

INSTANTIATE_TEST_SUITE_P(Path, CloseRequestAfterSessionEnd, testing::ValuesIn(kCloseRequests),
                         CloseRequestName);
