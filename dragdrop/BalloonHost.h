#pragma once
// What the drop balloon needs of the window that hosts it (the main window): its timers, its
// message box, its title and the hiding of the program's own taskbar button. The balloon finds
// its host as the application's main form.
#include <string>

class IBalloonHost {
public:
    virtual ~IBalloonHost() = default;
    // The list refresh runs exactly while no drag is in progress.
    virtual void SetListRefresh(bool On) = 0;
    // After start-up the host hides itself once (only when drag and drop works).
    virtual void StartHideTimer() = 0;
    // The mouse poll that stands in for mouse events the hook did not report.
    virtual void StartMousePoll() = 0;
    // A warning in the host's message box.
    virtual void ShowWarning(const std::string& Text) = 0;
    virtual void SetHostTitle(const std::string& Text) = 0;
    // Keeps the program's own taskbar button hidden.
    virtual void HideAppButton() = 0;
    // The user moved a group on the taskbar by drag and drop.
    virtual void GroupMoved() {}
    // The user moved a notification-area icon by drag and drop.
    virtual void TrayIconMoved() {}
    // A middle click on a taskbar button closes that button's window (the user's option).
    virtual bool MiddleClickCloses() const { return true; }
};
