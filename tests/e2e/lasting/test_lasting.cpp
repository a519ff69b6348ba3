// The real Zorvane.exe against the stand-in shell: the order the user gives the taskbar comes
// back when a program starts again and when the shell comes back, unless the option is off;
// windows hidden through the list come back after Zorvane was killed; the move keys move the
// foreground window's group one place and do nothing at either end.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "standin/MouseInput.h"
#include "tests/e2e/startup/ProgramUnderTest.h"
#include "toolkit/Utf8_win.h"

namespace {

constexpr DWORD kStartMs = 30000;
constexpr DWORD kWaitMs = 10000;
constexpr const char* kLastingKey = "Software\\Kestrelan\\Zorvane\\Lasting";

// Under Wine a key press made with SendInput reaches a hotkey registered with MOD_WIN; when it
// does not (see PressMoveKey), the keys are tested through the WM_HOTKEY they would bring.
void SendKeys(const std::vector<WORD>& Down) {
    std::vector<INPUT> in;
    for (WORD vk : Down) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = vk;
        if (vk == VK_LEFT || vk == VK_RIGHT)
            i.ki.dwFlags = KEYEVENTF_EXTENDEDKEY;
        in.push_back(i);
    }
    for (auto it = Down.rbegin(); it != Down.rend(); ++it) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = *it;
        i.ki.dwFlags =
            KEYEVENTF_KEYUP | ((*it == VK_LEFT || *it == VK_RIGHT) ? KEYEVENTF_EXTENDEDKEY : 0);
        in.push_back(i);
    }
    ::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

// The lasting key's texts, UTF-8 here, as the program keeps them (UTF-16 in the registry).
std::string RegString(const char* Name) {
    wchar_t data[1024] = {};
    DWORD size = sizeof data - sizeof data[0];
    DWORD type = 0;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kLastingKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {};
    ::RegQueryValueExW(key, WideText(Name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data),
                       &size);
    ::RegCloseKey(key);
    return type == REG_SZ ? Utf8Text(data, wcslen(data)) : std::string();
}

void RegWrite(const char* Name, const std::string& Text) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kLastingKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                &key, nullptr),
              ERROR_SUCCESS);
    const std::wstring text = WideText(Text);
    ::RegSetValueExW(key, WideText(Name).c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
}

class Lasting : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        for (const char* exe : {"zvalpha.exe", "zvbravo.exe", "zvcharlie.exe"})
            zvtest::CopySampleApp(exe);
    }

    void SetUp() override {
        zvtest::ResetProgramSettings(); // no order, no first-run question
        Shell = std::make_unique<zvtest::StandinShell>();
        for (const char* name : {"Alpha", "Bravo", "Charlie"}) {
            Apps.push_back(StartApp(name));
            Shell->Sync(); // a shell that learns late takes each in before the next starts
        }
        ASSERT_EQ(TaskbarOrder(), (std::vector<std::string>{"Alpha", "Bravo", "Charlie"}));
    }

    void TearDown() override {
        if (Program)
            Program->Kill();
        Apps.clear();
        Shell.reset();
    }

    static std::unique_ptr<zvtest::SampleApp> StartApp(const std::string& Name) {
        std::string exe = "zv" + Name + ".exe";
        for (char& c : exe)
            c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
        return std::make_unique<zvtest::SampleApp>(Name, std::vector<std::string>{Name}, "", exe);
    }

    // Starts the program, waits for its main window and sends it to the tray again, so that
    // it does not take the foreground once a second.
    void StartProgram() {
        Shell->Sync();
        Program =
            std::make_unique<zvtest::ChildProcess>(zvtest::ProgramFolder() + "Zorvane.exe", "");
        Main = WaitForMainWindowBack(*Program, kStartMs);
        ASSERT_TRUE(Main);
        ASSERT_TRUE(SendAndWait(Main, WM_CLOSE, 0, 0)); // a close request only hides it
        ASSERT_TRUE(RoundTripUntil(Main, kWaitMs, [&] { return !::IsWindowVisible(Main); }));
    }

    std::vector<std::string> TaskbarOrder() {
        std::vector<std::string> order;
        for (const zvtest::ButtonRecord& b : Shell->SyncAndDump())
            if (!b.Hidden() && !b.Header())
                order.push_back(b.text);
        return order;
    }

    bool TaskbarBecomes(const std::vector<std::string>& Order) {
        return RoundTripUntil(Main, kWaitMs, [&] { return TaskbarOrder() == Order; });
    }

    // The move key for the foreground window (Right: to the right), as the user presses it.
    void PressMoveKey(bool Right) {
        if (KeysBySendInput)
            SendKeys({VK_LWIN, VK_SHIFT, WORD(Right ? VK_RIGHT : VK_LEFT)});
        else
            ::PostMessageA(Main, WM_HOTKEY, Right ? 2 : 1,
                           MAKELPARAM(MOD_WIN | MOD_SHIFT, Right ? VK_RIGHT : VK_LEFT));
    }

    // The first press of a test: by SendInput when that reaches the hotkey, else by WM_HOTKEY.
    bool FirstPress(bool Right, const std::vector<std::string>& Expected) {
        PressMoveKey(Right);
        if (RoundTripUntil(Main, 3000, [&] { return TaskbarOrder() == Expected; }))
            return true;
        KeysBySendInput = false;
        std::printf("note: SendInput did not trigger the hotkey; WM_HOTKEY posted instead\n");
        PressMoveKey(Right);
        return TaskbarBecomes(Expected);
    }

    bool OrderBecomes(const std::string& Text) {
        return RoundTripUntil(Main, kWaitMs, [&] { return RegString("Order") == Text; });
    }

    void Activate(zvtest::SampleApp& App) {
        Shell->Foreground(App.Window(0));
        Shell->Sync();
    }

    // Starts the program from ExeName (its own folder), waits for its list to be filled and
    // unchecks Bravo's row (the second) with the mouse: Bravo's window hides and is recorded.
    void HideBravoThroughTheList(const char* ExeName = "Zorvane.exe") {
        Shell->Sync();
        Program = std::make_unique<zvtest::ChildProcess>(zvtest::ProgramFolder() + ExeName, "");
        Main = WaitForMainWindowBack(*Program, kStartMs);
        ASSERT_TRUE(Main);
        HWND list = FindDescendant(Main, "TQlxCheckList", "");
        HWND up = FindDescendant(Main, "Button", ""); // bUp, the first without a caption
        ASSERT_TRUE(list && up);
        // The list is filled once the first refresh has clicked row 0: Up goes off.
        ASSERT_TRUE(RoundTripUntil(Main, kWaitMs, [&] { return !::IsWindowEnabled(up); }));
        const HWND bravo = Apps[1]->Window(0);
        POINT box{8, 22 + 18 + 9}; // the check box of row 1, below the header
        ::ClientToScreen(list, &box);
        standin::ClickAt(box);
        ASSERT_TRUE(RoundTripUntil(Main, kWaitMs, [&] { return !::IsWindowVisible(bravo); }));
        ASSERT_NE(RegString("HiddenWindows").find(":zvbravo.exe:"), std::string::npos)
            << "recorded with its process's start: " << RegString("HiddenWindows");
    }

    std::unique_ptr<zvtest::StandinShell> Shell;
    std::vector<std::unique_ptr<zvtest::SampleApp>> Apps; // Alpha, Bravo, Charlie
    std::unique_ptr<zvtest::ChildProcess> Program;
    HWND Main = nullptr;
    bool KeysBySendInput = true;
};

TEST_F(Lasting, MoveKeysMoveTheForegroundGroupOnePlaceAndStopAtTheEnds) {
    StartProgram();
    Activate(*Apps[0]);
    ASSERT_TRUE(FirstPress(true, {"Bravo", "Alpha", "Charlie"}));
    PressMoveKey(true);
    ASSERT_TRUE(TaskbarBecomes({"Bravo", "Charlie", "Alpha"}));
    // At the right end a press does nothing: the next one to the left moves it one place.
    PressMoveKey(true);
    PressMoveKey(false);
    EXPECT_TRUE(TaskbarBecomes({"Bravo", "Alpha", "Charlie"}));
    // The same at the left end.
    Activate(*Apps[1]);
    PressMoveKey(false);
    PressMoveKey(true);
    EXPECT_TRUE(TaskbarBecomes({"Alpha", "Bravo", "Charlie"}));
    EXPECT_EQ(::GetForegroundWindow(), Apps[1]->Window(0)); // the move took no focus
    // The moves made the order the user's.
    EXPECT_TRUE(OrderBecomes("zvalpha.exe|zvbravo.exe|zvcharlie.exe"));
}

TEST_F(Lasting, AMoveByHidingAndShowingAgainIsTheOrderThatLasts) {
    StartProgram();
    // The alternate method: the windows from the lower place on are hidden and shown again in
    // the new order, and the shell learns of that when it learns of it (at once, or later in
    // the run against the late-learning shell).
    const HWND alternate = FindDescendant(
        Main, "Button",
        "Use an alternate method for moving taskbar buttons (causes additional flicker but "
        "fixes some minor problems on very rare systems)");
    ASSERT_TRUE(alternate);
    ASSERT_TRUE(SendAndWait(alternate, BM_CLICK, 0, 0));
    ASSERT_EQ(::SendMessageA(alternate, BM_GETCHECK, 0, 0), BST_CHECKED);
    Activate(*Apps[0]);
    ASSERT_TRUE(FirstPress(true, {"Bravo", "Alpha", "Charlie"}));
    EXPECT_TRUE(OrderBecomes("zvbravo.exe|zvalpha.exe|zvcharlie.exe"))
        << "remembered: " << RegString("Order");
    // Nothing puts an older order back.
    EXPECT_TRUE(NothingHappensWithin(*Program, Main, 2500, [&] {
        return TaskbarOrder() != std::vector<std::string>{"Bravo", "Alpha", "Charlie"};
    }));
}

TEST_F(Lasting, AProgramStartedAgainAndTheShellRestartedGetTheUsersOrderBack) {
    StartProgram();
    Activate(*Apps[2]);
    ASSERT_TRUE(FirstPress(false, {"Alpha", "Charlie", "Bravo"})); // Charlie one place left
    ASSERT_TRUE(OrderBecomes("zvalpha.exe|zvcharlie.exe|zvbravo.exe"));

    // Charlie ends and starts again: the shell puts it last, Zorvane back in its place.
    Apps[2].reset();
    ASSERT_TRUE(TaskbarBecomes({"Alpha", "Bravo"}));
    Apps[2] = StartApp("Charlie");
    EXPECT_TRUE(TaskbarBecomes({"Alpha", "Charlie", "Bravo"}))
        << ::testing::PrintToString(TaskbarOrder()) << " remembered: " << RegString("Order");

    // Zorvane ends and the shell comes back: a new Zorvane puts the order back from the
    // registry (the new shell finds the windows in its own order and says "TaskbarCreated").
    Program->Kill();
    Shell.reset();
    Shell = std::make_unique<zvtest::StandinShell>();
    StartProgram();
    EXPECT_TRUE(TaskbarBecomes({"Alpha", "Charlie", "Bravo"}));
}

TEST_F(Lasting, WithTheOptionOffNothingMovesByItself) {
    RegWrite("Order", "zvalpha.exe|zvcharlie.exe|zvbravo.exe");
    HKEY key = nullptr;
    ::RegCreateKeyExA(HKEY_CURRENT_USER, kLastingKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr);
    const DWORD off = 0;
    ::RegSetValueExA(key, "KeepOrder", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off),
                     sizeof off);
    ::RegCloseKey(key);
    StartProgram();
    // Nothing happens that could be waited for: three refresh ticks pass with the order as
    // the shell made it.
    EXPECT_TRUE(NothingHappensWithin(*Program, Main, 3000, [&] {
        return TaskbarOrder() != std::vector<std::string>{"Alpha", "Bravo", "Charlie"};
    }));
    // The same order with the option on is put in place at once.
    Program->Kill();
    ::RegCreateKeyExA(HKEY_CURRENT_USER, kLastingKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr);
    const DWORD on = 1;
    ::RegSetValueExA(key, "KeepOrder", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&on), sizeof on);
    ::RegCloseKey(key);
    StartProgram();
    EXPECT_TRUE(TaskbarBecomes({"Alpha", "Charlie", "Bravo"}));
}

// Program files whose names differ only in Cyrillic letters (dom, dym): two programs, each
// with its own place, which a single-byte code page would have made one ("zv???.exe").
TEST_F(Lasting, ProgramsWhoseNamesDifferOnlyInNonLatinLettersKeepTheirOwnPlaces) {
    const std::string dom = "zv\xD0\xB4\xD0\xBE\xD0\xBC.exe",
                      dym = "zv\xD0\xB4\xD1\x8B\xD0\xBC.exe";
    const std::string domTitle = "\xD0\x94\xD0\xBE\xD0\xBC", dymTitle = "\xD0\x94\xD1\x8B\xD0\xBC";
    zvtest::CopySampleApp(dom);
    zvtest::CopySampleApp(dym);
    Apps.clear();
    Apps.push_back(StartApp("Alpha"));
    Shell->Sync();
    Apps.push_back(
        std::make_unique<zvtest::SampleApp>("Dom", std::vector<std::string>{domTitle}, "", dom));
    Shell->Sync();
    Apps.push_back(
        std::make_unique<zvtest::SampleApp>("Dym", std::vector<std::string>{dymTitle}, "", dym));
    ASSERT_EQ(TaskbarOrder(), (std::vector<std::string>{"Alpha", domTitle, dymTitle}));
    RegWrite("Order", dym + "|zvalpha.exe|" + dom);
    StartProgram();
    EXPECT_TRUE(TaskbarBecomes({dymTitle, "Alpha", domTitle}));

    // A move of the user's is stored with both names whole.
    Activate(*Apps[2]);
    ASSERT_TRUE(FirstPress(true, {"Alpha", dymTitle, domTitle}));
    EXPECT_TRUE(OrderBecomes("zvalpha.exe|" + dym + "|" + dom));
}

TEST_F(Lasting, WindowsHiddenBeforeZorvaneWasKilledComeBackAtTheNextStart) {
    ASSERT_NO_FATAL_FAILURE(HideBravoThroughTheList());
    const HWND bravo = Apps[1]->Window(0);
    Program->Kill();
    Shell->Sync();
    ASSERT_FALSE(::IsWindowVisible(bravo));

    StartProgram();
    EXPECT_TRUE(RoundTripUntil(Main, kWaitMs, [&] { return ::IsWindowVisible(bravo) != FALSE; }));
    EXPECT_EQ(RegString("HiddenWindows"), "");
}

// After a logoff a new process of the same program may have the recorded process id and
// window handle; its start time tells it apart, and its window stays as it is.
TEST_F(Lasting, ARecordedWindowOfAnotherStartOfItsProgramIsNotShown) {
    ASSERT_NO_FATAL_FAILURE(HideBravoThroughTheList());
    const HWND bravo = Apps[1]->Window(0);
    Program->Kill();
    std::string record = RegString("HiddenWindows");
    const std::size_t started = record.rfind(':') + 1;
    record.replace(started, std::string::npos, "1");
    RegWrite("HiddenWindows", record);

    StartProgram();
    EXPECT_FALSE(RoundTripUntil(Main, 2000, [&] { return ::IsWindowVisible(bravo) != FALSE; }));
    EXPECT_EQ(RegString("HiddenWindows"), "");
    Apps[1]->Show(0);
}

// A second start under another letter case of the file name is the same program: it ends
// silently before its tray icon shows, and the first copy's hidden windows stay hidden.
TEST_F(Lasting, ASecondStartUnderAnotherLetterCaseEndsSilentlyAndChangesNothing) {
    ASSERT_NO_FATAL_FAILURE(HideBravoThroughTheList());
    const HWND bravo = Apps[1]->Window(0);
    const std::string record = RegString("HiddenWindows");
    const std::size_t adds = Shell->TrayAdds().size();
    {
        zvtest::ChildProcess second(zvtest::ProgramFolder() + "zORVANE.EXE", "");
        ASSERT_TRUE(second.WaitForExit(kWaitMs)) << "the second start keeps running";
        EXPECT_EQ(second.ExitCode(), 0u);
    }
    EXPECT_EQ(Shell->TrayAdds().size(), adds) << "the second start showed a tray icon";
    Shell->Sync();
    EXPECT_FALSE(::IsWindowVisible(bravo));
    EXPECT_EQ(RegString("HiddenWindows"), record);
    EXPECT_TRUE(Program->Running());
    Apps[1]->Show(0);
}

// A key stored without Windows, Ctrl or Alt (an earlier version accepted one) takes nothing
// from other programs.
TEST_F(Lasting, AStoredBareMoveKeyRegistersNothing) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kLastingKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                &key, nullptr),
              ERROR_SUCCESS);
    const DWORD bareLeft = VK_LEFT, ctrlAltRight = (MOD_CONTROL | MOD_ALT) << 8 | VK_RIGHT;
    ::RegSetValueExA(key, "MoveLeftKey", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&bareLeft),
                     sizeof bareLeft);
    ::RegSetValueExA(key, "MoveRightKey", 0, REG_DWORD,
                     reinterpret_cast<const BYTE*>(&ctrlAltRight), sizeof ctrlAltRight);
    ::RegCloseKey(key);
    StartProgram();
    // The bare key is free for this program to take; the allowed one is Zorvane's.
    EXPECT_TRUE(::RegisterHotKey(nullptr, 1, 0, VK_LEFT));
    EXPECT_FALSE(::RegisterHotKey(nullptr, 2, MOD_CONTROL | MOD_ALT, VK_RIGHT));
    ::UnregisterHotKey(nullptr, 1);
    ::UnregisterHotKey(nullptr, 2);
}

// A program that closes its window and opens another between two refresh ticks leaves the
// taskbar's button count as it was; its new button still goes back to its place.
TEST_F(Lasting, AProgramClosedAndOpenedAgainBetweenTwoTicksGoesBackToItsPlace) {
    StartProgram();
    Activate(*Apps[2]);
    ASSERT_TRUE(FirstPress(false, {"Alpha", "Charlie", "Bravo"}));
    ASSERT_TRUE(OrderBecomes("zvalpha.exe|zvcharlie.exe|zvbravo.exe"));
    Apps[2]->Close(0);
    Apps[2]->Open("Charlie 2");
    EXPECT_TRUE(TaskbarBecomes({"Alpha", "Charlie 2", "Bravo"}));
}

} // namespace
