// The stand-in shell's notification area with the real Shell_NotifyIconA of this process,
// and its restart.
#include "tests/support/TestSupport.h"

#include "standin/LetterIcon.h"
#include "toolkit/ScopedWin.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <memory>

using zvtest::SampleApp;
using zvtest::StandinShell;

namespace {

constexpr UINT kCallback = WM_APP + 7;

// A top-level hidden window of this thread (top-level, so that broadcasts reach it).
ScopedWindow MakeOwner() {
    return ScopedWindow(::CreateWindowExA(0, "STATIC", "tray owner", WS_POPUP, 0, 0, 0, 0, nullptr,
                                          nullptr, nullptr, nullptr));
}

BOOL Notify(DWORD message, HWND owner, UINT uid, const char* tip, HICON icon) {
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof data;
    data.hWnd = owner;
    data.uID = uid;
    data.uFlags = NIF_MESSAGE | (icon ? NIF_ICON : 0) | (tip ? NIF_TIP : 0);
    data.uCallbackMessage = kCallback;
    data.hIcon = icon;
    if (tip)
        lstrcpynA(data.szTip, tip, sizeof data.szTip);
    return ::Shell_NotifyIconA(message, &data);
}

} // namespace

class StandinTray : public ::testing::Test {
protected:
    static void SetUpTestSuite() { shell = std::make_unique<StandinShell>(); }
    static void TearDownTestSuite() { shell.reset(); }
    static std::unique_ptr<StandinShell> shell;
};
std::unique_ptr<StandinShell> StandinTray::shell;

TEST_F(StandinTray, TakesAddModifyAndDeleteFromShellNotifyIcon) {
    ScopedWindow owner = MakeOwner();
    ScopedIcon icon(standin::MakeLetterIcon(16, RGB(200, 0, 0), 'Z'));
    ASSERT_TRUE(Notify(NIM_ADD, owner.get(), 1, "Zorvane", icon.get()));
    EXPECT_FALSE(Notify(NIM_ADD, owner.get(), 1, "twice", icon.get()));
    auto tray = shell->Tray();
    ASSERT_EQ(tray.size(), 1u);
    EXPECT_EQ(tray[0].hwnd, owner.get());
    EXPECT_EQ(tray[0].uid, 1u);
    EXPECT_EQ(tray[0].callbackMessage, kCallback);
    EXPECT_EQ(tray[0].tip, "Zorvane");
    EXPECT_EQ(tray[0].iconWidth, 16);
    EXPECT_EQ(tray[0].iconHeight, 16);

    // A modify without NIF_ICON keeps the icon and changes the tip.
    ASSERT_TRUE(Notify(NIM_MODIFY, owner.get(), 1, "Line one\nline two", nullptr));
    tray = shell->Tray();
    ASSERT_EQ(tray.size(), 1u);
    EXPECT_EQ(tray[0].tip, "Line one\nline two");
    EXPECT_EQ(tray[0].iconWidth, 16);
    EXPECT_FALSE(Notify(NIM_MODIFY, owner.get(), 2, "unknown", nullptr));

    ASSERT_TRUE(Notify(NIM_DELETE, owner.get(), 1, nullptr, nullptr));
    EXPECT_FALSE(Notify(NIM_DELETE, owner.get(), 1, nullptr, nullptr));
    EXPECT_TRUE(shell->Tray().empty());
}

TEST_F(StandinTray, MouseOnAnIconSendsTheOwnersCallback) {
    ScopedWindow owner = MakeOwner();
    ScopedIcon icon(standin::MakeLetterIcon(16, RGB(0, 0, 200), 'Q'));
    ASSERT_TRUE(Notify(NIM_ADD, owner.get(), 5, "clicks", icon.get()));
    shell->Sync(); // the tests before deleted their icons: ours is the first
    ASSERT_EQ(shell->Tray().size(), 1u);

    shell->TrayClick(owner.get(), 5, WM_LBUTTONDBLCLK);
    MSG msg = {};
    ASSERT_TRUE(zvtest::WaitForMessage(owner.get(), kCallback, &msg));
    EXPECT_EQ(msg.wParam, 5u);
    EXPECT_EQ(msg.lParam, LPARAM(WM_LBUTTONDBLCLK));

    // A real button press on the first icon of the notification area.
    HWND notify = ::FindWindowExA(StandinShell::TrayWnd(), nullptr, "TrayNotifyWnd", nullptr);
    ASSERT_TRUE(notify);
    RECT client = {};
    ::GetClientRect(notify, &client);
    ::SendMessageA(notify, WM_RBUTTONDOWN, 0, MAKELPARAM(12, client.bottom / 2));
    ASSERT_TRUE(zvtest::WaitForMessage(owner.get(), kCallback, &msg));
    EXPECT_EQ(msg.wParam, 5u);
    EXPECT_EQ(msg.lParam, LPARAM(WM_RBUTTONDOWN));

    EXPECT_FALSE(shell->TryCommand("trayclick 0x1 5 0x201").ok);
    ASSERT_TRUE(Notify(NIM_DELETE, owner.get(), 5, nullptr, nullptr));
}

TEST_F(StandinTray, IconsOfAWindowThatIsGoneStayUntilTheyAreDeleted) {
    ScopedWindow owner = MakeOwner();
    ScopedIcon icon(standin::MakeLetterIcon(16, RGB(0, 120, 0), 'G'));
    ASSERT_TRUE(Notify(NIM_ADD, owner.get(), 1, "short-lived", icon.get()));
    ASSERT_EQ(shell->Tray().size(), 1u);
    const HWND gone = owner.get();
    owner.reset();
    shell->Sync();
    ASSERT_EQ(shell->Tray().size(), 1u);
    EXPECT_EQ(shell->Tray()[0].tip, "short-lived");
    ASSERT_TRUE(Notify(NIM_DELETE, gone, 1, nullptr, nullptr));
    EXPECT_TRUE(shell->Tray().empty());
}

TEST_F(StandinTray, RestartBuildsANewTaskbarAndBroadcastsTaskbarCreated) {
    const UINT taskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
    ScopedWindow owner = MakeOwner();
    ScopedIcon icon(standin::MakeLetterIcon(16, RGB(0, 0, 0), 'R'));
    ASSERT_TRUE(Notify(NIM_ADD, owner.get(), 1, "lost on restart", icon.get()));
    SampleApp app("Restarted", {"R1", "R2"}, "--tray \"sample tray\"");
    shell->Sync();
    HWND oldToolbar = StandinShell::Toolbar();
    // Drop broadcasts of earlier starts still queued.
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, taskbarCreated, taskbarCreated, PM_REMOVE)) {
    }

    shell->Restart();
    EXPECT_TRUE(zvtest::WaitForMessage(owner.get(), taskbarCreated, &msg));
    HWND newToolbar = StandinShell::Toolbar();
    EXPECT_TRUE(newToolbar);
    EXPECT_NE(newToolbar, oldToolbar);
    // The windows have their buttons again; the tray holds only the icons added back: the
    // sample application re-adds its icon on "TaskbarCreated", this test did not.
    auto buttons = shell->SyncAndDump();
    ASSERT_EQ(buttons.size(), 3u);
    EXPECT_EQ(buttons[1].hwnd, app.Window(0));
    EXPECT_EQ(buttons[2].hwnd, app.Window(1));
    app.List(); // a command answered after the broadcast was handled
    auto tray = shell->Tray();
    ASSERT_EQ(tray.size(), 1u);
    EXPECT_EQ(tray[0].hwnd, app.ControlWindow());
    EXPECT_EQ(tray[0].tip, "sample tray");
    // The sample application's icon answers clicks as before.
    shell->TrayClick(tray[0].hwnd, tray[0].uid, WM_LBUTTONUP);
    auto log = app.TrayLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "uid=1 msg=0x202");
}
