// The tray icon component against the stand-in shell's notification area: the icon and its
// tip as the shell takes them, mouse messages as the shell sends them, the menu at the
// pointer, and the icon coming back when the shell restarts.
#include "components/TrayIcon_win.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"
#include "toolkit/Forms.h"
#include "toolkit/ImgList.h"
#include "toolkit/Menus.h"

using zvtest::StandinShell;

namespace {
TBitmap16 Plain(uint32_t Color) {
    TBitmap16 b;
    b.Pixels.fill(Color);
    return b;
}

class TTrayForm : public TForm {
public:
    explicit TTrayForm(TComponent* Owner)
        : TForm(Owner, {.ClassName = "TTrayTestForm",
                        .Caption = "tray test",
                        .ClientWidth = 200,
                        .ClientHeight = 100}) {
        Images = Create<TImageList>("Images");
        Images->Add(Plain(0x00C00000));
        Images->Add(Plain(0x000000C0));
        Menu = Create<TPopupMenu>(
            TPopupMenuParams{.Name = "Menu", .Alignment = TPopupAlignment::Right});
        Menu->Add({.Caption = "First", .Images = Images, .ImageIndex = 0});
        Tray = Create<TTrayIcon>("Tray");
        Tray->SetIconList(Images);
        Tray->SetHint("tray test");
        auto log = [this](const char* Word) {
            return [this, Word](TObject*) { Events.push_back(Word); };
        };
        Tray->OnClick = log("click");
        Tray->OnDblClick = log("dblclick");
        Tray->OnMouseDown = [this](TObject*, TMouseButton B, TShiftState, int, int) {
            Events.push_back(B == TMouseButton::Right ? "down right" : "down left");
        };
    }
    TImageList* Images;
    TPopupMenu* Menu;
    TTrayIcon* Tray;
    std::vector<std::string> Events;
};

// Our icon as the shell holds it; null when it has none.
std::unique_ptr<zvtest::TrayIconRecord> ShellIcon(StandinShell& Shell, HWND Wnd) {
    for (const zvtest::TrayIconRecord& r : Shell.Tray())
        if (r.hwnd == Wnd)
            return std::make_unique<zvtest::TrayIconRecord>(r);
    return nullptr;
}

// Handles this thread's messages until the click timer of the icon's window ticks, then
// delivers that tick: by then the timer has told a single click from a double click.
void LetTheClickTimerRunOut(HWND TrayWnd) {
    MSG msg{};
    ASSERT_TRUE(zvtest::WaitForMessage(TrayWnd, WM_TIMER, &msg, 5000));
    ::DispatchMessageA(&msg);
}

// Handles this thread's messages until the shell's callback to Wnd arrives, and delivers it.
void DeliverCallback(HWND Wnd) {
    MSG msg{};
    ASSERT_TRUE(zvtest::WaitForMessage(Wnd, kTrayCallbackMessage, &msg));
    ::DispatchMessageA(&msg);
}

// The open menu's window, seen from a timer while the menu runs; the timer then closes it.
RECT g_MenuRect{};
bool g_MenuSeen = false;
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR Id, DWORD) {
    if (HWND menu = ::FindWindowA("#32768", nullptr); menu && ::IsWindowVisible(menu)) {
        g_MenuSeen = true;
        ::GetWindowRect(menu, &g_MenuRect);
    }
    ::KillTimer(nullptr, Id);
    ::EndMenu();
}
} // namespace

class TrayIcon : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Shell = std::make_unique<StandinShell>(); }
    static void TearDownTestSuite() { Shell.reset(); }

    void SetUp() override {
        App.CreateForm(Form);
        Wnd = Form->Tray->Handle();
    }

    static std::unique_ptr<StandinShell> Shell;
    TApplication App;
    TTrayForm* Form = nullptr;
    HWND Wnd = nullptr;
};
std::unique_ptr<StandinShell> TrayIcon::Shell;

TEST_F(TrayIcon, IsAddedWithItsTipAndRemovedAgain) {
    auto icon = ShellIcon(*Shell, Wnd);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->uid, kTrayIconId);
    EXPECT_EQ(icon->callbackMessage, kTrayCallbackMessage);
    EXPECT_EQ(icon->tip, "tray test");
    EXPECT_EQ(icon->iconWidth, 16);
    EXPECT_EQ(Form->Tray->IconData().cbSize, kTrayIconDataSize);

    // A long hint is cut to 127 characters; an index beyond the list shows the last image.
    Form->Tray->SetHint(std::string(100, 'a') + std::string(100, 'b'));
    EXPECT_EQ(ShellIcon(*Shell, Wnd)->tip, std::string(100, 'a') + std::string(27, 'b'));
    Form->Tray->SetIconIndex(5);
    EXPECT_EQ(Form->Tray->IconIndex(), 1);

    EXPECT_TRUE(Form->Tray->HideIcon());
    EXPECT_FALSE(ShellIcon(*Shell, Wnd));
    EXPECT_FALSE(Form->Tray->HideIcon()); // a second delete fails, silently
    EXPECT_FALSE(Form->Tray->IconVisible());
}

TEST_F(TrayIcon, TellsADoubleClickFromASingleClick) {
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
        Shell->TrayClick(Wnd, kTrayIconId, m);
        DeliverCallback(Wnd);
    }
    LetTheClickTimerRunOut(Wnd);
    EXPECT_EQ(Form->Events, (std::vector<std::string>{"down left", "dblclick"}));

    Form->Events.clear();
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP}) {
        Shell->TrayClick(Wnd, kTrayIconId, m);
        DeliverCallback(Wnd);
    }
    EXPECT_EQ(Form->Events, (std::vector<std::string>{"down left"}));
    LetTheClickTimerRunOut(Wnd);
    EXPECT_EQ(Form->Events, (std::vector<std::string>{"down left", "click"}));
    EXPECT_EQ(Form->Tray->ClickInterval(), ::GetDoubleClickTime());
}

TEST_F(TrayIcon, ARightPressOpensTheMenuAtThePointerOnceAMenuIsAttached) {
    POINT at{600, 300};
    ::SetCursorPos(at.x, at.y);
    ::GetCursorPos(&at);

    // No menu yet: the press is reported and nothing opens (this would not return).
    Shell->TrayClick(Wnd, kTrayIconId, WM_RBUTTONDOWN);
    DeliverCallback(Wnd);
    EXPECT_EQ(Form->Events, (std::vector<std::string>{"down right"}));
    EXPECT_EQ(Form->Menu->PopupComponent, nullptr);

    Form->Tray->PopupMenu = Form->Menu;
    g_MenuSeen = false;
    ::SetTimer(nullptr, 0, 200, &CloseMenu);
    Shell->TrayClick(Wnd, kTrayIconId, WM_RBUTTONDOWN);
    DeliverCallback(Wnd); // returns when the timer has closed the menu
    ASSERT_TRUE(g_MenuSeen);
    EXPECT_EQ(Form->Menu->PopupComponent, Form->Tray);
    // Right-aligned at the pointer.
    EXPECT_NEAR(g_MenuRect.right, at.x, 2);
    EXPECT_NEAR(g_MenuRect.top, at.y, 2);
}

TEST_F(TrayIcon, ComesBackWhenTheShellRestarts) {
    Form->Tray->SetHint("back again");
    const UINT taskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
    Shell->Restart();
    MSG msg{};
    ASSERT_TRUE(zvtest::WaitForMessage(App.Handle(), taskbarCreated, &msg));
    ::DispatchMessageA(&msg);
    auto icon = ShellIcon(*Shell, Wnd);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->tip, "back again");
    EXPECT_EQ(icon->iconWidth, 16);

    // An icon that was taken away stays away.
    Form->Tray->SetIconVisible(false);
    Shell->Restart();
    ASSERT_TRUE(zvtest::WaitForMessage(App.Handle(), taskbarCreated, &msg));
    ::DispatchMessageA(&msg);
    EXPECT_FALSE(ShellIcon(*Shell, Wnd));
}
