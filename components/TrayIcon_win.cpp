#include "components/TrayIcon_win.h"

#include <commctrl.h>

#include <cstring>

#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/ImgList.h"
#include "toolkit/Menus.h"
#include "toolkit/WindowHook.h"

namespace {
TShiftState ButtonFlag(TMouseButton Button) {
    switch (Button) {
    case TMouseButton::Left:
        return ssLeft;
    case TMouseButton::Right:
        return ssRight;
    case TMouseButton::Middle:
        return ssMiddle;
    }
    return 0;
}
} // namespace

// The hidden window that receives the icon's callback message and the component's timers.
class TTrayIcon::TTrayWindow : public TWindow {
public:
    TTrayWindow(TComponent* Owner, TTrayIcon& Tray) : TWindow(Owner, "", nullptr), Tray_(Tray) {
        CreateWindowHandle({.ClassName = "TTrayIconWindow", .Style = WS_POPUP});
    }
    // The timers go before the window they tick on.
    ~TTrayWindow() override { DestroyComponents(); }

protected:
    void WndProc(TMessage& Message) override {
        switch (Message.Msg) {
        case kTrayCallbackMessage:
            Tray_.CallbackMessage(static_cast<UINT>(Message.LParam));
            Message.Result = 0;
            return;
        case WM_DESTROY:
        case WM_CLOSE:
        case WM_QUERYENDSESSION:
        case WM_QUIT:
        case WM_USERCHANGED:
        case WM_NCDESTROY:
            Message.Result = 1; // the window lives as long as the component
            return;
        default:
            TWindow::WndProc(Message);
        }
    }

private:
    TTrayIcon& Tray_;
};

TTrayIcon::TTrayIcon(TComponent* Owner, std::string Name)
    : TComponent(Owner, std::move(Name)),
      TaskbarCreated_(::RegisterWindowMessageA("TaskbarCreated")) {
    IconData_.cbSize = kTrayIconDataSize;
    IconData_.uID = kTrayIconId;
    IconData_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    IconData_.uCallbackMessage = kTrayCallbackMessage;
    Window_ = Create<TTrayWindow>(*this);
    IconData_.hWnd = Window_->Handle();
    ClickTimer_ =
        Window_->Create<TTimer>(TTimerParams{"ClickTimer", ::GetDoubleClickTime(), false,
                                             [this](TObject* Sender) { ClickTimerTimer(Sender); }});
    CycleTimer_ = Window_->Create<TTimer>(
        TTimerParams{"CycleTimer", 0, false, [this](TObject* Sender) { CycleTimerTimer(Sender); }});
    AddRetryTimer_ = Window_->Create<TTimer>(
        TTimerParams{"AddRetryTimer", kAddRetryMs, false,
                     [this](TObject* Sender) { AddRetryTimerTimer(Sender); }});
    if (Application)
        ApplicationHook_ = std::make_unique<TWindowHook>(
            Application->Handle(),
            [this](UINT Msg, WPARAM W, LPARAM L) { ApplicationMessage(Msg, W, L); });
    if (TForm* owner = OwnerForm())
        OwnerFormHook_ = std::make_unique<TWindowHook>(
            owner->Handle(), [this](UINT Msg, WPARAM W, LPARAM L) { OwnerFormMessage(Msg, W, L); });
}

TTrayIcon::~TTrayIcon() {
    SetIconVisible(false);
    OwnerFormHook_.reset();
    ApplicationHook_.reset();
    DestroyComponents(); // the hidden window with the timers, while this object is whole
}

void TTrayIcon::Loaded() {
    if (TForm* owner = OwnerForm(); owner && StartMinimized && Application) {
        owner->Hide();
        ::ShowWindow(Application->Handle(), SW_HIDE);
    }
    ModifyIcon();
    // An application that is ending already (a second instance the single-instance guard
    // turns away) shows no icon, not even for a moment.
    if (Application && Application->Terminated())
        return;
    SetIconVisible(IconVisible_);
}

HWND TTrayIcon::Handle() const {
    return Window_->Handle();
}

unsigned TTrayIcon::ClickInterval() const {
    return ClickTimer_->Interval();
}

TForm* TTrayIcon::OwnerForm() const {
    return dynamic_cast<TForm*>(Owner());
}

// ---- Properties

void TTrayIcon::SetIconList(TImageList* Value) {
    IconList_ = Value;
    SetIconIndex(0);
}

void TTrayIcon::SetCycleIcons(bool Value) {
    CycleIcons_ = Value;
    if (Value)
        SetIconIndex(0);
    CycleTimer_->SetEnabled(Value);
}

unsigned TTrayIcon::CycleInterval() const {
    return CycleTimer_->Interval();
}

void TTrayIcon::SetCycleInterval(unsigned Value) {
    CycleTimer_->SetInterval(Value);
}

void TTrayIcon::SetHint(const std::string& Value) {
    Hint_ = Value;
    ModifyIcon();
}

void TTrayIcon::SetShowHint(bool Value) {
    ShowHint_ = Value;
    ModifyIcon();
}

void TTrayIcon::SetIcon(HICON Value) {
    Icon_.reset(Value ? ::CopyIcon(Value) : nullptr);
    ModifyIcon();
}

void TTrayIcon::SetIconVisible(bool Value) {
    if (Value)
        ShowIcon();
    else
        HideIcon();
}

void TTrayIcon::SetIconIndex(int N) {
    const int count = IconList_ ? IconList_->Count() : 0;
    IconIndex_ = TrayIconIndex(N, count);
    if (count > 0)
        CopyListIcon();
    ModifyIcon();
}

void TTrayIcon::CopyListIcon() {
    Icon_.reset(::ImageList_GetIcon(IconList_->Handle(), IconIndex_, ILD_NORMAL));
}

// ---- The shell

void TTrayIcon::FillIconData() {
    IconData_.hIcon = Icon_.get();
    const std::string tip = TrayTip(Hint_, ShowHint_);
    std::memset(IconData_.szTip, 0, sizeof IconData_.szTip);
    std::memcpy(IconData_.szTip, tip.data(), tip.size());
}

bool TTrayIcon::Notify(DWORD Message) {
    FillIconData();
    return ::Shell_NotifyIconA(Message, &IconData_) != FALSE;
}

bool TTrayIcon::ShowIcon() {
    IconVisible_ = true;
    const bool added = Notify(NIM_ADD);
    // Refused (at logon the shell may not take icons yet, or may not run at all): tried
    // again on the timer until the shell holds the icon.
    AddRetryTimer_->SetEnabled(!added);
    return added;
}

bool TTrayIcon::HideIcon() {
    IconVisible_ = false;
    AddRetryTimer_->SetEnabled(false);
    return Notify(NIM_DELETE);
}

void TTrayIcon::AddRetryTimerTimer(TObject*) {
    // An icon the shell holds already is refused a second add but takes a change.
    if (!IconVisible_ || Notify(NIM_ADD) || Notify(NIM_MODIFY))
        AddRetryTimer_->SetEnabled(false);
}

bool TTrayIcon::ModifyIcon() {
    return Notify(NIM_MODIFY);
}

// ---- Mouse actions

void TTrayIcon::CallbackMessage(UINT MouseMessage) {
    TTrayMouseContext context;
    context.Enabled = Enabled;
    context.LeftPopup = LeftPopup;
    context.MenuAutoPopup = PopupMenu && PopupMenu->AutoPopup;
    Perform(Clicks_.MouseMessage(MouseMessage, context));
}

void TTrayIcon::ClickTimerTimer(TObject*) {
    Perform(Clicks_.ClickTimerTick());
}

void TTrayIcon::Perform(const TTrayActions& Actions) {
    for (const TTrayAction& a : Actions) {
        POINT pt{};
        ::GetCursorPos(&pt);
        switch (a.Kind) {
        case TTrayAction::StartClickTimer:
            ClickTimer_->SetEnabled(true);
            break;
        case TTrayAction::StopClickTimer:
            ClickTimer_->SetEnabled(false);
            break;
        case TTrayAction::MouseMove:
            Fire(OnMouseMove, this, AsyncShiftState(), static_cast<int>(pt.x),
                 static_cast<int>(pt.y));
            break;
        case TTrayAction::MouseDown:
        case TTrayAction::MouseUp:
            Fire(a.Kind == TTrayAction::MouseDown ? OnMouseDown : OnMouseUp, this, a.Button,
                 static_cast<TShiftState>(AsyncShiftState() | ButtonFlag(a.Button)),
                 static_cast<int>(pt.x), static_cast<int>(pt.y));
            break;
        case TTrayAction::Click:
            Fire(OnClick, this);
            break;
        case TTrayAction::DblClick:
            Fire(OnDblClick, this);
            break;
        case TTrayAction::Popup:
            PopupAtCursor();
            break;
        case TTrayAction::DefaultItem:
            if (PopupMenu)
                if (TMenuItem* item = PopupMenu->DefaultItem())
                    item->Click();
            break;
        }
    }
}

void TTrayIcon::PopupAtCursor() {
    POINT pt{};
    if (!PopupMenu || !PopupMenu->AutoPopup || !::GetCursorPos(&pt))
        return;
    if (Application)
        Application->ProcessMessages();
    // Where the pointer is now: the messages just handled may have brought it up to date.
    ::GetCursorPos(&pt);
    // The menu closes when the user clicks elsewhere only if its program is in front.
    ::SetForegroundWindow(Handle());
    TForm* owner = OwnerForm();
    if (owner)
        ::SetForegroundWindow(owner->Handle());
    PopupMenu->PopupComponent = this;
    PopupMenu->Popup(pt.x, pt.y);
    if (owner)
        ::PostMessageA(owner->Handle(), WM_NULL, 0, 0);
}

void TTrayIcon::CycleTimerTimer(TObject*) {
    if (!IconList_ || IconList_->Count() == 0)
        return;
    CopyListIcon();
    const int next = TrayCycleNext(IconIndex_, IconList_->Count());
    Fire(OnCycle, this, next);
    ModifyIcon();
    IconIndex_ = next;
}

// ---- The watched windows

void TTrayIcon::ApplicationMessage(UINT Msg, WPARAM WParam, LPARAM) {
    TForm* mainForm = Application ? Application->MainForm() : nullptr;
    if (Msg == WM_SIZE && WParam == SIZE_MINIMIZED && MinimizeToTray) {
        if (OwnerForm() && mainForm) {
            mainForm->Hide();
            ::ShowWindow(Application->Handle(), SW_HIDE);
        }
        ShowIcon();
    } else if (Msg == WM_WINDOWPOSCHANGED && FirstChange_ && mainForm) {
        // A form of this framework is never an MDI frame, which alone would be hidden here.
        FirstChange_ = false;
    } else if (Msg == TaskbarCreated_ && IconVisible_) {
        ShowIcon(); // the shell started anew, with an empty notification area
    }
}

void TTrayIcon::OwnerFormMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TForm* owner = OwnerForm();
    if (Msg == WM_ACTIVATE && (LOWORD(WParam) == WA_ACTIVE || LOWORD(WParam) == WA_CLICKACTIVE)) {
        HWND active = ::GetFocus();
        if (active && ::IsChild(owner->Handle(), active)) {
            HWND parent = ::GetParent(active);
            if ((parent ? parent : active) != reinterpret_cast<HWND>(LParam))
                ::SetFocus(active);
        }
    } else if (Msg == WM_SHOWWINDOW && WParam && LParam == 0 && Application) {
        // Shown by a ShowWindow call: the application comes forward with the form.
        ::ShowWindow(Application->Handle(), SW_RESTORE);
        ::SetForegroundWindow(Application->Handle());
        ::SetForegroundWindow(owner->Handle());
    }
}
