// The real Zorvane.exe across runs: the first run's registry contents, options and window
// place kept from one run to the next, one instance at a time, and the list's column values
// under HKEY_LOCAL_MACHINE.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/startup/ProgramUnderTest.h"
#include "tests/native/support/MainWindowValues.h"

namespace {
constexpr DWORD kStartMs = 30000;
constexpr DWORD kExitMs = 15000;
const char kKey[] = "Software\\Kestrelan\\Zorvane";
const char kDefault[] = "Software\\Kestrelan\\Zorvane\\Default";
const char kMain[] = "Software\\Kestrelan\\Zorvane\\Main";
const char kListParent[] = "SOFTWARE\\TQlxCheckList";
const char kList[] = "SOFTWARE\\TQlxCheckList\\QlxCheckListTaskBar";
const char kCmodmove[] =
    "Use an alternate method for moving taskbar buttons (causes additional flicker but fixes "
    "some minor problems on very rare systems)";
const char kStartUp[] = "Start this program each time Windows starts up";

std::string Exe(const char* Name = "Zorvane.exe") {
    return zvtest::ProgramFolder() + Name;
}

struct TValue {
    DWORD Type = 0;
    std::string Data;
    DWORD Dword() const {
        DWORD d = 0xDEAD;
        if (Data.size() == 4)
            memcpy(&d, Data.data(), 4);
        return d;
    }
};

// The values of a key in the order the registry lists them.
std::vector<std::pair<std::string, TValue>> ValuesOf(HKEY Root, const char* Path) {
    std::vector<std::pair<std::string, TValue>> out;
    HKEY raw = nullptr;
    if (::RegOpenKeyExA(Root, Path, 0, KEY_READ, &raw) != ERROR_SUCCESS)
        return out;
    ScopedKey key(raw);
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD n = sizeof(name);
        BYTE data[4096];
        DWORD size = sizeof(data);
        DWORD type = 0;
        if (::RegEnumValueA(raw, i, name, &n, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        out.push_back({name, {type, std::string(reinterpret_cast<char*>(data), size)}});
    }
    return out;
}

TValue ValueOf(HKEY Root, const char* Path, const std::string& Name) {
    for (auto& [n, v] : ValuesOf(Root, Path))
        if (n == Name)
            return v;
    return {};
}

bool Checked(HWND Box) {
    return ::SendMessageA(Box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// A started program whose main window exists (the first-run question answered when asked).
struct TProgram {
    explicit TProgram(const std::string& Path = Exe()) : Child(Path, "") {
        Main = WaitForMainWindowBack(Child, kStartMs);
    }
    HWND Control(const char* Class, const char* Text) const {
        return FindDescendant(Main, Class, Text);
    }
    void Exit() {
        ASSERT_TRUE(SendAndWait(Control("Button", "Exit program"), BM_CLICK, 0, 0));
        ASSERT_TRUE(Child.WaitForExit(kExitMs)) << "the program did not end";
        EXPECT_EQ(Child.ExitCode(), 0u);
    }
    RECT Bounds() const {
        RECT r{};
        ::GetWindowRect(Main, &r);
        return r;
    }
    zvtest::ChildProcess Child;
    HWND Main = nullptr;
};

RECT WorkArea() {
    RECT r{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

} // namespace

TEST(FirstRun, AsksOnceAndLeavesTheControlStatesAndTheCentredWindow) {
    zvtest::DeleteProgramSettings();
    zvtest::ChildProcess child(Exe(), "");
    HWND box = WaitForTopLevelWindow(child, "#32770", "Confirmation", kStartMs);
    ASSERT_TRUE(box) << "no first-run question";
    // The box may be caught before it has filled in its texts.
    EXPECT_TRUE(RoundTripUntil(box, 5000, [&] {
        return FindDescendant(box, "Static",
                              "Do you wish to see a short video demo about how to use Zorvane?");
    }));
    // The main window exists, hidden, while its creation handler asks.
    HWND main = nullptr;
    for (HWND w : TopLevelWindowsOf(child.Pid()))
        if (ClassOf(w) == "TfTaskBarMain")
            main = w;
    ASSERT_TRUE(main);
    EXPECT_FALSE(::IsWindowVisible(main));
    EXPECT_EQ(DumpRegistryKey(HKEY_CURRENT_USER, kDefault), "");
    ASSERT_TRUE(SendAndWait(FindDescendant(box, "Button", "&No"), BM_CLICK, 0, 0));
    // Answering No ends the first run all the same: the defaults are written.
    ASSERT_TRUE(RoundTripUntil(main, kStartMs,
                               [&] { return ValuesOf(HKEY_CURRENT_USER, kDefault).size() == 30; }));

    for (const char* key : {kKey, kDefault}) {
        std::vector<std::string> names;
        for (auto& [name, v] : ValuesOf(HKEY_CURRENT_USER, key)) {
            names.push_back(name);
            EXPECT_EQ(v.Type, name.find("Caption") != std::string::npos ? REG_SZ : REG_DWORD)
                << name;
        }
        EXPECT_EQ(std::set<std::string>(names.begin(), names.end()),
                  std::set<std::string>(zvtest::kMainWindowControlValues.begin(),
                                        zvtest::kMainWindowControlValues.end()))
            << key;
        EXPECT_EQ(names.size(), 30u) << key;
        EXPECT_EQ(ValueOf(HKEY_CURRENT_USER, key, "cbStartUpCheck").Dword(), 1u);
        EXPECT_EQ(ValueOf(HKEY_CURRENT_USER, key, "cmodmoveCheck").Dword(), 0u);
        EXPECT_EQ(ValueOf(HKEY_CURRENT_USER, key, "bDemo_OLDVisible").Dword(), 0u);
        EXPECT_EQ(ValueOf(HKEY_CURRENT_USER, key, "bExitCaption").Data,
                  std::string("Exit program", 13));
    }
    RECT r{};
    ::GetWindowRect(main, &r);
    const RECT work = WorkArea();
    const int width = r.right - r.left, height = r.bottom - r.top;
    EXPECT_EQ(ValueOf(HKEY_CURRENT_USER, kMain, "WindowState").Dword(), 0u);
    EXPECT_EQ(ValueOf(HKEY_CURRENT_USER, kMain, "Left").Dword(),
              static_cast<DWORD>((work.right - work.left - width) / 2));
    EXPECT_EQ(ValueOf(HKEY_CURRENT_USER, kMain, "Top").Dword(),
              static_cast<DWORD>((work.bottom - work.top - height) / 2));
    EXPECT_EQ(ValueOf(HKEY_CURRENT_USER, kMain, "Width").Dword(), static_cast<DWORD>(width));
    EXPECT_EQ(ValueOf(HKEY_CURRENT_USER, kMain, "Height").Dword(), static_cast<DWORD>(height));
    EXPECT_EQ(r.left, (work.right - work.left - width) / 2);

    ASSERT_TRUE(SendAndWait(FindDescendant(main, "Button", "Exit program"), BM_CLICK, 0, 0));
    ASSERT_TRUE(child.WaitForExit(kExitMs));
    // Not the first run any more: no question.
    TProgram again;
    ASSERT_TRUE(again.Main);
    for (HWND w : TopLevelWindowsOf(again.Child.Pid()))
        EXPECT_NE(ClassOf(w), "#32770") << "a question at a later start: " << TextOf(w);
    again.Exit();
}

TEST(Restart, OptionsWindowPlaceAndListColumnsAreAsTheyWere) {
    zvtest::ResetProgramSettings();
    zvtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, kListParent);
    {
        TProgram p;
        ASSERT_TRUE(p.Main);
        HWND alternate = p.Control("Button", kCmodmove);
        HWND startUp = p.Control("Button", kStartUp);
        ASSERT_TRUE(alternate && startUp);
        EXPECT_FALSE(Checked(alternate));
        SendAndWait(alternate, BM_CLICK, 0, 0);
        ASSERT_TRUE(Checked(alternate));
        ::SetWindowPos(p.Main, nullptr, 120, 70, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        p.Exit();
    }
    // Seven widths, hidden columns included, and the unsorted list's sort settings (the
    // registry lists values by name).
    const auto list = ValuesOf(HKEY_LOCAL_MACHINE, kList);
    const std::string listDump = DumpRegistryKey(HKEY_LOCAL_MACHINE, kList);
    std::set<std::string> names;
    for (auto& [n, v] : list) {
        names.insert(n);
        EXPECT_EQ(v.Type, static_cast<DWORD>(REG_DWORD)) << n;
    }
    EXPECT_EQ(names, (std::set<std::string>{"Column_0_Width", "Column_1_Width", "Column_2_Width",
                                            "Column_3_Width", "Column_4_Width", "Column_5_Width",
                                            "Column_6_Width", "Sort_Column", "Sort_Ascendent"}));
    EXPECT_EQ(ValueOf(HKEY_LOCAL_MACHINE, kList, "Column_0_Width").Dword(), 450u);
    EXPECT_EQ(ValueOf(HKEY_LOCAL_MACHINE, kList, "Column_6_Width").Dword(), 100u);
    EXPECT_EQ(ValueOf(HKEY_LOCAL_MACHINE, kList, "Sort_Column").Dword(), 0xFFFFFFFFu);
    EXPECT_EQ(ValueOf(HKEY_LOCAL_MACHINE, kList, "Sort_Ascendent").Dword(), 0u);

    TProgram p;
    ASSERT_TRUE(p.Main);
    EXPECT_TRUE(Checked(p.Control("Button", kCmodmove)));
    EXPECT_EQ(Checked(p.Control("Button", kStartUp)), true);
    EXPECT_EQ(p.Bounds().left, 120);
    EXPECT_EQ(p.Bounds().top, 70);
    p.Exit();
    // Read back and written again unchanged.
    EXPECT_EQ(DumpRegistryKey(HKEY_LOCAL_MACHINE, kList), listDump);
}

TEST(Restart, AWindowPlaceLargerThanTheScreenOpensWhollyOnIt) {
    zvtest::ResetProgramSettings();
    HKEY raw = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kMain, 0, nullptr, 0, KEY_WRITE, nullptr, &raw,
                                nullptr),
              ERROR_SUCCESS);
    ScopedKey main(raw);
    for (auto [name, value] : {std::pair{"Left", -5000},
                               {"Top", 0},
                               {"Width", 100000},
                               {"Height", 100000},
                               {"WindowState", 0}}) {
        const DWORD d = static_cast<DWORD>(value);
        ::RegSetValueExA(raw, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&d), sizeof d);
    }
    main.reset();
    TProgram p;
    ASSERT_TRUE(p.Main);
    const RECT r = p.Bounds(), work = WorkArea();
    EXPECT_GE(r.left, work.left);
    EXPECT_GE(r.top, work.top);
    EXPECT_LE(r.right, work.right);
    EXPECT_LE(r.bottom, work.bottom);
    // Its buttons are in reach, and the place Exit writes back opens on the screen as well.
    RECT exit{};
    ::GetWindowRect(p.Control("Button", "Exit program"), &exit);
    EXPECT_LE(exit.bottom, work.bottom);
    EXPECT_LE(exit.right, work.right);
    p.Exit();
    EXPECT_LE(static_cast<LONG>(ValueOf(HKEY_CURRENT_USER, kMain, "Width").Dword()),
              work.right - work.left);
    EXPECT_GE(static_cast<LONG>(ValueOf(HKEY_CURRENT_USER, kMain, "Left").Dword()), work.left);
}

TEST(SecondStart, EndsSilentlyWithExitCodeZeroAndChangesNothingOfTheFirst) {
    zvtest::ResetProgramSettings();
    TProgram first;
    ASSERT_TRUE(first.Main);
    const RECT bounds = first.Bounds();
    const std::string settings = DumpRegistryKey(HKEY_CURRENT_USER, kKey);
    const std::string list = DumpRegistryKey(HKEY_LOCAL_MACHINE, kList);
    {
        zvtest::ChildProcess second(Exe(), "");
        ASSERT_TRUE(second.WaitForExit(kExitMs)) << "the second start keeps running";
        EXPECT_EQ(second.ExitCode(), 0u);
    }
    EXPECT_EQ(DumpRegistryKey(HKEY_CURRENT_USER, kKey), settings);
    EXPECT_EQ(DumpRegistryKey(HKEY_LOCAL_MACHINE, kList), list);
    EXPECT_TRUE(SendAndWait(first.Main, WM_NULL, 0, 0));
    const RECT now = first.Bounds();
    EXPECT_TRUE(::EqualRect(&bounds, &now));
    // The first instance holds the mutex to the end; then a new start runs.
    first.Exit();
    TProgram after;
    ASSERT_TRUE(after.Main);
    EXPECT_TRUE(NothingHappensWithin(after.Child, after.Main, 1000,
                                     [&] { return !after.Child.Running(); }));
    after.Exit();
}

TEST(SecondStart, OfTwoStartedTogetherExactlyOneRuns) {
    zvtest::ResetProgramSettings();
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        zvtest::ChildProcess a(Exe(), "");
        zvtest::ChildProcess b(Exe(), "");
        // One of them ends by itself; the other keeps running.
        HANDLE both[] = {a.Handle(), b.Handle()};
        const DWORD first = ::WaitForMultipleObjects(2, both, FALSE, kExitMs);
        ASSERT_LT(first, WAIT_OBJECT_0 + 2) << "both keep running";
        zvtest::ChildProcess& ended = first == WAIT_OBJECT_0 ? a : b;
        zvtest::ChildProcess& running = first == WAIT_OBJECT_0 ? b : a;
        EXPECT_EQ(ended.ExitCode(), 0u);
        EXPECT_FALSE(running.WaitForExit(1500)) << "both ended";
        running.Kill();
    }
}

TEST(SecondStart, ACopyUnderAnotherFileNameRunsBesideTheFirst) {
    zvtest::ResetProgramSettings();
    const std::string copy = Exe("ZorvaneCopy.exe");
    ASSERT_TRUE(::CopyFileA(Exe().c_str(), copy.c_str(), FALSE));
    {
        TProgram first;
        ASSERT_TRUE(first.Main);
        TProgram second(copy);
        ASSERT_TRUE(second.Main);
        EXPECT_TRUE(NothingHappensWithin(second.Child, second.Main, 1500,
                                         [&] { return !second.Child.Running(); }));
        EXPECT_TRUE(first.Child.Running());
        second.Child.Kill();
        first.Child.Kill();
    }
    ::DeleteFileA(copy.c_str());
}

// Without the right to create the list's key the program still ends normally, and nothing
// is saved. A volatile parent key refuses every lasting key below it, as a key without
// rights would.
TEST(ListColumns, WithoutRightsToTheKeyTheProgramExitsNormallyAndSavesNothing) {
    zvtest::ResetProgramSettings();
    zvtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, kListParent);
    HKEY raw = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kListParent, 0, nullptr, REG_OPTION_VOLATILE,
                                KEY_ALL_ACCESS, nullptr, &raw, nullptr),
              ERROR_SUCCESS);
    ScopedKey parent(raw);
    {
        TProgram p;
        ASSERT_TRUE(p.Main);
        p.Exit();
    }
    HKEY sub = nullptr;
    EXPECT_NE(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kList, 0, KEY_READ, &sub), ERROR_SUCCESS);
    if (sub)
        ::RegCloseKey(sub);
    parent.reset();
    zvtest::DeleteRegistryTree(HKEY_LOCAL_MACHINE, kListParent);
}
