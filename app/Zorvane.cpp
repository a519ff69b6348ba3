// Program entry: the version gate, then the three windows and the message loop. The program
// takes no arguments, and its exit code is 0 on every path.
#include <windows.h>

#include "app/Help.h"
#include "app/InfoDirs.h"
#include "app/TaskMain.h"
#include "dragdrop/TaskBallon.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Forms.h"

namespace {
void RunProgram() {
    // Windows before XP are refused before any window of ours exists or anything is written.
    if (VersionIsRefused(InfoDir().VersionCode)) {
        MessageDlg(nullptr, "Sorry, this program can only be run on Windows XP or higher.",
                   TMsgDlgType::mtWarning, TMsgDlgButtons::mbOK);
        return;
    }
    TApplication application;
    application.Initialize();
    application.SetTitle("Zorvane");
    application.CreateForm(fTaskBarMain);
    application.CreateForm(FHelp);
    // The balloon window starts the mouse hook, whose own thread waits for input at once: from
    // then on the process counts as started (WaitForInputIdle of whoever started it returns).
    // So it comes last, with the other windows made and the main window up.
    if (!application.Terminated())
        application.MainForm()->Show();
    application.CreateForm(FTaskBarBallon);
    application.Run();
}
} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    InfoDir(); // unit initialisation: the version is detected before anything else runs
    try {
        RunProgram();
    } catch (...) {
        HandleException(nullptr); // a failed start-up is shown, and the program ends
    }
    return 0;
}
