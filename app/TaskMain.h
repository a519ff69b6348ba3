#pragma once
// The main window fTaskBarMain: start-up, the close requests and every way the program ends,
// the list of taskbar groups with its refresh and commands, and the process-wide state that
// the other windows share with it.
#include <cstdint>

#include "app/ExitCommand.h"
#include "components/OneInstance_win.h"
#include "components/QlxCheckList.h"
#include "components/QlxThemeSave_win.h"
#include "components/SaveState_win.h"
#include "taskbar/taskbuttons.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Dialogs.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/ImgList.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/TkForm.h"

class TfTaskBarMain : public TForm, private TExitSteps {
public:
    explicit TfTaskBarMain(TComponent* Owner);
    ~TfTaskBarMain() override;

    // Controls, in the order the window creates them, after their pictures.
    TImageList* ilButtons;
    TPageControl* TkPageControl1;
    TTabSheet* TabTaskbar;
    TQlxCheckList* QlxCheckListTaskBar;
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
    // The window's frame, the single-instance guard and the persistence of the window and
    // control states.
    TTkForm* TkForm1;
    TOneInstance* OneInstance1;
    TSaveState* SaveState1;
    TQlxThemeSave* QlxThemeSave1;

    void FormCreate(TObject* Sender);
    // The application-wide error handler: the error's text in a warning box.
    void ShowApplicationError(TObject* Sender, const Exception& E);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void mExitClick(TObject* Sender);
    void bExitClick(TObject* Sender);
    void bOkClick(TObject* Sender);
    void OneInstance1ApplicationExists(TObject* Sender);
    void cbStartUpClick(TObject* Sender);

    // The list commands: Up and Down move the selected row's group one place; a row click
    // sets the two buttons; unchecking a row hides its group's windows, checking shows them.
    void bUpClick(TObject* Sender);
    void bDownClick(TObject* Sender);
    void QlxCheckListTaskBarItemClick(TObject* Sender, TQlxListItem* Item);
    void QlxCheckListTaskBarItemCheck(TObject* Sender, TQlxListItem* Item);
    // The frame's maximise request: it goes ahead, and the program's taskbar button stays
    // hidden.
    void TkForm1Maximize(TObject* Sender, bool& CallDefault);

    // One refresh of the list from a new snapshot (also called with no sender by Up and Down).
    void TimerRefreshOnTimer(TObject* Sender);
    void TimerHideTimer(TObject* Sender);
    void TimerForceTimer(TObject* Sender);
    void TimerHelpTimer(TObject* Sender);

protected:
    void WndProc(TMessage& Message) override;

private:
    // The session really ends (WM_ENDSESSION with TRUE): other programs end with it.
    bool SessionEnds = false;

    // Rebuilds the rows from a new snapshot and the hidden groups, keeping the user's row.
    void RefreshRows();
    // Up (Step -1) and Down (Step 1).
    void MoveSelectedRow(int Step);

    // Creation steps: the first-run branch, the defaults, then the window and control states.
    void RestoreStates();
    // The Default key of the control states is missing.
    bool IsFirstRun() const;
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

// Hides the application's owner window, which would otherwise carry the program's own taskbar
// button.
void HideAppButton();

// True once the program is ending; never goes back to false.
extern bool Exiting;
// Set when the user asked for the demonstration at the first run.
extern bool ShowDemo;
// The groups the user has hidden, with their windows (hidden while they are here).
extern TGroupList HiddenGroups;
