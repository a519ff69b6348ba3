#include "app/ExitCommand.h"

void RunExitCommand(const TGroupList& HiddenGroups, bool& Exiting, TExitSteps& Steps) {
    Steps.RemoveTrayIcon();
    for (const TGroupListItem& item : HiddenGroups)
        if (item.Group)
            for (TWndHandle wnd : item.Group->Windows)
                Steps.ShowHiddenWindow(wnd);
    if (Exiting)
        return;
    // The settings are written while the program still counts as running; only then is it
    // ending.
    Steps.SaveControlStates();
    Steps.SaveWindowState();
    Exiting = true;
    Steps.StopMouseHook();
    Steps.StopIconHook();
    Steps.CloseMainWindow();
}
