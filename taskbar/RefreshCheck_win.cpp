// Reading the cheap look of the taskbar for the list's refresh.
#include "taskbar/RefreshCheck_win.h"

#include <commctrl.h>

#include <algorithm>
#include <unordered_map>

#include "taskbar/toolbarread.h"
#include "taskbar/uProcessMemMgr.h"
#include "toolkit/SysUtils.h"

TLookReading::TLookReading(HWND Toolbar, TProcessMemMgr& Mem, bool Stepwise)
    : Toolbar_(Toolbar), Mem_(Mem), Stepwise_(Stepwise), Before_(Mem.Transfers()) {
    ++Sends_;
    Count_ = static_cast<int>(SendMessageA(Toolbar_, TB_BUTTONCOUNT, 0, 0));
    if (Count_ <= 0)
        return;
    try {
        Block_ = static_cast<char*>(Mem_.AllocMem(kReadBatchButtons * sizeof(TBBUTTON)));
    } catch (const Exception&) {
        Ok_ = false;
    }
}

TLookReading::~TLookReading() {
    if (Block_ == nullptr)
        return;
    try {
        Mem_.FreeMem(Block_);
    } catch (const Exception&) {
        // the shell's process is gone, and the block with it
    }
}

bool TLookReading::Step() {
    if (Block_ == nullptr || !Ok_ || Next_ >= Count_)
        return false;
    const int first = Next_;
    const int n = std::min(PartSize_, Count_ - first);
    Next_ = first + n;
    const DWORD start = GetTickCount();
    int last = -1; // the last slot the toolbar filled
    std::vector<bool> present(std::size_t(n), false);
    for (int k = 0; k < n; ++k) {
        ++Sends_;
        if (SendMessageA(Toolbar_, TB_GETBUTTON, WPARAM(first + k),
                         reinterpret_cast<LPARAM>(Block_ + k * sizeof(TBBUTTON)))) {
            present[std::size_t(k)] = true;
            last = k;
        }
    }
    if (last >= 0) {
        std::vector<TBBUTTON> tb(std::size_t(last) + 1);
        try {
            Mem_.ReadMem(Block_, tb.data(), uint32_t(last + 1) * sizeof(TBBUTTON));
        } catch (const Exception&) {
            Ok_ = false;
            return false;
        }
        for (int k = 0; k <= last; ++k)
            if (present[std::size_t(k)]) {
                const TBBUTTON& b = tb[std::size_t(k)];
                Look_.push_back({b.idCommand, b.iBitmap, b.fsState, b.fsStyle,
                                 static_cast<uint64_t>(b.dwData)});
            }
    }
    if (Stepwise_)
        PartSize_ = FitPartSize(PartSize_, kReadBatchButtons, n, GetTickCount() - start);
    return Next_ < Count_;
}

TToolbarCalls TLookReading::Calls() const {
    return TToolbarCalls::Since(Sends_, Mem_, Before_);
}

bool ReadToolbarLook(HWND Toolbar, TProcessMemMgr& Mem, TToolbarLook& Look, TToolbarCalls* Calls) {
    TLookReading reading(Toolbar, Mem);
    while (reading.Step()) {
    }
    if (Calls)
        *Calls = reading.Calls();
    Look = reading.TakeLook();
    return reading.Ok();
}

TWindowTitles ReadWindowTitles(const std::vector<TWndHandle>& Windows) {
    TWindowTitles titles;
    titles.reserve(Windows.size());
    for (TWndHandle w : Windows) {
        // For a window of another process GetWindowText asks the system, not the program.
        char text[1024] = {};
        ::GetWindowTextA(ToHWND(w), text, sizeof text);
        titles.emplace_back(w, text);
    }
    return titles;
}

void TRefreshGate::BeginCheck() {
    Calls_ = {};
    LookRead_ = false;
    Look_.clear();
    Reading_.reset();
    Mem_.reset();
    HWND toolbar = FindTaskbarToolbar();
    if (toolbar == nullptr)
        return;
    try {
        Mem_ = CreateProcessMemMgrForWindow(toolbar);
        Reading_ = std::make_unique<TLookReading>(toolbar, *Mem_, true);
    } catch (const Exception&) {
        Reading_.reset();
        Mem_.reset();
    }
}

bool TRefreshGate::StepCheck(const TStepDeadline& Deadline) {
    if (!Reading_)
        return true;
    while (Reading_->Step())
        if (Deadline.Passed())
            return false;
    Calls_ = Reading_->Calls();
    LookRead_ = Reading_->Ok();
    Look_ = Reading_->TakeLook();
    Reading_.reset();
    Mem_.reset();
    return true;
}

bool TRefreshGate::NeedsRebuild() {
    Titles_ = ReadWindowTitles(Check_.ListedWindows());
    if (!LookRead_) {
        Check_.Forget();
        return true;
    }
    return Check_.NeedsRebuild(Look_, Titles_);
}

void TRefreshGate::Rebuilt(const TGroupList& Groups) {
    if (!LookRead_) {
        Check_.Forget();
        return;
    }
    // The titles taken before the reading, so that a window renamed since shows as a change
    // at the next check; windows new to the list get theirs now.
    std::unordered_map<TWndHandle, std::string> before(Titles_.begin(), Titles_.end());
    TWindowTitles titles = WindowsOf(Groups);
    std::vector<TWndHandle> fresh;
    for (auto& [wnd, title] : titles) {
        const auto found = before.find(wnd);
        if (found != before.end())
            title = found->second;
        else
            fresh.push_back(wnd);
    }
    const TWindowTitles freshTitles = ReadWindowTitles(fresh);
    std::unordered_map<TWndHandle, std::string> now(freshTitles.begin(), freshTitles.end());
    for (auto& [wnd, title] : titles)
        if (const auto found = now.find(wnd); found != now.end())
            title = found->second;
    Check_.Remember(std::move(Look_), std::move(titles));
    Look_.clear();
}
