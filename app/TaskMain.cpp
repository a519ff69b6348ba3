#include "app/TaskMain.h"

#include <shellapi.h>

#include <any>
#include <cstdlib>
#include <exception>
#include <optional>
#include <utility>

#include "app/ButtonPictures.h"
#include "app/Help.h"
#include "app/ListRefresh_win.h"
#include "app/Program.h"
#include "app/RunEntry.h"
#include "app/TaskRows.h"
#include "dragdrop/TaskBallon.h"
#include "taskbar/Taskbar_win.h"
#include "toolkit/Registry_win.h"
#include "toolkit/SysUtils.h"

namespace {
const TFontDef kListFont{"Tahoma", -13, false};

struct TColumnDef {
    const char* Caption;
    int Width;
    int MinWidth;
    int MaxWidth;
    bool Visible;
};
// Only the first column shows; the others carry the row's data for the commands.
const TColumnDef kListColumns[] = {
    {"TaskBar Applications", 450, 400, 1000, true},
    {"Nr [Hidden]", 100, 0, 0, false},
    {"Handeluri Nr [Hidden]", 100, 0, 0, false},
    {"Nr fresetre Nr [Hidden]", 100, 0, 0, false},
    {"", 100, 0, 0, false},
    {"", 100, 0, 0, false},
    {"", 100, 0, 0, false},
};

} // namespace

void HideAppButton() {
    if (Application)
        ::ShowWindow(Application->Handle(), SW_HIDE);
}

TfTaskBarMain::TfTaskBarMain(TComponent* Owner, TProgram& Program)
    : TForm(Owner, {.ClassName = "TfTaskBarMain",
                    .Name = "fTaskBarMain",
                    .Caption = "Zorvane",
                    .ClientWidth = 586,
                    .ClientHeight = 419,
                    .Position = TPosition::Designed, // placed by SaveState1
                    .BorderStyle = TBorderStyle::Dialog,
                    .StayOnTop = true}),
      Program_(Program), Commands(Program.Taskbar, Program.HiddenGroups, Program.Windows) {
    KeyPreview = true;
    Commands.OnMoved = [this] { GroupMoved(); };
    auto handler = [this](void (TfTaskBarMain::*Method)(TObject*)) { return Handler(Method); };

    // The pictures of the buttons and tabs; made first, so that it outlives the controls.
    ilButtons = Create<TImageList>("ilButtons");
    for (int i = 0; i < kButtonPictureCount; ++i)
        ilButtons->Add(ButtonPicture(i));

    TkPageControl1 = Create<TPageControl>(TPageControlParams{
        .Name = "TkPageControl1", .Parent = this, .Bounds = {8, 8, 573, 366}, .Images = ilButtons});
    TabTaskbar = Create<TTabSheet>(TTabSheetParams{.Name = "TabTaskbar",
                                                   .PageControl = TkPageControl1,
                                                   .Caption = "Zorvane",
                                                   .ImageIndex = kPictureRuler});
    QlxCheckListTaskBar = Create<TQlxCheckList>(TQlxCheckListParams{
        .Name = "QlxCheckListTaskBar",
        .Parent = TabTaskbar,
        .Bounds = {5, 8, 511, 312},
        .Hint = "You can do this easier! Click the Help button to see a brief demo on using "
                "drag and drop!",
        .ShowHint = true,
        .Font = kListFont,
        .HeaderFont = kListFont});
    {
        // Laid out once, with the columns complete.
        TItemsUpdate update(QlxCheckListTaskBar->Items);
        for (const TColumnDef& d : kListColumns) {
            TQlxListColumn& c = QlxCheckListTaskBar->Columns.Add();
            c.Caption = d.Caption;
            c.SetMaxWidth(d.MaxWidth);
            c.SetMinWidth(d.MinWidth);
            c.SetWidth(d.Width);
            c.Visible = d.Visible;
        }
    }
    QlxCheckListTaskBar->EntireRow = true;
    QlxCheckListTaskBar->HeaderAutoSort = false;
    QlxCheckListTaskBar->SetSortColumn(-1);
    QlxCheckListTaskBar->UseItemSelectionTheme = true;
    QlxCheckListTaskBar->OnItemClick = [this](TObject* Sender, TQlxListItem* Item) {
        QlxCheckListTaskBarItemClick(Sender, Item);
    };
    QlxCheckListTaskBar->OnItemCheck = [this](TObject* Sender, TQlxListItem* Item) {
        QlxCheckListTaskBarItemCheck(Sender, Item);
    };
    // The pictures of the buttons and tabs come with the image list ilButtons.
    bUp = Create<TButton>(TButtonParams{.Name = "bUp",
                                        .Parent = TabTaskbar,
                                        .Bounds = {525, 5, 33, 150},
                                        .Images = ilButtons,
                                        .ImageIndex = kPictureUpArrow,
                                        .OnClick = handler(&TfTaskBarMain::bUpClick)});
    bDown = Create<TButton>(TButtonParams{.Name = "bDown",
                                          .Parent = TabTaskbar,
                                          .Bounds = {525, 170, 35, 150},
                                          .Images = ilButtons,
                                          .ImageIndex = kPictureDownArrow,
                                          .OnClick = handler(&TfTaskBarMain::bDownClick)});
    TabSettings = Create<TTabSheet>(TTabSheetParams{.Name = "TabSettings",
                                                    .PageControl = TkPageControl1,
                                                    .Caption = "Settings",
                                                    .ImageIndex = kPictureHammer});
    cbStartUp = Create<TCheckBox>(
        TCheckBoxParams{.Name = "cbStartUp",
                        .Parent = TabSettings,
                        .Bounds = {8, 56, 530, 20},
                        .Caption = "Start this program each time Windows starts up",
                        .Checked = true,
                        .Font = SettingsFont(),
                        .OnClick = handler(&TfTaskBarMain::cbStartUpClick)});
    cmodmove = Create<TCheckBox>(TCheckBoxParams{
        .Name = "cmodmove",
        .Parent = TabSettings,
        .Bounds = {8, 100, 530, 41},
        .Caption = "Use an alternate method for moving taskbar buttons (causes additional "
                   "flicker but fixes some minor problems on very rare systems)",
        .WordWrap = true,
        .Font = SettingsFont()});
    // Kept with the control states, like the two options above it.
    cbMiddleClose = Create<TCheckBox>(
        TCheckBoxParams{.Name = "cbMiddleClose",
                        .Parent = TabSettings,
                        .Bounds = {8, 24, 530, 20},
                        .Caption = "Close a window with a middle click on its taskbar button",
                        .Checked = true,
                        .Font = SettingsFont()});
    bHelp = Create<TButton>(TButtonParams{.Name = "bHelp",
                                          .Parent = this,
                                          .Bounds = {9, 382, 90, 30},
                                          .Caption = "Help",
                                          .Images = ilButtons,
                                          .ImageIndex = kPictureQuestion,
                                          .Hint = "How to do this easier using drag and drop",
                                          .OnClick = handler(&TfTaskBarMain::bHelpClick)});
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
                                          .Images = ilButtons,
                                          .ImageIndex = kPicturePower,
                                          .OnClick = handler(&TfTaskBarMain::bExitClick)});
    bDemo_OLD =
        Create<TButton>(TButtonParams{.Name = "bDemo_OLD",
                                      .Parent = this,
                                      .Bounds = {119, 381, 87, 33},
                                      .Caption = "How to do this easier using drag and drop",
                                      .Images = ilButtons,
                                      .ImageIndex = kPictureQuestion,
                                      .Visible = false,
                                      .WordWrap = true,
                                      .OnClick = handler(&TfTaskBarMain::bDemo_OLDClick)});

    // All off at creation; the balloon window switches them on (see TFTaskBarBallon).
    TimerRefresh = Create<TTimer>(
        TTimerParams{"TimerRefresh", 1000, false, handler(&TfTaskBarMain::TimerRefreshOnTimer)});
    TimerHide = Create<TTimer>(
        TTimerParams{"TimerHide", 100, false, handler(&TfTaskBarMain::TimerHideTimer)});
    TimerForce = Create<TTimer>(
        TTimerParams{"TimerForce", 500, false, handler(&TfTaskBarMain::TimerForceTimer)});
    TimerRefreshStep = Create<TTimer>(TTimerParams{"TimerRefreshStep", USER_TIMER_MINIMUM, false,
                                                   handler(&TfTaskBarMain::TimerRefreshStepTimer)});
    TimerHelp = Create<TTimer>(
        TTimerParams{"TimerHelp", 1000, false, handler(&TfTaskBarMain::TimerHelpTimer)});
    Msg = Create<TMessageBox>("Msg");

    // The single-instance guard: its Loaded runs before FormCreate and calls
    // OneInstance1ApplicationExists in a second instance, which then ends silently. It is
    // made before the tray icon, so that it decides before the icon would be added.
    TkForm1 = Create<TTkForm>("TkForm1");
    OneInstance1 = Create<TOneInstance>("OneInstance1");
    OneInstance1->ApplicationExists = handler(&TfTaskBarMain::OneInstance1ApplicationExists);
    CreateTrayIcon();
    SaveState1 = Create<TSaveState>("SaveState1");
    SaveState1->SetKeyName("Software\\Kestrelan\\Zorvane\\Main\\");
    SaveState1->TkForm = TkForm1;
    QlxThemeSave1 = Create<TQlxThemeSave>("QlxThemeSave1");
    QlxThemeSave1->KeySave = "Software\\Kestrelan\\Zorvane\\";
    QlxThemeSave1->DefaultKeyLoad = "Software\\Kestrelan\\Zorvane\\Default";
    CreateLastingControls();

    // The snapshot's icon requests name this window as the one to answer; the reply draws
    // into the group asked for.
    TTaskbar& taskbar = Program_.Taskbar;
    taskbar.IconReplyWnd = Handle();
    taskbar.OnIconRequest = [this](HWND Toolbar, TGrupButtons& Group, int32_t ImageIndex) {
        if (!IconCache.Take(Group, ImageIndex) &&
            Program_.IconChannel.RequestIcon(Toolbar, Group, ImageIndex, Handle()))
            IconCache.Keep(Group, ImageIndex);
    };
    // The mover reads the option at each move.
    taskbar.AlternateMoveChosen = [this] { return cmodmove->Checked(); };

    OnCreate = handler(&TfTaskBarMain::FormCreate);
    OnCloseQuery = [this](TObject* Sender, bool& CanClose) { FormCloseQuery(Sender, CanClose); };
    OnShow = handler(&TfTaskBarMain::FormShow);
    OnKeyUp = [this](TObject* Sender, uint16_t& Key, TShiftState Shift) {
        FormKeyUp(Sender, Key, Shift);
    };
}

TfTaskBarMain::~TfTaskBarMain() {
    // The program ends. Unless the Windows session ends with it, no window of the user's may
    // stay hidden behind it: after a cancelled logoff a mere close request ends the program
    // without the Exit command, and nothing could show those windows again. (After the Exit
    // command they are visible already; SW_SHOWNA leaves them as they are.)
    if (!SessionEnds) {
        ShowHiddenGroups(Program_.HiddenGroups.Groups(), *this);
        if (OwnsHiddenRecord)
            Program_.HiddenRecord.Clear();
    }
    if (Application && Application->OnException)
        Application->OnException = nullptr; // it points at this window's message box
    TTaskbar& taskbar = Program_.Taskbar;
    taskbar.IconReplyWnd = nullptr;
    taskbar.OnIconRequest = nullptr;
    taskbar.AlternateMoveChosen = nullptr;
}

void TfTaskBarMain::SetPartners(TFTaskBarBallon* Balloon, TFHelp* Help) {
    Balloon_ = Balloon;
    Help_ = Help;
}

void TfTaskBarMain::FormCreate(TObject*) {
    Application->OnException = [this](TObject* Sender, const Exception& E) {
        ShowApplicationError(Sender, E);
    };
    // The list shows the taskbar's order, always: a sort read with its column widths is
    // dropped, and what it saves says so (no column, ascending).
    QlxCheckListTaskBar->SetSortColumn(-1);
    QlxCheckListTaskBar->SetSortSens(ssAscendent);
    if (Program_.Exiting)
        return;     // a second start: nothing is read, written or started
    StartLasting(); // windows left hidden by an earlier run come back first
    TkPageControl1->SetActivePageIndex(0);
    RestoreStates();
    try {
        cbStartUpClick(nullptr);
    } catch (...) {
        // A refused start-with-Windows entry (security software guarding the Run key) is
        // reported, and start-up goes on: the tray icon gets its menu all the same.
        Application->HandleException(this);
    }
    SetUpTrayIcon();
    StartIconHook();
}

void TfTaskBarMain::ShowApplicationError(TObject*, const Exception& E) {
    Msg->Execute(E.Message, TMsgDlgType::mtWarning, TMsgDlgButtons::mbOK);
}

void TfTaskBarMain::FormCloseQuery(TObject*, bool& CanClose) {
    // While the program runs a close request only hides the window; it stays in the tray.
    CanClose = Program_.Exiting;
    Hide();
}

void TfTaskBarMain::mExitClick(TObject*) {
    // A window its program has shown and hidden again since is the program's to show.
    Program_.HiddenGroups.ForgetShownByTheirPrograms(Program_.Windows);
    RunExitCommand(Program_.HiddenGroups.Groups(), Program_.Exiting, ExitDone, *this);
    if (OwnsHiddenRecord)
        Program_.HiddenRecord.Clear(); // every hidden window is visible again
}

void TfTaskBarMain::bExitClick(TObject* Sender) {
    Close();
    mExitClick(Sender);
}

void TfTaskBarMain::bOkClick(TObject*) {
    Close();
}

void TfTaskBarMain::OneInstance1ApplicationExists(TObject*) {
    Program_.Exiting = true;
}

void TfTaskBarMain::WndProc(TMessage& Message) {
    if (Message.Msg == WM_QUERYENDSESSION) {
        // The session may end: from now on a close request ends the program at once,
        // without the steps of the Exit command.
        Program_.Exiting = true;
        OnCloseQuery = nullptr;
    } else if (Message.Msg == WM_ENDSESSION) {
        SessionEnds = Message.WParam != 0;
    } else if (Message.Msg == WM_HOTKEY) {
        if (Message.WParam == kMoveLeftId || Message.WParam == kMoveRightId)
            MoveForegroundGroup(Message.WParam == kMoveLeftId ? -1 : 1);
    } else if (Message.Msg == TaskbarCreatedMsg()) {
        Program_.LastingOrder.Recheck(); // a new shell: the order is put back at the next tick
        Program_.TrayOrder.Recheck();
        IconCache.Clear(); // the new shell's pictures are asked for anew
        RefreshGate.Forget();
        DropRefresh(); // it read the old shell's toolbar
        if (!Program_.Exiting)
            StartIconHook(); // the icon library into the new shell, or the rows lose their icons
    } else if (Message.Msg == IconReplyMsg()) {
        Program_.IconChannel.IconReply(reinterpret_cast<HICON>(Message.WParam), Handle());
    } else if (Message.Msg == WM_SYSCOMMAND && (Message.WParam & 0xFFF0) == SC_MAXIMIZE) {
        bool callDefault = true;
        TkForm1Maximize(this, callDefault);
        if (!callDefault)
            return;
    }
    TForm::WndProc(Message);
}

// ---- Steps whose components come later; until then these do nothing.

// ---- Window and control states

bool TfTaskBarMain::IsFirstRun() const {
    try {
        std::unique_ptr<TRegistry> reg = OpenRegistry(TRegRoot::CurrentUser, kKeyRead);
        const bool opened = reg->OpenKey(QlxThemeSave1->DefaultKeyLoad, false);
        reg->CloseKey();
        return !opened;
    } catch (const std::exception&) {
        return false; // an error counts as a later run
    }
}

void TfTaskBarMain::RestoreStates() {
    if (IsFirstRun()) {
        SaveState1->Center();
        SaveState1->Save();
        QlxThemeSave1->Save();
        if (Msg->Execute("Do you wish to see a short video demo about how to use Zorvane?",
                         TMsgDlgType::mtConfirmation, TMsgDlgButtons::mbYesNo) == mrYes)
            Program_.ShowDemo = true;
    }
    // The controls as designed; the Default key also ends the first run.
    QlxThemeSave1->SaveDefaults();
    SaveState1->Load();
    QlxThemeSave1->Load();
}

void TfTaskBarMain::SaveControlStates() {
    QlxThemeSave1->Save();
}

void TfTaskBarMain::SaveWindowState() {
    SaveState1->Save();
}

// The icon channel into the shell (images.dll); without it the rows have no icons. The
// results are not examined.
void TfTaskBarMain::StartIconHook() {
    IconHook.StartIconHook();
}
void TfTaskBarMain::StopIconHook() {
    IconHook.StopIconHook();
}

void TfTaskBarMain::StopMouseHook() {
    if (Balloon_)
        Balloon_->StopMouseHook();
}

void TfTaskBarMain::ShowHiddenWindow(TWndHandle Wnd) {
    ::ShowWindow(ToHWND(Wnd), SW_SHOWNA);
}

void TfTaskBarMain::CloseMainWindow() {
    Close();
}

void TfTaskBarMain::TkForm1Maximize(TObject*, bool& CallDefault) {
    CallDefault = true;
    ::HideAppButton();
}

// ---- The list and its commands

std::optional<TGroupId> TfTaskBarMain::RowGroup(const TQlxListItem& Item) {
    if (const TGroupId* id = std::any_cast<TGroupId>(&Item.Data))
        return *id;
    return std::nullopt;
}

void TfTaskBarMain::QlxCheckListTaskBarItemClick(TObject*, TQlxListItem* Item) {
    TQlxListItems& items = QlxCheckListTaskBar->Items;
    std::optional<TClickedRow> row;
    std::optional<bool> nextChecked;
    if (Item) {
        row = TClickedRow{Item->Index(), Item->Checked()};
        try {
            nextChecked = items[row->Index + 1].Checked();
        } catch (const EListError&) {
        }
    }
    const TUpDown buttons = UpDownForRow(row, items.Count(), nextChecked);
    bUp->SetEnabled(buttons.Up);
    bDown->SetEnabled(buttons.Down);
}

void TfTaskBarMain::bUpClick(TObject*) {
    MoveSelectedRow(-1);
}

void TfTaskBarMain::bDownClick(TObject*) {
    MoveSelectedRow(1);
}

void TfTaskBarMain::MoveSelectedRow(int Step) {
    // Any failure ends the command without a message; with no row selected nothing happens.
    try {
        TQlxListItem* selected = QlxCheckListTaskBar->SelectedItem();
        const std::optional<TGroupId> group = selected ? RowGroup(*selected) : std::nullopt;
        if (!group)
            return;
        const int i = selected->Index();
        if (Commands.Move(*group, Step))
            QlxCheckListTaskBar->ExchangeItems(i, i + Step); // the row moves at once
        TimerRefreshOnTimer(nullptr);
    } catch (const std::exception&) {
        // The command ends silently; the list's refresh goes on.
        TimerRefresh->SetEnabled(!DragInProgress());
    }
}

void TfTaskBarMain::QlxCheckListTaskBarItemCheck(TObject*, TQlxListItem* Item) {
    try {
        if (const std::optional<TGroupId> group = RowGroup(*Item))
            Commands.SetChecked(*group, Item->Checked());
    } catch (const std::exception&) {
        // a row whose group is gone: nothing is hidden or shown
    }
}

void TfTaskBarMain::TimerHideTimer(TObject*) {
    Hide();
    TimerHide->SetEnabled(Showing());
}

// The mouse poll stands in for mouse events the hook did not report (see TFTaskBarBallon). In
// the tray the refresh timer rests and every second poll carries its tick: the program wakes
// up twice a second there, not three times.
void TfTaskBarMain::TimerForceTimer(TObject* Sender) {
    if (Balloon_)
        Balloon_->TimerForceTimer(Sender);
    if (!TimerRefresh->Enabled() && !Showing() && ++TrayPolls_ % 2 == 0)
        TimerRefreshOnTimer(TimerForce);
}

// ---- What the balloon window needs of this one

void TfTaskBarMain::SetListRefresh(bool On) {
    TimerRefresh->SetEnabled(On);
}

void TfTaskBarMain::StartHideTimer() {
    TimerHide->SetEnabled(true);
}

void TfTaskBarMain::StartMousePoll() {
    TimerForce->SetEnabled(true);
}

void TfTaskBarMain::ShowWarning(const std::string& Text) {
    Msg->Execute(Text, TMsgDlgType::mtWarning, TMsgDlgButtons::mbOK);
}

void TfTaskBarMain::SetHostTitle(const std::string& Text) {
    SetCaption(Text);
}

void TfTaskBarMain::HideAppButton() {
    ::HideAppButton();
}
