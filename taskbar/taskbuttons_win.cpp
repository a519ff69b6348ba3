// Reading the shell's task-switch toolbar: window discovery, the stable button count, the
// per-button reads through a memory manager in the shell's process, and the icon requests;
// and carrying out the moves of groups. Everything decided on the buttons read is in
// taskbuttons.cpp, everything decided about a move in taskmove.cpp.
#include "taskbar/taskbuttons_win.h"

#include <commctrl.h>

#include <utility>

#include "taskbar/loader_hook.h"
#include "taskbar/taskmove.h"
#include "taskbar/uProcessMemMgr.h"
#include "toolkit/SysUtils.h"

TIconRequestHook OnIconRequest;
HWND IconReplyWnd = nullptr;
HWND TaskbarToolbarWnd = nullptr;
std::function<bool()> AlternateMoveChosen;
TMemMgrFactory ProcessMemMgrFactory = [](HWND Toolbar) {
    return CreateProcessMemMgrForWindow(Toolbar);
};

namespace {

constexpr int kCountAttempts = 11;
constexpr DWORD kCountSettleMs = 10;
// Between hiding and showing again: the shell removes the hidden windows' buttons meanwhile.
constexpr DWORD kReshowPauseMs = 100;

TRect ToTRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

TRect WindowRectOf(HWND Wnd) {
    RECT r{};
    if (Wnd == nullptr || !GetWindowRect(Wnd, &r))
        return {};
    return ToTRect(r);
}

LRESULT Send(HWND Wnd, UINT Msg, WPARAM wParam, const void* Remote) {
    return SendMessageA(Wnd, Msg, wParam, reinterpret_cast<LPARAM>(Remote));
}

// TB_BUTTONCOUNT twice, 10 ms apart, until both answers agree; false when they never do.
bool StableButtonCount(HWND Toolbar, int& Count) {
    for (int attempt = 0; attempt < kCountAttempts; ++attempt) {
        LRESULT first = SendMessageA(Toolbar, TB_BUTTONCOUNT, 0, 0);
        Sleep(kCountSettleMs);
        LRESULT second = SendMessageA(Toolbar, TB_BUTTONCOUNT, 0, 0);
        if (first == second) {
            Count = static_cast<int>(first);
            return true;
        }
    }
    return false;
}

// Reads buttons through three buffers in the toolbar's process. A caption that does not fit
// the text buffer is fetched into a larger one reserved for it, so that TB_GETBUTTONTEXTA,
// which copies the whole text without a limit, never writes past a buffer in the shell.
class TToolbarReader {
public:
    TToolbarReader(HWND Toolbar, TProcessMemMgr& Mem)
        : FToolbar(Toolbar), FMem(Mem), FButton(Mem.AllocMem(sizeof(TBBUTTON))),
          FRect(Mem.AllocMem(sizeof(RECT))),
          // The text buffer comes last, so that the rest of the manager's first chunk
          // lies behind it rather than the other buffers.
          FText(Mem.AllocMem(kCaptionBufferSize)) {}

    // The button at position i; null when the toolbar has none there.
    std::unique_ptr<TTaskButton> ReadButton(int i, bool Light) {
        TBBUTTON tb{};
        if (Send(FToolbar, TB_GETBUTTON, static_cast<WPARAM>(i), FButton) == 0)
            return nullptr;
        FMem.ReadMem(FButton, &tb, sizeof tb);
        const WPARAM id = static_cast<WPARAM>(tb.idCommand);

        auto button = std::make_unique<TTaskButton>();
        button->Index = static_cast<int32_t>(SendMessageA(FToolbar, TB_COMMANDTOINDEX, id, 0));
        RECT rect{};
        SetLastError(0);
        FMem.WriteMem(&rect, FRect, sizeof rect);
        Send(FToolbar, TB_GETRECT, id, FRect);
        button->Caption = ReadCaption(id);
        button->SetStyleState(tb.fsStyle, tb.fsState);
        button->ImageIndex = tb.iBitmap;
        FMem.ReadMem(FRect, &rect, sizeof rect);
        button->Rect = ToTRect(rect);
        button->CommandId = tb.idCommand;
        if (!Light)
            button->Wnd = FromHWND(ReadButtonWindow(tb.dwData));
        return button;
    }

private:
    std::string ReadCaption(WPARAM id) {
        const TCaptionRead plan = PlanCaptionRead(SendMessageA(FToolbar, TB_GETBUTTONTEXTA, id, 0));
        void* buffer = FText;
        switch (plan.Kind) {
        case TCaptionRead::Unreadable:
            return "?";
        case TCaptionRead::Empty:
            return "";
        case TCaptionRead::InCaptionBuffer:
            break;
        case TCaptionRead::InLargeBuffer:
            buffer = LargeTextBuffer(plan.LargeSize);
            break;
        }
        if (Send(FToolbar, TB_GETBUTTONTEXTA, id, buffer) < 0)
            return "?";
        return FMem.ReadText(buffer);
    }

    // A buffer of at least Size bytes for long captions, kept for the rest of the snapshot.
    void* LargeTextBuffer(uint32_t Size) {
        if (Size > FLargeSize) {
            if (FLarge != nullptr)
                FMem.FreeMem(std::exchange(FLarge, nullptr));
            FLargeSize = 0;
            FLarge = FMem.AllocMem(Size);
            FLargeSize = Size;
        }
        return FLarge;
    }

    // The first four bytes of the shell's block at dwData hold the button's window; the window
    // counts only while it exists and is visible.
    HWND ReadButtonWindow(DWORD_PTR dwData) {
        LONG value = 0;
        FMem.ReadMem(reinterpret_cast<const void*>(dwData), &value, sizeof value);
        HWND wnd = reinterpret_cast<HWND>(static_cast<LONG_PTR>(value));
        return IsWindowVisible(wnd) && IsWindow(wnd) ? wnd : nullptr;
    }

    HWND FToolbar;
    TProcessMemMgr& FMem;
    void* FButton;
    void* FRect;
    void* FText;
    void* FLarge = nullptr;
    uint32_t FLargeSize = 0;
};

// Every button the toolbar gives before an error of the reading ends the phase.
TButtonList ReadButtons(HWND Toolbar, int Count, bool Light) {
    TButtonList buttons;
    try {
        std::unique_ptr<TProcessMemMgr> mem = ProcessMemMgrFactory(Toolbar);
        TToolbarReader reader(Toolbar, *mem);
        for (int i = 0; i < Count; ++i)
            if (std::unique_ptr<TTaskButton> button = reader.ReadButton(i, Light))
                buttons.push_back(std::move(button));
    } catch (const Exception&) {
        // The shell's process could not be opened or a transfer failed: the snapshot goes
        // on with the buttons read so far.
    }
    return buttons;
}

class TReadingGuard {
public:
    TReadingGuard() { ReadingButtons = true; }
    ~TReadingGuard() { ReadingButtons = false; }
    TReadingGuard(const TReadingGuard&) = delete;
    TReadingGuard& operator=(const TReadingGuard&) = delete;
};

} // namespace

HWND FindTaskbarToolbar() {
    HWND wnd = FindWindowA("Shell_TrayWnd", nullptr);
    for (const char* cls : {"ReBarWindow32", "MSTaskSwWClass", "ToolbarWindow32"}) {
        // A missing window ends the search: FindWindowExA with no parent would look among
        // the top-level windows instead.
        if (wnd == nullptr)
            return nullptr;
        wnd = FindWindowExA(wnd, nullptr, cls, nullptr);
    }
    return wnd;
}

HWND FindBaseBar() {
    return FindWindowA("BaseBar", nullptr);
}

TRect GetTaskbarRect() {
    return WindowRectOf(FindWindowA("Shell_TrayWnd", nullptr));
}

int GetTaskbarEdge() {
    return GetTaskbarEdge(GetTaskbarRect(), GetSystemMetrics(SM_CXSCREEN));
}

void ComputeGroupRects(TGroupList& Groups) {
    ComputeGroupRects(Groups, WindowRectOf(FindTaskbarToolbar()));
}

UINT IconRequestMsg() {
    static const UINT id = RegisterWindowMessageA(kIconRequestMessageName);
    return id;
}

void SendIconRequest(HWND Toolbar, int32_t ImageIndex, HWND ReplyWnd) {
    SendMessageA(Toolbar, IconRequestMsg(), static_cast<WPARAM>(ImageIndex),
                 reinterpret_cast<LPARAM>(ReplyWnd));
}

void ReadTaskbarButtons(bool Light, TGroupList& Groups, HWND& ActiveWnd) {
    ActiveWnd = nullptr;
    HWND toolbar = FindTaskbarToolbar();
    if (toolbar == nullptr || ReadingButtons)
        return;
    TReadingGuard guard;
    int count = 0;
    if (!StableButtonCount(toolbar, count))
        return;

    TButtonList buttons = ReadButtons(toolbar, count, Light);
    if (!Light)
        ActiveWnd = ToHWND(LastPressedWindow(buttons));
    std::vector<TIconRequest> requests =
        BuildSnapshot(Light, std::move(buttons), WindowRectOf(toolbar), Groups);

    for (const TIconRequest& request : requests) {
        // A handler that runs while a request waits may have changed the list.
        if (request.GroupPos >= Groups.size())
            break;
        TGrupButtons& group = *Groups[request.GroupPos].Group;
        if (OnIconRequest)
            OnIconRequest(toolbar, group, request.ImageIndex);
        else
            SendIconRequest(toolbar, request.ImageIndex, IconReplyWnd);
    }
}

namespace {

// The toolbar a direct move goes to: the one the drag tracking found, while it is a window.
HWND MoveTarget() {
    if (TaskbarToolbarWnd != nullptr && IsWindow(TaskbarToolbarWnd))
        return TaskbarToolbarWnd;
    return FindTaskbarToolbar();
}

void SendMove(HWND Toolbar, const TToolbarMove& Move) {
    SendMessageA(Toolbar, TB_MOVEBUTTON, static_cast<WPARAM>(Move.From),
                 static_cast<LPARAM>(Move.To));
}

// The window to bring back to the front after a reshowing: the pressed button's window, else
// the desktop's top window, its last active popup, or the foreground window as it is now.
HWND WindowToRestore(HWND ActiveWnd) {
    if (ActiveWnd != nullptr)
        return ActiveWnd;
    HWND desktop = GetDesktopWindow();
    if (HWND top = GetTopWindow(desktop))
        return top;
    if (HWND popup = GetLastActivePopup(desktop))
        return popup;
    return GetForegroundWindow();
}

bool IsVisible(TWndHandle Wnd) {
    return IsWindowVisible(ToHWND(Wnd)) != FALSE;
}

bool ValidPosition(int32_t Pos, const TGroupList& Groups) {
    return Pos >= 0 && static_cast<std::size_t>(Pos) < Groups.size();
}

} // namespace

bool MoveTaskButton(int32_t FromIndex, int32_t ToIndex, TGroupList& Groups) {
    const bool alternate = AlternateMoveChosen && AlternateMoveChosen();
    const TMoveDecision decision = DecideMove(FromIndex, ToIndex, Groups, alternate);
    switch (decision.Method) {
    case TMoveMethod::Refuse:
        return false;
    case TMoveMethod::Direct:
        return MoveDirect(FromIndex, decision.NeighbourIndex, Groups);
    case TMoveMethod::Reshowing:
        return MoveByReshowing(FromIndex, ToIndex, Groups);
    }
    return false;
}

bool MoveDirect(int32_t FromIndex, int32_t NeighbourIndex, TGroupList& Groups) {
    if (!ValidPosition(FromIndex, Groups) || !ValidPosition(NeighbourIndex, Groups))
        return false;
    HWND toolbar = MoveTarget();
    if (toolbar == nullptr)
        return false;
    const TDirectMovePlan plan =
        PlanMoveDirect(Groups[static_cast<std::size_t>(FromIndex)].Group->Index,
                       Groups[static_cast<std::size_t>(NeighbourIndex)].Group->Index);
    SendMove(toolbar, plan.First);
    SendMove(toolbar, plan.Second);
    return true;
}

bool MoveByReshowing(int32_t FromIndex, int32_t ToIndex, TGroupList& Groups) {
    HWND active = nullptr;
    ReadTaskbarButtons(false, Groups, active);
    const TReshowPlan plan = PlanReshowing(FromIndex, ToIndex, Groups);
    if (plan.Refused)
        return false;
    HWND restore = WindowToRestore(active);
    const TReshowActions actions{[](TWndHandle w) {
                                     ShowWindow(ToHWND(w), SW_HIDE);
                                     return IsVisible(w);
                                 },
                                 [](TWndHandle w) {
                                     ShowWindow(ToHWND(w), SW_SHOWNA);
                                     return IsVisible(w);
                                 },
                                 [] { Sleep(kReshowPauseMs); }};
    const bool allBack = CarryOutReshowing(plan, actions);
    SetForegroundWindow(restore);
    return allBack;
}
