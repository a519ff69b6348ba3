#pragma once
// The Win32 half of the taskbar snapshot: finding the shell's taskbar windows and reading the
// task-switch toolbar's buttons out of the shell's process. The taskbar object that takes
// snapshots and moves groups is TTaskbar (taskbar/Taskbar_win.h).
#include <windows.h>

#include <climits>
#include <memory>

#include "taskbar/taskbuttons.h"
#include "taskbar/uProcessMemMgr.h"

inline HWND ToHWND(TWndHandle h) {
    return reinterpret_cast<HWND>(h);
}
inline TWndHandle FromHWND(HWND h) {
    return reinterpret_cast<TWndHandle>(h);
}

// Shell_TrayWnd > ReBarWindow32 > MSTaskSwWClass > ToolbarWindow32; 0 when any is missing.
HWND FindTaskbarToolbar();
// The start menu's window ("BaseBar"); 0 when there is none.
HWND FindBaseBar();
// Screen rectangle of Shell_TrayWnd; (0, 0, 0, 0) when there is none.
TRect GetTaskbarRect();
// 0 bottom, 1 top, 2 left, 3 right.
int GetTaskbarEdge();
// Screen rectangle of a window; (0, 0, 0, 0) when there is none.
TRect WindowRectOf(HWND Wnd);
// TB_BUTTONCOUNT twice, 10 ms apart, until both answers agree (at most 11 times); false when
// they never do.
bool StableButtonCount(HWND Toolbar, int& Count);
// ComputeGroupRects against the toolbar's current screen rectangle.
void ComputeGroupRects(TGroupList& Groups);

// The registered request message "Primesc de la Aplicatie cererea de interogare image_list".
UINT IconRequestMsg();
// SendMessage(Toolbar, IconRequestMsg(), ImageIndex, ReplyWnd); its result is not used.
void SendIconRequest(HWND Toolbar, int32_t ImageIndex, HWND ReplyWnd);

// --- The reading phase on its own ---------------------------------------------------------
// Cross-process calls of one reading: the messages sent to the toolbar and the transfers of
// the memory manager (its reservations are in Mem.Transfers()).
struct TToolbarCalls {
    uint32_t Sends = 0;
    uint32_t Reads = 0;
    uint32_t Writes = 0;
    uint32_t Total() const { return Sends + Reads + Writes; }
    // Sends messages, and the transfers Mem made since its counts were Before.
    static TToolbarCalls Since(uint32_t Sends, const TProcessMemMgr& Mem,
                               const TMemTransferCounts& Before) {
        return {Sends, Mem.Transfers().Reads - Before.Reads,
                Mem.Transfers().Writes - Before.Writes};
    }
};
// Reads the buttons at positions 0 .. Count - 1 of Toolbar through Mem, in position order,
// skipping positions the toolbar has no button at. An error of a transfer ends the reading:
// the buttons read before it are returned. Calls, when given, receives what it cost.
TButtonList ReadToolbarButtons(HWND Toolbar, int Count, bool Light, TProcessMemMgr& Mem,
                               TToolbarCalls* Calls = nullptr);

// When one step of a reading taken in steps ends: after the part that runs past Ms milliseconds
// from the step's start. None for a reading taken at once.
class TStepDeadline {
public:
    static TStepDeadline After(DWORD Ms) { return TStepDeadline(GetTickCount(), Ms); }
    static TStepDeadline None() { return TStepDeadline(0, INFINITE); }
    bool Passed() const { return Ms_ != INFINITE && GetTickCount() - Start_ >= Ms_; }

private:
    TStepDeadline(DWORD Start, DWORD Ms) : Start_(Start), Ms_(Ms) {}
    DWORD Start_;
    DWORD Ms_;
};

class TToolbarReader;
// The same reading a batch of buttons at a time (at most ButtonsPerStep of them, fewer while
// the shell answers slowly: FitPartSize), so that a caller
// reading a large taskbar handles its messages between the batches. Mem must outlive it.
class TToolbarReading {
public:
    TToolbarReading(HWND Toolbar, int Count, bool Light, TProcessMemMgr& Mem,
                    int ButtonsPerStep = INT_MAX);
    ~TToolbarReading();
    TToolbarReading(const TToolbarReading&) = delete;
    TToolbarReading& operator=(const TToolbarReading&) = delete;

    // Reads the next batch; false once the reading is over (every position read, or an error
    // ended it).
    bool Step();
    TButtonList TakeButtons() { return std::move(Buttons_); }
    // What the reading has cost so far.
    TToolbarCalls Calls() const;

private:
    HWND Toolbar_;
    int Count_;
    bool Light_;
    TProcessMemMgr& Mem_;
    int ButtonsPerStep_;
    int PartSize_;
    TMemTransferCounts Before_;
    uint32_t Sends_ = 0;
    std::unique_ptr<TToolbarReader> Reader_;
    int Next_ = 0;
    TButtonList Buttons_;
};
