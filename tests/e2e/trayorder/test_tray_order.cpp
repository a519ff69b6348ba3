// The real Zorvane.exe and the stand-in's notification area (a real toolbar): a tray icon
// dragged with the mouse (SendInput) lands where it is dropped, with a line marking the place
// meanwhile; a click on it still reaches its own program; its place comes back when its program
// starts again and when the shell does.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "standin/MouseInput.h"
#include "taskbar/trayicons_win.h"
#include "tests/e2e/startup/ProgramUnderTest.h"

namespace {

constexpr DWORD kStartMs = 30000;
constexpr DWORD kWaitMs = 10000;
const std::vector<std::string> kNames = {"Alpha", "Bravo", "Charlie"};

class TrayOrder : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        for (const std::string& n : kNames)
            zvtest::CopySampleApp(ExeOf(n));
    }

    void SetUp() override {
        zvtest::ResetProgramSettings();
        Shell = std::make_unique<zvtest::StandinShell>();
        for (const std::string& n : kNames)
            Apps.push_back(StartApp(n));
        Shell->Sync();
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

    static std::string ExeOf(std::string Name) {
        for (char& c : Name)
            c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
        return "zvtray" + Name + ".exe";
    }
    static std::unique_ptr<zvtest::SampleApp> StartApp(const std::string& Name) {
        return std::make_unique<zvtest::SampleApp>(Name, std::vector<std::string>{Name},
                                                   "--tray " + Name, ExeOf(Name));
    }

    // The sample programs' icons in the tray's order (Zorvane's own left out).
    std::vector<std::string> TrayOrderNow() {
        Shell->Sync();
        std::vector<std::string> order;
        for (const TTrayButton& b : ReadTrayButtons(FindTrayToolbar()))
            for (std::size_t i = 0; i < Apps.size(); ++i)
                if (Apps[i] && ToHwnd(b.Wnd) == Apps[i]->ControlWindow())
                    order.push_back(kNames[i]);
        return order;
    }
    bool TrayBecomes(const std::vector<std::string>& Order) {
        return RoundTripUntil(Main, kWaitMs, [&] { return TrayOrderNow() == Order; });
    }
    static HWND ToHwnd(TWndHandle W) { return reinterpret_cast<HWND>(W); }

    // The screen point at the middle of a sample program's icon, shifted by Dx.
    POINT IconPoint(const std::string& Name, int Dx = 0) {
        const HWND toolbar = FindTrayToolbar();
        const std::size_t app =
            std::size_t(std::find(kNames.begin(), kNames.end(), Name) - kNames.begin());
        for (const TTrayButton& b : ReadTrayButtons(toolbar))
            if (ToHwnd(b.Wnd) == Apps[app]->ControlWindow()) {
                POINT p{(b.Rect.Left + b.Rect.Right) / 2 + Dx, (b.Rect.Top + b.Rect.Bottom) / 2};
                ::ClientToScreen(toolbar, &p);
                return p;
            }
        ADD_FAILURE() << "no icon of " << Name;
        return {};
    }

    void Settle() { SendAndWait(Main, WM_NULL, 0, 0); }

    // The insertion line: a small visible window of Zorvane's.
    bool MarkShows() {
        for (HWND w : TopLevelWindowsOf(Program->Pid())) {
            RECT r{};
            ::GetWindowRect(w, &r);
            if (::IsWindowVisible(w) && r.right - r.left == 2)
                return true;
        }
        return false;
    }

    std::unique_ptr<zvtest::StandinShell> Shell;
    std::vector<std::unique_ptr<zvtest::SampleApp>> Apps;
    std::unique_ptr<zvtest::ChildProcess> Program;
    HWND Main = nullptr;
};

TEST_F(TrayOrder, ADraggedIconLandsWhereDroppedAndKeepsItsPlaceAndItsClicks) {
    ASSERT_EQ(TrayOrderNow(), kNames);
    // Alpha's icon onto the trailing half of Charlie's.
    const POINT from = IconPoint("Alpha"), to = IconPoint("Charlie", 5);
    standin::MoveMouseTo(from);
    standin::PressButton(MOUSEEVENTF_LEFTDOWN);
    Settle();
    for (int i = 1; i <= 4; ++i) {
        standin::MoveMouseTo({from.x + (to.x - from.x) * i / 4, from.y});
        Settle();
    }
    EXPECT_TRUE(RoundTripUntil(Main, kWaitMs, [&] { return MarkShows(); }));
    standin::PressButton(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(TrayBecomes({"Bravo", "Charlie", "Alpha"}));
    EXPECT_TRUE(RoundTripUntil(Main, kWaitMs, [&] { return !MarkShows(); }));

    // A click on the moved icon reaches Alpha, and only Alpha.
    const std::size_t alphaBefore = Apps[0]->TrayLog().size();
    const std::size_t bravoBefore = Apps[1]->TrayLog().size();
    const std::size_t charlieBefore = Apps[2]->TrayLog().size();
    standin::ClickAt(IconPoint("Alpha"));
    Shell->Sync();
    EXPECT_TRUE(RoundTripUntil(Apps[0]->ControlWindow(), kWaitMs, [&] {
        const std::vector<std::string> log = Apps[0]->TrayLog();
        return log.size() > alphaBefore && log.back() == "uid=1 msg=0x202";
    }));
    EXPECT_EQ(Apps[1]->TrayLog().size(), bravoBefore);
    EXPECT_EQ(Apps[2]->TrayLog().size(), charlieBefore);

    // Bravo starts again: the shell puts its icon last, Zorvane back in its place...
    Apps[1].reset();
    Shell->Sync();
    Apps[1] = StartApp("Bravo");
    EXPECT_TRUE(TrayBecomes({"Bravo", "Charlie", "Alpha"}));

    // ...and so do they all when the shell starts again (the programs add their icons anew).
    Shell->Restart();
    EXPECT_TRUE(TrayBecomes({"Bravo", "Charlie", "Alpha"}));
}

TEST_F(TrayOrder, WithTheLastingOrderOffNothingMovesByItself) {
    // The option of the taskbar's order switches the tray's off too.
    HKEY key = nullptr;
    ::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Kestrelan\\Zorvane\\Lasting", 0, nullptr, 0,
                      KEY_WRITE, nullptr, &key, nullptr);
    const DWORD off = 0;
    ::RegSetValueExA(key, "KeepOrder", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off),
                     sizeof off);
    const char order[] = "zvtraycharlie.exe#1|zvtraybravo.exe#1|zvtrayalpha.exe#1";
    ::RegSetValueExA(key, "TrayOrder", 0, REG_SZ, reinterpret_cast<const BYTE*>(order),
                     sizeof order);
    ::RegCloseKey(key);
    Program->Kill();
    Program = std::make_unique<zvtest::ChildProcess>(zvtest::ProgramFolder() + "Zorvane.exe", "");
    Main = WaitForTopLevelWindow(*Program, "TfTaskBarMain", nullptr, kStartMs);
    ASSERT_TRUE(Main);
    EXPECT_FALSE(RoundTripUntil(Main, 3000, [&] { return TrayOrderNow() != kNames; }));
}

} // namespace
