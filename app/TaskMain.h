#pragma once
// The main window: start-up, the close requests and every way the program ends, the list of
// taskbar groups with its refresh (the commands themselves are in app/ListCommands.h), the
// tray icon and the Settings tab. It works with the program's services (app/Program.h).
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/ExitCommand.h"
#include "app/LastingOrder_win.h"
#include "app/ListCommands.h"
#include "components/OneInstance_win.h"
#include "components/QlxCheckList.h"
#include "components/QlxThemeSave_win.h"
#include "components/SaveState_win.h"
#include "components/TrayIcon_win.h"
#include "dragdrop/BalloonHost.h"
#include "taskbar/IconCache.h"
#include "taskbar/RefreshCheck_win.h"
#include "taskbar/loader_hook_win.h"
#include "taskbar/taskbuttons.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Dialogs.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/ImgList.h"
#include "toolkit/Menus.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/TkForm.h"

class TProgram;
class TListRefresh;
class TFTaskBarBallon;
class TFHelp;

// The font of the Settings tab's controls.
inline const TFontDef& SettingsFont() {
    static const TFontDef font{"Tahoma", -13, false};
    return font;
}

class TfTaskBarMain : public TForm, public IBalloonHost, private TExitSteps {
public:
    TfTaskBarMain(TComponent* Owner, TProgram& Program);
    ~TfTaskBarMain() override;
    // The balloon (drag and drop on the taskbar) and the help window, made after this one.
    void SetPartners(TFTaskBarBallon* Balloon, TFHelp* Help);

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
    TCheckBox* cbMiddleClose; // a middle click on a taskbar button closes its window
    TButton* bHelp;
    TButton* bOk;
    TButton* bExit;
    TButton* bDemo_OLD;
    TTimer* TimerRefresh;
    TTimer* TimerHide;
    TTimer* TimerForce;
    TTimer* TimerHelp;
    TMessageBox* Msg;
    // The tray icon with its pictures and menu.
    TImageList* ImageList1;
    TPopupMenu* TkPopupMenu1;
    TMenuItem* mZorvane;
    TMenuItem* mSettings;
    TMenuItem* mHelp;
    TMenuItem* mExit;
    TTrayIcon* TrayIcon1;
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

    // The tray icon and its menu, the Settings tab and the start-with-Windows entry, Help.
    // The list (tray double-click, "Zorvane"): the first tab, shown in front.
    void TrayIcon1Click(TObject* Sender);
    void mZorvaneClick(TObject* Sender);
    // The Settings tab, shown.
    void mSettingsClick(TObject* Sender);
    // Help: the main window hides, and the help window shows modally.
    void mHelpClick(TObject* Sender);
    void bHelpClick(TObject* Sender);
    // F1, whichever control has the focus: Help.
    void FormKeyUp(TObject* Sender, uint16_t& Key, TShiftState Shift);
    // Writes or deletes the start-with-Windows entry as cbStartUp says, then shows what the
    // registry holds.
    void cbStartUpClick(TObject* Sender);
    // Reads (Write false) or writes the start-with-Windows entry; see RunEntry in
    // app/RunEntry.h.
    bool RunEntry(bool& Enabled, bool Write);
    // With the demonstration asked for, every showing brings the help window a second later.
    void FormShow(TObject* Sender);
    void bDemo_OLDClick(TObject* Sender);
    // Opens Name from the "help" folder beside the program with the shell; nothing happens
    // when it is missing.
    void OpenHelpDocument(const std::string& Name);

    // The list commands: Up and Down move the selected row's group one place; a row click
    // sets the two buttons; unchecking a row hides its group's windows, checking shows them.
    void bUpClick(TObject* Sender);
    void bDownClick(TObject* Sender);
    void QlxCheckListTaskBarItemClick(TObject* Sender, TQlxListItem* Item);
    void QlxCheckListTaskBarItemCheck(TObject* Sender, TQlxListItem* Item);
    // The frame's maximise request: it goes ahead, and the program's taskbar button stays
    // hidden.
    void TkForm1Maximize(TObject* Sender, bool& CallDefault);

    // One refresh of the list (also called with no sender by Up and Down, which always
    // rebuilds it). A tick rebuilds the rows only when the taskbar changed. The refresh runs in
    // steps: the first at once, the others from TimerRefreshStep, so that the window handles
    // its messages in between; a tick while one runs starts none.
    void TimerRefreshOnTimer(TObject* Sender);
    TTimer* TimerRefreshStep;
    void TimerRefreshStepTimer(TObject* Sender);
    // True while a refresh has steps left.
    bool RefreshUnderWay() const { return Refresh_ != nullptr; }
    // The refresh's cheap look at the taskbar, and the group icons kept between rebuilds.
    TRefreshGate RefreshGate;
    TIconCache IconCache;
    void TimerHideTimer(TObject* Sender);
    void TimerForceTimer(TObject* Sender);
    void TimerHelpTimer(TObject* Sender);

    // IBalloonHost
    void SetListRefresh(bool On) override;
    void StartHideTimer() override;
    void StartMousePoll() override;
    void ShowWarning(const std::string& Text) override;
    void SetHostTitle(const std::string& Text) override;
    void HideAppButton() override;
    void GroupMoved() override;
    bool MiddleClickCloses() const override;
    void TrayIconMoved() override;

    // ---- Beyond the list: an order that lasts, windows never lost, moves from the keyboard.
    // Settings tab controls below the two options; their states live in a key of their own
    // (kLastingKey), outside the control states.
    TCheckBox* cbKeepOrder;
    TButton* bForgetOrder;
    TLabel* lMoveLeft;
    THotKey* hkMoveLeft;
    TLabel* lMoveRight;
    THotKey* hkMoveRight;
    TCheckBox* cbMoveWinKey;
    TLabel* lMoveKeysTaken; // names the keys another program holds; empty when none
    void cbKeepOrderClick(TObject* Sender);
    void bForgetOrderClick(TObject* Sender);
    // Either key control or the Windows key check box changed: the keys are registered anew.
    void MoveKeysChange(TObject* Sender);
    // The move keys: the foreground window's group one place left or up (Step -1), right or
    // down (1), through the mover of Up and Down; nothing at either end.
    void MoveForegroundGroup(int Step);

protected:
    void WndProc(TMessage& Message) override;

private:
    // The session really ends (WM_ENDSESSION with TRUE): other programs end with it.
    bool SessionEnds = false;
    TProgram& Program_;
    TFTaskBarBallon* Balloon_ = nullptr;
    TFHelp* Help_ = nullptr;
    // The icon library in the shell.
    TIconHookLoader IconHook;
    TListCommands Commands;

    // The refresh under way, and its next step. A refresh dropped while it runs (by a new
    // shell, or a command that rebuilds the rows) is let go when its step ends.
    std::unique_ptr<TListRefresh> Refresh_;
    bool RefreshDropped_ = false;
    unsigned TrayPolls_ = 0; // mouse polls while the refresh timer rests in the tray
    void RefreshStep();
    void DropRefresh();
    // Rebuilds the rows, keeping the user's row.
    void FillRows(const TListRows& Rows);
    static std::optional<TGroupId> RowGroup(const TQlxListItem& Item);
    bool Refreshing = false;
    bool DragInProgress() const;
    // Up (Step -1) and Down (Step 1).
    void MoveSelectedRow(int Step);

    // Creation steps: the first-run branch, the defaults, then the window and control states.
    void RestoreStates();
    // The tray icon, its pictures and its menu (the menu is attached by SetUpTrayIcon).
    void CreateTrayIcon();
    // The Default key of the control states is missing.
    bool IsFirstRun() const;
    void SetUpTrayIcon();
    // Method as an event handler of this window.
    TNotifyEvent Handler(void (TfTaskBarMain::*Method)(TObject*));
    // The Exit command's steps have run: a second Exit only shows the hidden windows again.
    bool ExitDone = false;
    void StartIconHook();

    // The move keys (see the section above).
    TMoveHotKeys MoveHotKeys;
    // This instance has taken over the record of hidden windows (a second start never does).
    bool OwnsHiddenRecord = false;
    void CreateLastingControls();
    void StartLasting();
    // Registers the move keys; the Settings tab names Refusal, or else the keys another
    // program holds.
    void RegisterMoveKeys(const std::string& Refusal = {});
    // The key controls and the Windows key check box show the keys as they are.
    void ShowMoveKeys();
    // Without the Windows key the key controls turn a key alone, or with Shift alone, into a
    // key with Ctrl.
    void SetMoveKeyRules();

    // TExitSteps
    void RemoveTrayIcon() override;
    void ShowHiddenWindow(TWndHandle Wnd) override;
    void SaveControlStates() override;
    void SaveWindowState() override;
    void StopMouseHook() override;
    void StopIconHook() override;
    void CloseMainWindow() override;
};

// Hides the application's owner window, which would otherwise carry the program's own taskbar
// button.
void HideAppButton();
