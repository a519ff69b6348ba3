#pragma once
// The order of the notification-area icons, kept in the lasting key ("TrayOrder") while the
// lasting order's option is on: remembered when the user drags an icon, put back when an icon
// comes back (its program or the shell started again).
#include <windows.h>

#include "taskbar/taskbuttons.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class TTrayOrder {
public:
    void Load();
    // The user moved an icon: the tray's order of icons joins the remembered one.
    void Remember(bool Enabled);
    void Forget();
    // The shell came back: the next Watch looks at the whole tray.
    void Recheck() { Count_ = -1; }
    // The refresh tick: puts returning icons in their place when the tray changed.
    void Watch(bool Enabled);
    // Brings the remembered icons into their order now; the moves made.
    int Apply();
    const std::vector<std::string>& Order() const { return Order_; }

private:
    std::vector<std::string> Order_;
    HWND Toolbar_ = nullptr; // the tray as last looked at: its toolbar, count and last icon
    int Count_ = -1;
    std::pair<TWndHandle, uint32_t> LastIcon_{0, 0};
};
