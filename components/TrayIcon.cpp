#include "components/TrayIcon.h"

#include <algorithm>

namespace {
constexpr std::size_t kTipLength = 127; // the shell's tip holds 128 characters with the NUL
} // namespace

TTrayActions TTrayClicks::MouseMessage(uint32_t Message, const TTrayMouseContext& Context) {
    TTrayActions out;
    if (!Context.Enabled)
        return out;
    switch (Message) {
    case kTrayMouseMove:
        out.push_back({TTrayAction::MouseMove});
        break;
    case kTrayLButtonDown:
        if (!TimerRunning_) {
            TimerRunning_ = true;
            out.push_back({TTrayAction::StartClickTimer});
        }
        out.push_back({TTrayAction::MouseDown, TMouseButton::Left});
        LeftDown_ = true;
        if (Context.LeftPopup)
            out.push_back({TTrayAction::Popup});
        break;
    case kTrayLButtonUp:
        if (LeftDown_) {
            ClickPending_ = true;
            if (!TimerRunning_) {
                // Held longer than the double-click time: the click is reported at once.
                ClickPending_ = false;
                DoubleClick_ = false;
                out.push_back({TTrayAction::Click});
            }
        }
        LeftDown_ = false;
        out.push_back({TTrayAction::MouseUp, TMouseButton::Left});
        break;
    case kTrayLButtonDblClk:
        ClickPending_ = false;
        DoubleClick_ = true;
        out.push_back({TTrayAction::DblClick});
        if (Context.MenuAutoPopup && !Context.LeftPopup)
            out.push_back({TTrayAction::DefaultItem});
        break;
    case kTrayRButtonDown:
        out.push_back({TTrayAction::MouseDown, TMouseButton::Right});
        out.push_back({TTrayAction::Popup});
        break;
    case kTrayRButtonUp:
        out.push_back({TTrayAction::MouseUp, TMouseButton::Right});
        break;
    case kTrayMButtonDown:
        out.push_back({TTrayAction::MouseDown, TMouseButton::Middle});
        break;
    case kTrayMButtonUp:
        out.push_back({TTrayAction::MouseUp, TMouseButton::Middle});
        break;
    default:
        break;
    }
    return out;
}

TTrayActions TTrayClicks::ClickTimerTick() {
    TTrayActions out;
    if (TimerRunning_) {
        TimerRunning_ = false;
        out.push_back({TTrayAction::StopClickTimer});
    }
    if (!DoubleClick_ && ClickPending_) {
        ClickPending_ = false;
        out.push_back({TTrayAction::Click});
    }
    DoubleClick_ = false;
    return out;
}

std::string TrayTip(const std::string& Hint, bool ShowHint) {
    if (!ShowHint)
        return {};
    return Hint.substr(0, std::min(Hint.size(), kTipLength));
}

int TrayIconIndex(int N, int Count) {
    if (Count <= 0)
        return 0;
    return std::clamp(N, 0, Count - 1);
}

int TrayCycleNext(int Index, int Count) {
    return Index + 1 < Count ? Index + 1 : 0;
}
