#include "dragdrop/TaskBallon.h"

#include <algorithm>
#include <optional>

#include "dragdrop/ArrowPictures.h"
#include "taskbar/Taskbar_win.h"
#include "toolkit/Forms.h"
#include "toolkit/SysUtils.h"

namespace {
// The window's background: the colour key that lets everything but its parts show through.
constexpr COLORREF kTransparentKey = RGB(128, 128, 128);
constexpr COLORREF kShapeFill = RGB(222, 222, 239);
constexpr int kIconSize = 20;

const char* const kHookError =
    "Due to error setting the mouse system hook, you can not use drag-and-drop to reorder your "
    "taskbar buttons. This error does not affect anything else. You can try to restart Windows "
    "to correct the problem. Also, please note that you can still reorder buttons "
    "double-clicking on the Zorvane system tray icon and using the buttons.";

RECT ToRECT(const TRect& r) {
    return {r.Left, r.Top, r.Right, r.Bottom};
}

// A position as the hook reports it (two unsigned 16-bit halves) on the screen: left of or
// above the primary screen is negative.
TPoint ScreenPoint(int32_t X, int32_t Y) {
    return {static_cast<int16_t>(X & 0xFFFF), static_cast<int16_t>(Y & 0xFFFF)};
}

bool ButtonDown(int Key) {
    return (::GetAsyncKeyState(Key) & 0x8000) != 0;
}

HWND WindowUnderCursor(POINT& P) {
    ::GetCursorPos(&P);
    return ::WindowFromPoint(P);
}

// A 32-bit top-down DIB section the balloon is drawn into before it reaches the screen; its
// pixels are 0x00RRGGBB.
class TCanvasBuffer {
public:
    TCanvasBuffer(HDC Screen, int Width, int Height)
        : Width_(Width), Height_(Height), Dc_(::CreateCompatibleDC(Screen)) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = Width;
        bi.bmiHeader.biHeight = -Height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        Bitmap_.reset(::CreateDIBSection(Screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        Bits_ = static_cast<uint32_t*>(bits);
        Select_.emplace(Dc_.get(), Bitmap_.get());
    }
    bool Valid() const { return Bits_ != nullptr; }
    HDC Dc() const { return Dc_.get(); }
    // One pixel, clipped to the buffer; GDI must be flushed before pixels are written.
    void Put(int x, int y, uint32_t Rgb) {
        if (x >= 0 && y >= 0 && x < Width_ && y < Height_)
            Bits_[y * Width_ + x] = Rgb;
    }

private:
    int Width_;
    int Height_;
    ScopedDc Dc_;
    ScopedGdiObject Bitmap_;
    uint32_t* Bits_ = nullptr;
    std::optional<ScopedSelectObject> Select_;
};
} // namespace

TFTaskBarBallon::TFTaskBarBallon(TComponent* Owner, IBalloonHost* Host, TTaskbar& Taskbar)
    : TForm(Owner, {.ClassName = "TFTaskBarBallon",
                    .Name = "FTaskBarBallon",
                    .ClientWidth = 200,
                    .ClientHeight = 110,
                    .Position = TPosition::Designed,
                    .BorderStyle = TBorderStyle::None,
                    .StayOnTop = true,
                    // Never activated, no taskbar button, and see-through where its
                    // background shows.
                    .ExStyle = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_LAYERED}),
      Host_(Host), Taskbar_(Taskbar) {
    ::SetLayeredWindowAttributes(Handle(), kTransparentKey, 255, LWA_COLORKEY);
    QLX_MouseHook1 = Create<TQLX_MouseHook>("QLX_MouseHook1");
    QLX_MouseHook1->OnMouseClick = [this](TObject* Sender, std::intptr_t w, int32_t x, int32_t y,
                                          TMouseButton b, TQLX_MouseButtonMovement m) {
        QLX_MouseHook1MouseClick(Sender, w, x, y, b, m);
    };
    QLX_MouseHook1->OnMouseMove = [this](TObject* Sender, std::intptr_t w, int32_t x, int32_t y) {
        QLX_MouseHook1MouseMove(Sender, w, x, y);
    };
    TimerShow = Create<TTimer>(
        TTimerParams{"TimerShow", 50, false, [this](TObject* Sender) { TimerShowTimer(Sender); }});
    TimerStayOnTop = Create<TTimer>(TTimerParams{
        "TimerStayOnTop", 500, false, [this](TObject* Sender) { TimerStayOnTopTimer(Sender); }});

    QlxLabelCaption.Showtype = shEnd;
    QlxLabelCaption.Alignment = taCenter;
    QlxLabelCaption.Font = {"Tahoma", -11, true};
    QlxLabelCaption.FontColor = RGB(0, 0, 128);
    Lhelp.Caption = "Release mouse to drop the button here";
    Lhelp.Alignment = taCenter;
    Lhelp.Font = {"MS Sans Serif", -11, false};
    Lhelp.FontColor = ::GetSysColor(COLOR_WINDOWTEXT);

    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

TFTaskBarBallon::~TFTaskBarBallon() = default;

void TFTaskBarBallon::TakeSnapshot(bool Light) {
    TGroupList groups = Taskbar_.Snapshot(Light);
    if (!groups.empty())
        Groups_ = std::move(groups);
}

void TFTaskBarBallon::FormCreate(TObject*) {
    SetDragging(false);
    QLX_MouseHook1->SetHookDLL(ExtractFilePath(ExePath()) + "QLX_Hook_.dll");
    std::string text = QLX_MouseHook1->Activate();
    if (!QLX_MouseHook1->Active())
        text = kHookError; // the hook's own reason means nothing to the user
    if (Host_) {
        // Only a running hook lets the host hide itself after start-up; without one it stays
        // up, so the list and its buttons remain at hand.
        if (!text.empty())
            Host_->ShowWarning("Error \r" + text);
        else
            Host_->StartHideTimer();
        Host_->SetListRefresh(true);
        Host_->StartMousePoll();
    }
}

void TFTaskBarBallon::SetDragging(bool Value) {
    if (!Value)
        Drag_.Cancel();
    if (Host_)
        Host_->SetListRefresh(!Value);
}

void TFTaskBarBallon::StopMouseHook() {
    QLX_MouseHook1->Deactivate();
}

void TFTaskBarBallon::HideAppButton() {
    if (Host_)
        Host_->HideAppButton();
}

// ---- The hook's events

void TFTaskBarBallon::QLX_MouseHook1MouseClick(TObject*, std::intptr_t sourceWindow, int32_t x,
                                               int32_t y, TMouseButton button,
                                               TQLX_MouseButtonMovement movement) {
    if (TrayClick(sourceWindow, {x, y}, button, movement))
        return;
    if (button == TMouseButton::Middle) {
        if (!Drag_.Dragging())
            MiddleClose_.Click(ToHWND(sourceWindow), movement, ScreenPoint(x, y),
                               Host_ == nullptr || Host_->MiddleClickCloses());
        else if (movement == bmDown)
            IdleReset(); // a second button pressed during a drag ends it without a move
        return;
    }
    if (movement == bmDown)
        MiddleClose_.Cancel();
    const HWND toolbar = FindTaskbarToolbar();
    Taskbar_.SetToolbar(toolbar);
    if (movement == bmDown)
        Press(sourceWindow, {x, y});
    else if (movement == bmUp)
        Release(sourceWindow, {x, y});
}

bool TFTaskBarBallon::TrayClick(std::intptr_t SourceWindow, TPoint P, TMouseButton Button,
                                TQLX_MouseButtonMovement Movement) {
    if (TrayDrag_.Dragging()) {
        // Any other button ends the drag without a move.
        if (Movement == bmUp && Button == TMouseButton::Left) {
            if (TrayDrag_.Release(ScreenPoint(P.X, P.Y)) && Host_)
                Host_->TrayIconMoved();
        } else if (Movement == bmDown) {
            TrayDrag_.Cancel();
        }
        return true;
    }
    return Movement == bmDown && Button == TMouseButton::Left && !Drag_.Dragging() &&
           TrayDrag_.Press(ToHWND(SourceWindow), ScreenPoint(P.X, P.Y));
}

void TFTaskBarBallon::Press(std::intptr_t SourceWindow, TPoint P) {
    if (Drag_.Dragging()) {
        // A second button pressed during a drag (a right click, say) ends it without a move.
        IdleReset();
        return;
    }
    const HWND source = ToHWND(SourceWindow);
    if (source == nullptr || (source != FindTaskbarToolbar() && source != FindBaseBar()))
        return;
    TakeSnapshot(false);
    if (Groups_.size() < 2)
        return;
    std::string caption;
    int32_t index = -1;
    const TPoint press = P;
    if (!DropPosition(P, caption, index, true) || !Drag_.Press(Groups_, index, press)) {
        IdleReset(); // on the toolbar, but on no group that can be dragged
        return;
    }
    MoveBalloon(P);
    QlxLabelCaption.Caption = caption;
    SetCaption(caption); // the window's own text names the dragged group too
    const TGrupButtons& group = *Groups_[static_cast<std::size_t>(index)].Group;
    DragIcon_ = group.Icon;
    IconVisible_ = true; // every group has its 16 x 16 picture, drawn or still blank
    ::InvalidateRect(Handle(), nullptr, FALSE);
    SetDragging(true);
    TimerStayOnTop->SetEnabled(true);
    BringBalloonToTop();
    HideAppButton();
}

void TFTaskBarBallon::QLX_MouseHook1MouseMove(TObject*, std::intptr_t, int32_t x, int32_t y) {
    if (TrayDrag_.Dragging()) {
        TrayDrag_.Move(ScreenPoint(x, y));
        return;
    }
    // The right button was pressed and released since the last look: the drag is cancelled.
    if (::GetAsyncKeyState(VK_RBUTTON) > 0) {
        QLX_MouseHook1MouseClick(QLX_MouseHook1, 0, -100, -100, TMouseButton::Left, bmUp);
        return;
    }
    if (!Drag_.Dragging()) {
        IdleReset();
        return;
    }
    // The drop position is the one of the latest move: moves that wait right behind this one
    // are taken along unhandled (a snapshot each would make the balloon lag behind). It is the
    // move's own position, not the cursor's as it is by now: when moves are handled late, the
    // cursor may have gone on to the next drag already.
    TPoint c = ScreenPoint(x, y);
    TakeQueuedMoves(c);
    TakeSnapshot(true);
    TPoint p = c;
    std::string caption;
    int32_t index = -1;
    if (DropPosition(p, caption, index, false)) {
        MoveBalloon(p);
        BringBalloonToTop();
        if (Drag_.MoveInZone(Groups_, index, c, IsShowing()))
            TimerShowTimer(nullptr);
    } else {
        TimerShow->SetEnabled(false);
        if (Host_)
            Host_->SetHostTitle(std::to_string(c.X) + ":" + std::to_string(c.Y));
        HideBalloon();
    }
}

void TFTaskBarBallon::Release(std::intptr_t SourceWindow, TPoint P) {
    if (Drag_.Dragging()) {
        TakeSnapshot(false);
        std::string caption;
        int32_t index = -1;
        const bool inZone = DropPosition(P, caption, index, false);
        const std::optional<TDropMove> move =
            Drag_.Release(Groups_, inZone, OverTaskbar(SourceWindow));
        IdleReset();
        if (move && Taskbar_.MoveGroup(move->Moving, move->Before) && Host_)
            Host_->GroupMoved();
    }
    IdleReset();
}

void TFTaskBarBallon::TimerForceTimer(TObject*) {
    POINT p{};
    if (ButtonDown(VK_LBUTTON) || ButtonDown(VK_RBUTTON)) {
        const HWND w = WindowUnderCursor(p);
        QLX_MouseHook1MouseMove(nullptr, FromHWND(w), p.x, p.y);
    } else if (Drag_.Dragging() || TrayDrag_.Dragging()) {
        const HWND w = WindowUnderCursor(p);
        QLX_MouseHook1MouseClick(nullptr, FromHWND(w), p.x, p.y, TMouseButton::Left, bmUp);
    }
}

void TFTaskBarBallon::TimerShowTimer(TObject*) {
    if (Drag_.Dragging()) {
        if (!IsShowing())
            ::ShowWindow(Handle(), SW_SHOWNOACTIVATE);
        TimerShow->SetEnabled(!IsShowing());
    } else {
        HideBalloon();
        TimerStayOnTop->SetEnabled(false);
    }
    HideAppButton();
}

void TFTaskBarBallon::TimerStayOnTopTimer(TObject*) {
    HideAppButton();
    if (Drag_.Dragging()) {
        if (IsShowing())
            BringBalloonToTop();
    } else if (IsShowing()) {
        HideBalloon();
    }
}

// ---- Helpers

void TFTaskBarBallon::IdleReset() {
    SetDragging(false);
    HideBalloon();
    TimerStayOnTop->SetEnabled(false);
}

bool TFTaskBarBallon::IsShowing() const {
    return ::IsWindowVisible(Handle()) != FALSE;
}

void TFTaskBarBallon::HideBalloon() {
    if (IsShowing())
        ::ShowWindow(Handle(), SW_HIDE);
}

void TFTaskBarBallon::BringBalloonToTop() {
    ::SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void TFTaskBarBallon::MoveBalloon(TPoint TopLeft) {
    const TBalloonParts& parts = Geometry_.Parts();
    ::SetWindowPos(Handle(), nullptr, TopLeft.X, TopLeft.Y, parts.Width, parts.Height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TFTaskBarBallon::DropPosition(TPoint& P, std::string& Caption, int32_t& Index, bool AtPress) {
    const TDropContext context{GetTaskbarEdge(), GetTaskbarRect(), ::GetSystemMetrics(SM_CXSCREEN),
                               ::GetSystemMetrics(SM_CYSCREEN), Drag_.SourceIndex()};
    const uint8_t edge = Geometry_.LastEdge();
    const bool hit = ComputeDropPosition(P, Caption, Index, Groups_, AtPress, context, Geometry_);
    if (Geometry_.LastEdge() != edge)
        ::InvalidateRect(Handle(), nullptr, FALSE); // laid out for another edge
    return hit;
}

void TFTaskBarBallon::TakeQueuedMoves(TPoint& Latest) {
    const HWND listen = QLX_MouseHook1->ListenWindow();
    MSG msg;
    // Only the moves in front of the next press or release: the order of the events stays.
    while (listen != nullptr &&
           ::PeekMessageA(&msg, listen, WM_USER, WM_USER + 0xF, PM_NOREMOVE | PM_NOYIELD) &&
           msg.message == WM_USER &&
           ::PeekMessageA(&msg, listen, WM_USER, WM_USER, PM_REMOVE | PM_NOYIELD)) {
        const TMouseHookEvent e =
            DecodeMouseHookMessage(0, msg.wParam, static_cast<std::intptr_t>(msg.lParam));
        Latest = ScreenPoint(e.X, e.Y);
        ++DroppedMoves_;
    }
}

bool TFTaskBarBallon::OverTaskbar(std::intptr_t SourceWindow) const {
    const HWND source = ToHWND(SourceWindow);
    if (source == nullptr)
        return false;
    const HWND root = ::GetAncestor(source, GA_ROOT);
    return root == Handle() || root == ::FindWindowA("Shell_TrayWnd", nullptr) ||
           source == FindBaseBar();
}

// ---- Drawing

void TFTaskBarBallon::FitHelpFont(HDC Dc) {
    // Where MS Sans Serif is not the small bitmap font of Windows (Wine puts a wider one in its
    // place), the help text would be cut at both ends: then the system's Tahoma holds it, a pixel
    // smaller if need be.
    const int width = Lhelp.Bounds.right - Lhelp.Bounds.left;
    const TFontDef designed{"MS Sans Serif", -11, false};
    for (const TFontDef& f :
         {designed, TFontDef{"Tahoma", -11, false}, TFontDef{"Tahoma", -10, false}}) {
        RECT r{0, 0, 0, 0};
        ScopedSelectObject font(Dc, SharedFont(f));
        ::DrawTextA(Dc, Lhelp.Caption.c_str(), static_cast<int>(Lhelp.Caption.size()), &r,
                    DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        Lhelp.Font = f;
        if (r.right <= width)
            return;
    }
}

void TFTaskBarBallon::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(Handle(), &ps);
        Paint(dc);
        ::EndPaint(Handle(), &ps);
        Message.Result = 0;
        return;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 0;
        return;
    case WM_ERASEBKGND:
        Message.Result = 1; // everything is drawn by WM_PAINT in one go
        return;
    case WM_MOUSEACTIVATE:
        Message.Result = MA_NOACTIVATE;
        return;
    case WM_NCHITTEST:
        // The balloon never takes the mouse: a release over it belongs to the taskbar below.
        Message.Result = HTTRANSPARENT;
        return;
    default:
        TForm::WndProc(Message);
    }
}

void TFTaskBarBallon::Paint(HDC Dc) {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    const int width = client.right;
    const int height = client.bottom;
    if (width <= 0 || height <= 0)
        return;
    TCanvasBuffer canvas(Dc, width, height);
    if (!canvas.Valid())
        return;
    HDC dc = canvas.Dc();
    ::SetBkColor(dc, kTransparentKey);
    ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);

    const TBalloonParts& parts = Geometry_.Parts();
    {
        // ShapeNonTransparent: a rounded rectangle, corners a quarter of its shorter side.
        ScopedGdiObject brush(::CreateSolidBrush(kShapeFill));
        ScopedSelectObject selectBrush(dc, brush.get());
        ScopedSelectObject selectPen(dc, ::GetStockObject(BLACK_PEN));
        const TRect& s = parts.Shape;
        const int corner = std::min(s.Right - s.Left, s.Bottom - s.Top) / 4;
        ::RoundRect(dc, s.Left, s.Top, s.Right, s.Bottom, corner, corner);
    }
    ::GdiFlush();
    // ImageCross: the arrow, its transparent pixels left out.
    const TArrowBitmap& arrow = ArrowPicture(parts.Picture);
    for (int y = 0; y < TArrowBitmap::Height; ++y)
        for (int x = 0; x < TArrowBitmap::Width; ++x)
            if (arrow.At(x, y) != arrow.TransparentColor())
                canvas.Put(parts.Arrow.Left + x, parts.Arrow.Top + y, arrow.At(x, y));

    QlxLabelCaption.Bounds = ToRECT(parts.Caption);
    Lhelp.Bounds = ToRECT(parts.Help);
    FitHelpFont(dc);
    QlxLabelCaption.Paint(dc);
    Lhelp.Paint(dc);
    ::GdiFlush();

    if (IconVisible_) {
        // imgIcon: the icon stretched over a white 20 x 20 square; the square's pixels of its
        // bottom-left colour let the balloon show through.
        uint32_t square[kIconSize][kIconSize];
        for (int y = 0; y < kIconSize; ++y)
            for (int x = 0; x < kIconSize; ++x) {
                const uint32_t pixel = DragIcon_.At(x * TBitmap16::Width / kIconSize,
                                                    y * TBitmap16::Height / kIconSize);
                const bool skip = DragIcon_.Transparent && pixel == DragIcon_.TransparentColor();
                square[y][x] = skip ? TBitmap16::White : pixel;
            }
        const uint32_t key = square[kIconSize - 1][0];
        for (int y = 0; y < kIconSize; ++y)
            for (int x = 0; x < kIconSize; ++x)
                if (square[y][x] != key)
                    canvas.Put(parts.Icon.Left + x, parts.Icon.Top + y, square[y][x]);
    }
    ::BitBlt(Dc, 0, 0, width, height, dc, 0, 0, SRCCOPY);
}
