// The mouse hook under Wine: the loader's one shared library, the hook library's answers and
// its messages for real (injected) input, and the component that turns them into events.
#include "dragdrop/QLX_Hook_HookCommon.h"
#include "dragdrop/QLX_Hook_HookComp.h"
#include "dragdrop/QLX_Hook_HookLoader.h"
#include "standin/MouseInput.h"
#include "tests/support/TestSupport.h"
#include "toolkit/WinErrors.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

const char kHookName[] = "QLX_Hook_.dll";

std::string HookPath() {
    return zvtest::ProgramFolder() + kHookName;
}

bool HookLoaded() {
    return ::GetModuleHandleA(kHookName) != nullptr;
}

// A window for the library to post to; never shown.
ScopedWindow MessageWindow() {
    return ScopedWindow(
        ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
}

uint32_t Handle32(HWND w) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(w));
}

// The library's exports, called directly.
struct HookExports {
    explicit HookExports(HMODULE module)
        : Attach(reinterpret_cast<TAttachReceiverProc>(::GetProcAddress(module, "AttachReceiver"))),
          Detach(reinterpret_cast<TDetachReceiverProc>(::GetProcAddress(module, "DetachReceiver"))),
          LastError(reinterpret_cast<TLastErrorProc>(::GetProcAddress(module, "LastError"))) {}
    int32_t AttachMouse(HWND w) const { return Attach(HookKindMouse, Handle32(w), 0); }
    TAttachReceiverProc Attach;
    TDetachReceiverProc Detach;
    TLastErrorProc LastError;
};

// Handles the thread's messages until `done` holds or five seconds pass.
bool PumpUntil(const std::function<bool()>& done) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG m;
        while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&m);
            ::DispatchMessageA(&m);
        }
        if (done())
            return true;
        const DWORD spent = ::GetTickCount() - start;
        if (spent >= 5000)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5000 - spent, QS_ALLINPUT);
    }
}

POINT CursorPos() {
    POINT p{};
    ::GetCursorPos(&p);
    return p;
}

// The next move message the library posts to `w`, as the point it carries; (-1, -1) when
// none comes.
POINT NextMove(HWND w) {
    MSG m{};
    if (!zvtest::WaitForMessage(w, WM_USER, &m))
        return {-1, -1};
    return {static_cast<LONG>(m.wParam & 0xFFFF), static_cast<LONG>((m.wParam >> 16) & 0xFFFF)};
}

// Every test leaves the process without a hook library.
class MouseHook : public ::testing::Test {
protected:
    void TearDown() override {
        while (THookLibrary::Instance().Refs() > 0)
            UnloadHookLibrary();
        EXPECT_FALSE(HookLoaded());
    }
    static THookLibrary& Library() { return THookLibrary::Instance(); }
};

TEST_F(MouseHook, ComponentsShareTheFirstLoadedLibraryWhateverTheirFileNames) {
    TQLX_MouseHook a(nullptr, "HookA"), b(nullptr);
    a.SetHookDLL(HookPath());
    b.SetHookDLL(zvtest::ProgramFolder() + "no-such-hook.dll");
    EXPECT_EQ(a.Activate(), "");
    EXPECT_EQ(b.Activate(), "");
    EXPECT_TRUE(a.Active() && b.Active());
    EXPECT_EQ(Library().Refs(), 2);
    EXPECT_EQ(Library().Handle(), ::GetModuleHandleA(kHookName));
    const HWND listen = a.ListenWindow();
    ASSERT_NE(listen, nullptr);
    EXPECT_FALSE(::IsWindowVisible(listen));

    // Again while active: nothing changes.
    EXPECT_EQ(a.Activate(), "");
    EXPECT_EQ(a.ListenWindow(), listen);
    EXPECT_EQ(Library().Refs(), 2);

    a.Deactivate();
    EXPECT_FALSE(a.Active());
    EXPECT_EQ(a.ListenWindow(), nullptr);
    EXPECT_FALSE(::IsWindow(listen));
    EXPECT_EQ(Library().Refs(), 1);
    a.Deactivate();
    EXPECT_EQ(Library().Refs(), 1);
    b.Deactivate();
    EXPECT_EQ(Library().Refs(), 0);
    EXPECT_EQ(Library().Handle(), nullptr);
    EXPECT_FALSE(HookLoaded());
}

TEST_F(MouseHook, LoaderRetriesWithTheDllExtensionAndRefusesWhatItCannotUse) {
    EXPECT_EQ(LoadHookLibrary(zvtest::ProgramFolder() + "QLX_Hook_.hook"), 0);
    EXPECT_TRUE(HookLoaded());
    UnloadHookLibrary();
    EXPECT_FALSE(HookLoaded());

    // Without LastError: refused, and freed again.
    EXPECT_EQ(LoadHookLibrary(zvtest::ProgramFolder() + "hook_incomplete.dll"), hrMissingExports);
    EXPECT_EQ(Library().Refs(), 0);
    EXPECT_EQ(::GetModuleHandleA("hook_incomplete.dll"), nullptr);
    TQLX_MouseHook hook(nullptr);
    hook.SetHookDLL(zvtest::ProgramFolder() + "hook_incomplete.dll");
    EXPECT_EQ(hook.Activate(), "DLL doesn't export all required functions.");

    // A missing file: the system's text for its error.
    const int32_t missing = LoadHookLibrary(zvtest::ProgramFolder() + "absent\\hook.dll");
    EXPECT_GT(missing, 0);
    EXPECT_EQ(Library().Refs(), 0);
    EXPECT_FALSE(HookErrorText(missing).empty());
    EXPECT_EQ(HookErrorText(missing), SysErrorMessage(static_cast<DWORD>(missing)));
    // A code the system has no text for still reads as a failure.
    EXPECT_EQ(HookErrorText(0x2000ABCD), "Unknown error 536914893");

    TQLX_MouseHook unnamed(nullptr);
    EXPECT_EQ(unnamed.Activate(), "Cannot activate hook because DLL name is not set.");
    EXPECT_FALSE(unnamed.Active());
}

struct OtherThread {
    const HookExports* hook;
    int32_t result;
};

DWORD WINAPI AttachFromThread(void* param) {
    auto* other = static_cast<OtherThread*>(param);
    ScopedWindow w = MessageWindow();
    other->result = other->hook->AttachMouse(w.get());
    return 0;
}

TEST_F(MouseHook, TheLibraryRefusesWhatItCannotServe) {
    ScopedLibrary module(::LoadLibraryA(HookPath().c_str()));
    ASSERT_TRUE(module);
    const HookExports hook(module.get());
    std::vector<ScopedWindow> windows;
    for (int i = 0; i < 18; ++i)
        windows.push_back(MessageWindow());

    EXPECT_EQ(hook.AttachMouse(windows[0].get()), 0);
    EXPECT_EQ(hook.AttachMouse(windows[0].get()), hrAlreadyRegistered);
    EXPECT_EQ(hook.LastError(), hrAlreadyRegistered);
    EXPECT_EQ(hook.Detach(Handle32(windows[17].get())), hrNotRegistered);
    EXPECT_EQ(hook.LastError(), hrNotRegistered);
    // Only the low byte of the kind counts; only the mouse is served.
    EXPECT_EQ(hook.Attach(0x7702, Handle32(windows[1].get()), 0), 0);
    EXPECT_EQ(hook.Attach(3, Handle32(windows[2].get()), 0), ERROR_NOT_SUPPORTED);
    EXPECT_EQ(hook.Attach(HookKindMouse, 0, 0), ERROR_INVALID_WINDOW_HANDLE);

    for (int i = 2; i < 16; ++i)
        EXPECT_EQ(hook.AttachMouse(windows[i].get()), 0) << i;
    EXPECT_EQ(hook.AttachMouse(windows[16].get()), hrTooManyReceivers);
    // A receiver whose window is gone makes room.
    windows[5].reset();
    EXPECT_EQ(hook.AttachMouse(windows[16].get()), 0);

    // From another thread: the hook runs on a thread of its own, so any thread may attach.
    EXPECT_EQ(hook.Detach(Handle32(windows[0].get())), 0);
    OtherThread other{&hook, -1};
    ScopedKernelHandle thread(::CreateThread(nullptr, 0, &AttachFromThread, &other, 0, nullptr));
    ASSERT_EQ(::WaitForSingleObject(thread.get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(other.result, 0);
}

TEST_F(MouseHook, AFailedActivateLeavesNothingActiveAndKeepsTheLibrary) {
    ASSERT_EQ(LoadHookLibrary(HookPath()), 0);
    const HMODULE module = Library().Handle();
    const HookExports exports(module);
    std::vector<ScopedWindow> fillers;
    for (int i = 0; i < 16; ++i) {
        fillers.push_back(MessageWindow());
        ASSERT_EQ(exports.AttachMouse(fillers.back().get()), 0);
    }

    TQLX_MouseHook hook(nullptr);
    hook.SetHookDLL(HookPath());
    EXPECT_EQ(hook.Activate(), "Too many receivers.");
    EXPECT_FALSE(hook.Active());
    EXPECT_EQ(hook.ListenWindow(), nullptr);
    EXPECT_EQ(Library().Refs(), 2);

    EXPECT_EQ(exports.Detach(Handle32(fillers[0].get())), 0);
    EXPECT_EQ(hook.Activate(), "");
    EXPECT_TRUE(hook.Active());
    EXPECT_EQ(Library().Handle(), module);
    EXPECT_EQ(Library().Refs(), 3);
    hook.Deactivate();
    // The reference of the failed attempt stays until the process ends.
    EXPECT_EQ(Library().Refs(), 2);
}

// The message box of a refused HookDLL, read and closed from a timer of its modal loop.
struct BoxSeen {
    std::string caption, text;
};
BoxSeen gBox;

BOOL CALLBACK ReadAndCloseBox(HWND w, LPARAM) {
    char cls[32] = {};
    ::GetClassNameA(w, cls, sizeof cls);
    if (std::string(cls) != "#32770")
        return TRUE;
    char buf[256] = {};
    ::GetWindowTextA(w, buf, sizeof buf);
    gBox.caption = buf;
    ::GetDlgItemTextA(w, 0xFFFF, buf, sizeof buf);
    gBox.text = buf;
    ::PostMessageA(w, WM_COMMAND, IDOK, 0);
    return FALSE;
}

void CALLBACK CloseMessageBox(HWND, UINT, UINT_PTR id, DWORD) {
    ::EnumThreadWindows(::GetCurrentThreadId(), &ReadAndCloseBox, 0);
    if (!gBox.caption.empty())
        ::KillTimer(nullptr, id);
}

TEST_F(MouseHook, HookDllCannotChangeWhileActive) {
    TQLX_MouseHook hook(nullptr, "QLX_MouseHook1");
    hook.SetHookDLL(HookPath());
    ASSERT_EQ(hook.Activate(), "");
    gBox = {};
    ::SetTimer(nullptr, 0, 50, &CloseMessageBox);
    hook.SetHookDLL("other.dll");
    EXPECT_EQ(gBox.caption, "QLX_MouseHook1");
    EXPECT_EQ(gBox.text, "DLL name cannot be set while hook is active!");
    EXPECT_EQ(hook.HookDLL(), HookPath());
    hook.Deactivate();
    hook.SetHookDLL("other.dll");
    EXPECT_EQ(hook.HookDLL(), "other.dll");
}

// A shown window of this thread, for the cursor to be over (SS_NOTIFY: a plain static control
// lets WindowFromPoint look through it).
class Target {
public:
    Target() {
        wnd_.reset(::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", "target",
                                     WS_POPUP | WS_VISIBLE | SS_NOTIFY, 100, 100, 300, 200, nullptr,
                                     nullptr, nullptr, nullptr));
        ::UpdateWindow(wnd_.get());
    }
    HWND get() const { return wnd_.get(); }

private:
    ScopedWindow wnd_;
};

TEST_F(MouseHook, RealInputBecomesMovesAndClicksOfTheWindowUnderTheCursor) {
    Target target;
    TQLX_MouseHook hook(nullptr);
    struct Click {
        std::intptr_t source;
        int32_t x, y;
        TMouseButton button;
        TQLX_MouseButtonMovement movement;
    };
    std::vector<Click> clicks;
    std::vector<Click> moves;
    std::vector<int32_t> codes;
    hook.OnUnfiltered = [&](TObject* sender, int32_t code, int32_t, int32_t, bool&) {
        EXPECT_EQ(sender, &hook);
        codes.push_back(code);
    };
    hook.OnMouseMove = [&](TObject*, std::intptr_t source, int32_t x, int32_t y) {
        moves.push_back({source, x, y, TMouseButton::Left, bmDown});
    };
    hook.OnMouseClick = [&](TObject*, std::intptr_t source, int32_t x, int32_t y, TMouseButton b,
                            TQLX_MouseButtonMovement m) {
        clicks.push_back({source, x, y, b, m});
    };
    hook.SetHookDLL(HookPath());
    ASSERT_EQ(hook.Activate(), "");

    standin::MoveMouseTo({170, 150});
    ASSERT_TRUE(PumpUntil([&] { return !moves.empty(); }));
    const POINT at = CursorPos();
    EXPECT_NEAR(at.x, 170, 1);
    EXPECT_NEAR(at.y, 150, 1);
    EXPECT_EQ(moves.back().x, at.x);
    EXPECT_EQ(moves.back().y, at.y);
    EXPECT_EQ(moves.back().source, reinterpret_cast<std::intptr_t>(target.get()));

    const DWORD presses[] = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP,     MOUSEEVENTF_RIGHTDOWN,
                             MOUSEEVENTF_RIGHTUP,  MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP};
    for (DWORD press : presses)
        standin::PressButton(press);
    ASSERT_TRUE(PumpUntil([&] { return clicks.size() >= 6; }));
    const std::pair<TMouseButton, TQLX_MouseButtonMovement> expected[] = {
        {TMouseButton::Left, bmDown}, {TMouseButton::Left, bmUp},     {TMouseButton::Right, bmDown},
        {TMouseButton::Right, bmUp},  {TMouseButton::Middle, bmDown}, {TMouseButton::Middle, bmUp}};
    ASSERT_EQ(clicks.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(clicks[i].button, expected[i].first);
        EXPECT_EQ(clicks[i].movement, expected[i].second);
        EXPECT_EQ(clicks[i].x, at.x);
        EXPECT_EQ(clicks[i].y, at.y);
        EXPECT_EQ(clicks[i].source, reinterpret_cast<std::intptr_t>(target.get()));
    }
    // Every message went past OnUnfiltered first: the library's codes, moves as 0.
    const std::vector<int32_t> clickCodes = {1, 2, 4, 5, 7, 8};
    std::vector<int32_t> seen;
    for (int32_t c : codes)
        if (c != 0)
            seen.push_back(c);
    EXPECT_EQ(seen, clickCodes);

    // Messages below WM_USER are not the library's; a handled message raises nothing more.
    const size_t before = clicks.size() + moves.size();
    EXPECT_EQ(::SendMessageA(hook.ListenWindow(), WM_USER - 1, 0, 0), 0);
    hook.OnUnfiltered = [](TObject*, int32_t, int32_t, int32_t, bool& handled) { handled = true; };
    ::SendMessageA(hook.ListenWindow(), WM_USER + 1, 0x00100010, 0);
    EXPECT_EQ(clicks.size() + moves.size(), before);
}

// A window on a thread of its own, which moves the mouse to kAt over it when told to and notes
// when the move has reached it.
struct TOtherThreadWindow {
    ScopedKernelHandle Ready{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    ScopedKernelHandle Go{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    ScopedKernelHandle Moved{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    DWORD ThreadId = 0;

    static constexpr POINT kAt{750, 200}; // on the window: (150, 100) of its client area

    static LRESULT CALLBACK WndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_MOUSEMOVE && LOWORD(lp) == 150 && HIWORD(lp) == 100)
            ::SetEvent(reinterpret_cast<HANDLE>(::GetWindowLongPtrA(w, GWLP_USERDATA)));
        return ::DefWindowProcA(w, msg, wp, lp);
    }
    static DWORD WINAPI Run(void* param) {
        auto* self = static_cast<TOtherThreadWindow*>(param);
        WNDCLASSA wc{};
        wc.lpfnWndProc = &WndProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "ZvOtherThreadWindow";
        ::RegisterClassA(&wc);
        ScopedWindow w(::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, "",
                                         WS_POPUP | WS_VISIBLE, 600, 100, 300, 200, nullptr,
                                         nullptr, wc.hInstance, nullptr));
        ::SetWindowLongPtrA(w.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self->Moved.get()));
        ::SetEvent(self->Ready.get());
        // The mouse is moved from here: input sent by the thread that carries a hook may reach
        // that hook directly.
        ::WaitForSingleObject(self->Go.get(), INFINITE);
        standin::MoveMouseTo(kAt);
        MSG m;
        while (::GetMessageA(&m, nullptr, 0, 0) > 0)
            ::DispatchMessageA(&m);
        return 0;
    }
};

TEST_F(MouseHook, TheMouseGoesOnWhileTheReceiversThreadIsBusy) {
    TQLX_MouseHook hook(nullptr);
    int moves = 0;
    hook.OnMouseMove = [&](TObject*, std::intptr_t, int32_t, int32_t) { ++moves; };
    hook.SetHookDLL(HookPath());
    ASSERT_EQ(hook.Activate(), "");
    standin::MoveMouseTo({100, 600});
    ASSERT_TRUE(PumpUntil([&] { return moves > 0; }));

    TOtherThreadWindow other;
    ScopedKernelHandle thread(
        ::CreateThread(nullptr, 0, &TOtherThreadWindow::Run, &other, 0, &other.ThreadId));
    ASSERT_EQ(::WaitForSingleObject(other.Ready.get(), 10000), WAIT_OBJECT_0);
    // This thread, the receiver's, does not look at its messages meanwhile: the move must reach
    // the other thread's window all the same, and the hook's message for it must already wait
    // here (looked at without handling anything sent to this thread, which a hook carried by
    // this thread would need to run).
    moves = 0;
    ::SetEvent(other.Go.get());
    const DWORD seen = ::WaitForSingleObject(other.Moved.get(), 10000);
    MSG m;
    const bool posted = ::PeekMessageA(&m, hook.ListenWindow(), WM_USER, WM_USER,
                                       PM_NOREMOVE | PM_QS_POSTMESSAGE) != FALSE;
    ::PostThreadMessageA(other.ThreadId, WM_QUIT, 0, 0);
    ::WaitForSingleObject(thread.get(), 10000);
    EXPECT_EQ(seen, WAIT_OBJECT_0) << "the mouse waited for the busy thread";
    EXPECT_TRUE(posted) << "the hook waited for the busy thread";
    // And the receiver hears of it once it looks.
    EXPECT_TRUE(PumpUntil([&] { return moves > 0; }));
}

TEST_F(MouseHook, NothingArrivesAfterTheLastDetachOrOnceTheLibraryIsFreed) {
    ScopedWindow receiver = MessageWindow();
    ScopedLibrary module(::LoadLibraryA(HookPath().c_str()));
    ASSERT_EQ(HookExports(module.get()).AttachMouse(receiver.get()), 0);
    standin::MoveMouseTo({200, 300});
    EXPECT_NEAR(NextMove(receiver.get()).x, 200, 1);

    // Detached: the move to 400 is not reported; the next receiver sees 500 first.
    EXPECT_EQ(HookExports(module.get()).Detach(Handle32(receiver.get())), 0);
    standin::MoveMouseTo({400, 300});
    ASSERT_EQ(HookExports(module.get()).AttachMouse(receiver.get()), 0);
    standin::MoveMouseTo({500, 300});
    EXPECT_NEAR(NextMove(receiver.get()).x, 500, 1);

    // Freed while attached: its hook goes with it.
    module.reset();
    ASSERT_FALSE(HookLoaded());
    standin::MoveMouseTo({600, 300});
    module.reset(::LoadLibraryA(HookPath().c_str()));
    ASSERT_EQ(HookExports(module.get()).AttachMouse(receiver.get()), 0);
    standin::MoveMouseTo({700, 300});
    EXPECT_NEAR(NextMove(receiver.get()).x, 700, 1);
}

} // namespace
