#include "app/TaskMain.h"

#include "app/ButtonPictures.h"
#include "app/TaskRows.h"
#include "dragdrop/TaskBallon.h"
#include "taskbar/taskbuttons_win.h"
#include "toolkit/Registry_win.h"

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
    auto handler = [this](void (TfTaskBarMain::*method)(TObject*)) {
        return [this, method](TObject* Sender) { (this->*method)(Sender); };
    };

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
                                          .Hint = "How to do this easier using drag and drop"});
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

    // The snapshot's icon requests name this window as the one to answer.
    IconReplyWnd = Handle();
    // The mover reads the option at each move.
    AlternateMoveChosen = [this] { return cmodmove->Checked(); };

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
    AlternateMoveChosen = nullptr;
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
    } else if (Message.Msg == WM_SYSCOMMAND && (Message.WParam & 0xFFF0) == SC_MAXIMIZE) {
        bool callDefault = true;
        TkForm1Maximize(this, callDefault);
        if (!callDefault)
            return;
    }
    TForm::WndProc(Message);
}

// ---- Steps whose components come later; until then these do nothing.

// Start-with-Windows entry (RunEntry) for the state of cbStartUp.
void TfTaskBarMain::cbStartUpClick(TObject*) {}

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

// TrayIcon1: hint "Zorvane", image 1 of ImageList1, popup menu TkPopupMenu1.
void TfTaskBarMain::SetUpTrayIcon() {}

// The icon channel into the shell (images.dll); its result is not examined.
void TfTaskBarMain::StartIconHook() {}
void TfTaskBarMain::StopIconHook() {}

// TrayIcon1.IconVisible := false.
void TfTaskBarMain::RemoveTrayIcon() {}

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
    HideAppButton();
}

// ---- The list and its commands

void TfTaskBarMain::TimerRefreshOnTimer(TObject*) {
    HideAppButton();
    if (!Showing())
        return; // the rows stay as they are while the program sits in the tray
    const bool dragging = FTaskBarBallon && FTaskBarBallon->Dragging;
    if (!dragging) {
        ::SetForegroundWindow(Handle());
        BringToFront();
        ::SetForegroundWindow(Handle());
    }
    HideAppButton();
    TimerRefresh->SetEnabled(false);
    if (dragging)
        return; // the end of the drag switches the refresh on again
    // An error ends the refresh here with the timer off; it reaches the error handler.
    RefreshRows();
    TimerRefresh->SetEnabled(true);
}

void TfTaskBarMain::RefreshRows() {
    TQlxListItems& items = QlxCheckListTaskBar->Items;
    int position = 0;
    std::string key;
    if (TQlxListItem* selected = QlxCheckListTaskBar->SelectedItem()) {
        position = selected->Index();
        key = RowKey(selected->Caption(), selected->SubItems[1]);
    }

    TGroupListHolder snapshot;
    HWND activeWnd = nullptr;
    ReadTaskbarButtons(false, snapshot.Groups, activeWnd);
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
            // The group goes in front of the group of the row above, or of the row after the
            // one below. Rows stand for the listed groups only, so the positions are looked up
            // in the snapshot rather than taken from the rows.
            const int32_t from = GroupPositionOfRow(snapshot.Groups, i);
            const int32_t target = GroupPositionOfRow(snapshot.Groups, Step < 0 ? i - 1 : i + 2);
            if (MoveTaskButton(from, target, snapshot.Groups))
                QlxCheckListTaskBar->ExchangeItems(i, i + Step); // the row moves at once
        }
        TimerRefreshOnTimer(nullptr);
    } catch (const std::exception&) {
    }
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
        } else {
            // Hide a group: it belongs to HiddenGroups from now on.
            TGroupListHolder snapshot;
            ReadTaskbarButtons(false, snapshot.Groups, foreground);
            std::unique_ptr<TGrupButtons> group =
                TakeGroup(snapshot.Groups, FindRowGroup(snapshot.Groups, *n, windows));
            if (group) {
                const std::vector<TWndHandle> hidden = group->Windows;
                AddGroup(HiddenGroups, std::move(group));
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

// ---- Timers whose work comes later: the mouse poll and the demonstration.
void TfTaskBarMain::TimerForceTimer(TObject*) {}
void TfTaskBarMain::TimerHelpTimer(TObject*) {}
