#pragma once
// The Win32 half of the taskbar snapshot: finding the shell's taskbar windows and reading
// the task-switch toolbar's buttons out of the shell's process.
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
// is already running (ReadingButtons), or when the button count does not settle.
void ReadTaskbarButtons(bool Light, TGroupList& Groups, HWND& ActiveWnd);

// --- Icon requests -------------------------------------------------------------------------
// A full snapshot asks for the icon of every group that has a visible button and whose second
// button has an image (ImageIndex >= 0), one group after the other, while ReadingButtons is
// set. Each request goes through OnIconRequest when it is set; otherwise SendIconRequest is
// called with IconReplyWnd. The main window installs OnIconRequest: it remembers the group as
// its pending icon group, calls SendIconRequest(Toolbar, ImageIndex, its own handle) (the
// reply is drawn into Group.Icon before that returns) and forgets the pending group again.
// Group stays valid until the next snapshot or ClearGroupList of that list.
using TIconRequestHook = std::function<void(HWND Toolbar, TGrupButtons& Group, int32_t ImageIndex)>;
extern TIconRequestHook OnIconRequest;
// Reply window used when OnIconRequest is not set (0 at start).
extern HWND IconReplyWnd;
// The registered request message "Primesc de la Aplicatie cererea de interogare image_list".
UINT IconRequestMsg();
// SendMessage(Toolbar, IconRequestMsg(), ImageIndex, ReplyWnd); its result is not used.
void SendIconRequest(HWND Toolbar, int32_t ImageIndex, HWND ReplyWnd);

// --- Test seam -----------------------------------------------------------------------------
// Makes the memory manager for the toolbar's process; CreateProcessMemMgrForWindow by default.
using TMemMgrFactory = std::function<std::unique_ptr<TProcessMemMgr>(HWND Toolbar)>;
extern TMemMgrFactory ProcessMemMgrFactory;
