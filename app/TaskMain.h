#pragma once
// The main window fTaskBarMain: start-up, the close requests and every way the program ends,
// and the process-wide state that the other windows share with it.
#include <cstdint>

#include "app/ExitCommand.h"
#include "taskbar/taskbuttons.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Dialogs.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

class TfTaskBarMain : public TForm, private TExitSteps {
public:
    explicit TfTaskBarMain(TComponent* Owner);
    ~TfTaskBarMain() override;

    // Controls, in the order the window creates them.
    TPageControl* TkPageControl1;
    TTabSheet* TabTaskbar;
    // The check list QlxCheckListTaskBar comes here, on TabTaskbar at 5, 8, 511 x 312.
    TButton* bUp;
    TButton* bDown;
    TTabSheet* TabSettings;
    TCheckBox* cbStartUp;
    TCheckBox* cmodmove;
    TButton* bHelp;
    TButton* bOk;
    TButton* bExit;
    TButton* bDemo_OLD;
    TTimer* TimerRefresh;
    TTimer* TimerHide;
    TTimer* TimerForce;
    TTimer* TimerHelp;
    TMessageBox* Msg;

    void FormCreate(TObject* Sender);
    // The application-wide error handler: the error's text in a warning box.
    void ShowApplicationError(TObject* Sender, const Exception& E);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void mExitClick(TObject* Sender);
    void bExitClick(TObject* Sender);
    void bOkClick(TObject* Sender);
    void OneInstance1ApplicationExists(TObject* Sender);
    void cbStartUpClick(TObject* Sender);

    void TimerRefreshOnTimer(TObject* Sender);
    void TimerHideTimer(TObject* Sender);
    void TimerForceTimer(TObject* Sender);
    void TimerHelpTimer(TObject* Sender);

protected:
    void WndProc(TMessage& Message) override;

private:
    // The session really ends (WM_ENDSESSION with TRUE): other programs end with it.
    bool SessionEnds = false;

    // Creation steps whose components come later.
    void RestoreStates();
    void SetUpTrayIcon();
    void StartIconHook();

    // TExitSteps
    void RemoveTrayIcon() override;
    void ShowHiddenWindow(TWndHandle Wnd) override;
    void SaveControlStates() override;
    void SaveWindowState() override;
    void StopMouseHook() override;
    void StopIconHook() override;
    void CloseMainWindow() override;
};

extern TfTaskBarMain* fTaskBarMain;

// True once the program is ending; never goes back to false.
extern bool Exiting;
// Set when the user asked for the demonstration at the first run.
extern bool ShowDemo;
// The groups the user has hidden, with their windows (hidden while they are here).
extern TGroupList HiddenGroups;
