// The main window's tray icon and its menu, the Settings tab (start with Windows, the lasting
// order, the move keys) and the help commands.
#include "app/TaskMain.h"

#include <shellapi.h>

#include <cstdlib>
#include <exception>
#include <utility>

#include "app/ButtonPictures.h"
#include "app/Help.h"
#include "app/Program.h"
#include "app/RunEntry.h"
#include "toolkit/SysUtils.h"

namespace {
LONG WINAPI ShowHiddenOnUnhandledFault(EXCEPTION_POINTERS*) {
    THiddenRecord::ShowRecorded();
    return EXCEPTION_CONTINUE_SEARCH; // the fault ends the process as it would have
}

[[noreturn]] void ShowHiddenOnTerminate() {
    THiddenRecord::ShowRecorded();
    std::abort();
}
} // namespace

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
    // Nothing opens from the icon until start-up has finished (SetUpTrayIcon): a list opened
    // over a start-up message box would cover the box's button.
    TrayIcon1->Enabled = false;
}

TNotifyEvent TfTaskBarMain::Handler(void (TfTaskBarMain::*Method)(TObject*)) {
    return [this, Method](TObject* Sender) { (this->*Method)(Sender); };
}

void TfTaskBarMain::SetUpTrayIcon() {
    TrayIcon1->PopupMenu = nullptr;
    TrayIcon1->SetHint("Zorvane");
    TrayIcon1->SetIconIndex(kTrayPictureTaskbar);
    TrayIcon1->PopupMenu = TkPopupMenu1;
    TrayIcon1->Enabled = true;
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
    if (Help_)
        Help_->ShowHelp(); // brought forward when it is open already
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
    try {
        RunEntry(enabled, true);
    } catch (...) {
        cbStartUp->SetChecked(enabled); // a refused write: what the registry holds still
        throw;
    }
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
    if (Program_.ShowDemo)
        TimerHelp->SetEnabled(true);
    if (!DragInProgress())
        TimerRefresh->SetEnabled(true); // the mouse poll carried its tick in the tray
}

void TfTaskBarMain::TimerHelpTimer(TObject*) {
    TimerHelp->SetEnabled(false);
    if (Help_)
        Help_->ShowHelp(); // brought forward when it is open already
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

void TfTaskBarMain::CreateLastingControls() {
    cbKeepOrder = Create<TCheckBox>(TCheckBoxParams{
        .Name = "cbKeepOrder",
        .Parent = TabSettings,
        .Bounds = {8, 150, 530, 20},
        .Caption = "Keep my order of the taskbar buttons (a program I start again goes back "
                   "to its place)",
        .Checked = true,
        .Font = SettingsFont(),
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
                                            .Font = SettingsFont()});
    hkMoveLeft =
        Create<THotKey>(THotKeyParams{.Name = "hkMoveLeft",
                                      .Parent = TabSettings,
                                      .Bounds = {310, 211, 160, 22},
                                      .Font = SettingsFont(),
                                      .OnChange = Handler(&TfTaskBarMain::MoveKeysChange)});
    lMoveRight = Create<TLabel>(TLabelParams{.Name = "lMoveRight",
                                             .Parent = TabSettings,
                                             .Bounds = {8, 242, 300, 20},
                                             .Caption = "Move the active window's button right:",
                                             .Font = SettingsFont()});
    hkMoveRight =
        Create<THotKey>(THotKeyParams{.Name = "hkMoveRight",
                                      .Parent = TabSettings,
                                      .Bounds = {310, 239, 160, 22},
                                      .Font = SettingsFont(),
                                      .OnChange = Handler(&TfTaskBarMain::MoveKeysChange)});
    cbMoveWinKey = Create<TCheckBox>(TCheckBoxParams{
        .Name = "cbMoveWinKey",
        .Parent = TabSettings,
        .Bounds = {8, 268, 530, 20},
        .Caption = "Hold the Windows key as well (up and down on a vertical taskbar)",
        .Checked = true,
        .Font = SettingsFont(),
        .OnClick = Handler(&TfTaskBarMain::MoveKeysChange)});
    lMoveKeysTaken = Create<TLabel>(TLabelParams{.Name = "lMoveKeysTaken",
                                                 .Parent = TabSettings,
                                                 .Bounds = {8, 294, 530, 36},
                                                 .Font = SettingsFont()});
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

    Program_.LastingOrder.Load();
    Program_.TrayOrder.Load();
    MoveHotKeys.Load();
    // The controls show what is stored; their handlers are not attached while they are set.
    const TNotifyEvent keep = std::exchange(cbKeepOrder->OnClick, nullptr);
    cbKeepOrder->SetChecked(Program_.LastingOrder.Enabled());
    cbKeepOrder->OnClick = keep;
    ShowMoveKeys();
    RegisterMoveKeys();
}

void TfTaskBarMain::ShowMoveKeys() {
    const TNotifyEvent win = std::exchange(cbMoveWinKey->OnClick, nullptr);
    const TMoveKey& shown = MoveHotKeys.Left.Vk != 0 ? MoveHotKeys.Left : MoveHotKeys.Right;
    cbMoveWinKey->SetChecked(shown.Vk == 0 || (shown.Modifiers & kModWin) != 0);
    cbMoveWinKey->OnClick = win;
    hkMoveLeft->SetValue(ControlValueOf(MoveHotKeys.Left));
    hkMoveRight->SetValue(ControlValueOf(MoveHotKeys.Right));
    SetMoveKeyRules();
}

void TfTaskBarMain::SetMoveKeyRules() {
    const TMoveKeyRules rules = MoveKeyControlRules(cbMoveWinKey->Checked());
    for (THotKey* control : {hkMoveLeft, hkMoveRight})
        control->SetRules(rules.InvalidCombinations, rules.Replacement);
}

void TfTaskBarMain::RegisterMoveKeys(const std::string& Refusal) {
    const std::vector<std::string> taken = MoveHotKeys.Register(Handle());
    std::string text;
    for (const std::string& name : taken)
        text += (text.empty() ? "" : " and ") + name;
    if (!text.empty())
        text += taken.size() > 1 ? " are held by another program: choose other keys."
                                 : " is held by another program: choose another key.";
    lMoveKeysTaken->SetCaption(Refusal.empty() ? text : Refusal);
}

void TfTaskBarMain::MoveKeysChange(TObject*) {
    // A key that is not allowed, or the key of the other direction, is refused: the controls
    // go back to the keys kept, and the Settings tab says why.
    const TMoveKeysChoice choice =
        ChooseMoveKeys(hkMoveLeft->Value(), hkMoveRight->Value(), cbMoveWinKey->Checked(),
                       MoveHotKeys.Left, MoveHotKeys.Right);
    MoveHotKeys.Left = choice.Left;
    MoveHotKeys.Right = choice.Right;
    MoveHotKeys.Save();
    if (!choice.Refusal.empty())
        ShowMoveKeys();
    else
        SetMoveKeyRules(); // the controls stay as the user is typing them
    RegisterMoveKeys(choice.Refusal);
}

void TfTaskBarMain::cbKeepOrderClick(TObject*) {
    Program_.LastingOrder.SetEnabled(cbKeepOrder->Checked());
}

void TfTaskBarMain::bForgetOrderClick(TObject*) {
    Program_.LastingOrder.Forget();
    Program_.TrayOrder.Forget();
}

// ---- What the user moved: the order that lasts, the notification area, the move keys

void TfTaskBarMain::TrayIconMoved() {
    Program_.TrayOrder.Remember(Program_.LastingOrder.Enabled());
}

bool TfTaskBarMain::MiddleClickCloses() const {
    return cbMiddleClose->Checked();
}

void TfTaskBarMain::GroupMoved() {
    // The user's order, as the taskbar shows it now.
    Program_.LastingOrder.Remember(Program_.Taskbar.Snapshot(false));
}

void TfTaskBarMain::MoveForegroundGroup(int Step) {
    // Like Up and Down, a failure ends the move silently.
    try {
        const HWND foreground = ::GetForegroundWindow();
        Commands.MoveGroupOfWindow(FromHWND(foreground),
                                   FromHWND(::GetAncestor(foreground, GA_ROOTOWNER)), Step);
    } catch (const std::exception&) {
    }
    if (Showing())
        TimerRefreshOnTimer(nullptr);
}
