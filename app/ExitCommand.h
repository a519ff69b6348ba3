#pragma once
// The Exit command as plain steps, so that its order can be checked without Windows: the
// main window carries out each step (TfTaskBarMain implements TExitSteps).
#include "taskbar/taskbuttons.h"

class TExitSteps {
public:
    virtual ~TExitSteps() = default;
    virtual void RemoveTrayIcon() = 0;
    // Shows one window of a hidden group without activating it (SW_SHOWNA).
    virtual void ShowHiddenWindow(TWndHandle Wnd) = 0;
    virtual void SaveControlStates() = 0;
    virtual void SaveWindowState() = 0;
    virtual void StopMouseHook() = 0;
    virtual void StopIconHook() = 0;
    // A close request to the main window, which Exiting now allows.
    virtual void CloseMainWindow() = 0;
};

// Shows the windows of every hidden group, group by group and each group's windows in order.
void ShowHiddenGroups(const TGroupList& HiddenGroups, TExitSteps& Steps);

// Removes the tray icon and shows the windows of every hidden group again, group by group
// and each group's windows in order (the groups stay in the list). Unless the command's own
// steps have run already (Done), it then saves the settings, sets Exiting, stops the mouse
// hook and the icon channel and closes the main window, and sets Done. A program that is
// ending already for another reason (Exiting set by a logoff that was then cancelled) ends
// here as well; it would otherwise go on running with no window and no icon.
void RunExitCommand(const TGroupList& HiddenGroups, bool& Exiting, bool& Done, TExitSteps& Steps);
