#pragma once
// The list's refresh taken in steps, so that on a large taskbar the window handles its messages
// (clicks, keys, the tray icon) between them: the cheap look at the taskbar first; only when it
// changed, the full snapshot a batch of buttons at a time, then the icons of the groups, then
// the rows.
#include <cstdint>
#include <memory>
#include <optional>

#include "app/ListCommands.h"
#include "taskbar/RefreshCheck_win.h"
#include "taskbar/Taskbar_win.h"

// A step ends after the part that runs past kRefreshStepMs; a part is a batch of the look, a
// few buttons of the full reading (kRefreshStepButtons) or one icon request. The longest step
// stays near 100 ms.
constexpr DWORD kRefreshStepMs = 50;
constexpr int kRefreshStepButtons = 16;

class TListRefresh {
public:
    TListRefresh(TRefreshGate& Gate, TTaskbar& Taskbar, TListCommands& Commands);

    // Refreshes on for about Ms milliseconds (at least one part); true once the refresh is
    // over.
    bool Run(DWORD Ms = kRefreshStepMs);
    // Once over: the new rows, or none when the taskbar had not changed.
    std::optional<TListRows> TakeRows() { return std::move(Rows_); }
    // The cross-process calls spent so far.
    uint32_t Calls() const;

private:
    enum class TPhase { Look, Snapshot, Done };

    TRefreshGate& Gate_;
    TTaskbar& Taskbar_;
    TListCommands& Commands_;
    TPhase Phase_ = TPhase::Look;
    std::unique_ptr<TSnapshotSteps> Snapshot_;
    std::optional<TListRows> Rows_;
};
