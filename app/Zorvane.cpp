// Program entry: the version gate, then the three windows and the message loop. The program
// takes no arguments, and its exit code is 0 on every path.
#include <windows.h>

#include "app/InfoDirs.h"
#include "app/Program.h"
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
    TProgram program;
    program.Run();
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
