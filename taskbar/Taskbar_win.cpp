// The taskbar object: snapshots of the shell's toolbar with their icon requests, and the moves
// of groups by either method.
#include "taskbar/Taskbar_win.h"

#include <commctrl.h>

#include <utility>
#include <vector>

#include "taskbar/taskmove.h"
#include "taskbar/uProcessMemMgr.h"
#include "toolkit/SysUtils.h"

namespace {

// Between hiding and showing again: the shell removes the hidden windows' buttons meanwhile.
constexpr DWORD kReshowPauseMs = 100;
// After showing again: the shell puts the buttons back when it learns of the shows, which
// may be after ShowWindow returned. Looked at every kReshowLookMs, for kReshowSettleMs at most.
constexpr DWORD kReshowLookMs = 20;
constexpr DWORD kReshowSettleMs = 2000;

class TReadingGuard {
public:
    explicit TReadingGuard(bool& Flag) : Flag_(Flag) { Flag_ = true; }
    ~TReadingGuard() { Flag_ = false; }
    TReadingGuard(const TReadingGuard&) = delete;
    TReadingGuard& operator=(const TReadingGuard&) = delete;

private:
    bool& Flag_;
};

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

} // namespace

TTaskbar::TTaskbar()
    : MemMgrFactory([](HWND Toolbar) { return CreateProcessMemMgrForWindow(Toolbar); }) {}

TButtonList TTaskbar::ReadButtons(HWND Toolbar, int Count, bool Light) {
    std::unique_ptr<TProcessMemMgr> mem;
    try {
        mem = MemMgrFactory(Toolbar);
    } catch (const Exception&) {
        return {}; // the shell's process could not be opened
    }
    return ReadToolbarButtons(Toolbar, Count, Light, *mem);
}

bool TTaskbar::Read(bool Light, TGroupList& Groups, HWND& ActiveWnd) {
    ActiveWnd = nullptr;
    HWND toolbar = FindTaskbarToolbar();
    if (toolbar == nullptr || Reading_)
        return false;
    TReadingGuard guard(Reading_);
    int count = 0;
    if (!StableButtonCount(toolbar, count))
        return false;

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
    return true;
}

TGroupList TTaskbar::Snapshot(bool Light, TWndHandle* Active) {
    TGroupList groups;
    HWND active = nullptr;
    Read(Light, groups, active);
    if (Active)
        *Active = FromHWND(active);
    return groups;
}

bool TTaskbar::MoveGroup(const TGroupId& Moving, const std::optional<TGroupId>& Before) {
    TGroupList groups = Snapshot(false);
    const int32_t from = FindGroup(groups, Moving);
    const int32_t to = Before ? FindGroup(groups, *Before) : static_cast<int32_t>(groups.size());
    if (from < 0 || to < 0)
        return false;
    return MoveTaskButton(from, to, groups);
}

HWND TTaskbar::MoveTarget() const {
    if (Toolbar_ != nullptr && IsWindow(Toolbar_))
        return Toolbar_;
    return FindTaskbarToolbar();
}

bool TTaskbar::MoveTaskButton(int32_t FromIndex, int32_t ToIndex, TGroupList& Groups) {
    const bool alternate = AlternateMoveChosen && AlternateMoveChosen();
    const TMoveDecision decision = DecideMove(FromIndex, ToIndex, Groups, alternate);
    switch (decision.Method) {
    case TMoveMethod::Refuse:
        return false;
    case TMoveMethod::Direct:
        return MoveDirect(FromIndex, ToIndex, Groups);
    case TMoveMethod::Reshowing:
        return MoveByReshowing(FromIndex, ToIndex, Groups);
    }
    return false;
}

bool TTaskbar::MoveDirect(int32_t FromIndex, int32_t ToIndex, TGroupList& Groups) {
    const std::vector<TToolbarMove> moves = PlanDirectMoves(FromIndex, ToIndex, Groups);
    if (moves.empty())
        return false;
    HWND toolbar = MoveTarget();
    if (toolbar == nullptr)
        return false;
    for (const TToolbarMove& move : moves)
        SendMove(toolbar, move);
    return true;
}

void TTaskbar::WaitForShellToShow(const std::vector<TWndHandle>& Shown) {
    const DWORD start = GetTickCount();
    for (;;) {
        const HWND toolbar = FindTaskbarToolbar();
        int count = 0;
        if (toolbar == nullptr || !StableButtonCount(toolbar, count) ||
            ButtonsFollowOrder(Shown, ReadButtons(toolbar, count, false)) ||
            GetTickCount() - start >= kReshowSettleMs)
            return;
        Sleep(kReshowLookMs);
    }
}

bool TTaskbar::MoveByReshowing(int32_t FromIndex, int32_t ToIndex, TGroupList& Groups) {
    HWND active = nullptr;
    Read(false, Groups, active);
    const TReshowPlan plan = PlanReshowing(FromIndex, ToIndex, Groups);
    if (plan.Refused)
        return false;
    HWND restore = WindowToRestore(active);
    std::vector<TWndHandle> shown;
    const TReshowActions actions{[](TWndHandle w) {
                                     ShowWindow(ToHWND(w), SW_HIDE);
                                     return IsVisible(w);
                                 },
                                 [&shown](TWndHandle w) {
                                     ShowWindow(ToHWND(w), SW_SHOWNA);
                                     if (!IsVisible(w))
                                         return false;
                                     shown.push_back(w);
                                     return true;
                                 },
                                 [] { Sleep(kReshowPauseMs); }};
    const bool allBack = CarryOutReshowing(plan, actions);
    WaitForShellToShow(shown);
    SetForegroundWindow(restore);
    return allBack;
}
