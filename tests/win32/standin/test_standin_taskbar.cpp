// The stand-in shell's taskbar as other programs see it: the window tree, the buttons it
// gives to application windows, XP's grouping, scripted toolbars and the faults on request.
#include "tests/support/TestSupport.h"

#include "toolkit/ScopedWin.h"

#include <gtest/gtest.h>

#include <memory>

using zvtest::ButtonRecord;
using zvtest::SampleApp;
using zvtest::ScriptedButton;
using zvtest::StandinShell;

namespace {

// The toolbar as a compact picture: "H" a hidden header, "h:<text>" a shown one, "<title>"
// a window's button ("-<title>" when hidden); "*" marks a checked button.
std::string Shape(const std::vector<ButtonRecord>& buttons) {
    std::string out;
    for (const auto& b : buttons) {
        if (!out.empty())
            out += ' ';
        if (b.Header())
            out += b.Hidden() ? "H" : "h:" + b.text;
        else
            out += (b.Hidden() ? "-" : "") + b.text;
        if (b.Checked())
            out += '*';
    }
    return out;
}

// Strips the checked marks, for tests that do not care which window is active.
std::string Unchecked(std::string shape) {
    shape.erase(std::remove(shape.begin(), shape.end(), '*'), shape.end());
    return shape;
}

// Reads one button of the shell's toolbar from outside, as the program does.
class RemoteToolbar {
public:
    RemoteToolbar() : toolbar_(StandinShell::Toolbar()) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(toolbar_, &pid);
        process_.reset(
            ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
        if (process_)
            remote_ = ::VirtualAllocEx(process_.get(), nullptr, 4096, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteToolbar() {
        if (remote_)
            ::VirtualFreeEx(process_.get(), remote_, 0, MEM_RELEASE);
    }
    bool Ready() const { return toolbar_ && remote_; }
    LRESULT Send(UINT msg, WPARAM wParam, bool withBuffer) {
        return ::SendMessageA(toolbar_, msg, wParam,
                              withBuffer ? reinterpret_cast<LPARAM>(remote_) : 0);
    }
    bool Button(int index, TBBUTTON& out) {
        if (!Send(TB_GETBUTTON, WPARAM(index), true))
            return false;
        return ::ReadProcessMemory(process_.get(), remote_, &out, sizeof out, nullptr) != FALSE;
    }
    // The first four bytes of a button's dwData block.
    std::uint32_t BlockHandle(const TBBUTTON& b) {
        std::uint32_t value = 0;
        if (!::ReadProcessMemory(process_.get(), reinterpret_cast<const void*>(b.dwData), &value,
                                 sizeof value, nullptr))
            return 0xFFFFFFFF;
        return value;
    }
    std::string Text(int id, LRESULT* length) {
        *length = Send(TB_GETBUTTONTEXTA, WPARAM(id), false);
        if (*length < 0 || *length >= 4000)
            return {};
        Send(TB_GETBUTTONTEXTA, WPARAM(id), true);
        char text[4096] = {};
        ::ReadProcessMemory(process_.get(), remote_, text, std::size_t(*length) + 1, nullptr);
        return text;
    }
    HWND Hwnd() const { return toolbar_; }

private:
    HWND toolbar_;
    ScopedKernelHandle process_;
    void* remote_ = nullptr;
};

std::uint32_t Handle32(HWND wnd) {
    return std::uint32_t(reinterpret_cast<std::uintptr_t>(wnd));
}

} // namespace

class StandinTaskbar : public ::testing::Test {
protected:
    static void SetUpTestSuite() { shell = std::make_unique<StandinShell>(); }
    static void TearDownTestSuite() { shell.reset(); }
    void TearDown() override {
        // Every test leaves the shell as it found it.
        shell->Unscript();
        shell->SetGrouping(true);
        shell->SetEdge("bottom");
        shell->CountFlap(false);
        shell->TextFail(0);
        // The test's sample applications have ended: their buttons go before the next test.
        shell->Sync();
    }
    static std::unique_ptr<StandinShell> shell;
};
std::unique_ptr<StandinShell> StandinTaskbar::shell;

TEST_F(StandinTaskbar, HasTheWindowTreeOfTheXpTaskbar) {
    HWND tray = StandinShell::TrayWnd();
    ASSERT_TRUE(tray);
    LONG_PTR ex = ::GetWindowLongPtrA(tray, GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_TOPMOST);
    EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
    RECT r = {};
    ::GetWindowRect(tray, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.bottom, ::GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(r.bottom - r.top, 30);
    EXPECT_EQ(r.right, ::GetSystemMetrics(SM_CXSCREEN));

    HWND toolbar = StandinShell::Toolbar();
    ASSERT_TRUE(toolbar);
    char cls[64] = {};
    ::GetClassNameA(toolbar, cls, sizeof cls);
    EXPECT_STREQ(cls, "ToolbarWindow32");
    // A real comctl32 toolbar in list style.
    LONG_PTR style = ::GetWindowLongPtrA(toolbar, GWL_STYLE);
    EXPECT_TRUE(style & TBSTYLE_LIST);
    EXPECT_TRUE(style & TBSTYLE_FLAT);
    EXPECT_TRUE(::SendMessageA(toolbar, TB_GETIMAGELIST, 0, 0));
    EXPECT_TRUE(::FindWindowExA(tray, nullptr, "TrayNotifyWnd", nullptr));
    RECT bar = shell->ToolbarRect();
    ::GetWindowRect(toolbar, &r);
    EXPECT_EQ(r.left, bar.left);
    EXPECT_EQ(r.top, bar.top);
    EXPECT_GE(r.top, ::GetSystemMetrics(SM_CYSCREEN) - 30);
}

TEST_F(StandinTaskbar, GroupsTheWindowsOfOneApplicationBehindOneHeader) {
    SampleApp app("Grouped", {"One"});
    shell->Sync();
    EXPECT_EQ(Unchecked(Shape(shell->Dump())), "H One");
    app.Open("Two");
    EXPECT_EQ(Unchecked(Shape(shell->Dump())), "H One Two");
    app.Open("Three");
    auto buttons = shell->Dump();
    EXPECT_EQ(Unchecked(Shape(buttons)), "H One Two Three");
    ASSERT_EQ(buttons.size(), 4u);
    EXPECT_EQ(buttons[0].text, "3 Grouped");
    EXPECT_EQ(buttons[0].style, unsigned(BTNS_DROPDOWN));
    EXPECT_EQ(buttons[1].style & BTNS_DROPDOWN, 0u);
    EXPECT_EQ(buttons[1].hwnd, app.Window(0));
    EXPECT_EQ(buttons[3].hwnd, app.Window(2));
    // Every window button has an image of its own; the header shows the first window's.
    EXPECT_GE(buttons[1].image, 0);
    EXPECT_NE(buttons[1].image, buttons[2].image);
    EXPECT_EQ(buttons[0].image, buttons[1].image);

    shell->Collapse(app.Window(1));
    EXPECT_EQ(Unchecked(Shape(shell->Dump())), "h:3 Grouped -One -Two -Three");
    shell->Expand(app.Window(0));
    EXPECT_EQ(Unchecked(Shape(shell->Dump())), "H One Two Three");
    EXPECT_FALSE(shell->TryCommand("collapse 0x12345678").ok);
}

TEST_F(StandinTaskbar, WithGroupingOffEveryWindowHasAHeaderOfItsOwn) {
    SampleApp a("Alpha", {"A1", "A2"});
    SampleApp b("Beta", {"B1"});
    shell->Sync();
    EXPECT_EQ(Unchecked(Shape(shell->Dump())), "H A1 A2 H B1");
    shell->SetGrouping(false);
    EXPECT_EQ(Unchecked(Shape(shell->Dump())), "H A1 H A2 H B1");
    // A window shown now starts a group at the end even though its application has one.
    a.Open("A3");
    EXPECT_EQ(Unchecked(Shape(shell->Dump())), "H A1 H A2 H B1 H A3");
    shell->SetGrouping(true);
    EXPECT_EQ(Unchecked(Shape(shell->Dump())), "H A1 A2 A3 H B1");
}

TEST_F(StandinTaskbar, FollowsHideShowRetitleAndCloseInCallOrder) {
    SampleApp a("Apps", {"A1", "A2"});
    SampleApp b("Books", {"B1"});
    shell->Sync();
    ASSERT_EQ(Unchecked(Shape(shell->Dump())), "H A1 A2 H B1");
    // No sync below: the sample application tells the shell before ShowWindow returns.
    a.Hide(0);
    EXPECT_EQ(Unchecked(Shape(shell->Dump())), "H A2 H B1");
    a.Show(0); // back at the end of its application's group
    EXPECT_EQ(Unchecked(Shape(shell->Dump())), "H A2 A1 H B1");
    a.Hide(0);
    a.Hide(1); // the group goes with its last window...
    EXPECT_EQ(Unchecked(Shape(shell->Dump())), "H B1");
    a.Show(1); // ...and comes back as a new group at the end
    a.Show(0);
    EXPECT_EQ(Unchecked(Shape(shell->Dump())), "H B1 H A2 A1");
    a.SetTitle(1, "A2 renamed");
    EXPECT_EQ(Unchecked(Shape(shell->Dump())), "H B1 H A2 renamed A1");
    b.Close(0);
    EXPECT_EQ(Unchecked(Shape(shell->Dump())), "H A2 renamed A1");
}

// Started with --async, the shell learns of shown and hidden windows late, as a real shell
// does: in the order they came, once the delay has passed or at a sync.
TEST(LateShell, LearnsOfHidesAndShowsAfterTheFactInTheirOrder) {
    StandinShell::Options options;
    options.asyncDelayMs = 3000;
    StandinShell late(options);
    SampleApp a("Late", {"L1", "L2", "L3"});
    late.Sync();
    ASSERT_EQ(Unchecked(Shape(late.Dump())), "H L1 L2 L3");
    a.Hide(0);
    a.Hide(1);
    a.Show(1);
    a.Show(0);
    EXPECT_EQ(Unchecked(Shape(late.Dump())), "H L1 L2 L3"); // the polls leave them be
    late.Sync();
    EXPECT_EQ(Unchecked(Shape(late.Dump())), "H L3 L2 L1");
    a.Hide(2);
    EXPECT_EQ(Unchecked(Shape(late.Dump())), "H L3 L2 L1");
    const DWORD start = ::GetTickCount();
    while (Unchecked(Shape(late.Dump())) != "H L2 L1" && ::GetTickCount() - start < 15000)
        ::Sleep(50);
    EXPECT_EQ(Unchecked(Shape(late.Dump())), "H L2 L1");
}

TEST_F(StandinTaskbar, ChecksTheForegroundWindowsButton) {
    SampleApp a("Fore", {"F1", "F2"});
    shell->Foreground(a.Window(0));
    EXPECT_EQ(Shape(shell->Dump()), "H F1* F2");
    shell->Foreground(a.Window(1));
    EXPECT_EQ(Shape(shell->Dump()), "H F1 F2*");
    shell->Collapse(a.Window(0));
    EXPECT_EQ(Shape(shell->Dump()), "h:2 Fore* -F1 -F2*");
}

TEST_F(StandinTaskbar, ButtonDataBlocksStartWithTheWindowHandle) {
    SampleApp a("Blocks", {"K1", "K2"});
    shell->Sync();
    RemoteToolbar remote;
    ASSERT_TRUE(remote.Ready());
    ASSERT_EQ(remote.Send(TB_BUTTONCOUNT, 0, false), 3);
    TBBUTTON header = {}, first = {}, second = {};
    ASSERT_TRUE(remote.Button(0, header));
    ASSERT_TRUE(remote.Button(1, first));
    ASSERT_TRUE(remote.Button(2, second));
    EXPECT_EQ(remote.BlockHandle(header), 0u);
    EXPECT_EQ(remote.BlockHandle(first), Handle32(a.Window(0)));
    EXPECT_EQ(remote.BlockHandle(second), Handle32(a.Window(1)));
    EXPECT_NE(first.dwData, second.dwData);
    EXPECT_EQ(remote.Send(TB_COMMANDTOINDEX, WPARAM(second.idCommand), false), 2);
    LRESULT length = 0;
    EXPECT_EQ(remote.Text(second.idCommand, &length), "K2");
    EXPECT_EQ(length, 2);
}

TEST_F(StandinTaskbar, KeepsTitlesOfAnyLength) {
    SampleApp a("Long", {"short"});
    const std::string title(5000, 'T');
    a.SetTitle(0, title);
    auto buttons = shell->Dump();
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[1].text, title);
    RemoteToolbar remote;
    ASSERT_TRUE(remote.Ready());
    LRESULT length = 0;
    remote.Text(buttons[1].id, &length); // lParam 0: the length only
    EXPECT_EQ(length, 5000);
}

TEST_F(StandinTaskbar, FindsOtherProgramsWindowsByPolling) {
    // Windows of this test program: they do not tell the shell, `sync` finds them.
    ScopedWindow plain(::CreateWindowExA(0, "STATIC", "Polled window", WS_OVERLAPPEDWINDOW, 0, 0,
                                         200, 100, nullptr, nullptr, nullptr, nullptr));
    ScopedWindow tool(::CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "Tool window",
                                        WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                        nullptr, nullptr));
    ScopedWindow owned(::CreateWindowExA(0, "STATIC", "Owned window", WS_OVERLAPPEDWINDOW, 0, 0,
                                         200, 100, plain.get(), nullptr, nullptr, nullptr));
    ScopedWindow ownedApp(::CreateWindowExA(WS_EX_APPWINDOW, "STATIC", "Owned app window",
                                            WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, plain.get(),
                                            nullptr, nullptr, nullptr));
    for (HWND w : {plain.get(), tool.get(), owned.get(), ownedApp.get()})
        ::ShowWindow(w, SW_SHOWNA);
    auto buttons = shell->SyncAndDump();
    EXPECT_EQ(Unchecked(Shape(buttons)), "H Polled window Owned app window");
    ASSERT_EQ(buttons.size(), 3u);
    EXPECT_EQ(buttons[0].text, "2 wtest_standin");
    ::ShowWindow(plain.get(), SW_HIDE);
    EXPECT_EQ(Unchecked(Shape(shell->SyncAndDump())), "H Owned app window");
    ownedApp.reset();
    EXPECT_EQ(Shape(shell->SyncAndDump()), "");
}

TEST_F(StandinTaskbar, KeepsTheOrderAnotherProgramGaveTheToolbar) {
    SampleApp a("First", {"F1"});
    SampleApp b("Second", {"S1"});
    shell->Sync();
    ASSERT_EQ(Unchecked(Shape(shell->Dump())), "H F1 H S1");
    // Moving the second group in front of the first, as the program's direct method does.
    HWND toolbar = StandinShell::Toolbar();
    ::SendMessageA(toolbar, TB_MOVEBUTTON, 2, 0);
    ::SendMessageA(toolbar, TB_MOVEBUTTON, 3, 1);
    EXPECT_EQ(Unchecked(Shape(shell->SyncAndDump())), "H S1 H F1");
    // A new window joins its application's group where that group now stands.
    b.Open("S2");
    EXPECT_EQ(Unchecked(Shape(shell->Dump())), "H S1 S2 H F1");
}

TEST_F(StandinTaskbar, LaysOutScriptedToolbarsExactly) {
    SampleApp a("Scripted", {"Real"});
    HWND wnd = a.Window(0);
    ScriptedButton raw;
    raw.text = "raw data";
    raw.dwData = 0x10; // no readable block behind it
    raw.id = 77;
    shell->Script({ScriptedButton::Header("2 App", true, 1), ScriptedButton::Window("W1", wnd, 1),
                   ScriptedButton::Window("W2", wnd, 2, false, true), raw});
    auto buttons = shell->SyncAndDump(); // sync does not disturb a script
    EXPECT_EQ(Shape(buttons), "H W1 W2* raw data");
    ASSERT_EQ(buttons.size(), 4u);
    EXPECT_EQ(buttons[0].id, 1000);
    EXPECT_EQ(buttons[3].id, 77);
    EXPECT_EQ(buttons[2].image, 2);
    EXPECT_EQ(buttons[1].hwnd, wnd);

    RemoteToolbar remote;
    ASSERT_TRUE(remote.Ready());
    TBBUTTON b = {};
    ASSERT_TRUE(remote.Button(3, b));
    EXPECT_EQ(b.dwData, ULONG_PTR(0x10));
    ASSERT_TRUE(remote.Button(1, b));
    EXPECT_EQ(remote.BlockHandle(b), Handle32(wnd));
    EXPECT_EQ(b.iBitmap, 1);
    // The scripted image list has its eight images.
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(remote.Send(TB_GETIMAGELIST, 0, false));
    EXPECT_TRUE(images);

    shell->Unscript();
    EXPECT_EQ(Unchecked(Shape(shell->Dump())), "H Real");
}

TEST_F(StandinTaskbar, FaultsOnRequestCountAndText) {
    shell->Script({ScriptedButton::Window("a", nullptr), ScriptedButton::Window("b", nullptr)});
    HWND toolbar = StandinShell::Toolbar();
    shell->CountFlap(true);
    LRESULT c1 = ::SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0);
    LRESULT c2 = ::SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0);
    LRESULT c3 = ::SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0);
    EXPECT_NE(c1, c2);
    EXPECT_NE(c2, c3);
    shell->CountFlap(false);
    EXPECT_EQ(::SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0), 2);
    EXPECT_EQ(::SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0), 2);

    shell->TextFail(1001);
    EXPECT_EQ(::SendMessageA(toolbar, TB_GETBUTTONTEXTA, 1001, 0), -1);
    EXPECT_EQ(::SendMessageA(toolbar, TB_GETBUTTONTEXTA, 1000, 0), 1);
    // The dump still shows the text: it reads past the faults.
    EXPECT_EQ(shell->Dump()[1].text, "b");
}

TEST_F(StandinTaskbar, DocksAtEveryEdge) {
    SampleApp a("Edges", {"E1", "E2"});
    shell->Sync();
    const int W = ::GetSystemMetrics(SM_CXSCREEN), H = ::GetSystemMetrics(SM_CYSCREEN);
    struct Case {
        const char* edge;
        bool vertical;
    };
    for (const Case& c :
         {Case{"top", false}, Case{"left", true}, Case{"right", true}, Case{"bottom", false}}) {
        shell->SetEdge(c.edge);
        RECT bar = {};
        ::GetWindowRect(StandinShell::TrayWnd(), &bar);
        RECT tb = shell->ToolbarRect();
        EXPECT_TRUE(tb.left >= bar.left && tb.right <= bar.right && tb.top >= bar.top &&
                    tb.bottom <= bar.bottom)
            << c.edge;
        // The two window buttons stand side by side, or one above the other.
        HWND toolbar = StandinShell::Toolbar();
        RECT r1 = {}, r2 = {};
        ASSERT_TRUE(::SendMessageA(toolbar, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r1)));
        ASSERT_TRUE(::SendMessageA(toolbar, TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r2)));
        if (c.vertical) {
            EXPECT_GE(r2.top, r1.bottom) << c.edge;
            EXPECT_LT(bar.right - bar.left, 100) << c.edge;
            EXPECT_EQ(bar.bottom - bar.top, H) << c.edge;
        } else {
            EXPECT_GE(r2.left, r1.right) << c.edge;
            EXPECT_EQ(r1.top, r2.top) << c.edge;
            EXPECT_EQ(bar.right - bar.left, W) << c.edge;
        }
        // The hidden header takes no room.
        RECT header = {};
        EXPECT_FALSE(::SendMessageA(toolbar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&header)))
            << c.edge;
    }
}
