#pragma once
// The Win32 half of the icon channel: loading and starting images.dll (TIconHookLoader), and
// the requests and replies of the main window (TIconChannel). See taskbar/loader_hook.h for
// how an icon travels from the shell.
#include <windows.h>

#include <cstdint>
#include <string>

#include "taskbar/loader_hook.h"
#include "taskbar/taskbuttons.h"
#include "toolkit/ScopedWin.h"

// Whether Icon is an icon of this process (one that can be drawn and destroyed here).
inline bool IconExists(HICON Icon) {
    ICONINFO info{};
    if (!GetIconInfo(Icon, &info))
        return false;
    ScopedGdiObject mask(info.hbmMask), colour(info.hbmColor); // GetIconInfo's copies
    return true;
}

// The registered reply message "Trimit catre aplicatie id-ul iconului".
UINT IconReplyMsg();

// images.dll, loaded from one folder, with its StartHook and StopHook.
class TIconHookLoader {
public:
    // Folder: where images.dll lies, with a trailing backslash; by default the folder of the
    // running program.
    TIconHookLoader();
    explicit TIconHookLoader(std::string Folder);
    // A hook still running is stopped: the shell keeps no hook of a program that is gone. If
    // it does not stop, the library stays loaded.
    ~TIconHookLoader();
    TIconHookLoader(const TIconHookLoader&) = delete;
    TIconHookLoader& operator=(const TIconHookLoader&) = delete;

    // Loads Folder + "images.dll" and finds both exports; false, nothing left loaded, when
    // either fails.
    bool LoadIconHookLibrary();
    // Loads the library (once) and calls StartHook; true when the hook runs. Called again
    // after the shell has restarted ("TaskbarCreated"), it sets the hook on the new taskbar;
    // while the hooked taskbar is still there, the library leaves its hook as it is.
    bool StartIconHook();
    // Calls StopHook; when the hook stopped (low byte 1) the library is unloaded. True when
    // nothing was loaded or the hook stopped.
    bool StopIconHook();

    bool IconHookLoaded() const { return FIconHookLoaded; }
    bool IconHookActive() const { return FIconHookActive; }
    uint32_t IconHookResult() const { return FIconHookResult; }

private:
    using TStartHook = DWORD(WINAPI*)();
    using TStopHook = BOOL(WINAPI*)();

    std::string FFolder;
    ScopedLibrary FLibrary;
    TStartHook FStartHook = nullptr;
    TStopHook FStopHook = nullptr;
    bool FIconHookLoaded = false;
    bool FIconHookActive = false;
    uint32_t FIconHookResult = 0;
};

// The main window's side of the channel: the group whose icon is asked for, and the reply.
class TIconChannel {
public:
    TIconChannel() = default;
    ~TIconChannel();
    TIconChannel(const TIconChannel&) = delete;
    TIconChannel& operator=(const TIconChannel&) = delete;

    // Sends the request for Group's icon (image ImageIndex of Toolbar's image list, answered
    // to ReplyWnd). Group is the pending icon group until the request returns or the group is
    // destroyed, whichever comes first. True when a reply drew the icon into Group, which
    // still exists.
    bool RequestIcon(HWND Toolbar, TGrupButtons& Group, int32_t ImageIndex, HWND ReplyWnd);
    // A reply that reached ReplyWnd: takes over Icon and destroys it; before that, draws it
    // into the pending group's Icon (top left at (0, 0)) and marks that transparent. With no
    // pending group only the icon is released.
    void IconReply(HICON Icon, HWND ReplyWnd);

    TGrupButtons* PendingIconGroup() const { return FPendingIconGroup; }

private:
    void SetPendingIconGroup(TGrupButtons* Group);

    TGrupButtons* FPendingIconGroup = nullptr;
    bool FDrawn = false; // a reply drew into the pending group
};

// Draws Icon on white into Bitmap with its top left corner at (0, 0), and gives Bitmap the
// icon's see-through pixels (by its mask or its alpha) as its mask; false, and Bitmap as it
// was, when the icon cannot be drawn here (under Wine: an icon of another process).
bool DrawIconOnto(TBitmap16& Bitmap, HICON Icon);
// An icon of this process made from handed-over pixels.
ScopedIcon IconFromPixels(const TIconPixels& Pixels);
