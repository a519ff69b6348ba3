#include "components/QlxCheckList.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "toolkit/Registry_win.h"
#include "toolkit/Utf8_win.h"

namespace {
constexpr int kBpCheckBox = 3; // BUTTON part of a check box
constexpr int kCbsUncheckedNormal = 1;
constexpr int kCbsCheckedNormal = 5;
constexpr int kCbsMixedNormal = 9;
constexpr int kHpHeaderItem = 1; // HEADER part of one column
constexpr int kHisNormal = 1;
constexpr LRESULT kDialogCodes = DLGC_WANTARROWS | DLGC_WANTCHARS; // 0x81

TShiftState MouseShiftState(WPARAM Keys) {
    TShiftState s = 0;
    if (Keys & MK_SHIFT)
        s |= ssShift;
    if (Keys & MK_CONTROL)
        s |= ssCtrl;
    if (::GetKeyState(VK_MENU) < 0)
        s |= ssAlt;
    return s;
}

int XOf(LPARAM LParam) {
    return static_cast<short>(LOWORD(LParam));
}
int YOf(LPARAM LParam) {
    return static_cast<short>(HIWORD(LParam));
}

using TSelection = ScopedSelectObject;

// The screen DC of a window, released with it.
class TWindowDc {
public:
    explicit TWindowDc(HWND Wnd) : Wnd_(Wnd), Dc_(::GetDC(Wnd)) {}
    ~TWindowDc() { ::ReleaseDC(Wnd_, Dc_); }
    TWindowDc(const TWindowDc&) = delete;
    TWindowDc& operator=(const TWindowDc&) = delete;
    HDC get() const { return Dc_; }

private:
    HWND Wnd_;
    HDC Dc_;
};

// Draws 0x00RRGGBB pixels, Width x Height from the top, stretched to the rectangle.
void DrawPixels(HDC Dc, int X, int Y, int DrawWidth, int DrawHeight, const uint32_t* Pixels,
                int Width, int Height, DWORD Rop) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = Width;
    bi.bmiHeader.biHeight = -Height; // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    ::StretchDIBits(Dc, X, Y, DrawWidth, DrawHeight, 0, 0, Width, Height, Pixels, &bi,
                    DIB_RGB_COLORS, Rop);
}

// A picture of the item stretched to Size x Size; with Transparent set, its see-through
// pixels (by its own mask, or its transparent colour) leave the background as it is.
void DrawBitmap16(HDC Dc, const TBitmap16& Bitmap, int X, int Y, int Size) {
    const int n = TBitmap16::Width * TBitmap16::Height;
    if (!Bitmap.Transparent) {
        DrawPixels(Dc, X, Y, Size, Size, Bitmap.Pixels.data(), TBitmap16::Width, TBitmap16::Height,
                   SRCCOPY);
        return;
    }
    // The mask clears the picture's own pixels to black, then the picture (black where
    // transparent) is ORed in.
    std::vector<uint32_t> mask(static_cast<size_t>(n)), image(static_cast<size_t>(n));
    for (size_t i = 0; i < static_cast<size_t>(n); ++i) {
        const bool seeThrough = Bitmap.SeeThrough(i);
        mask[i] = seeThrough ? 0xFFFFFF : 0;
        image[i] = seeThrough ? 0 : Bitmap.Pixels[i];
    }
    DrawPixels(Dc, X, Y, Size, Size, mask.data(), TBitmap16::Width, TBitmap16::Height, SRCAND);
    DrawPixels(Dc, X, Y, Size, Size, image.data(), TBitmap16::Width, TBitmap16::Height, SRCPAINT);
}

void Fill(HDC Dc, const RECT& R, COLORREF Color) {
    ::SetBkColor(Dc, Color);
    ::ExtTextOutA(Dc, 0, 0, ETO_OPAQUE, &R, nullptr, 0, nullptr);
}

void DrawCellText(HDC Dc, const std::string& Text, RECT R, TAlignment Alignment) {
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    if (Alignment == taRightJustify)
        format |= DT_RIGHT;
    else if (Alignment == taCenter)
        format |= DT_CENTER;
    const std::wstring text = WideText(Text);
    ::DrawTextW(Dc, text.c_str(), static_cast<int>(text.size()), &R, format);
}
} // namespace

// The visual styles of the system, when it has them: uxtheme is looked up at run time, so
// the program still starts where it is missing, and every drawing falls back to plain.
class TQlxCheckList::TTheme {
public:
    TTheme() : Library_(::LoadLibraryA("uxtheme.dll")) {
        if (!Library_)
            return;
        Open_ = Function<TOpen>("OpenThemeData");
        Close_ = Function<TClose>("CloseThemeData");
        Draw_ = Function<TDraw>("DrawThemeBackground");
        if (!Open_ || !Close_ || !Draw_)
            Open_ = nullptr;
    }
    ~TTheme() { Release(); }
    TTheme(const TTheme&) = delete;
    TTheme& operator=(const TTheme&) = delete;

    // (Re)opens the button and header styles for the window; none while no style is active.
    void Reopen(HWND Wnd) {
        Release();
        if (!Open_)
            return;
        Button_ = Open_(Wnd, L"BUTTON");
        Header_ = Open_(Wnd, L"HEADER");
    }
    bool DrawButton(HDC Dc, int State, const RECT& R) const {
        return Button_ && Draw_(Button_, Dc, kBpCheckBox, State, &R, nullptr) == S_OK;
    }
    bool DrawHeader(HDC Dc, const RECT& R) const {
        return Header_ && Draw_(Header_, Dc, kHpHeaderItem, kHisNormal, &R, nullptr) == S_OK;
    }

private:
    using TOpen = HANDLE(WINAPI*)(HWND, LPCWSTR);
    using TClose = HRESULT(WINAPI*)(HANDLE);
    using TDraw = HRESULT(WINAPI*)(HANDLE, HDC, int, int, const RECT*, const RECT*);

    template <typename F> F Function(const char* Name) const {
        return reinterpret_cast<F>(::GetProcAddress(Library_.get(), Name));
    }
    void Release() {
        for (HANDLE* h : {&Button_, &Header_})
            if (*h) {
                Close_(*h);
                *h = nullptr;
            }
    }

    ScopedLibrary Library_;
    TOpen Open_ = nullptr;
    TClose Close_ = nullptr;
    TDraw Draw_ = nullptr;
    HANDLE Button_ = nullptr;
    HANDLE Header_ = nullptr;
};

TQlxCheckList::TQlxCheckList(TComponent* Owner, TQlxCheckListParams Params)
    : TWindow(Owner, std::move(Params.Name), Params.Parent),
      TQlxCheckListCore(static_cast<IQlxCheckListView&>(*this), static_cast<TWindow*>(this)),
      Theme_(std::make_unique<TTheme>()), Font_(Params.Font), HeaderFont_(Params.HeaderFont) {
    CreateWindowHandle({.ClassName = "TQlxCheckList",
                        .Style = WS_CHILD | WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS |
                                 (Params.Visible ? WS_VISIBLE : 0u),
                        .ExStyle = WS_EX_CLIENTEDGE,
                        .Bounds = Params.Bounds,
                        .Font = Params.Font});
    // Double-clicks reach the window only when its class asks for them.
    const auto style = ::GetClassLongPtrA(Handle(), GCL_STYLE);
    if (!(style & CS_DBLCLKS))
        ::SetClassLongPtrA(Handle(), GCL_STYLE, style | CS_DBLCLKS);
    Theme_->Reopen(Handle());
    Hint_ = std::make_unique<TControlHint>(Handle(), std::move(Params.Hint), Params.ShowHint);
    Registry = &OpenRegistry;
    RememberWidth(OuterWidth());
    UpdateScrollBars();
}

TQlxCheckList::~TQlxCheckList() {
    SaveRegistrySettings(Name());
    // The window goes first, so that none of its messages reaches a list being taken apart.
    Hint_.reset();
    if (HWND h = DetachHandle())
        ::DestroyWindow(h);
}

void TQlxCheckList::Loaded() {
    LoadRegistrySettings(Name());
    RememberWidth(OuterWidth());
}

int TQlxCheckList::OuterWidth() const {
    RECT r{};
    ::GetWindowRect(Handle(), &r);
    return r.right - r.left;
}

int TQlxCheckList::TextWidth(const std::string& Text, bool HeaderFont) {
    TWindowDc dc(Handle());
    TSelection font(dc.get(), SharedFont(HeaderFont ? HeaderFont_ : Font_));
    SIZE size{};
    ::GetTextExtentPoint32A(dc.get(), Text.c_str(), static_cast<int>(Text.size()), &size);
    return size.cx;
}

bool TQlxCheckList::SetSplitCursor() {
    POINT p{};
    ::GetCursorPos(&p);
    ::ScreenToClient(Handle(), &p);
    if (!SplitCursorAt(p.x, p.y))
        return false;
    ::SetCursor(::LoadCursor(nullptr, IDC_SIZEWE));
    return true;
}

void TQlxCheckList::SetHint(const std::string& Value) {
    Hint_->SetText(Value);
}

void TQlxCheckList::SetShowHint(bool Value) {
    Hint_->SetActive(Value);
}

// ---- Effects of the list

void TQlxCheckList::InvalidateList() {
    ::InvalidateRect(Handle(), nullptr, FALSE);
}

void TQlxCheckList::ListLayoutChanged() {
    UpdateScrollBars();
    InvalidateList();
}

void TQlxCheckList::ScrollPositionChanged() {
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrA(Handle(), GWL_STYLE));
    if (style & WS_VSCROLL)
        ::SetScrollPos(Handle(), SB_VERT, VertPos(), TRUE);
    if (style & WS_HSCROLL)
        ::SetScrollPos(Handle(), SB_HORZ, HorzPos(), TRUE);
    InvalidateList();
}

void TQlxCheckList::ResetHint() {
    if (Hint_)
        Hint_->Pop();
}

void TQlxCheckList::UpdateScrollBars() {
    if (!Handle() || Items.UpdateCount() > 0 || InScrollUpdate_)
        return;
    InScrollUpdate_ = true;
    const int barWidth = ::GetSystemMetrics(SM_CXVSCROLL);
    const int barHeight = ::GetSystemMetrics(SM_CYHSCROLL);
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrA(Handle(), GWL_STYLE));
    RECT rc{};
    ::GetClientRect(Handle(), &rc);
    const int width = rc.right + ((style & WS_VSCROLL) ? barWidth : 0);
    const int height = rc.bottom + ((style & WS_HSCROLL) ? barHeight : 0);
    const TScrollLayout layout = CalcScrollLayout(width, height, barWidth, barHeight);
    ::ShowScrollBar(Handle(), SB_VERT, layout.VertVisible ? TRUE : FALSE);
    ::ShowScrollBar(Handle(), SB_HORZ, layout.HorzVisible ? TRUE : FALSE);
    ::GetClientRect(Handle(), &rc);
    SetClientSize(rc.right, rc.bottom);
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    if (layout.VertVisible) {
        // The range lets the last row scroll up from the bottom edge.
        const int page = std::max<int>(0, rc.bottom - HeaderBand());
        si.nMax = std::max(0, VertMax() + page - 1);
        si.nPage = static_cast<UINT>(page);
        si.nPos = VertPos();
        ::SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
    }
    if (layout.HorzVisible) {
        si.nMax = std::max(0, ContentWidth() - 1);
        si.nPage = static_cast<UINT>(rc.right);
        si.nPos = HorzPos();
        ::SetScrollInfo(Handle(), SB_HORZ, &si, TRUE);
    }
    InScrollUpdate_ = false;
}

void TQlxCheckList::Scrolled(int Bar, int Code) {
    const bool vert = Bar == SB_VERT;
    const int pos = vert ? VertPos() : HorzPos();
    const int small = vert ? ItemHeight : ScrollBarsProperties.HorzSmallChange;
    const int large =
        vert ? ScrollBarsProperties.VertLargeChange : ScrollBarsProperties.HorzLargeChange;
    int next = pos;
    switch (Code) {
    case SB_LINEUP:
        next = pos - small;
        break;
    case SB_LINEDOWN:
        next = pos + small;
        break;
    case SB_PAGEUP:
        next = pos - large;
        break;
    case SB_PAGEDOWN:
        next = pos + large;
        break;
    case SB_TOP:
        next = 0;
        break;
    case SB_BOTTOM:
        next = vert ? VertMax() : HorzMax();
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO si{};
        si.cbSize = sizeof(si);
        si.fMask = SIF_TRACKPOS;
        ::GetScrollInfo(Handle(), Bar, &si);
        next = si.nTrackPos;
        break;
    }
    default:
        return;
    }
    if (vert)
        SetVertPos(next);
    else
        SetHorzPos(next);
}

void TQlxCheckList::WheelTurned(WPARAM WParam, LPARAM LParam) {
    WheelRest_ += static_cast<short>(HIWORD(WParam));
    const int notches = WheelRest_ / WHEEL_DELTA;
    WheelRest_ %= WHEEL_DELTA;
    if (notches == 0)
        return;
    const bool overHorzBar =
        ::SendMessageA(Handle(), WM_NCHITTEST, 0, LParam) == static_cast<LRESULT>(HTHSCROLL);
    MouseWheel(notches, overHorzBar);
}

// ---- Messages

void TQlxCheckList::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = kDialogCodes;
        return;
    case WM_ERASEBKGND:
        Message.Result = 1; // everything is painted in WM_PAINT
        return;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(Handle(), &ps);
        PaintTo(dc);
        ::EndPaint(Handle(), &ps);
        return;
    }
    case WM_PRINTCLIENT:
        PaintTo(reinterpret_cast<HDC>(Message.WParam));
        return;
    case WM_SIZE:
        ControlResized(OuterWidth());
        ListLayoutChanged();
        break;
    case WM_SETFOCUS:
        InvalidateList(); // the selection bar changes colour
        break;
    case WM_KILLFOCUS:
        FocusLost();
        InvalidateList();
        break;
    case WM_SETCURSOR:
        if (LOWORD(Message.LParam) == HTCLIENT && SetSplitCursor()) {
            Message.Result = TRUE;
            return;
        }
        break;
    case WM_THEMECHANGED:
        Theme_->Reopen(Handle());
        InvalidateList();
        break;
    case WM_LBUTTONDOWN:
        SetFocus();
        MouseDown(TMouseButton::Left, MouseShiftState(Message.WParam), XOf(Message.LParam),
                  YOf(Message.LParam));
        if (YOf(Message.LParam) < HeaderBand())
            ::SetCapture(Handle()); // the release of a header press may be anywhere
        if (SizingColumn())
            SetSplitCursor();
        return;
    case WM_LBUTTONDBLCLK:
        SetFocus();
        DblClick(MouseShiftState(Message.WParam), XOf(Message.LParam), YOf(Message.LParam));
        if (YOf(Message.LParam) < HeaderBand())
            ::SetCapture(Handle());
        return;
    case WM_LBUTTONUP:
        if (::GetCapture() == Handle())
            ::ReleaseCapture();
        MouseUp(TMouseButton::Left, XOf(Message.LParam), YOf(Message.LParam));
        return;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        SetFocus();
        MouseDown(Message.Msg == WM_RBUTTONDOWN ? TMouseButton::Right : TMouseButton::Middle,
                  MouseShiftState(Message.WParam), XOf(Message.LParam), YOf(Message.LParam));
        break;
    case WM_MOUSEMOVE:
        MouseMove(XOf(Message.LParam), YOf(Message.LParam));
        break;
    case WM_MOUSEWHEEL:
        WheelTurned(Message.WParam, Message.LParam);
        return;
    case WM_VSCROLL:
    case WM_HSCROLL:
        Scrolled(Message.Msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(Message.WParam));
        return;
    case WM_KEYDOWN:
        KeyDown(static_cast<uint16_t>(Message.WParam), KeyboardShiftState());
        return;
    case WM_KEYUP:
        KeyUp();
        return;
    }
    TWindow::WndProc(Message);
}

// ---- Painting

COLORREF TQlxCheckList::ColorOf(TColor Color, TColor FontColour) const {
    if (Color == clWindowText)
        Color = FontColour;
    if ((Color & kSystemColor) == kSystemColor)
        return ::GetSysColor(static_cast<int>(Color & 0xFF));
    return Color;
}

void TQlxCheckList::PaintTo(HDC Dc) {
    RECT rc{};
    ::GetClientRect(Handle(), &rc);
    TWindowDc screen(Handle());
    ScopedDc memory(::CreateCompatibleDC(screen.get()));
    if (!memory)
        return;
    if (Items.UpdateCount() > 0) {
        // Rows are being rebuilt: the picture of the last complete painting stands in.
        if (UpdateSnapshot) {
            TSelection keep(memory.get(), UpdateSnapshot.get());
            ::BitBlt(Dc, 0, 0, SnapshotWidth_, SnapshotHeight_, memory.get(), 0, 0, SRCCOPY);
        } else {
            Fill(Dc, rc, ColorOf(ItemsColor, FontColor));
        }
        return;
    }
    if (!UpdateSnapshot || SnapshotWidth_ != rc.right || SnapshotHeight_ != rc.bottom) {
        UpdateSnapshot.reset(::CreateCompatibleBitmap(screen.get(), std::max<LONG>(rc.right, 1),
                                                      std::max<LONG>(rc.bottom, 1)));
        SnapshotWidth_ = rc.right;
        SnapshotHeight_ = rc.bottom;
        if (!UpdateSnapshot)
            return;
    }
    TSelection keep(memory.get(), UpdateSnapshot.get());
    PaintList(memory.get(), rc.right, rc.bottom);
    ::BitBlt(Dc, 0, 0, rc.right, rc.bottom, memory.get(), 0, 0, SRCCOPY);
}

void TQlxCheckList::PaintList(HDC Dc, int Width, int Height) {
    Fill(Dc, {0, 0, Width, Height}, ColorOf(clWindow, FontColor));
    ::SetBkMode(Dc, TRANSPARENT);
    TSelection font(Dc, SharedFont(Font_));
    if (ItemHeight > 0) {
        for (int row = std::max(0, VertPos() / ItemHeight); row < Items.Count(); ++row) {
            if (RowTop(row) >= Height)
                break;
            PaintRow(Dc, row, Width);
        }
    }
    if (HeaderVisible)
        PaintHeader(Dc, Width);
}

void TQlxCheckList::PaintHeader(HDC Dc, int Width) {
    const int bottom = HeaderBand();
    TSelection font(Dc, SharedFont(HeaderFont_));
    ::SetTextColor(Dc, ColorOf(HeaderFontColor, HeaderFontColor));
    int right = -HorzPos();
    auto drawItem = [&](RECT cell) {
        if (!Theme_->DrawHeader(Dc, cell)) {
            Fill(Dc, cell, ColorOf(HeaderColor, FontColor));
            ::DrawEdge(Dc, &cell, BDR_RAISEDINNER, BF_RECT | BF_SOFT);
        }
    };
    for (int c = 0; c < Columns.Count(); ++c) {
        const TQlxListColumn& col = Columns[c];
        if (!col.Visible)
            continue;
        const RECT cell{ColumnLeft(c), 0, ColumnLeft(c) + col.Width(), bottom};
        right = cell.right;
        if (cell.right <= 0 || cell.left >= Width)
            continue;
        drawItem(cell);
        DrawCellText(Dc, col.Caption, {cell.left + 6, 0, cell.right - 4, bottom},
                     col.HeaderAlignment);
    }
    if (right < Width)
        drawItem({right, 0, Width + 2, bottom}); // the empty rest of the header
}

void TQlxCheckList::PaintRow(HDC Dc, int Row, int Width) {
    const TQlxListItem& item = Items[Row];
    const bool focused = Focused();
    const TRowColors colors = RowColors(item, focused);
    const int top = RowTop(Row);
    const int bottom = top + ItemHeight;
    const int first = FirstVisibleColumn();
    if (first < 0)
        return;
    const int rowLeft = ColumnLeft(first);
    const int rowRight = EntireRow ? Width : ColumnLeft(Columns.Count());
    const RECT rowRect{rowLeft, top, rowRight, bottom};
    Fill(Dc, rowRect, ColorOf(StateColor(item), FontColor));
    RECT selection = rowRect;
    if (!RowSelect)
        selection.right = rowLeft + Columns[first].Width();
    if (item.Selected())
        Fill(Dc, selection, ColorOf(colors.Back, FontColor));

    for (int c = first; c < Columns.Count(); ++c) {
        const TQlxListColumn& col = Columns[c];
        if (!col.Visible)
            continue;
        const int left = ColumnLeft(c);
        const int right = left + col.Width();
        if (right <= 0 || left >= Width)
            continue;
        const bool inSelection = item.Selected() && (RowSelect || c == first);
        ::SetTextColor(Dc, ColorOf(inSelection ? colors.Text : clWindowText, FontColor));
        const HRGN clip = ::CreateRectRgn(left, top, right, bottom);
        ::SelectClipRgn(Dc, clip);
        ::DeleteObject(clip); // the DC keeps its own copy
        int x = left;
        std::string text;
        if (c == first) {
            if (CheckBoxes) {
                if (item.VisibleCheck())
                    DrawCheck(Dc, CheckBoxLeft() + 1, CheckBoxTop(Row), item.State());
                x += CheckSize + 2;
            }
            if (item.HasIcon()) {
                const int size = RowPictureSize();
                x += item.ImageOffset;
                DrawBitmap16(Dc, item.Icon(), x, top + 1, size);
                x += size;
            }
            x += item.Offset;
            text = item.Caption();
        } else {
            x += col.Offset;
            if (c - 1 < item.SubItems.Count())
                text = item.SubItems[c - 1];
        }
        DrawCellText(Dc, text, {x, top, right - 2, bottom}, col.ItemsAlignment);
        ::SelectClipRgn(Dc, nullptr);
    }
    if (focused && Row == CurrentIndex()) {
        RECT r = selection;
        ::SetTextColor(Dc, RGB(0, 0, 0));
        ::SetBkColor(Dc, RGB(255, 255, 255));
        ::DrawFocusRect(Dc, &r);
    }
}

void TQlxCheckList::DrawCheck(HDC Dc, int X, int Y, TCheckBoxState State) {
    const RECT r{X, Y, X + CheckSize, Y + CheckSize};
    if (UseThemeCheck) {
        const int part = State == cbChecked  ? kCbsCheckedNormal
                         : State == cbGrayed ? kCbsMixedNormal
                                             : kCbsUncheckedNormal;
        if (Theme_->DrawButton(Dc, part, r))
            return;
    }
    const TCheckGlyph& glyph = State == cbChecked  ? ImageCheck
                               : State == cbGrayed ? ImageGrayCheck
                                                   : ImageUNCheck;
    DrawPixels(Dc, X, Y, CheckSize, CheckSize, glyph.Pixels.data(), TCheckGlyph::Size,
               TCheckGlyph::Size, SRCCOPY);
}
