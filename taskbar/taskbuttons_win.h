#pragma once
// The Win32 half of the taskbar snapshot and mover: finding the shell's taskbar windows,
// reading the task-switch toolbar's buttons out of the shell's process, and moving groups.
#include <windows.h>

#include <functional>
#include <memory>

#include "taskbar/taskbuttons.h"

class TProcessMemMgr;

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
// ComputeGroupRects against the toolbar's current screen rectangle.
void ComputeGroupRects(TGroupList& Groups);

// Replaces the contents of Groups with a new snapshot of the taskbar toolbar. ActiveWnd gets
// the window of the pressed button (0 if none; always 0 when Light). A light snapshot leaves
// out windows and icons. Groups is left as it was when there is no toolbar, when a snapshot
// is already running (ReadingButtons), or when the button count does not settle; false then.
bool ReadTaskbarButtons(bool Light, TGroupList& Groups, HWND& ActiveWnd);

// --- Icon requests -------------------------------------------------------------------------
// A full snapshot asks for the icon of every group that has a visible button and whose second
// button has an image (ImageIndex >= 0), one group after the other, while ReadingButtons is
// set. Each request goes through OnIconRequest when it is set; otherwise SendIconRequest is
// called with IconReplyWnd. The main window installs OnIconRequest: its TIconChannel
// (loader_hook_win.h) remembers the group as the pending icon group, calls
// SendIconRequest(Toolbar, ImageIndex, the window's handle) (the reply is drawn into
// Group.Icon before that returns) and forgets the pending group again.
// Group stays valid until the next snapshot or ClearGroupList of that list.
using TIconRequestHook = std::function<void(HWND Toolbar, TGrupButtons& Group, int32_t ImageIndex)>;
extern TIconRequestHook OnIconRequest;
// Reply window used when OnIconRequest is not set (0 at start).
extern HWND IconReplyWnd;
// The registered request message "Primesc de la Aplicatie cererea de interogare image_list".
UINT IconRequestMsg();
// SendMessage(Toolbar, IconRequestMsg(), ImageIndex, ReplyWnd); its result is not used.
void SendIconRequest(HWND Toolbar, int32_t ImageIndex, HWND ReplyWnd);

// --- Moving groups --------------------------------------------------------------------------
// Positions as in taskbar/taskmove.h: FromIndex is the group's position in Groups, ToIndex the
// position in front of which it goes (the count of groups: the end).

// The task-switch toolbar the direct method sends to. 0 at start; the drag tracking stores the
// toolbar it found at each click. While it is 0 or no longer a window, the direct method looks
// the toolbar up itself.
extern HWND TaskbarToolbarWnd;
// Whether the user chose the alternate method for every move; asked at each move. Unset means
// no. The main window sets it to read its check box.
extern std::function<bool()> AlternateMoveChosen;

// Moves the group at FromIndex in front of the group at ToIndex. Groups must come from a full
// snapshot taken just before; the reshowing method replaces its contents with a fresh one.
// True when the move was carried out; false when it was refused (nothing sent, nothing
// hidden) or did not complete (a window did not come back visible).
bool MoveTaskButton(int32_t FromIndex, int32_t ToIndex, TGroupList& Groups);
// Moves the header and the visible button of the group at FromIndex to the place of the group
// at NeighbourIndex with two TB_MOVEBUTTON messages. False, sending nothing, when a position is
// outside Groups or there is no toolbar; true once both messages are sent.
bool MoveDirect(int32_t FromIndex, int32_t NeighbourIndex, TGroupList& Groups);
// Takes a fresh full snapshot into Groups, hides the windows of every group from the lower
// position on and shows them again in the new order, so that the shell gives them new buttons
// in that order; then brings back to the front the window of the pressed button (or else the
// desktop's top window). True when every hidden window came back visible.
bool MoveByReshowing(int32_t FromIndex, int32_t ToIndex, TGroupList& Groups);

// --- The reading phase on its own ---------------------------------------------------------
// Cross-process calls of one reading: the messages sent to the toolbar and the transfers of
// the memory manager (its reservations are in Mem.Transfers()).
struct TToolbarCalls {
    uint32_t Sends = 0;
    uint32_t Reads = 0;
    uint32_t Writes = 0;
    uint32_t Total() const { return Sends + Reads + Writes; }
};
// Reads the buttons at positions 0 .. Count - 1 of Toolbar through Mem, in position order,
// skipping positions the toolbar has no button at. An error of a transfer ends the reading:
// the buttons read before it are returned. Calls, when given, receives what it cost.
TButtonList ReadToolbarButtons(HWND Toolbar, int Count, bool Light, TProcessMemMgr& Mem,
                               TToolbarCalls* Calls = nullptr);

// --- Test seam -----------------------------------------------------------------------------
// Makes the memory manager for the toolbar's process; CreateProcessMemMgrForWindow by default.
using TMemMgrFactory = std::function<std::unique_ptr<TProcessMemMgr>(HWND Toolbar)>;
extern TMemMgrFactory ProcessMemMgrFactory;
