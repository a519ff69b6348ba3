#include "toolkit/TkForm.h"

#include <windows.h>

#include "toolkit/Forms.h"

namespace {
// Maximizes (or restores) a hidden window without showing it: the style and the bounds
// change as ShowWindow would change them, and the restore bounds stay in the placement.
void ZoomHidden(HWND Wnd, bool Zoom) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    ::GetWindowPlacement(Wnd, &wp);
    const LONG_PTR style = ::GetWindowLongPtrA(Wnd, GWL_STYLE);
    if (Zoom) {
        RECT work{};
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        ::SetWindowLongPtrA(Wnd, GWL_STYLE, (style | WS_MAXIMIZE) & ~WS_MINIMIZE);
        ::SetWindowPos(Wnd, nullptr, work.left, work.top, work.right - work.left,
                       work.bottom - work.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        wp.showCmd = SW_HIDE;
        wp.flags = 0;
        ::SetWindowPlacement(Wnd, &wp); // keeps the restore bounds
    } else {
        ::SetWindowLongPtrA(Wnd, GWL_STYLE, style & ~(WS_MAXIMIZE | WS_MINIMIZE));
        const RECT& r = wp.rcNormalPosition;
        ::SetWindowPos(Wnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
}
} // namespace

TTkForm::TTkForm(TComponent* Owner, std::string Name)
    : TComponent(Owner, std::move(Name)), Form_(dynamic_cast<TForm*>(Owner)) {}

TTkWindowState TTkForm::WindowState() const {
    if (!Form_)
        return State_;
    HWND h = Form_->Handle();
    if (::IsZoomed(h))
        return kwsMaximized;
    if (::IsIconic(h))
        return kwsMinimized;
    // The user restored the window, or it never left the state set last.
    return State_ == kwsMaximized || State_ == kwsMinimized ? kwsNormal : State_;
}

void TTkForm::SetWindowState(TTkWindowState Value) {
    State_ = Value;
    if (!Form_)
        return;
    HWND h = Form_->Handle();
    const bool visible = ::IsWindowVisible(h) != FALSE;
    switch (Value) {
    case kwsMaximized:
        if (visible)
            ::ShowWindow(h, SW_MAXIMIZE);
        else if (!::IsZoomed(h))
            ZoomHidden(h, true);
        break;
    case kwsMinimized:
        if (visible)
            ::ShowWindow(h, SW_MINIMIZE);
        break;
    case kwsNormal:
    case kwsRollup:
    case kwsTray:
        if (::IsZoomed(h) || ::IsIconic(h)) {
            if (visible)
                ::ShowWindow(h, SW_RESTORE);
            else
                ZoomHidden(h, false);
        }
        break;
    }
}
