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

TSnapshotSteps::TSnapshotSteps(TTaskbar& Taskbar, bool Light, int ButtonsPerStep)
    : Taskbar_(Taskbar), Light_(Light), ButtonsPerStep_(ButtonsPerStep) {
    if (Taskbar_.Reading_)
        return;
    const TFlagRaised guard(Taskbar_.Reading_);
    HWND toolbar = FindTaskbarToolbar();
    int count = 0;
    if (toolbar == nullptr || !StableButtonCount(toolbar, count))
        return;
    Toolbar_ = toolbar;
    Phase_ = TPhase::Reading;
    try {
        Mem_ = Taskbar_.MemMgrFactory(toolbar);
        Reading_ = std::make_unique<TToolbarReading>(toolbar, count, Light, *Mem_, ButtonsPerStep_);
    } catch (const Exception&) {
        // The shell's process could not be opened: an empty snapshot.
    }
}

TSnapshotSteps::~TSnapshotSteps() = default;

uint32_t TSnapshotSteps::Calls() const {
    return (Reading_ ? Reading_->Calls() : ReadCalls_).Total() + IconCalls_;
}

bool TSnapshotSteps::Run(const TStepDeadline& Deadline) {
    if (Taskbar_.Reading_)
        return Done(); // a handler that runs while the taskbar's own snapshot waits
    const TFlagRaised guard(Taskbar_.Reading_);
    do {
        switch (Phase_) {
        case TPhase::Reading:
            if (!Reading_ || !Reading_->Step())
                FinishReading();
            break;
        case TPhase::Icons:
            if (!RequestNextIcon())
                Phase_ = TPhase::Done;
            break;
        case TPhase::Done:
            break;
        }
    } while (Phase_ != TPhase::Done && !Deadline.Passed());
    return Done();
}

void TSnapshotSteps::FinishReading() {
    TButtonList buttons;
    if (Reading_) {
        ReadCalls_ = Reading_->Calls();
        buttons = Reading_->TakeButtons();
        Reading_.reset();
    }
    Mem_.reset();
    if (!Light_)
        ActiveWnd_ = ToHWND(LastPressedWindow(buttons));
    Requests_ = BuildSnapshot(Light_, std::move(buttons), WindowRectOf(Toolbar_), Groups_);
    Phase_ = TPhase::Icons;
}

bool TSnapshotSteps::RequestNextIcon() {
    if (NextRequest_ >= Requests_.size())
        return false;
    const TIconRequest& request = Requests_[NextRequest_++];
    // A handler that runs while a request waits may have changed the list.
    if (request.GroupPos >= Groups_.size())
        return false;
    TGrupButtons& group = *Groups_[request.GroupPos].Group;
    IconCalls_ += 2;
    if (Taskbar_.OnIconRequest)
        Taskbar_.OnIconRequest(Toolbar_, group, request.ImageIndex);
    else
        SendIconRequest(Toolbar_, request.ImageIndex, Taskbar_.IconReplyWnd);
    return true;
}

std::unique_ptr<TSnapshotSteps> TTaskbar::BeginSnapshot(bool Light, int ButtonsPerStep) {
    return std::make_unique<TSnapshotSteps>(*this, Light, ButtonsPerStep);
}

bool TTaskbar::Read(bool Light, TGroupList& Groups, HWND& ActiveWnd) {
    ActiveWnd = nullptr;
    if (Reading_)
        return false;
    TSnapshotSteps steps(*this, Light);
    if (!steps.Found())
        return false;
    steps.Run(TStepDeadline::None());
    Groups = steps.TakeGroups();
    ActiveWnd = steps.ActiveWnd();
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
    return MoveGroupIn(groups, Moving, Before);
}

bool TTaskbar::MoveGroupIn(TGroupList& Groups, const TGroupId& Moving,
                           const std::optional<TGroupId>& Before) {
    const int32_t from = FindGroup(Groups, Moving);
    const int32_t to = Before ? FindGroup(Groups, *Before) : static_cast<int32_t>(Groups.size());
    if (from < 0 || to < 0)
        return false;
    return MoveTaskButton(from, to, Groups);
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
