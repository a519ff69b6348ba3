#pragma once
// A drag of a notification-area icon along the shell's tray toolbar, with the same mouse hook
// as the taskbar's drag: a left press on an icon starts it, a thin black line marks where the
// icon would land while the mouse moves, and the release moves the icon's button there.
#include <windows.h>

#include <cstdint>
#include <optional>

#include "dragdrop/TrayDrop.h"
#include "toolkit/ScopedWin.h"

class TTrayDrag {
public:
    // A left press at screen point P over the window Source: a drag starts when Source is the
    // tray toolbar and P lies on a shown icon. True when it started.
    bool Press(HWND Source, TPoint P);
    bool Dragging() const { return From_ >= 0; }
    // The mark follows the mouse; it hides where no drop can be made.
    void Move(TPoint P);
    // Ends the drag, moving the icon where it was dropped; true when it moved.
    bool Release(TPoint P);
    // Ends the drag without a move.
    void Cancel();
    // The insertion line (a window of its own); 0 until the first move.
    HWND MarkWindow() const { return Mark_.get(); }

private:
    // Where the dragged icon would land with the mouse at screen point P.
    std::optional<TTrayDrop> DropAt(TPoint P) const;
    void ShowMark(const TRect& ClientRect);

    HWND Toolbar_ = nullptr;
    int32_t From_ = -1;
    TWndHandle Wnd_ = 0; // the dragged icon, to find it again should the toolbar change
    uint32_t Uid_ = 0;
    ScopedWindow Mark_;
};
