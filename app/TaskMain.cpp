#include "app/TaskMain.h"

#include <shellapi.h>

#include <cstdlib>
#include <exception>
#include <utility>

#include "app/ButtonPictures.h"
#include "app/Help.h"
#include "app/RunEntry.h"
#include "app/TaskRows.h"
#include "dragdrop/TaskBallon.h"
#include "taskbar/taskbuttons_win.h"
#include "toolkit/Registry_win.h"
#include "toolkit/SysUtils.h"

TfTaskBarMain* fTaskBarMain = nullptr;
bool Exiting = false;
bool ShowDemo = false;
TGroupList HiddenGroups;

namespace {
const TFontDef kSettingsFont{"Tahoma", -13, false};
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

// Opens an update bracket of the list's items and closes it again, also on an error.
class TItemsUpdate {
public:
    explicit TItemsUpdate(TQlxListItems& Items) : Items_(Items) { Items_.BeginUpdate(); }
    ~TItemsUpdate() { Items_.EndUpdate(); }
    TItemsUpdate(const TItemsUpdate&) = delete;
    TItemsUpdate& operator=(const TItemsUpdate&) = delete;

private:
    TQlxListItems& Items_;
};

void FillItem(TQlxListItem& Item, const TListRow& Row) {
    Item.SetCaption(Row.Caption);
    for (const std::string& s : Row.SubItems)
        Item.SubItems.Add(s);
    Item.Hidenpart = Row.Hidenpart;
    if (!Row.Checked)
        Item.SetChecked(false); // raises no check event
    // The group's icon drawn onto the row's own 16 x 16 picture, shown transparently.
    TBitmap16 icon = *Row.Icon;
    icon.Transparent = true;
    Item.SetIcon(icon);
}
} // namespace

void HideAppButton() {
    if (Application)
        ::ShowWindow(Application->Handle(), SW_HIDE);
}

TfTaskBarMain::TfTaskBarMain(TComponent* Owner)
    : TForm(Owner, {.ClassName = "TfTaskBarMain",
                    .Name = "fTaskBarMain",
                    .Caption = "Zorvane",
                    .ClientWidth = 586,
                    .ClientHeight = 419,
                    .Position = TPosition::Designed, // placed by SaveState1
                    .BorderStyle = TBorderStyle::Dialog,
                    .StayOnTop = true}) {
    KeyPreview = true;
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
    TimerHelp = Create<TTimer>(
        TTimerParams{"TimerHelp", 1000, false, handler(&TfTaskBarMain::TimerHelpTimer)});
    Msg = Create<TMessageBox>("Msg");
    CreateTrayIcon();

    // The single-instance guard: its Loaded runs before FormCreate and calls
    // OneInstance1ApplicationExists in a second instance, which then ends silently.
    TkForm1 = Create<TTkForm>("TkForm1");
    OneInstance1 = Create<TOneInstance>("OneInstance1");
    OneInstance1->ApplicationExists = handler(&TfTaskBarMain::OneInstance1ApplicationExists);
    SaveState1 = Create<TSaveState>("SaveState1");
    SaveState1->SetKeyName("Software\\Kestrelan\\Zorvane\\Main\\");
    SaveState1->TkForm = TkForm1;
    QlxThemeSave1 = Create<TQlxThemeSave>("QlxThemeSave1");
    QlxThemeSave1->KeySave = "Software\\Kestrelan\\Zorvane\\";
    QlxThemeSave1->DefaultKeyLoad = "Software\\Kestrelan\\Zorvane\\Default";
    CreateLastingControls();

    // The snapshot's icon requests name this window as the one to answer; the reply draws
    // into the group asked for.
    IconReplyWnd = Handle();
    OnIconRequest = [this](HWND Toolbar, TGrupButtons& Group, int32_t ImageIndex) {
        if (!IconCache.Take(Group, ImageIndex) &&
            IconChannel.RequestIcon(Toolbar, Group, ImageIndex, Handle()))
            IconCache.Keep(Group, ImageIndex);
    };
    // The mover reads the option at each move.
    AlternateMoveChosen = [this] { return cmodmove->Checked(); };

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
        ShowHiddenGroups(HiddenGroups, *this);
        if (OwnsHiddenRecord)
            HiddenRecord.Clear();
    }
    if (Application && Application->OnException)
        Application->OnException = nullptr; // it points at this window's message box
    fTaskBarMain = nullptr;
    IconReplyWnd = nullptr;
    OnIconRequest = nullptr;
    AlternateMoveChosen = nullptr;
}

void TfTaskBarMain::FormCreate(TObject*) {
    Application->OnException = [this](TObject* Sender, const Exception& E) {
        ShowApplicationError(Sender, E);
    };
    if (Exiting)
        return;     // a second start: nothing is read, written or started
    StartLasting(); // windows left hidden by an earlier run come back first
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
    RunExitCommand(HiddenGroups, Exiting, ExitDone, *this);
    if (OwnsHiddenRecord)
        HiddenRecord.Clear(); // every hidden window is visible again
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
    } else if (Message.Msg == WM_HOTKEY) {
        if (Message.WParam == kMoveLeftId || Message.WParam == kMoveRightId)
            MoveForegroundGroup(Message.WParam == kMoveLeftId ? -1 : 1);
    } else if (Message.Msg == TaskbarCreatedMsg()) {
        LastingOrder.Recheck(); // a new shell: the order is put back at the next tick
    } else if (Message.Msg == IconReplyMsg()) {
        IconChannel.IconReply(reinterpret_cast<HICON>(Message.WParam), Handle());
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
            ShowDemo = true;
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
    if (FTaskBarBallon)
        FTaskBarBallon->StopMouseHook();
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

void TfTaskBarMain::TimerRefreshOnTimer(TObject* Sender) {
    if (Sender == nullptr)
        RefreshGate.Forget(); // a command of ours: the rows are rebuilt
    if (Refreshing)
        return; // a tick while a refresh waits on the shell: the running one is enough
    struct TRunning {
        bool& Flag;
        explicit TRunning(bool& f) : Flag(f) { Flag = true; }
        ~TRunning() { Flag = false; }
    } running{Refreshing};
    ::HideAppButton();
    if (!DragInProgress())
        LastingOrder.Watch();
    if (!Showing())
        return; // the rows stay as they are while the program sits in the tray
    const bool dragging = DragInProgress();
    if (!dragging) {
        ::SetForegroundWindow(Handle());
        BringToFront();
        ::SetForegroundWindow(Handle());
    }
    ::HideAppButton();
    TimerRefresh->SetEnabled(false);
    if (dragging)
        return; // the end of the drag switches the refresh on again
    // Whatever the rebuild raises, the list goes on refreshing (unless a drag has started
    // meanwhile); the error itself reaches the error handler.
    struct TRefreshAgain {
        TfTaskBarMain& Form;
        ~TRefreshAgain() {
            try {
                Form.TimerRefresh->SetEnabled(!Form.DragInProgress());
            } catch (const Exception&) {
                // no timer left in the system: the refresh cannot resume
            }
        }
    } again{*this};
    RefreshRows();
}

bool TfTaskBarMain::DragInProgress() const {
    return FTaskBarBallon && FTaskBarBallon->Dragging();
}

void TfTaskBarMain::RefreshRows() {
    TQlxListItems& items = QlxCheckListTaskBar->Items;
    int position = 0;
    std::string key;
    if (TQlxListItem* selected = QlxCheckListTaskBar->SelectedItem()) {
        position = selected->Index();
        key = RowKey(selected->Caption(), selected->SubItems[1]);
    }

    if (!RefreshGate.NeedsRebuild())
        return; // nothing changed: the rows and the user's row stay as they are
    TGroupListHolder snapshot;
    HWND activeWnd = nullptr;
    if (!ReadTaskbarButtons(false, snapshot.Groups, activeWnd)) {
        RefreshGate.Forget(); // no reading (the count did not settle): the rows stay
        return;
    }
    RefreshGate.Rebuilt(snapshot.Groups);
    IconCache.Prune(snapshot.Groups);
    const std::vector<TListRow> rows = BuildListRows(snapshot.Groups, HiddenGroups);
    std::vector<std::string> keys;
    {
        TItemsUpdate update(items); // painted once, when the bracket closes
        items.Clear();
        for (const TListRow& row : rows) {
            FillItem(*items.Add(), row);
            keys.push_back(RowKey(row.Caption, row.SubItems[1]));
        }
    }

    const TRowSelection selection = RestoreSelection(keys, position, key);
    if (selection.Select >= 0)
        items[selection.Select].SetSelected(true);
    try {
        QlxCheckListTaskBarItemClick(QlxCheckListTaskBar, &items[selection.ClickRow]);
    } catch (const EListError&) {
        // an empty list: the buttons keep their state
    }
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
        if (!selected)
            return;
        const int i = selected->Index();
        {
            TGroupListHolder snapshot;
            HWND activeWnd = nullptr;
            ReadTaskbarButtons(false, snapshot.Groups, activeWnd);
            if (MoveRowGroup(i, Step, snapshot.Groups))
                QlxCheckListTaskBar->ExchangeItems(i, i + Step); // the row moves at once
        }
        TimerRefreshOnTimer(nullptr);
    } catch (const std::exception&) {
        // The command ends silently; the list's refresh goes on.
        TimerRefresh->SetEnabled(!DragInProgress());
    }
}

bool TfTaskBarMain::MoveRowGroup(int Row, int Step, TGroupList& Snapshot) {
    // The group goes in front of the group of the row above, or of the row after the one
    // below. Rows stand for the listed groups only, so the positions are looked up in the
    // snapshot rather than taken from the rows.
    const int32_t from = GroupPositionOfRow(Snapshot, Row);
    const int32_t target = GroupPositionOfRow(Snapshot, Step < 0 ? Row - 1 : Row + 2);
    if (!MoveTaskButton(from, target, Snapshot))
        return false;
    GroupMoved();
    return true;
}

void TfTaskBarMain::QlxCheckListTaskBarItemCheck(TObject*, TQlxListItem* Item) {
    HWND foreground = nullptr;
    try {
        // The row's group is found by its position, made sure of by its windows: a toggle
        // before the next refresh finds the group even when others have moved since.
        const std::optional<int> n = RowPosition(Item->SubItems[0]);
        if (!n)
            return;
        const std::string& windows = Item->SubItems[1];
        if (Item->Checked()) {
            // Show a hidden group again; its windows come back without being activated.
            std::unique_ptr<TGrupButtons> group =
                TakeGroup(HiddenGroups, FindRowGroup(HiddenGroups, *n, windows));
            if (!group)
                return;
            foreground = ::GetForegroundWindow();
            for (TWndHandle w : group->Windows)
                ::ShowWindow(ToHWND(w), SW_SHOWNA);
            HiddenRecord.Remove(group->Windows);
        } else {
            // Hide a group: it belongs to HiddenGroups from now on.
            TGroupListHolder snapshot;
            ReadTaskbarButtons(false, snapshot.Groups, foreground);
            std::unique_ptr<TGrupButtons> group =
                TakeGroup(snapshot.Groups, FindRowGroup(snapshot.Groups, *n, windows));
            if (group) {
                const std::vector<TWndHandle> hidden = group->Windows;
                AddGroup(HiddenGroups, std::move(group));
                HiddenRecord.Add(hidden); // recorded before they are hidden: never lost
                for (TWndHandle w : hidden)
                    ::ShowWindow(ToHWND(w), SW_HIDE);
            }
        }
    } catch (const std::exception&) {
        // a row whose group is gone: nothing is hidden or shown
    }
    // The window whose button was pressed stays in front, unless it was just hidden.
    if (foreground && ::IsWindowVisible(foreground))
        ::SetForegroundWindow(foreground);
}

void TfTaskBarMain::TimerHideTimer(TObject*) {
    Hide();
    TimerHide->SetEnabled(Showing());
}

// The mouse poll stands in for mouse events the hook did not report (see TFTaskBarBallon).
void TfTaskBarMain::TimerForceTimer(TObject* Sender) {
    if (FTaskBarBallon)
        FTaskBarBallon->TimerForceTimer(Sender);
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

// ---- The tray icon and its menu, the Settings tab, the start-with-Windows entry and Help

void TfTaskBarMain::CreateTrayIcon() {
    ImageList1 = Create<TImageList>("ImageList1");
    for (int i = 0; i < kTrayPictureCount; ++i)
        ImageList1->Add(TrayPicture(i));

    TkPopupMenu1 = Create<TPopupMenu>(
        TPopupMenuParams{.Name = "TkPopupMenu1", .Alignment = TPopupAlignment::Right});
    mZorvane = TkPopupMenu1->Add({.Name = "mZorvane",
                                  .Caption = "Zorvane",
                                  .Images = ImageList1,
                                  .ImageIndex = kTrayPictureTaskbar,
                                  .OnClick = Handler(&TfTaskBarMain::mZorvaneClick)});
    mSettings = TkPopupMenu1->Add({.Name = "mSettings",
                                   .Caption = "Settings",
                                   .Images = ilButtons,
                                   .ImageIndex = kPictureHammer,
                                   .OnClick = Handler(&TfTaskBarMain::mSettingsClick)});
    mHelp = TkPopupMenu1->Add({.Name = "mHelp",
                               .Caption = "Help",
                               .Images = ilButtons,
                               .ImageIndex = kPictureQuestion,
                               .OnClick = Handler(&TfTaskBarMain::mHelpClick)});
    mExit = TkPopupMenu1->Add({.Name = "mExit",
                               .Caption = "Exit",
                               .Images = ilButtons,
                               .ImageIndex = kPicturePower,
                               .OnClick = Handler(&TfTaskBarMain::mExitClick)});

    // The icon goes into the tray when the form has its components, with image 0 and no
    // menu; the creation handler gives it the program's image and the menu.
    TrayIcon1 = Create<TTrayIcon>("TrayIcon1");
    TrayIcon1->SetIconList(ImageList1);
    TrayIcon1->SetHint("Zorvane");
    TrayIcon1->OnDblClick = Handler(&TfTaskBarMain::TrayIcon1Click);
}

TNotifyEvent TfTaskBarMain::Handler(void (TfTaskBarMain::*Method)(TObject*)) {
    return [this, Method](TObject* Sender) { (this->*Method)(Sender); };
}

void TfTaskBarMain::SetUpTrayIcon() {
    TrayIcon1->PopupMenu = nullptr;
    TrayIcon1->SetHint("Zorvane");
    TrayIcon1->SetIconIndex(kTrayPictureTaskbar);
    TrayIcon1->PopupMenu = TkPopupMenu1;
}

void TfTaskBarMain::RemoveTrayIcon() {
    TrayIcon1->SetIconVisible(false);
}

void TfTaskBarMain::TrayIcon1Click(TObject* Sender) {
    mZorvaneClick(Sender);
}

void TfTaskBarMain::mZorvaneClick(TObject*) {
    TkPageControl1->SetActivePageIndex(0);
    if (!Showing())
        Show();
    HideAppButton();
    BringToFront();
    ::SetForegroundWindow(Handle());
}

void TfTaskBarMain::mSettingsClick(TObject*) {
    TkPageControl1->SetActivePageIndex(1);
    Show();
    HideAppButton();
}

void TfTaskBarMain::mHelpClick(TObject*) {
    // The main window stays hidden after the help window closes.
    Hide();
    if (FHelp)
        FHelp->ShowModal();
}

void TfTaskBarMain::bHelpClick(TObject* Sender) {
    mHelpClick(Sender);
}

void TfTaskBarMain::FormKeyUp(TObject* Sender, uint16_t& Key, TShiftState) {
    if (Key == VK_F1)
        mHelpClick(Sender);
}

void TfTaskBarMain::cbStartUpClick(TObject*) {
    // Setting the check box below would run this handler again.
    cbStartUp->OnClick = nullptr;
    struct TReattach {
        TfTaskBarMain& Form;
        ~TReattach() { Form.cbStartUp->OnClick = Form.Handler(&TfTaskBarMain::cbStartUpClick); }
    } reattach{*this};
    bool enabled = cbStartUp->Checked();
    RunEntry(enabled, true);
    cbStartUp->SetChecked(enabled); // what the registry holds now
}

bool TfTaskBarMain::RunEntry(bool& Enabled, bool Write) {
    // The value is named after the application's title; with no title there is nothing to
    // name it after.
    const std::string name = Application ? Application->Title() : std::string();
    if (name.empty())
        return false;
    return ::RunEntry(&OpenRunKey, name, ExePath(), Enabled, Write);
}

void TfTaskBarMain::FormShow(TObject*) {
    // Showing the window brings the application's hidden window forward with it (the tray
    // icon's hook); the program keeps no taskbar button of its own.
    HideAppButton();
    if (ShowDemo)
        TimerHelp->SetEnabled(true);
}

void TfTaskBarMain::TimerHelpTimer(TObject*) {
    TimerHelp->SetEnabled(false);
    if (FHelp)
        FHelp->ShowModal();
}

void TfTaskBarMain::bDemo_OLDClick(TObject*) {
    OpenHelpDocument("drag-and-drop-demo.htm");
    bOk->Click();
}

void TfTaskBarMain::OpenHelpDocument(const std::string& Name) {
    // The current directory is the help folder while the shell opens the document.
    struct TCurrentDirectory {
        char Saved[MAX_PATH + 1] = {};
        TCurrentDirectory() { ::GetCurrentDirectoryA(MAX_PATH, Saved); }
        ~TCurrentDirectory() { ::SetCurrentDirectoryA(Saved); }
    } restore;
    const std::string exe = ExePath();
    const std::string folder = ExtractFilePath(exe) + "help";
    ::SetCurrentDirectoryA(folder.c_str());
    const std::string path = folder + "\\" + Name;
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        ::ShellExecuteA(nullptr, "OPEN", path.c_str(), "", "", SW_SHOWMAXIMIZED);
}

// ---- Beyond the list: an order that lasts, windows never lost, moves from the keyboard

namespace {
LONG WINAPI ShowHiddenOnUnhandledFault(EXCEPTION_POINTERS*) {
    if (fTaskBarMain)
        fTaskBarMain->ShowHiddenOnFault();
    return EXCEPTION_CONTINUE_SEARCH; // the fault ends the process as it would have
}

[[noreturn]] void ShowHiddenOnTerminate() {
    if (fTaskBarMain)
        fTaskBarMain->ShowHiddenOnFault();
    std::abort();
}
} // namespace

void TfTaskBarMain::CreateLastingControls() {
    cbKeepOrder = Create<TCheckBox>(TCheckBoxParams{
        .Name = "cbKeepOrder",
        .Parent = TabSettings,
        .Bounds = {8, 150, 530, 20},
        .Caption = "Keep my order of the taskbar buttons (a program I start again goes back "
                   "to its place)",
        .Checked = true,
        .Font = kSettingsFont,
        .OnClick = Handler(&TfTaskBarMain::cbKeepOrderClick)});
    bForgetOrder =
        Create<TButton>(TButtonParams{.Name = "bForgetOrder",
                                      .Parent = TabSettings,
                                      .Bounds = {26, 174, 130, 25},
                                      .Caption = "Forget my order",
                                      .OnClick = Handler(&TfTaskBarMain::bForgetOrderClick)});
    lMoveLeft = Create<TLabel>(TLabelParams{.Name = "lMoveLeft",
                                            .Parent = TabSettings,
                                            .Bounds = {8, 214, 300, 20},
                                            .Caption = "Move the active window's button left:",
                                            .Font = kSettingsFont});
    hkMoveLeft =
        Create<THotKey>(THotKeyParams{.Name = "hkMoveLeft",
                                      .Parent = TabSettings,
                                      .Bounds = {310, 211, 160, 22},
                                      .Font = kSettingsFont,
                                      .OnChange = Handler(&TfTaskBarMain::MoveKeysChange)});
    lMoveRight = Create<TLabel>(TLabelParams{.Name = "lMoveRight",
                                             .Parent = TabSettings,
                                             .Bounds = {8, 242, 300, 20},
                                             .Caption = "Move the active window's button right:",
                                             .Font = kSettingsFont});
    hkMoveRight =
        Create<THotKey>(THotKeyParams{.Name = "hkMoveRight",
                                      .Parent = TabSettings,
                                      .Bounds = {310, 239, 160, 22},
                                      .Font = kSettingsFont,
                                      .OnChange = Handler(&TfTaskBarMain::MoveKeysChange)});
    cbMoveWinKey = Create<TCheckBox>(TCheckBoxParams{
        .Name = "cbMoveWinKey",
        .Parent = TabSettings,
        .Bounds = {8, 268, 530, 20},
        .Caption = "Hold the Windows key as well (up and down on a vertical taskbar)",
        .Checked = true,
        .Font = kSettingsFont,
        .OnClick = Handler(&TfTaskBarMain::MoveKeysChange)});
    lMoveKeysTaken = Create<TLabel>(TLabelParams{.Name = "lMoveKeysTaken",
                                                 .Parent = TabSettings,
                                                 .Bounds = {8, 294, 530, 36},
                                                 .Font = kSettingsFont});
    // Their states are kept in kLastingKey; the control states stay as they were.
    for (const char* name : {"cbKeepOrder", "bForgetOrder", "cbMoveWinKey"})
        QlxThemeSave1->ExceptComponetList.push_back(name);
}

void TfTaskBarMain::StartLasting() {
    // Before anything else: the windows an earlier run hid and could not show again.
    THiddenRecord::ShowRecorded();
    OwnsHiddenRecord = true;
    ::SetUnhandledExceptionFilter(&ShowHiddenOnUnhandledFault);
    std::set_terminate(&ShowHiddenOnTerminate);

    LastingOrder.Load();
    MoveHotKeys.Load();
    // The controls show what is stored; their handlers are not attached while they are set.
    const TNotifyEvent keep = std::exchange(cbKeepOrder->OnClick, nullptr);
    const TNotifyEvent win = std::exchange(cbMoveWinKey->OnClick, nullptr);
    cbKeepOrder->SetChecked(LastingOrder.Enabled());
    cbMoveWinKey->SetChecked((MoveHotKeys.Left.Modifiers & kModWin) != 0);
    hkMoveLeft->SetValue(ControlValueOf(MoveHotKeys.Left));
    hkMoveRight->SetValue(ControlValueOf(MoveHotKeys.Right));
    cbKeepOrder->OnClick = keep;
    cbMoveWinKey->OnClick = win;
    RegisterMoveKeys();
}

void TfTaskBarMain::ShowHiddenOnFault() {
    if (OwnsHiddenRecord)
        THiddenRecord::ShowRecorded();
}

void TfTaskBarMain::RegisterMoveKeys() {
    const std::vector<std::string> taken = MoveHotKeys.Register(Handle());
    std::string text;
    for (const std::string& name : taken)
        text += (text.empty() ? "" : " and ") + name;
    if (!text.empty())
        text += taken.size() > 1 ? " are held by another program: choose other keys."
                                 : " is held by another program: choose another key.";
    lMoveKeysTaken->SetCaption(text);
}

void TfTaskBarMain::MoveKeysChange(TObject*) {
    const bool win = cbMoveWinKey->Checked();
    MoveHotKeys.Left = MoveKeyFromControl(hkMoveLeft->Value(), win);
    MoveHotKeys.Right = MoveKeyFromControl(hkMoveRight->Value(), win);
    MoveHotKeys.Save();
    RegisterMoveKeys();
}

void TfTaskBarMain::cbKeepOrderClick(TObject*) {
    LastingOrder.SetEnabled(cbKeepOrder->Checked());
}

void TfTaskBarMain::bForgetOrderClick(TObject*) {
    LastingOrder.Forget();
}

void TfTaskBarMain::GroupMoved() {
    // The user's order, as the taskbar shows it now.
    TGroupListHolder snapshot;
    HWND activeWnd = nullptr;
    ReadTaskbarButtons(false, snapshot.Groups, activeWnd);
    LastingOrder.Remember(snapshot.Groups);
}

void TfTaskBarMain::MoveForegroundGroup(int Step) {
    // Like Up and Down, a failure ends the move silently.
    try {
        const HWND foreground = ::GetForegroundWindow();
        TGroupListHolder snapshot;
        HWND activeWnd = nullptr;
        ReadTaskbarButtons(false, snapshot.Groups, activeWnd);
        int count = 0;
        int row = ListedRowOfWindow(snapshot.Groups, FromHWND(foreground), count);
        if (row < 0) // a dialog of the program: the window that owns it has the button
            row = ListedRowOfWindow(snapshot.Groups,
                                    FromHWND(::GetAncestor(foreground, GA_ROOTOWNER)), count);
        if (row < 0 || row + Step < 0 || row + Step >= count)
            return; // no button, or at the end already
        MoveRowGroup(row, Step, snapshot.Groups);
    } catch (const std::exception&) {
    }
    if (Showing())
        TimerRefreshOnTimer(nullptr);
}
