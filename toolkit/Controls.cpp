#include "toolkit/Controls.h"

#include <algorithm>
#include <memory>

#include "toolkit/Utf8_win.h"
#include "toolkit/WinErrors.h"

namespace {
// The window property that links one of our windows to its object. A property rather than
// GWLP_USERDATA, so that no foreign window is ever taken for ours.
const char kObjectProp[] = "Zorvane.Object";

struct TFontEntry {
    TFontDef Def;
    ScopedGdiObject Font;
};
} // namespace

HFONT SharedFont(const TFontDef& Def) {
    static std::vector<TFontEntry> fonts;
    for (auto& f : fonts)
        if (f.Def.Name == Def.Name && f.Def.Height == Def.Height && f.Def.Bold == Def.Bold &&
            f.Def.Underline == Def.Underline)
            return static_cast<HFONT>(f.Font.get());
    LOGFONTA lf{};
    lf.lfHeight = Def.Height;
    lf.lfWeight = Def.Bold ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = Def.Underline ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynA(lf.lfFaceName, Def.Name.c_str(), LF_FACESIZE);
    HFONT font = ::CreateFontIndirectA(&lf);
    if (!font)
        return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    fonts.push_back({Def, ScopedGdiObject(font)});
    return font;
}

namespace {
// The modifier keys as KeyState (GetKeyState or GetAsyncKeyState) reports them.
TShiftState ShiftStateOf(SHORT(WINAPI* KeyState)(int)) {
    TShiftState s = 0;
    if (KeyState(VK_SHIFT) < 0)
        s |= ssShift;
    if (KeyState(VK_CONTROL) < 0)
        s |= ssCtrl;
    if (KeyState(VK_MENU) < 0)
        s |= ssAlt;
    return s;
}
} // namespace

TShiftState KeyboardShiftState() {
    return ShiftStateOf(&::GetKeyState);
}

TShiftState AsyncShiftState() {
    return ShiftStateOf(&::GetAsyncKeyState);
}

// ---- TWinControl

TWinControl::TWinControl(TComponent* Owner, std::string Name, TWinControl* Parent)
    : TComponent(Owner, std::move(Name)), Parent_(Parent) {}

TWinControl::~TWinControl() {
    if (HWND h = DetachHandle())
        ::DestroyWindow(h);
}

TWinControl* TWinControl::FromHandle(HWND Wnd) {
    if (!Wnd)
        return nullptr;
    return static_cast<TWinControl*>(::GetPropA(Wnd, kObjectProp));
}

void ShowPlainError() noexcept {
    try {
        throw;
    } catch (const std::exception& e) {
        ::MessageBoxA(nullptr, e.what(), "Error", MB_OK | MB_ICONERROR);
    } catch (...) {
        ::MessageBoxA(nullptr, "Unknown error.", "Error", MB_OK | MB_ICONERROR);
    }
}

void DispatchError(TComponent* Sender) noexcept {
    for (TComponent* c = Sender; c; c = c->Owner())
        if (auto* handler = dynamic_cast<IDispatchErrors*>(c)) {
            handler->HandleException(Sender);
            return;
        }
    ShowPlainError();
}

void TWinControl::AttachHandle(HWND Wnd) {
    Handle_.reset(Wnd);
    ::SetPropA(Wnd, kObjectProp, this);
}

HWND TWinControl::DetachHandle() {
    HWND h = Handle_.release();
    if (h)
        ::RemovePropA(h, kObjectProp);
    return h;
}

void TWinControl::CreateHandle(const TCreateArgs& Args) {
    static UINT_PTR nextId = 1000; // control ids only need to be unique among siblings
    HWND parent = Args.ParentWnd ? Args.ParentWnd : (Parent_ ? Parent_->Handle() : nullptr);
    HMENU id = (Args.Style & WS_CHILD) ? reinterpret_cast<HMENU>(nextId++) : nullptr;
    // Unicode windows, so that their texts hold any script.
    HWND h = ::CreateWindowExW(Args.ExStyle, WideText(Args.ClassName).c_str(),
                               WideText(Args.Caption).c_str(), Args.Style, Args.Bounds.Left,
                               Args.Bounds.Top, Args.Bounds.Width, Args.Bounds.Height, parent, id,
                               ::GetModuleHandleA(nullptr), Args.Param);
    if (!h)
        RaiseLastOSError();
    if (Handle() != h) // our own classes attach themselves at WM_NCCREATE
        AttachHandle(h);
    ::SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(SharedFont(Args.Font)), FALSE);
}

bool TWinControl::Visible() const {
    return (::GetWindowLongPtrA(Handle(), GWL_STYLE) & WS_VISIBLE) != 0;
}

void TWinControl::SetVisible(bool Value) {
    if (Value != Visible())
        ::ShowWindow(Handle(), Value ? SW_SHOW : SW_HIDE);
}

bool TWinControl::Showing() const {
    return ::IsWindowVisible(Handle()) != FALSE;
}

bool TWinControl::Enabled() const {
    return ::IsWindowEnabled(Handle()) != FALSE;
}

void TWinControl::SetEnabled(bool Value) {
    ::EnableWindow(Handle(), Value ? TRUE : FALSE);
}

std::string TWinControl::Caption() const {
    const int n = ::GetWindowTextLengthW(Handle());
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    const int got = ::GetWindowTextW(Handle(), &s[0], n + 1);
    s.resize(static_cast<size_t>(std::max(got, 0)));
    return Utf8Text(s);
}

void TWinControl::SetCaption(const std::string& Value) {
    ::SetWindowTextW(Handle(), WideText(Value).c_str());
}

TBounds TWinControl::Bounds() const {
    RECT r{};
    ::GetWindowRect(Handle(), &r);
    if (HWND parent = ::GetParent(Handle());
        parent && (::GetWindowLongPtrA(Handle(), GWL_STYLE) & WS_CHILD))
        ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void TWinControl::SetBounds(const TBounds& B) {
    ::SetWindowPos(Handle(), nullptr, B.Left, B.Top, B.Width, B.Height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::SetFocus() {
    ::SetFocus(Handle());
}

bool TWinControl::Focused() const {
    return Handle() && ::GetFocus() == Handle();
}

void TWinControl::CommandNotify(UINT) {}

bool TWinControl::Notify(const NMHDR&, LRESULT&) {
    return false;
}

bool TWinControl::DrawItem(const DRAWITEMSTRUCT&) {
    return false;
}

// ---- TWindow

TWindow::TWindow(TComponent* Owner, std::string Name, TWinControl* Parent)
    : TWinControl(Owner, std::move(Name), Parent) {}

TWindow::~TWindow() {
    // Detach first: the messages of the destruction must not reach a half-destroyed object.
    if (HWND h = DetachHandle())
        ::DestroyWindow(h);
}

void TWindow::CreateWindowHandle(TCreateArgs Args) {
    const std::wstring className = WideText(Args.ClassName);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (!::GetClassInfoExW(::GetModuleHandleA(nullptr), className.c_str(), &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &TWindow::WindowProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = className.c_str();
        if (!::RegisterClassExW(&wc))
            RaiseLastOSError();
    }
    Args.Param = this;
    CreateHandle(Args);
}

LRESULT CALLBACK TWindow::WindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TWindow* self = nullptr;
    if (Msg == WM_NCCREATE) {
        self = static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTW*>(LParam)->lpCreateParams);
        if (self)
            self->AttachHandle(Wnd);
    } else {
        self = static_cast<TWindow*>(FromHandle(Wnd));
    }
    if (!self)
        return ::DefWindowProcW(Wnd, Msg, WParam, LParam);
    TMessage m{Msg, WParam, LParam, 0};
    try {
        self->WndProc(m);
    } catch (...) {
        DispatchError(self);
        m.Result = 0;
    }
    if (Msg == WM_NCDESTROY)
        self->DetachHandle();
    return m.Result;
}

void TWindow::DefaultHandler(TMessage& Message) {
    Message.Result = ::DefWindowProcW(Handle(), Message.Msg, Message.WParam, Message.LParam);
}

void TWindow::WndProc(TMessage& Message) {
    bool handled = false;
    switch (Message.Msg) {
    case WM_COMMAND:
        handled = OnCommand(HIWORD(Message.WParam), LOWORD(Message.WParam),
                            reinterpret_cast<HWND>(Message.LParam));
        break;
    case WM_NOTIFY:
        handled = OnNotify(*reinterpret_cast<const NMHDR*>(Message.LParam), Message.Result);
        break;
    case WM_DRAWITEM:
        handled = OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam));
        if (handled)
            Message.Result = TRUE;
        break;
    case WM_TIMER:
        handled = OnTimer(Message.WParam);
        break;
    case WM_CLOSE:
        handled = OnClose();
        break;
    case WM_QUERYENDSESSION:
        handled = OnQueryEndSession(Message.Result);
        break;
    case WM_ACTIVATE:
        handled = OnActivate(LOWORD(Message.WParam));
        break;
    case WM_SETFOCUS:
        handled = OnSetFocus();
        break;
    case WM_SHOWWINDOW:
        OnShowWindow(Message.WParam != 0);
        break;
    }
    if (!handled)
        DefaultHandler(Message);
}

bool TWindow::OnCommand(UINT Code, UINT, HWND Control) {
    TWinControl* c = FromHandle(Control);
    if (!c || c == this)
        return false;
    c->CommandNotify(Code);
    return true;
}

bool TWindow::OnNotify(const NMHDR& Header, LRESULT& Result) {
    TWinControl* c = FromHandle(Header.hwndFrom);
    return c && c != this && c->Notify(Header, Result);
}

bool TWindow::OnDrawItem(const DRAWITEMSTRUCT& Item) {
    if (Item.CtlType == ODT_MENU)
        return false;
    TWinControl* c = FromHandle(Item.hwndItem);
    return c && c != this && c->DrawItem(Item);
}

void TWindow::AttachTimer(ITimerTick* Timer) {
    Timers_.push_back(Timer);
}

void TWindow::DetachTimer(ITimerTick* Timer) {
    Timers_.erase(std::remove(Timers_.begin(), Timers_.end(), Timer), Timers_.end());
}

bool TWindow::OnTimer(UINT_PTR Id) {
    for (ITimerTick* t : Timers_)
        if (t->TimerId() == Id) {
            t->Tick();
            return true;
        }
    return false;
}
