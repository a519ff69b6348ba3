#include "toolkit/StdCtrls.h"

#include <shlwapi.h>
#include <uxtheme.h>
#include <vssym32.h>

#include <algorithm>

#include "toolkit/Forms.h"
#include "toolkit/Glyphs.h"
#include "toolkit/ImgList.h"

namespace {
// The form the control lies on.
TForm* ParentForm(TWinControl* Control) {
    for (TWinControl* c = Control; c; c = c->Parent())
        if (auto* f = dynamic_cast<TForm*>(c))
            return f;
    return nullptr;
}
} // namespace

namespace {
// The original window procedure of a picture button, kept with the window.
const char kBaseProcProp[] = "Zorvane.ButtonProc";

// The visual-style functions of uxtheme.dll, looked up at run time: the library is not on
// every system the program starts on (the version check must get to run), and the style is
// used only when the common controls of version 6 draw the other buttons with it.
class TVisualStyle {
public:
    static TVisualStyle& Get() {
        static TVisualStyle style;
        return style;
    }

    // The push button style for Wnd now, or null for the classic look.
    HTHEME Open(HWND Wnd) const {
        if (!Loaded_ || !IsThemeActive_() || !IsAppThemed_())
            return nullptr;
        return OpenThemeData_(Wnd, L"Button");
    }
    void Close(HTHEME Theme) const { CloseThemeData_(Theme); }

    decltype(&::DrawThemeBackground) DrawBackground = nullptr;
    decltype(&::DrawThemeParentBackground) DrawParentBackground = nullptr;
    decltype(&::GetThemeBackgroundContentRect) ContentRect = nullptr;

private:
    TVisualStyle() {
        if (CommonControlsMajorVersion() < 6)
            return;
        Library_.reset(::LoadLibraryA("uxtheme.dll"));
        if (!Library_)
            return;
        Loaded_ = Find(OpenThemeData_, "OpenThemeData") &&
                  Find(CloseThemeData_, "CloseThemeData") &&
                  Find(IsThemeActive_, "IsThemeActive") && Find(IsAppThemed_, "IsAppThemed") &&
                  Find(DrawBackground, "DrawThemeBackground") &&
                  Find(DrawParentBackground, "DrawThemeParentBackground") &&
                  Find(ContentRect, "GetThemeBackgroundContentRect");
    }

    template <typename F> bool Find(F& Function, const char* Name) {
        Function = reinterpret_cast<F>(::GetProcAddress(Library_.get(), Name));
        return Function != nullptr;
    }

    // The common controls this process uses (its manifest chooses them).
    static DWORD CommonControlsMajorVersion() {
        HMODULE comctl = ::GetModuleHandleA("comctl32.dll");
        auto getVersion =
            comctl ? reinterpret_cast<DLLGETVERSIONPROC>(::GetProcAddress(comctl, "DllGetVersion"))
                   : nullptr;
        DLLVERSIONINFO info{};
        info.cbSize = sizeof(info);
        return getVersion && SUCCEEDED(getVersion(&info)) ? info.dwMajorVersion : 0;
    }

    ScopedLibrary Library_;
    bool Loaded_ = false;
    decltype(&::OpenThemeData) OpenThemeData_ = nullptr;
    decltype(&::CloseThemeData) CloseThemeData_ = nullptr;
    decltype(&::IsThemeActive) IsThemeActive_ = nullptr;
    decltype(&::IsAppThemed) IsAppThemed_ = nullptr;
};

struct CloseTheme {
    void operator()(HTHEME Theme) const { TVisualStyle::Get().Close(Theme); }
};
using ScopedTheme = ScopedHandle<HTHEME, nullptr, CloseTheme>;
} // namespace

TButtonControl::TButtonControl(TComponent* Owner, std::string Name, TWinControl* Parent,
                               DWORD Style, const std::string& Caption, const TBounds& Bounds,
                               bool WordWrap, const TFontDef& Font)
    : TWinControl(Owner, std::move(Name), Parent) {
    CreateHandle({.ClassName = "BUTTON",
                  .Caption = Caption,
                  .Style = WS_CHILD | WS_TABSTOP | Style | (WordWrap ? BS_MULTILINE : 0u),
                  .Bounds = Bounds,
                  .Font = Font});
}

TButton::TButton(TComponent* Owner, TButtonParams Params)
    : TButtonControl(
          Owner, std::move(Params.Name), Params.Parent,
          (Params.Images ? BS_OWNERDRAW : (Params.Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)) |
              (Params.Visible ? WS_VISIBLE : 0u),
          Params.Caption, Params.Bounds, Params.WordWrap, Params.Font),
      OnClick(std::move(Params.OnClick)), Images_(Params.Images), ImageIndex_(Params.ImageIndex),
      ModalResult_(Params.ModalResult), Default_(Params.Default), WordWrap_(Params.WordWrap) {
    if (Images_) {
        HWND h = Handle();
        ::SetPropA(h, kBaseProcProp,
                   reinterpret_cast<HANDLE>(::GetWindowLongPtrA(h, GWLP_WNDPROC)));
        ::SetWindowLongPtrA(h, GWLP_WNDPROC,
                            reinterpret_cast<LONG_PTR>(&TButton::PictureButtonProc));
    }
    if (!Params.Hint.empty())
        Hint_ = std::make_unique<TControlHint>(Handle(), std::move(Params.Hint), true);
    if (TForm* form = ParentForm(this)) {
        if (Params.Default)
            form->DefaultButton = this;
        if (Params.Cancel)
            form->CancelButton = this;
    }
}

TButton::~TButton() {
    if (TForm* form = ParentForm(this)) {
        if (form->DefaultButton == this)
            form->DefaultButton = nullptr;
        if (form->CancelButton == this)
            form->CancelButton = nullptr;
    }
}

void TButton::Click() {
    if (TForm* form = ParentForm(this); form && ModalResult_ != mrNone)
        form->ModalResult = ModalResult_;
    Fire(OnClick, this);
}

void TButton::CommandNotify(UINT Code) {
    if (Code == BN_CLICKED)
        Click();
}

void TButton::SetImageIndex(int Value) {
    ImageIndex_ = Value;
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

LRESULT CALLBACK TButton::PictureButtonProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto base = reinterpret_cast<WNDPROC>(::GetPropA(Wnd, kBaseProcProp));
    auto* self = dynamic_cast<TButton*>(FromHandle(Wnd));
    switch (Msg) {
    case WM_LBUTTONDBLCLK:
        // An owner-drawn button reports a double click instead of being pressed again, and
        // a quick second click on Up or Down is a second move.
        Msg = WM_LBUTTONDOWN;
        break;
    case WM_MOUSEMOVE:
        if (self && !self->Hot_) {
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Wnd, 0};
            if (::TrackMouseEvent(&track)) {
                self->Hot_ = true;
                ::InvalidateRect(Wnd, nullptr, FALSE);
            }
        }
        break;
    case WM_MOUSELEAVE:
        if (self) {
            self->Hot_ = false;
            ::InvalidateRect(Wnd, nullptr, FALSE);
        }
        break;
    case WM_NCDESTROY:
        ::RemovePropA(Wnd, kBaseProcProp);
        ::SetWindowLongPtrA(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(base));
        break;
    }
    return ::CallWindowProcA(base, Wnd, Msg, WParam, LParam);
}

bool TButton::DrawItem(const DRAWITEMSTRUCT& Item) {
    if (Item.CtlType != ODT_BUTTON)
        return false;
    HDC dc = Item.hDC;
    const bool pressed = (Item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (Item.itemState & ODS_DISABLED) != 0;
    const bool focusRect = (Item.itemState & ODS_FOCUS) && !(Item.itemState & ODS_NOFOCUSRECT);
    const bool hidePrefix = (Item.itemState & ODS_NOACCEL) != 0;
    RECT frame = Item.rcItem;
    RECT content = frame;
    RECT focus{};
    TVisualStyle& style = TVisualStyle::Get();
    if (ScopedTheme theme(style.Open(Handle())); theme) {
        const int state = disabled   ? PBS_DISABLED
                          : pressed  ? PBS_PRESSED
                          : Hot_     ? PBS_HOT
                          : Default_ ? PBS_DEFAULTED
                                     : PBS_NORMAL;
        style.DrawParentBackground(Handle(), dc, &frame);
        style.DrawBackground(theme.get(), dc, BP_PUSHBUTTON, state, &frame, nullptr);
        style.ContentRect(theme.get(), dc, BP_PUSHBUTTON, state, &frame, &content);
        focus = content;
        DrawContent(dc, content, disabled, hidePrefix, false);
    } else {
        // The classic push button: a default button has a window-frame coloured frame (black
        // in the classic scheme) around the usual one, and when pressed only a flat shadow
        // frame.
        if (Default_) {
            ::FrameRect(dc, &frame, ::GetSysColorBrush(COLOR_WINDOWFRAME));
            ::InflateRect(&frame, -1, -1);
        }
        focus = frame;
        ::InflateRect(&focus, -3, -3);
        if (pressed && Default_) {
            ::FrameRect(dc, &frame, ::GetSysColorBrush(COLOR_BTNSHADOW));
            RECT face = frame;
            ::InflateRect(&face, -1, -1);
            ::FillRect(dc, &face, ::GetSysColorBrush(COLOR_BTNFACE));
        } else {
            ::DrawFrameControl(dc, &frame, DFC_BUTTON,
                               DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0u));
        }
        content = frame;
        ::InflateRect(&content, -2, -2);
        if (pressed)
            ::OffsetRect(&content, 1, 1);
        DrawContent(dc, content, disabled, hidePrefix, true);
    }
    if (focusRect)
        ::DrawFocusRect(dc, &focus);
    return true;
}

void TButton::DrawContent(HDC Dc, const RECT& Area, bool Disabled, bool HidePrefix, bool Classic) {
    const int width = Area.right - Area.left;
    const int height = Area.bottom - Area.top;
    const bool hasGlyph = Images_ && ImageIndex_ >= 0 && ImageIndex_ < Images_->Count();
    const std::string text = Caption();
    ScopedSelectObject font(Dc,
                            reinterpret_cast<HGDIOBJ>(::SendMessageA(Handle(), WM_GETFONT, 0, 0)));
    const UINT format =
        (WordWrap_ ? DT_WORDBREAK : DT_SINGLELINE) | DT_CENTER | (HidePrefix ? DT_HIDEPREFIX : 0u);
    RECT measured{0, 0, GlyphTextRoom(width, hasGlyph), 0};
    if (!text.empty())
        ::DrawTextA(Dc, text.c_str(), -1, &measured, format | DT_CALCRECT);
    int textHeight = measured.bottom - measured.top;
    if (TEXTMETRICA tm{}; textHeight > height && ::GetTextMetricsA(Dc, &tm) && tm.tmHeight > 0)
        textHeight = std::max(height / tm.tmHeight, 1L) * tm.tmHeight; // whole lines only
    const TGlyphLayout layout =
        LayoutGlyph(width, height, hasGlyph, measured.right - measured.left, textHeight);
    if (hasGlyph)
        Images_->Draw(Dc, Area.left + layout.GlyphLeft, Area.top + layout.GlyphTop, ImageIndex_,
                      !Disabled);
    if (layout.TextWidth > 0) {
        RECT r{Area.left + layout.TextLeft, Area.top + layout.TextTop,
               Area.left + layout.TextLeft + layout.TextWidth,
               Area.top + layout.TextTop + layout.TextHeight};
        ::SetBkMode(Dc, TRANSPARENT);
        if (Disabled && Classic) { // the classic engraved text: a light copy below right
            RECT lit = r;
            ::OffsetRect(&lit, 1, 1);
            ::SetTextColor(Dc, ::GetSysColor(COLOR_3DHILIGHT));
            ::DrawTextA(Dc, text.c_str(), -1, &lit, format);
        }
        ::SetTextColor(Dc, ::GetSysColor(Disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
        ::DrawTextA(Dc, text.c_str(), -1, &r, format);
    }
}

// BS_CHECKBOX rather than BS_AUTOCHECKBOX: the state changes only through SetChecked, so a
// click by the user and a change from code run the same handler.
TCheckBox::TCheckBox(TComponent* Owner, TCheckBoxParams Params)
    : TButtonControl(Owner, std::move(Params.Name), Params.Parent, WS_VISIBLE | BS_CHECKBOX,
                     Params.Caption, Params.Bounds, Params.WordWrap, Params.Font),
      OnClick(std::move(Params.OnClick)) {
    ::SendMessageA(Handle(), BM_SETCHECK, Params.Checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TCheckBox::Checked() const {
    return ::SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TCheckBox::SetChecked(bool Value) {
    if (Value == Checked())
        return;
    ::SendMessageA(Handle(), BM_SETCHECK, Value ? BST_CHECKED : BST_UNCHECKED, 0);
    Fire(OnClick, this);
}

void TCheckBox::CommandNotify(UINT Code) {
    if (Code == BN_CLICKED)
        SetChecked(!Checked());
}

TLabel::TLabel(TComponent* Owner, TLabelParams Params)
    : TWinControl(Owner, std::move(Params.Name), Params.Parent) {
    CreateHandle({.ClassName = "STATIC",
                  .Caption = Params.Caption,
                  .Style = WS_CHILD | WS_VISIBLE | SS_NOPREFIX |
                           (Params.WordWrap ? DWORD{SS_LEFT} : DWORD{SS_LEFTNOWORDWRAP}),
                  .Bounds = Params.Bounds,
                  .Font = Params.Font});
}
