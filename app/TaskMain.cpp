#include "app/TaskMain.h"

#include "dragdrop/TaskBallon.h"
#include "taskbar/taskbuttons_win.h"

TfTaskBarMain* fTaskBarMain = nullptr;
bool Exiting = false;
bool ShowDemo = false;
TGroupList HiddenGroups;

namespace {
const TFontDef kSettingsFont{"Tahoma", -13, false};
} // namespace

TfTaskBarMain::TfTaskBarMain(TComponent* Owner)
    : TForm(Owner, {.ClassName = "TfTaskBarMain",
                    .Name = "fTaskBarMain",
                    .Caption = "Zorvane",
                    .ClientWidth = 586,
                    .ClientHeight = 419,
                    .BorderStyle = TBorderStyle::Dialog,
                    .StayOnTop = true}) {
    KeyPreview = true;
    auto handler = [this](void (TfTaskBarMain::*method)(TObject*)) {
        return [this, method](TObject* Sender) { (this->*method)(Sender); };
    };

    TkPageControl1 = Create<TPageControl>(
        TPageControlParams{.Name = "TkPageControl1", .Parent = this, .Bounds = {8, 8, 573, 366}});
    TabTaskbar = Create<TTabSheet>(
        TTabSheetParams{.Name = "TabTaskbar", .PageControl = TkPageControl1, .Caption = "Zorvane"});
    // The pictures of the buttons and tabs come with the image list ilButtons.
    bUp = Create<TButton>(
        TButtonParams{.Name = "bUp", .Parent = TabTaskbar, .Bounds = {525, 5, 33, 150}});
    bDown = Create<TButton>(
        TButtonParams{.Name = "bDown", .Parent = TabTaskbar, .Bounds = {525, 170, 35, 150}});
    TabSettings = Create<TTabSheet>(TTabSheetParams{
        .Name = "TabSettings", .PageControl = TkPageControl1, .Caption = "Settings"});
    cbStartUp = Create<TCheckBox>(
        TCheckBoxParams{.Name = "cbStartUp",
                        .Parent = TabSettings,
                        .Bounds = {8, 56, 530, 20},
                        .Caption = "Start this program each time Windows starts up",
                        .Checked = true,
                        .Font = kSettingsFont,
                        .OnClick = handler(&TfTaskBarMain::cbStartUpClick)});
    cmodmove = Create<TCheckBox>(TCheckBoxParams{
        .Name = "cmodmove",
        .Parent = TabSettings,
        .Bounds = {8, 100, 530, 41},
        .Caption = "Use an alternate method for moving taskbar buttons (causes additional "
                   "flicker but fixes some minor problems on very rare systems)",
        .WordWrap = true,
        .Font = kSettingsFont});
    bHelp = Create<TButton>(TButtonParams{
        .Name = "bHelp", .Parent = this, .Bounds = {9, 382, 90, 30}, .Caption = "Help"});
    bOk = Create<TButton>(TButtonParams{.Name = "bOk",
                                        .Parent = this,
                                        .Bounds = {484, 382, 95, 30},
                                        .Caption = "OK",
                                        .Default = true,
                                        .Cancel = true,
                                        .OnClick = handler(&TfTaskBarMain::bOkClick)});
    bExit = Create<TButton>(TButtonParams{.Name = "bExit",
                                          .Parent = this,
                                          .Bounds = {379, 382, 95, 30},
                                          .Caption = "Exit program",
                                          .OnClick = handler(&TfTaskBarMain::bExitClick)});
    bDemo_OLD =
        Create<TButton>(TButtonParams{.Name = "bDemo_OLD",
                                      .Parent = this,
                                      .Bounds = {119, 381, 87, 33},
                                      .Caption = "How to do this easier using drag and drop",
                                      .Visible = false,
                                      .WordWrap = true});

    // All off at creation; the balloon window switches them on (see TFTaskBarBallon).
    TimerRefresh = Create<TTimer>(
        TTimerParams{"TimerRefresh", 1000, false, handler(&TfTaskBarMain::TimerRefreshOnTimer)});
    TimerHide = Create<TTimer>(
        TTimerParams{"TimerHide", 100, false, handler(&TfTaskBarMain::TimerHideTimer)});
    TimerForce = Create<TTimer>(
        TTimerParams{"TimerForce", 500, false, handler(&TfTaskBarMain::TimerForceTimer)});
    TimerHelp = Create<TTimer>(
        TTimerParams{"TimerHelp", 1000, false, handler(&TfTaskBarMain::TimerHelpTimer)});
    Msg = Create<TMessageBox>("Msg");

    // The single-instance guard OneInstance1 will be created here: its Loaded runs before
    // FormCreate and calls OneInstance1ApplicationExists in a second instance.

    // The snapshot's icon requests name this window as the one to answer.
    IconReplyWnd = Handle();

    OnCreate = handler(&TfTaskBarMain::FormCreate);
    OnCloseQuery = [this](TObject* Sender, bool& CanClose) { FormCloseQuery(Sender, CanClose); };
}

TfTaskBarMain::~TfTaskBarMain() {
    // The program ends. Unless the Windows session ends with it, no window of the user's may
    // stay hidden behind it: after a cancelled logoff a mere close request ends the program
    // without the Exit command, and nothing could show those windows again. (After the Exit
    // command they are visible already; SW_SHOWNA leaves them as they are.)
    if (!SessionEnds)
        ShowHiddenGroups(HiddenGroups, *this);
    if (Application && Application->OnException)
        Application->OnException = nullptr; // it points at this window's message box
    fTaskBarMain = nullptr;
    IconReplyWnd = nullptr;
}

void TfTaskBarMain::FormCreate(TObject*) {
    Application->OnException = [this](TObject* Sender, const Exception& E) {
        ShowApplicationError(Sender, E);
    };
    if (Exiting)
        return; // a second start: nothing is read, written or started
    TkPageControl1->SetActivePageIndex(0);
    RestoreStates();
    cbStartUpClick(nullptr);
    SetUpTrayIcon();
    StartIconHook();
}

void TfTaskBarMain::ShowApplicationError(TObject*, const Exception& E) {
    Msg->Execute(E.Message, TMsgDlgType::mtWarning, TMsgDlgButtons::mbOK);
}

void TfTaskBarMain::FormCloseQuery(TObject*, bool& CanClose) {
    // While the program runs a close request only hides the window; it stays in the tray.
    CanClose = Exiting;
    Hide();
}

void TfTaskBarMain::mExitClick(TObject*) {
    RunExitCommand(HiddenGroups, Exiting, *this);
}

void TfTaskBarMain::bExitClick(TObject* Sender) {
    Close();
    mExitClick(Sender);
}

void TfTaskBarMain::bOkClick(TObject*) {
    Close();
}

void TfTaskBarMain::OneInstance1ApplicationExists(TObject*) {
    Exiting = true;
}

void TfTaskBarMain::WndProc(TMessage& Message) {
    if (Message.Msg == WM_QUERYENDSESSION) {
        // The session may end: from now on a close request ends the program at once,
        // without the steps of the Exit command.
        Exiting = true;
        OnCloseQuery = nullptr;
    } else if (Message.Msg == WM_ENDSESSION) {
        SessionEnds = Message.WParam != 0;
    }
    TForm::WndProc(Message);
}

// ---- Steps whose components come later; until then these do nothing.

// Start-with-Windows entry (RunEntry) for the state of cbStartUp.
void TfTaskBarMain::cbStartUpClick(TObject*) {}

// The first-run test (IsFirstRun: the key QlxThemeSave1.DefaultKeyLoad is missing) with its
// branch (SaveState1.Center, SaveState1.Save, QlxThemeSave1.Save and the demonstration
// question that may set ShowDemo), then QlxThemeSave1.SaveDefaults, SaveState1.Load and
// QlxThemeSave1.Load. The question comes with the persistence: only SaveDefaults ends the
// first run.
void TfTaskBarMain::RestoreStates() {}

// TrayIcon1: hint "Zorvane", image 1 of ImageList1, popup menu TkPopupMenu1.
void TfTaskBarMain::SetUpTrayIcon() {}

// The icon channel into the shell (images.dll); its result is not examined.
void TfTaskBarMain::StartIconHook() {}
void TfTaskBarMain::StopIconHook() {}

// TrayIcon1.IconVisible := false.
void TfTaskBarMain::RemoveTrayIcon() {}

void TfTaskBarMain::SaveControlStates() {} // QlxThemeSave1.Save
void TfTaskBarMain::SaveWindowState() {}   // SaveState1.Save

void TfTaskBarMain::StopMouseHook() {
    if (FTaskBarBallon)
        FTaskBarBallon->StopMouseHook();
}

void TfTaskBarMain::ShowHiddenWindow(TWndHandle Wnd) {
    ::ShowWindow(ToHWND(Wnd), SW_SHOWNA);
}

void TfTaskBarMain::CloseMainWindow() {
    Close();
}

// ---- Timers whose work comes later: the list refresh, the hide after start-up, the mouse poll and
// the demonstration.
void TfTaskBarMain::TimerRefreshOnTimer(TObject*) {}
void TfTaskBarMain::TimerHideTimer(TObject*) {}
void TfTaskBarMain::TimerForceTimer(TObject*) {}
void TfTaskBarMain::TimerHelpTimer(TObject*) {}
