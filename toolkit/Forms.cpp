#include "toolkit/Forms.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "toolkit/DialogKeys.h"
#include "toolkit/StdCtrls.h"

TApplication* Application = nullptr;

namespace {
bool Usable(const TButton* b) {
    return b && b->Showing() && b->Enabled();
}

// The controls that take the focus with Tab, in order: the children of each window in their
// creation order, each followed by its own children (a page control's sheets and their
// controls); hidden or disabled windows are left out together with their children.
void CollectTabStops(HWND Parent, std::vector<HWND>& Out) {
    for (HWND c = ::GetWindow(Parent, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(c) || !::IsWindowEnabled(c))
            continue;
        if (::GetWindowLongPtrA(c, GWL_STYLE) & WS_TABSTOP)
            Out.push_back(c);
        CollectTabStops(c, Out);
    }
}

TBounds CenteredOnWorkArea(TBounds B) {
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    B.Left = work.left + (work.right - work.left - B.Width) / 2;
    B.Top = work.top + (work.bottom - work.top - B.Height) / 2;
    return B;
}

// The windows a modal form keeps from input while it shows: the visible, enabled top-level
// windows of its thread. They are enabled again when it closes.
class TDisabledWindows {
public:
    explicit TDisabledWindows(HWND Modal) : Modal_(Modal) {
        ::EnumThreadWindows(::GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(this));
        for (HWND w : Windows_)
            ::EnableWindow(w, FALSE);
    }
    ~TDisabledWindows() {
        for (HWND w : Windows_)
            if (::IsWindow(w))
                ::EnableWindow(w, TRUE);
    }
    TDisabledWindows(const TDisabledWindows&) = delete;
    TDisabledWindows& operator=(const TDisabledWindows&) = delete;

private:
    static BOOL CALLBACK Collect(HWND Wnd, LPARAM Self) {
        auto* self = reinterpret_cast<TDisabledWindows*>(Self);
        if (Wnd != self->Modal_ && ::IsWindowVisible(Wnd) && ::IsWindowEnabled(Wnd))
            self->Windows_.push_back(Wnd);
        return TRUE;
    }

    HWND Modal_;
    std::vector<HWND> Windows_;
};

// The form a message is for: the form whose window is, or holds, the message's window.
TForm* FormOf(HWND Wnd) {
    if (!Wnd)
        return nullptr;
    return dynamic_cast<TForm*>(TWinControl::FromHandle(::GetAncestor(Wnd, GA_ROOT)));
}
} // namespace

void HandleException(TObject* Sender) noexcept {
    if (Application) {
        Application->HandleException(Sender);
        return;
    }
    ShowPlainError();
}

std::string ExePath() {
    char path[MAX_PATH + 1] = {};
    const DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n < MAX_PATH ? n : 0);
}

std::wstring ExeFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (n < path.size()) { // else the name was cut short
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

// ---- TForm

TForm::TForm(TComponent* Owner, TFormParams Params)
    : TWindow(Owner, std::move(Params.Name), nullptr), Font_(Params.Font),
      Position_(Params.Position) {
    DWORD style = WS_POPUP | WS_CLIPCHILDREN;
    DWORD exStyle = Params.ExStyle;
    if (Params.BorderStyle == TBorderStyle::Dialog) {
        style |= WS_CAPTION | WS_SYSMENU;
        exStyle |= WS_EX_DLGMODALFRAME;
    }
    if (Params.StayOnTop)
        exStyle |= WS_EX_TOPMOST;
    RECT r{0, 0, Params.ClientWidth, Params.ClientHeight};
    ::AdjustWindowRectEx(&r, style, FALSE, exStyle);
    TBounds b{Params.Left, Params.Top, r.right - r.left, r.bottom - r.top};
    if (Params.Position == TPosition::ScreenCenter)
        b = CenteredOnWorkArea(b);
    CreateWindowHandle({.ClassName = Params.ClassName.c_str(),
                        .Caption = Params.Caption,
                        .Style = style,
                        .ExStyle = exStyle,
                        .ParentWnd = Application ? Application->Handle() : nullptr,
                        .Bounds = b,
                        .Font = Params.Font});
}

TForm::~TForm() {
    // The controls go before the window that holds them.
    DestroyComponents();
}

void TForm::Show() {
    SetVisible(true);
    BringToFront();
    // A form activated while it was still hidden (as showing it may do) had no control to give
    // the focus to; now it has.
    if (::GetActiveWindow() == Handle() && ::GetFocus() == Handle())
        OnSetFocus();
}

namespace {
BOOL CALLBACK RaiseOwnedPopup(HWND Wnd, LPARAM Owner) {
    if (::GetWindow(Wnd, GW_OWNER) == reinterpret_cast<HWND>(Owner) && ::IsWindowVisible(Wnd))
        ::SetWindowPos(Wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return TRUE;
}
} // namespace

void TForm::BringToFront() {
    ::SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    // The form's popups (a hint on show, for one) stay in front of it, as they do on Windows;
    // Wine leaves them behind.
    ::EnumThreadWindows(::GetCurrentThreadId(), &RaiseOwnedPopup,
                        reinterpret_cast<LPARAM>(Handle()));
}

bool TForm::CloseQuery() {
    bool canClose = true;
    Fire(OnCloseQuery, this, canClose);
    return canClose;
}

int TForm::ShowModal() {
    if (Modal_)
        throw EAssertionFailed("a modal form shown modally again", "Forms", __LINE__);
    if (Position_ == TPosition::ScreenCenter)
        CenterOnScreen();
    ModalResult = mrNone;
    // Over a showing main form, the form is owned by it meanwhile, so that it stays in front
    // of it whatever brings the main form to the front.
    TForm* main = Application ? Application->MainForm() : nullptr;
    const LONG_PTR owner = ::GetWindowLongPtrA(Handle(), GWLP_HWNDPARENT);
    if (main && main != this && main->Showing())
        ::SetWindowLongPtrA(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(main->Handle()));
    {
        TDisabledWindows others(Handle());
        Modal_ = true;
        Show();
        MSG msg;
        while (ModalResult == mrNone) {
            if (::GetMessageA(&msg, nullptr, 0, 0) <= 0) {
                ::PostQuitMessage(static_cast<int>(msg.wParam)); // for the application's loop
                ModalResult = mrCancel;
                break;
            }
            if (Application)
                Application->ProcessMessage(msg);
            else {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
        Modal_ = false;
    } // the other windows are enabled before this one hides, so one of them is activated
    Hide();
    ::SetWindowLongPtrA(Handle(), GWLP_HWNDPARENT, owner);
    return ModalResult;
}

void TForm::CenterOnScreen() {
    TBounds b = Bounds();
    SetBounds(CenteredOnWorkArea(b));
}

void TForm::Close() {
    if (!CloseQuery())
        return;
    if (Modal_)
        ModalResult = mrCancel;
    else if (Application && Application->MainForm() == this)
        Application->Terminate();
    else
        Hide();
}

void TForm::AfterCreation() {
    LoadComponents();
    try {
        Fire(OnCreate, this);
    } catch (...) {
        HandleException(this);
    }
}

bool TForm::OnClose() {
    Close();
    return true;
}

bool TForm::OnQueryEndSession(LRESULT& Result) {
    Result = CloseQuery() ? TRUE : FALSE;
    return true;
}

void TForm::OnShowWindow(bool Show) {
    if (Show)
        Fire(OnShow, this);
}

bool TForm::OnActivate(UINT State) {
    if (State != WA_INACTIVE)
        return OnSetFocus();
    HWND focus = ::GetFocus();
    if (focus && ::IsChild(Handle(), focus))
        SavedFocus_ = focus;
    return false;
}

bool TForm::OnSetFocus() {
    HWND target = SavedFocus_;
    if (!target || !::IsChild(Handle(), target) || !::IsWindowVisible(target) ||
        !::IsWindowEnabled(target))
        target = NextTabStop(nullptr, false);
    ::SetFocus(target ? target : Handle());
    return true;
}

bool TForm::IsFormMessage(MSG& Msg) {
    const bool keyDown = Msg.message == WM_KEYDOWN || Msg.message == WM_SYSKEYDOWN;
    const bool keyUp = Msg.message == WM_KEYUP || Msg.message == WM_SYSKEYUP;
    if (!keyDown && !keyUp)
        return false;
    auto key = static_cast<uint16_t>(Msg.wParam);
    const TShiftState shift = KeyboardShiftState();
    if (KeyPreview) {
        const TKeyEvent& event = keyDown ? OnKeyDown : OnKeyUp;
        if (event) {
            event(this, key, shift);
            if (key == 0)
                return true;
            Msg.wParam = key;
        }
    }
    return Msg.message == WM_KEYDOWN && DialogKey(key, shift);
}

HWND TForm::NextTabStop(HWND From, bool Backwards) const {
    std::vector<HWND> stops;
    CollectTabStops(Handle(), stops);
    if (stops.empty())
        return nullptr;
    auto it = std::find(stops.begin(), stops.end(), From);
    if (it == stops.end())
        return Backwards ? stops.back() : stops.front();
    if (Backwards)
        return it == stops.begin() ? stops.back() : *(it - 1);
    return it + 1 == stops.end() ? stops.front() : *(it + 1);
}

bool TForm::DialogKey(uint16_t Key, TShiftState Shift) {
    HWND focus = ::GetFocus();
    if (Key == VK_TAB && (Shift & (ssCtrl | ssAlt)) == 0) {
        if (HWND next = NextTabStop(focus, (Shift & ssShift) != 0))
            ::SetFocus(next);
        return true;
    }
    auto* focused = dynamic_cast<TButton*>(FromHandle(focus));
    TDialogKeyContext ctx;
    ctx.FocusIsPushButton = focused && focused->Enabled();
    ctx.DefaultButtonUsable = Usable(DefaultButton);
    ctx.CancelButtonUsable = Usable(CancelButton);
    switch (DialogKeyTarget(Key, Shift, ctx)) {
    case TDialogKeyTarget::FocusedButton:
        focused->Click();
        return true;
    case TDialogKeyTarget::DefaultButton:
        DefaultButton->Click();
        return true;
    case TDialogKeyTarget::CancelButton:
        CancelButton->Click();
        return true;
    case TDialogKeyTarget::None:
        break;
    }
    return false;
}

// ---- TApplication

// The hidden window that owns the forms. A close request to it (the task manager's "End
// task") is a close request to the main form.
class TApplication::TAppWindow : public TWindow {
public:
    explicit TAppWindow(TComponent* Owner) : TWindow(Owner, "", nullptr) {
        CreateWindowHandle({.ClassName = "TApplication",
                            .Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX});
    }

protected:
    bool OnClose() override {
        if (Application && Application->MainForm())
            Application->MainForm()->Close();
        return true;
    }
};

TApplication::TApplication() : TComponent(nullptr, "Application") {
    if (Application)
        throw EAssertionFailed("a second application object", "Forms", __LINE__);
    Application = this;
    Window_ = Create<TAppWindow>();
}

TApplication::~TApplication() {
    MainForm_ = nullptr;
    DestroyComponents(); // the forms, the last created first, then the hidden window
    Application = nullptr;
}

void TApplication::Initialize() {
    INITCOMMONCONTROLSEX icc{sizeof(icc),
                             ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_HOTKEY_CLASS};
    ::InitCommonControlsEx(&icc);
}

void TApplication::SetTitle(const std::string& Value) {
    Title_ = Value;
    Window_->SetCaption(Value);
}

HWND TApplication::Handle() const {
    return Window_->Handle();
}

void TApplication::Run() {
    if (MainForm_ && !Terminated_)
        MainForm_->Show();
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
        ProcessMessage(msg);
    Terminated_ = true;
}

void TApplication::Terminate() {
    Terminated_ = true;
    ::PostQuitMessage(0);
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Left for the loop of Run, which ends on it.
            Terminated_ = true;
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        ProcessMessage(msg);
    }
}

void TApplication::ProcessMessage(MSG& Msg) {
    try {
        if (TForm* form = FormOf(Msg.hwnd); form && form->IsFormMessage(Msg))
            return;
        ::TranslateMessage(&Msg);
        ::DispatchMessageA(&Msg);
    } catch (...) {
        HandleException(FormOf(Msg.hwnd));
    }
}

void TApplication::HandleException(TObject* Sender) noexcept {
    try {
        throw;
    } catch (const Exception& e) {
        Report(Sender, e);
    } catch (const std::exception& e) {
        Report(Sender, Exception(e.what()));
    } catch (...) {
        Report(Sender, Exception("Unknown error."));
    }
}

void TApplication::Report(TObject* Sender, const Exception& E) noexcept {
    try {
        if (OnException)
            OnException(Sender, E);
        else
            ShowException(E);
    } catch (...) {
        // An error handler that fails has nobody left to report to.
    }
}

void TApplication::ShowException(const Exception& E) {
    HWND owner = MainForm_ ? MainForm_->Handle() : nullptr;
    ::MessageBoxA(owner, E.Message.c_str(), Title_.c_str(), MB_OK | MB_ICONERROR);
}

// ---- TScrollBox

namespace {
// One arrow click or one notch of the mouse wheel's three lines.
constexpr int kScrollLine = 16;
} // namespace

TScrollBox::TScrollBox(TComponent* Owner, TScrollBoxParams Params)
    : TWindow(Owner, std::move(Params.Name), Params.Parent) {
    CreateWindowHandle({.ClassName = "TScrollBox",
                        .Style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_CLIPCHILDREN,
                        .ExStyle = WS_EX_CLIENTEDGE | WS_EX_CONTROLPARENT,
                        .Bounds = Params.Bounds});
    UpdateScrollRange();
}

int TScrollBox::ClientHeight() const {
    RECT r{};
    ::GetClientRect(Handle(), &r);
    return r.bottom;
}

void TScrollBox::UpdateScrollRange() {
    int bottom = 0;
    for (HWND c = ::GetWindow(Handle(), GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        RECT r{};
        ::GetWindowRect(c, &r);
        ::MapWindowPoints(HWND_DESKTOP, Handle(), reinterpret_cast<POINT*>(&r), 2);
        bottom = std::max(bottom, static_cast<int>(r.bottom) + Pos_);
    }
    ContentHeight_ = bottom;
    SCROLLINFO si{sizeof(si),
                  SIF_RANGE | SIF_PAGE,
                  0,
                  std::max(ContentHeight_ - 1, 0),
                  static_cast<UINT>(ClientHeight()),
                  0,
                  0};
    ::SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
    ScrollTo(Pos_); // the content may have become shorter than the place it was scrolled to
}

void TScrollBox::ScrollTo(int Pos) {
    Pos = std::clamp(Pos, 0, std::max(ContentHeight_ - ClientHeight(), 0));
    if (Pos == Pos_)
        return;
    // The children are moved one by one rather than with ScrollWindowEx's SW_SCROLLCHILDREN,
    // which Wine skips while the box is hidden.
    const int dy = Pos_ - Pos;
    for (HWND c = ::GetWindow(Handle(), GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        RECT r{};
        ::GetWindowRect(c, &r);
        ::MapWindowPoints(HWND_DESKTOP, Handle(), reinterpret_cast<POINT*>(&r), 2);
        ::SetWindowPos(c, nullptr, r.left, r.top + dy, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
    ::RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    Pos_ = Pos;
    SCROLLINFO si{sizeof(si), SIF_POS, 0, 0, 0, Pos_, 0};
    ::SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
}

void TScrollBox::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_VSCROLL: {
        SCROLLINFO si{sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
        ::GetScrollInfo(Handle(), SB_VERT, &si);
        const int page = static_cast<int>(si.nPage);
        switch (LOWORD(Message.WParam)) {
        case SB_LINEUP:
            ScrollTo(Pos_ - kScrollLine);
            break;
        case SB_LINEDOWN:
            ScrollTo(Pos_ + kScrollLine);
            break;
        case SB_PAGEUP:
            ScrollTo(Pos_ - page);
            break;
        case SB_PAGEDOWN:
            ScrollTo(Pos_ + page);
            break;
        case SB_TOP:
            ScrollTo(0);
            break;
        case SB_BOTTOM:
            ScrollTo(ContentHeight_);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            ScrollTo(si.nTrackPos);
            break;
        }
        Message.Result = 0;
        return;
    }
    case WM_MOUSEWHEEL: {
        const int notches = GET_WHEEL_DELTA_WPARAM(Message.WParam) / WHEEL_DELTA;
        ScrollTo(Pos_ - notches * 3 * kScrollLine);
        Message.Result = 0;
        return;
    }
    case WM_SIZE:
        TWindow::WndProc(Message);
        if (ContentHeight_ > 0)
            UpdateScrollRange();
        return;
    }
    TWindow::WndProc(Message);
}
