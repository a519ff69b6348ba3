#include "app/TrayOrder_win.h"

#include <commctrl.h>

#include <optional>

#include "app/LastingOrder_win.h"
#include "app/TrayOrder.h"
#include "taskbar/trayicons_win.h"

namespace {
// The key of every button of the tray, in toolbar order ("" where the program is unknown).
std::vector<std::string> TrayKeys(const std::vector<TTrayButton>& Buttons) {
    std::vector<std::string> keys;
    for (const TTrayButton& b : Buttons)
        keys.push_back(b.Wnd != 0 ? TrayIconKey(WindowProgram(b.Wnd).Program, b.Uid) : "");
    return keys;
}
} // namespace

void TTrayOrder::Load() {
    Order_ = ParseOrder(ReadLastingString("TrayOrder"));
}

void TTrayOrder::Remember(bool Enabled) {
    if (!Enabled)
        return;
    const std::vector<TTrayButton> buttons = ReadTrayButtons(FindTrayToolbar());
    if (buttons.empty())
        return;
    Order_ = MergeOrder(Order_, TrayKeys(buttons));
    WriteLastingString("TrayOrder", OrderText(Order_));
}

void TTrayOrder::Forget() {
    Order_.clear();
    WriteLastingString("TrayOrder", "");
}

void TTrayOrder::Watch(bool Enabled) {
    if (!Enabled || Order_.size() < 2)
        return;
    const HWND toolbar = FindTrayToolbar();
    const int count =
        toolbar ? static_cast<int>(::SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0)) : -1;
    // A new icon joins at the end: the last button tells, even when another icon went away
    // since the last look and the count is the same.
    const std::vector<TTrayButton> last = ReadTrayButtons(toolbar, count - 1);
    const std::pair<TWndHandle, uint32_t> lastIcon =
        last.empty() ? std::make_pair(TWndHandle{0}, 0u) : std::make_pair(last[0].Wnd, last[0].Uid);
    const bool changed = toolbar != Toolbar_ || count > Count_ || lastIcon != LastIcon_;
    Toolbar_ = toolbar;
    Count_ = count;
    LastIcon_ = lastIcon;
    if (changed && toolbar)
        Apply();
}

int TTrayOrder::Apply() {
    const HWND toolbar = FindTrayToolbar();
    int moves = 0;
    // One move per icon at most; the bound guards against a tray that changes under the moves.
    for (int round = 0; round < 64; ++round) {
        const std::vector<TTrayButton> buttons = ReadTrayButtons(toolbar);
        if (round > static_cast<int>(buttons.size()))
            break;
        const std::optional<TPlacement> p = NextPlacement(TrayKeys(buttons), Order_);
        if (!p || !MoveTrayButton(toolbar, p->From, TrayMoveTarget(*p)))
            break;
        ++moves;
    }
    return moves;
}
