#include "app/ExitCommand.h"

void ShowHiddenGroups(const TGroupList& HiddenGroups, TExitSteps& Steps) {
    for (const TGroupListItem& item : HiddenGroups)
        if (item.Group)
            for (TWndHandle wnd : item.Group->Windows)
                Steps.ShowHiddenWindow(wnd);
}

void RunExitCommand(const TGroupList& HiddenGroups, bool& Exiting, bool& Done, TExitSteps& Steps) {
    Steps.RemoveTrayIcon();
    ShowHiddenGroups(HiddenGroups, Steps);
    if (Done)
        return;
    // The settings are written while the program still counts as running; only then is it
    // ending.
    Steps.SaveControlStates();
    Steps.SaveWindowState();
    Exiting = true;
    Done = true;
    Steps.StopMouseHook();
    Steps.StopIconHook();
    Steps.CloseMainWindow();
}
