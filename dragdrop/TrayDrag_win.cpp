#include "dragdrop/TrayDrag_win.h"

#include <algorithm>
#include <vector>

#include "taskbar/trayicons_win.h"

namespace {
std::vector<TTrayIconPlace> Places(const std::vector<TTrayButton>& Buttons) {
    std::vector<TTrayIconPlace> places;
    for (const TTrayButton& b : Buttons)
        places.push_back({b.Index, b.Visible, b.Rect});
    return places;
}

TPoint ToClient(HWND Wnd, TPoint P) {
    POINT p{P.X, P.Y};
    ::ScreenToClient(Wnd, &p);
    return {p.x, p.y};
}
} // namespace

bool TTrayDrag::Press(HWND Source, TPoint P) {
    Cancel();
    const HWND toolbar = FindTrayToolbar();
    if (toolbar == nullptr || Source != toolbar)
        return false;
    const TPoint c = ToClient(toolbar, P);
    for (const TTrayButton& b : ReadTrayButtons(toolbar)) {
        if (b.Visible && c.X >= b.Rect.Left && c.X < b.Rect.Right && c.Y >= b.Rect.Top &&
            c.Y < b.Rect.Bottom) {
            Toolbar_ = toolbar;
            From_ = b.Index;
            Wnd_ = b.Wnd;
            Uid_ = b.Uid;
            return true;
        }
    }
    return false;
}

std::optional<TTrayDrop> TTrayDrag::DropAt(TPoint P) const {
    const std::vector<TTrayButton> buttons = ReadTrayButtons(Toolbar_);
    // The dragged icon where it stands now (the toolbar may have changed since the press).
    const auto it = std::find_if(buttons.begin(), buttons.end(), [&](const TTrayButton& b) {
        return b.Wnd == Wnd_ && b.Uid == Uid_;
    });
    if (it == buttons.end())
        return std::nullopt;
    return TrayDropAt(Places(buttons), it->Index, ToClient(Toolbar_, P));
}

void TTrayDrag::Move(TPoint P) {
    if (!Dragging())
        return;
    const std::optional<TTrayDrop> drop = DropAt(P);
    if (drop)
        ShowMark(drop->Mark);
    else if (Mark_)
        ::ShowWindow(Mark_.get(), SW_HIDE);
}

bool TTrayDrag::Release(TPoint P) {
    if (!Dragging())
        return false;
    const std::vector<TTrayButton> buttons = ReadTrayButtons(Toolbar_);
    const auto it = std::find_if(buttons.begin(), buttons.end(), [&](const TTrayButton& b) {
        return b.Wnd == Wnd_ && b.Uid == Uid_;
    });
    std::optional<TTrayDrop> drop;
    if (it != buttons.end())
        drop = TrayDropAt(Places(buttons), it->Index, ToClient(Toolbar_, P));
    const HWND toolbar = Toolbar_;
    Cancel();
    return drop && drop->MoveTo != it->Index && MoveTrayButton(toolbar, it->Index, drop->MoveTo);
}

void TTrayDrag::Cancel() {
    From_ = -1;
    Toolbar_ = nullptr;
    if (Mark_)
        ::ShowWindow(Mark_.get(), SW_HIDE);
}

void TTrayDrag::ShowMark(const TRect& ClientRect) {
    if (!Mark_) {
        // A black static control: it draws itself and lets the mouse through to the tray.
        Mark_.reset(::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, "STATIC",
                                      "", WS_POPUP | SS_BLACKRECT, 0, 0, 0, 0, nullptr, nullptr,
                                      nullptr, nullptr));
        if (!Mark_)
            return;
    }
    POINT topLeft{ClientRect.Left, ClientRect.Top};
    ::ClientToScreen(Toolbar_, &topLeft);
    ::SetWindowPos(Mark_.get(), HWND_TOPMOST, topLeft.x, topLeft.y,
                   ClientRect.Right - ClientRect.Left, ClientRect.Bottom - ClientRect.Top,
                   SWP_NOACTIVATE | SWP_SHOWWINDOW);
}
