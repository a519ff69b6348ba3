#pragma once
// The tray icon's decisions on plain data: what the mouse messages of the icon's callback
// mean (single click, double click, popup), the tooltip text, the icon index within its list
// and the animation step. The component itself is TTrayIcon (components/TrayIcon_win.h).
// Platform-free.
#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/Classes.h"

// The mouse messages the shell reports for an icon (the callback's lParam).
enum : uint32_t {
    kTrayMouseMove = 0x0200,
    kTrayLButtonDown = 0x0201,
    kTrayLButtonUp = 0x0202,
    kTrayLButtonDblClk = 0x0203,
    kTrayRButtonDown = 0x0204,
    kTrayRButtonUp = 0x0205,
    kTrayMButtonDown = 0x0207,
    kTrayMButtonUp = 0x0208,
};

// One thing the component does in answer to a mouse message or a click-timer tick, in order.
struct TTrayAction {
    enum TKind : uint8_t {
        StartClickTimer, // switch the click timer on (a running timer goes on as it is)
        StopClickTimer,
        MouseMove,   // OnMouseMove
        MouseDown,   // OnMouseDown with Button
        MouseUp,     // OnMouseUp with Button
        Click,       // OnClick
        DblClick,    // OnDblClick
        Popup,       // the popup menu at the pointer
        DefaultItem, // the click action of the popup menu's default item
    };
    TKind Kind;
    TMouseButton Button = TMouseButton::Left;

    bool operator==(const TTrayAction& O) const { return Kind == O.Kind && Button == O.Button; }
};
using TTrayActions = std::vector<TTrayAction>;

// What the component's settings say about a mouse message.
struct TTrayMouseContext {
    bool Enabled = true;        // mouse actions are reported; off: everything is swallowed
    bool LeftPopup = false;     // a left press opens the menu as well
    bool MenuAutoPopup = false; // a popup menu with automatic popup is attached
};

// Tells a single click from the clicks of a double click with a timer of the system's
// double-click time: a single click is reported when the timer runs out after the press
// (or at the release, when the button was held longer than that); the clicks of a double
// click are never reported, only the double click.
class TTrayClicks {
public:
    TTrayActions MouseMessage(uint32_t Message, const TTrayMouseContext& Context);
    TTrayActions ClickTimerTick();
    bool ClickTimerRunning() const { return TimerRunning_; }

private:
    bool TimerRunning_ = false;
    bool LeftDown_ = false;     // a left press was seen on the icon
    bool ClickPending_ = false; // a left release waits for the timer to become a click
    bool DoubleClick_ = false;  // a double click came since the timer started
};

// The tooltip as the shell takes it: the first 127 characters of the hint, or none when the
// hint is empty or not to be shown. Line breaks pass through.
std::string TrayTip(const std::string& Hint, bool ShowHint);

// The icon index N as the component keeps it for a list of Count images: lowered to the last
// image when beyond it; 0 without images.
int TrayIconIndex(int N, int Count);

// The image after Index in a list of Count (> 0) images: the animation's next step, which
// wraps around to the first image after the last.
int TrayCycleNext(int Index, int Count);
