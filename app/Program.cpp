#include "app/Program.h"

#include "app/Help.h"
#include "app/TaskMain.h"
#include "dragdrop/TaskBallon.h"
#include "toolkit/Forms.h"

bool TDesktopWindows::IsShown(TWndHandle Wnd) {
    return ::IsWindowVisible(ToHWND(Wnd)) != FALSE;
}

void TDesktopWindows::Hide(TWndHandle Wnd) {
    ::ShowWindow(ToHWND(Wnd), SW_HIDE);
}

void TDesktopWindows::Show(TWndHandle Wnd) {
    ::ShowWindow(ToHWND(Wnd), SW_SHOWNA);
}

TWndHandle TDesktopWindows::Foreground() {
    return FromHWND(::GetForegroundWindow());
}

void TDesktopWindows::SetForeground(TWndHandle Wnd) {
    ::SetForegroundWindow(ToHWND(Wnd));
}

TProgram::TProgram() = default;

void TProgram::CreateForms(TApplication& App, bool WithHelp, bool ShowMainFirst) {
    App.CreateForm(Main, *this);
    if (WithHelp)
        App.CreateForm(Help);
    // The balloon window starts the mouse hook, whose own thread waits for input at once: from
    // then on the process counts as started (WaitForInputIdle of whoever started it returns).
    // So it comes last, with the other windows made and (for the real start) the main window up.
    if (ShowMainFirst && !App.Terminated())
        Main->Show();
    App.CreateForm(Balloon, Main, Taskbar);
    Main->SetPartners(Balloon, Help);
}

void TProgram::Run() {
    TApplication application;
    application.Initialize();
    application.SetTitle("Zorvane");
    CreateForms(application, true, true);
    application.Run();
}
