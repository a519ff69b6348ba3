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

void TProgram::CreateForms(TApplication& App, bool WithHelp) {
    App.CreateForm(Main, *this);
    App.CreateForm(Balloon, Main, Taskbar);
    if (WithHelp)
        App.CreateForm(Help);
    Main->SetPartners(Balloon, Help);
}

void TProgram::Run() {
    TApplication application;
    application.Initialize();
    application.SetTitle("Zorvane");
    CreateForms(application);
    application.Run();
}
