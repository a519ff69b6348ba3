#pragma once
// The Win32 half of the refresh check: reading the toolbar's look and the listed windows'
// titles, and the gate the list's refresh asks before it reads the taskbar in full.
#include <windows.h>

#include <memory>

#include "taskbar/RefreshCheck.h"
#include "taskbar/taskbuttons_win.h"
#include "taskbar/toolbarread.h"

// The look of Toolbar: TB_BUTTONCOUNT once, then TB_GETBUTTON per button into a block in the
// shell's process, read back in one transfer per kReadBatchButtons buttons. False when the
// toolbar's process or a transfer cannot be had. Calls, when given, receives what it cost.
bool ReadToolbarLook(HWND Toolbar, TProcessMemMgr& Mem, TToolbarLook& Look,
                     TToolbarCalls* Calls = nullptr);
// The titles of these windows, taken without sending a message to their programs (a window
// that is gone has an empty title).
TWindowTitles ReadWindowTitles(const std::vector<TWndHandle>& Windows);

// The same look read a batch at a time, so that a caller handles its messages between the
// batches; Stepwise, the batches are made smaller while the shell answers slowly
// (FitPartSize). Mem must outlive it.
class TLookReading {
public:
    TLookReading(HWND Toolbar, TProcessMemMgr& Mem, bool Stepwise = false);
    ~TLookReading();
    TLookReading(const TLookReading&) = delete;
    TLookReading& operator=(const TLookReading&) = delete;

    // Reads the next batch; false once the reading is over.
    bool Step();
    // False when the block or a transfer could not be had.
    bool Ok() const { return Ok_; }
    TToolbarLook TakeLook() { return std::move(Look_); }
    TToolbarCalls Calls() const;

private:
    HWND Toolbar_;
    TProcessMemMgr& Mem_;
    bool Stepwise_;
    int PartSize_ = static_cast<int>(kReadBatchButtons);
    TMemTransferCounts Before_;
    uint32_t Sends_ = 0;
    int Count_ = 0;
    int Next_ = 0;
    char* Block_ = nullptr;
    bool Ok_ = true;
    TToolbarLook Look_;
};

// The gate the list's refresh passes before it reads the taskbar in full. Its check reads the
// look in steps: BeginCheck, then StepCheck until it returns true, then NeedsRebuild.
class TRefreshGate {
public:
    void BeginCheck();
    // Reads on, a batch after the other, until Deadline has passed; true once the look is read.
    bool StepCheck(const TStepDeadline& Deadline);
    // True when the rows must be rebuilt: the look or a title changed, or the look could not
    // be read (then the full reading decides).
    bool NeedsRebuild();
    // The rows were rebuilt from Groups, read after the last NeedsRebuild.
    void Rebuilt(const TGroupList& Groups);
    // The next check rebuilds whatever it sees.
    void Forget() { Check_.Forget(); }
    // What the last check cost in cross-process calls, and how many titles it read.
    const TToolbarCalls& LastCalls() const { return Calls_; }
    // What the check under way has cost so far (the last one's cost once it is over).
    uint32_t CheckCalls() const { return Reading_ ? Reading_->Calls().Total() : Calls_.Total(); }
    std::size_t LastTitles() const { return Titles_.size(); }

private:
    TRefreshCheck Check_;
    TToolbarLook Look_;
    TWindowTitles Titles_;
    bool LookRead_ = false;
    TToolbarCalls Calls_;
    std::unique_ptr<TProcessMemMgr> Mem_;
    std::unique_ptr<TLookReading> Reading_;
};
