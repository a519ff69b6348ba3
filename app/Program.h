#pragma once
// The program's services, owned in one place: the taskbar, the icon channel, the groups the
// user has hidden with their record, the lasting order and the state of the whole run. WinMain
// makes one and runs it; the forms it creates are handed what they use.
#include <windows.h>

#include "app/LastingOrder_win.h"
#include "app/ListCommands.h"
#include "app/TrayOrder_win.h"
#include "taskbar/Taskbar_win.h"
#include "taskbar/loader_hook_win.h"

class TApplication;
class TfTaskBarMain;
class TFTaskBarBallon;
class TFHelp;

// The user's windows as the list commands change them.
class TDesktopWindows : public IUserWindows {
public:
    bool IsShown(TWndHandle Wnd) override;
    void Hide(TWndHandle Wnd) override;
    void Show(TWndHandle Wnd) override;
    TWndHandle Foreground() override;
    void SetForeground(TWndHandle Wnd) override;
};

class TProgram {
public:
    TProgram();
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    // Creates the three windows and runs the message loop until the program ends.
    void Run();
    // Creates the main window, the balloon and (WithHelp) the help window in App, handing each
    // what it uses. They belong to App; the pointers below name them while they live.
    // ShowMainFirst shows the main window before the balloon is made (the real start).
    void CreateForms(TApplication& App, bool WithHelp = true, bool ShowMainFirst = false);
    TfTaskBarMain* Main = nullptr;
    TFTaskBarBallon* Balloon = nullptr;
    TFHelp* Help = nullptr;

    TTaskbar Taskbar;
    TIconChannel IconChannel;
    TDesktopWindows Windows;
    THiddenRecord HiddenRecord;
    THiddenGroups HiddenGroups{&HiddenRecord};
    TLastingOrder LastingOrder{Taskbar};
    TTrayOrder TrayOrder; // the notification area's icons, kept with the same option
    // True once the program is ending; never goes back to false.
    bool Exiting = false;
    // Set when the user asked for the demonstration at the first run.
    bool ShowDemo = false;
};
