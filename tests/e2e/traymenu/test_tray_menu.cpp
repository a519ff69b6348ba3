// The real Zorvane.exe in the stand-in's notification area, driven as a person drives it:
// the icon double-clicked and right-clicked with the mouse, the menu's items clicked.
#include <windows.h>

#include <commctrl.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "standin/MouseInput.h"
#include "tests/e2e/startup/ProgramUnderTest.h"
#include "tests/win32/app/RunValue.h"

namespace {

constexpr DWORD kStartMs = 30000;
constexpr DWORD kWaitMs = 10000;
// The stand-in's notification area: icons 20 pixels apart from 8 pixels in.
constexpr int kIconsLeft = 8;
constexpr int kIconStep = 20;

enum TMenuItemIndex { kItemZorvane, kItemSettings, kItemHelp, kItemExit, kItemCount };

bool Visible(HWND Wnd) {
    return ::IsWindowVisible(Wnd) != FALSE;
}

class TrayMenu : public ::testing::Test {
protected:
    void SetUp() override {
        App = std::make_unique<zvtest::SampleApp>("Alpha", std::vector<std::string>{"Alpha"});
        Shell.Sync();
        Program =
            std::make_unique<zvtest::ChildProcess>(zvtest::ProgramFolder() + "Zorvane.exe", "");
        Main = WaitForTopLevelWindow(*Program, "TfTaskBarMain", "Zorvane", kStartMs);
        ASSERT_TRUE(Main);
        Tabs = FindDescendant(Main, "SysTabControl32", "");
        ASSERT_TRUE(Tabs);
        // The creation handler has run (the window answers): the icon carries its menu.
        ASSERT_TRUE(SendAndWait(Main, WM_NULL, 0, 0));
        ASSERT_TRUE(IconIndex() >= 0) << "no tray icon";
    }

    void TearDown() override {
        if (Program)
            Program->Kill();
    }

    // The position of the program's icon among the icons the notification area shows; -1.
    int IconIndex() {
        int shown = 0;
        for (const zvtest::TrayIconRecord& r : Shell.Tray()) {
            DWORD pid = 0;
            ::GetWindowThreadProcessId(r.hwnd, &pid);
            if (pid == Program->Pid())
                return r.tip == "Zorvane" ? shown : -1;
            shown += r.hidden ? 0 : 1;
        }
        return -1;
    }

    POINT IconPoint() {
        HWND notify =
            ::FindWindowExA(zvtest::StandinShell::TrayWnd(), nullptr, "TrayNotifyWnd", nullptr);
        RECT client{};
        ::GetClientRect(notify, &client);
        POINT p{kIconsLeft + IconIndex() * kIconStep + kIconStep / 2, client.bottom / 2};
        ::ClientToScreen(notify, &p);
        return p;
    }

    // The open tray menu; 0 when none opens.
    HWND WaitForMenu() {
        HWND menu = nullptr;
        RoundTripUntil(Shell.TrayWnd(), kWaitMs, [&] {
            for (HWND w : TopLevelWindowsOf(Program->Pid()))
                if (ClassOf(w) == "#32768" && Visible(w))
                    menu = w;
            return menu != nullptr;
        });
        return menu;
    }

    // Right-clicks the icon and clicks an item of the menu that opens.
    void ChooseFromMenu(TMenuItemIndex Item) {
        // Quick right clicks on one spot make a double click, which opens nothing: each
        // lands a few pixels from the last.
        POINT icon = IconPoint();
        icon.x += (++RightClicks % 2) ? 4 : -4;
        standin::RightClickAt(icon);
        HWND menu = WaitForMenu();
        ASSERT_TRUE(menu) << "the tray menu did not open";
        RECT r{};
        ::GetClientRect(menu, &r);
        const int itemHeight = r.bottom / kItemCount;
        POINT p{r.right / 2, itemHeight * Item + itemHeight / 2};
        ::ClientToScreen(menu, &p);
        standin::ClickAt(p);
    }

    bool MainShowsTab(int Tab) {
        return RoundTripUntil(Main, kWaitMs, [&] {
            return Visible(Main) && ::SendMessageA(Tabs, TCM_GETCURSEL, 0, 0) == Tab;
        });
    }

    void HideMain() {
        ::PostMessageA(Main, WM_CLOSE, 0, 0); // the close box: only hides it
        ASSERT_TRUE(RoundTripUntil(Main, kWaitMs, [&] { return !Visible(Main); }));
    }

    zvtest::StandinShell Shell;
    std::unique_ptr<zvtest::SampleApp> App;
    std::unique_ptr<zvtest::ChildProcess> Program;
    HWND Main = nullptr;
    HWND Tabs = nullptr;
    int RightClicks = 0;
};

TEST_F(TrayMenu, APersonOpensTheListTheSettingsAndHelpAndExits) {
    ASSERT_NO_FATAL_FAILURE(HideMain());
    // A double click on the icon opens the list.
    standin::DoubleClickAt(IconPoint());
    EXPECT_TRUE(MainShowsTab(0));

    // "Settings" from the menu: the Settings tab, also while the list shows.
    ASSERT_NO_FATAL_FAILURE(ChooseFromMenu(kItemSettings));
    EXPECT_TRUE(MainShowsTab(1));

    // "Zorvane" goes back to the list.
    ASSERT_NO_FATAL_FAILURE(ChooseFromMenu(kItemZorvane));
    EXPECT_TRUE(MainShowsTab(0));

    // "Help": the main window goes, the help window comes; closing it leaves the main
    // window hidden.
    ASSERT_NO_FATAL_FAILURE(ChooseFromMenu(kItemHelp));
    const HWND help = Program->WaitForWindow([&] {
        HWND h = ::FindWindowA("TFHelp", "Help");
        return h && Visible(h) ? h : nullptr;
    });
    EXPECT_TRUE(RoundTripUntil(Main, kWaitMs, [&] { return !Visible(Main); }));
    ::PostMessageA(help, WM_CLOSE, 0, 0);
    EXPECT_TRUE(RoundTripUntil(Main, kWaitMs, [&] { return !Visible(help); }));
    EXPECT_FALSE(Visible(Main));

    // A group hidden from the list, then "Exit": its window comes back and the icon goes.
    standin::DoubleClickAt(IconPoint());
    ASSERT_TRUE(MainShowsTab(0));
    const HWND list = FindDescendant(Main, "TQlxCheckList", "");
    const HWND up = FindDescendant(Main, "Button", ""); // bUp, the first without a caption
    ASSERT_TRUE(list && up);
    // The first refresh has filled the list and clicked its first row: Up goes off.
    ASSERT_TRUE(RoundTripUntil(Main, kWaitMs, [&] { return !::IsWindowEnabled(up); }));
    POINT box{8, 22 + 9}; // the first row's check box
    ::ClientToScreen(list, &box);
    standin::ClickAt(box);
    ASSERT_TRUE(RoundTripUntil(Main, kWaitMs, [&] { return !Visible(App->Window(0)); }))
        << "the list did not hide Alpha";
    ASSERT_NO_FATAL_FAILURE(HideMain());

    // The shell keeps an icon until its owner deletes it, also once the owner is gone.
    const auto zorvaneIcons = [&] {
        Shell.Sync();
        int icons = 0;
        for (const zvtest::TrayIconRecord& r : Shell.Tray())
            icons += r.tip == "Zorvane";
        return icons;
    };
    ASSERT_EQ(zorvaneIcons(), 1);
    ASSERT_NO_FATAL_FAILURE(ChooseFromMenu(kItemExit));
    ASSERT_TRUE(Program->WaitForExit(kWaitMs)) << "the program did not end";
    EXPECT_EQ(Program->ExitCode(), 0u);
    EXPECT_TRUE(Visible(App->Window(0)));
    EXPECT_EQ(zorvaneIcons(), 0) << "the program did not delete its icon";
}

TEST_F(TrayMenu, TheIconComesBackAfterTheShellRestarts) {
    Shell.Restart();
    EXPECT_TRUE(RoundTripUntil(Main, kWaitMs, [&] { return IconIndex() >= 0; }));
    // And it still answers: a double click opens the list.
    ASSERT_NO_FATAL_FAILURE(HideMain());
    standin::DoubleClickAt(IconPoint());
    EXPECT_TRUE(MainShowsTab(0));
}

} // namespace

namespace {
// The program's tray icon window as the shell holds it; 0 while the shell holds none.
HWND ProgramIconWindow(zvtest::StandinShell& Shell, DWORD Pid) {
    for (const zvtest::TrayIconRecord& r : Shell.Tray()) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(r.hwnd, &pid);
        if (pid == Pid)
            return r.hwnd;
    }
    return nullptr;
}

// Whether the icon library is loaded in the shell's process (its hook brought it there).
bool IconLibraryIn(DWORD ShellPid) {
    const HANDLE raw = ::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, ShellPid);
    if (raw == INVALID_HANDLE_VALUE)
        return false;
    ScopedKernelHandle snap(raw);
    MODULEENTRY32 module{};
    module.dwSize = sizeof(module);
    for (BOOL more = ::Module32First(snap.get(), &module); more;
         more = ::Module32Next(snap.get(), &module))
        if (::lstrcmpiA(module.szModule, "images.dll") == 0)
            return true;
    return false;
}

zvtest::ChildProcess StartProgram() {
    return zvtest::ChildProcess(zvtest::ProgramFolder() + "Zorvane.exe", "");
}
} // namespace

// At logon the shell may refuse icons for a while: the icon is added once it takes them.
TEST(TrayIconAtLogon, ComesWhenTheShellTakesItAfterARefusedAdd) {
    zvtest::ResetProgramSettings();
    zvtest::StandinShell shell;
    shell.TrayRefuse(1);
    zvtest::ChildProcess program = StartProgram();
    HWND main = WaitForTopLevelWindow(program, "TfTaskBarMain", "Zorvane", kStartMs);
    ASSERT_TRUE(main);
    EXPECT_TRUE(RoundTripUntil(main, kWaitMs, [&] {
        return ProgramIconWindow(shell, program.Pid()) != nullptr;
    })) << "the icon never came";
    const std::vector<std::string> adds = shell.TrayAdds();
    ASSERT_GE(adds.size(), 2u);
    EXPECT_NE(adds[0].find("ok=0"), std::string::npos) << adds[0];
}

// After the shell has restarted in a new process, the rows get their icons from the new shell.
TEST(GroupIcons, ComeFromTheNewShellAfterItRestarted) {
    zvtest::ResetProgramSettings();
    auto shell = std::make_unique<zvtest::StandinShell>();
    zvtest::SampleApp app("Alpha", {"Alpha"});
    shell->Sync();
    zvtest::ChildProcess program = StartProgram();
    const HWND main = WaitForMainWindowBack(program, kStartMs);
    ASSERT_TRUE(main);
    // The list refreshes every second while it shows, asking the shell for the icons.
    ASSERT_TRUE(RoundTripUntil(main, kWaitMs, [&] { return IconLibraryIn(shell->Pid()); }))
        << "no icon library in the first shell";
    shell.reset();
    shell = std::make_unique<zvtest::StandinShell>(); // says "TaskbarCreated"
    shell->Sync();
    EXPECT_TRUE(RoundTripUntil(main, kWaitMs, [&] { return IconLibraryIn(shell->Pid()); }))
        << "no icon library in the new shell";
}

// A start-up warning waits for its button: the tray icon opens nothing over it meanwhile.
TEST(StartUpBox, TheTrayIconOpensNothingUntilStartUpHasFinished) {
    zvtest::ResetProgramSettings();
    HKEY raw = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Kestrelan\\Zorvane\\Main", 0, nullptr,
                                0, KEY_WRITE, nullptr, &raw, nullptr),
              ERROR_SUCCESS);
    for (const char* name : {"Left", "Top", "Width", "Height"})
        ::RegSetValueExA(raw, name, 0, REG_SZ, reinterpret_cast<const BYTE*>("12"), 3);
    ::RegCloseKey(raw);
    zvtest::StandinShell shell;
    zvtest::ChildProcess program = StartProgram();
    HWND box = WaitForTopLevelWindow(program, "#32770", "Error", kStartMs);
    ASSERT_TRUE(box) << "no start-up box";
    HWND main = ::GetWindow(box, GW_OWNER);
    ASSERT_TRUE(main);
    EXPECT_EQ(ClassOf(main), "TfTaskBarMain"); // owned by the main window
    HWND icon = nullptr;
    ASSERT_TRUE(RoundTripUntil(
        box, kWaitMs, [&] { return (icon = ProgramIconWindow(shell, program.Pid())) != nullptr; }));
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        shell.TrayClick(icon, 1, m);
    ASSERT_TRUE(SendAndWait(icon, WM_NULL, 0, 0)); // the clicks have been handled
    EXPECT_FALSE(Visible(main)) << "the list opened over the box";
    EXPECT_TRUE(Visible(box));

    ASSERT_TRUE(SendAndWait(FindDescendant(box, "Button", "&Ignore"), BM_CLICK, 0, 0));
    // Start-up goes on; afterwards the icon opens the list as usual.
    const HWND back = WaitForMainWindowBack(program, kStartMs);
    EXPECT_EQ(back, main);
    EXPECT_TRUE(Visible(main));
}
