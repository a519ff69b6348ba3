#pragma once
// The Win32 half of the refresh check: reading the toolbar's look and the listed windows'
// titles, and the gate the list's refresh asks before it reads the taskbar in full.
#include <windows.h>

#include "taskbar/RefreshCheck.h"
#include "taskbar/taskbuttons_win.h"

// The look of Toolbar: TB_BUTTONCOUNT once, then TB_GETBUTTON per button into a block in the
// shell's process, read back in one transfer per kReadBatchButtons buttons. False when the
// toolbar's process or a transfer cannot be had. Calls, when given, receives what it cost.
bool ReadToolbarLook(HWND Toolbar, TProcessMemMgr& Mem, TToolbarLook& Look,
                     TToolbarCalls* Calls = nullptr);
// The titles of these windows, taken without sending a message to their programs (a window
// that is gone has an empty title).
TWindowTitles ReadWindowTitles(const std::vector<TWndHandle>& Windows);

class TRefreshGate {
public:
    // True when the rows must be rebuilt: the look or a title changed, or the look could not
    // be read (then the full reading decides).
    bool NeedsRebuild();
    // The rows were rebuilt from Groups, read after the last NeedsRebuild.
    void Rebuilt(const TGroupList& Groups);
    // The next check rebuilds whatever it sees.
    void Forget() { FCheck.Forget(); }
    // What the last NeedsRebuild cost in cross-process calls, and how many titles it read.
    const TToolbarCalls& LastCalls() const { return FCalls; }
    std::size_t LastTitles() const { return FTitles.size(); }

private:
    TRefreshCheck FCheck;
    TToolbarLook FLook;
    TWindowTitles FTitles;
    bool FLookRead = false;
    TToolbarCalls FCalls;
};
