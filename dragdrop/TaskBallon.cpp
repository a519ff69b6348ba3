#include "dragdrop/TaskBallon.h"

#include <algorithm>
#include <optional>

#include "dragdrop/ArrowPictures.h"
#include "dragdrop/QLX_Hook_HookCommon.h"
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
    // During a drag the middle button is a button like the others: a press on a group starts
    // the drag again from there, a press elsewhere is ignored.
    if (button == TMouseButton::Middle && !Drag_.Dragging()) {
        MiddleClose_.Click(ToHWND(sourceWindow), movement, HookScreenPoint(x, y),
                           Host_ == nullptr || Host_->MiddleClickCloses());
        return;
    }
    if (movement == bmDown)
        MiddleClose_.Cancel();
    const HWND toolbar = FindTaskbarToolbar();
    Taskbar_.SetToolbar(toolbar);
    if (movement == bmDown)
        Press(sourceWindow, HookScreenPoint(x, y));
    else if (movement == bmUp)
        Release(HookScreenPoint(x, y));
}

bool TFTaskBarBallon::TrayClick(std::intptr_t SourceWindow, TPoint P, TMouseButton Button,
                                TQLX_MouseButtonMovement Movement) {
    if (TrayDrag_.Dragging()) {
        // Any other button ends the drag without a move.
        if (Movement == bmUp && Button == TMouseButton::Left) {
            if (TrayDrag_.Release(HookScreenPoint(P.X, P.Y)) && Host_)
                Host_->TrayIconMoved();
        } else if (Movement == bmDown) {
            TrayDrag_.Cancel();
        }
        return true;
    }
    return Movement == bmDown && Button == TMouseButton::Left && !Drag_.Dragging() &&
           TrayDrag_.Press(ToHWND(SourceWindow), HookScreenPoint(P.X, P.Y));
}

void TFTaskBarBallon::Press(std::intptr_t SourceWindow, TPoint P) {
    // Presses elsewhere are none of the balloon's business, also during a drag.
    const HWND source = ToHWND(SourceWindow);
    if (source == nullptr || (source != FindTaskbarToolbar() && source != FindBaseBar()))
        return;
    TakeSnapshot(false);
    if (Groups_.size() < 2)
        return;
    std::string caption;
    int32_t index = -1;
    const TPoint press = P;
    // A press on a group starts the drag, or starts it again from that group.
    if (!DropPosition(P, caption, index, true) || !Drag_.Press(Groups_, index, press)) {
        IdleReset(); // on the toolbar, but on no group
        return;
    }
    // Only a right click made during this drag ends it: one completed before it (a context
    // menu opened elsewhere, say) is forgotten here, or the drag's first move would end it.
    ::GetAsyncKeyState(VK_RBUTTON);
    MoveBalloon(P);
    QlxLabelCaption.Caption = caption;
    SetCaption(caption); // the window's own text names the dragged group too
    const TGrupButtons& group = *Groups_[static_cast<std::size_t>(index)].Group;
    DragIcon_ = group.Icon;
    IconVisible_ = DragIcon_.Transparent; // drawn from the group's icon, not still blank
    ::InvalidateRect(Handle(), nullptr, FALSE);
    SetDragging(true);
    TimerStayOnTop->SetEnabled(true);
    BringBalloonToTop();
    HideAppButton();
}

void TFTaskBarBallon::QLX_MouseHook1MouseMove(TObject*, std::intptr_t, int32_t x, int32_t y) {
    if (TrayDrag_.Dragging()) {
        TrayDrag_.Move(HookScreenPoint(x, y));
        return;
    }
    if (RightClickCompleted(::GetAsyncKeyState(VK_RBUTTON))) {
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
    TPoint c = HookScreenPoint(x, y);
    TakeQueuedMoves(c);
    LastMovePoint_ = c;
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

void TFTaskBarBallon::Release(TPoint P) {
    if (Drag_.Dragging()) {
        TakeSnapshot(false);
        std::string caption;
        int32_t index = -1;
        const bool inZone = DropPosition(P, caption, index, false);
        const std::optional<TDropMove> move = Drag_.Release(Groups_, inZone);
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
    // Only the moves in front of the next press or release, whatever its code: the order of the
    // events stays.
    while (listen != nullptr &&
           ::PeekMessageA(&msg, listen, HookMessageBase, 0xFFFF, PM_NOREMOVE | PM_NOYIELD)) {
        const UINT code = msg.message;
        const TMouseHookEvent e =
            DecodeMouseHookMessage(static_cast<int32_t>(code - HookMessageBase), msg.wParam,
                                   static_cast<std::intptr_t>(msg.lParam));
        // The first message of that number is the one just seen at the front.
        if (!e.Move || !::PeekMessageA(&msg, listen, code, code, PM_REMOVE | PM_NOYIELD))
            break;
        Latest = HookScreenPoint(e.X, e.Y);
        ++DroppedMoves_;
    }
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
        // imgIcon: the icon stretched over 20 x 20; its see-through pixels (by its own mask)
        // let the balloon show through.
        for (int y = 0; y < kIconSize; ++y)
            for (int x = 0; x < kIconSize; ++x) {
                const int sx = x * TBitmap16::Width / kIconSize;
                const int sy = y * TBitmap16::Height / kIconSize;
                if (!DragIcon_.SeeThrough(static_cast<std::size_t>(sy * TBitmap16::Width + sx)))
                    canvas.Put(parts.Icon.Left + x, parts.Icon.Top + y, DragIcon_.At(sx, sy));
            }
    }
    ::BitBlt(Dc, 0, 0, width, height, dc, 0, 0, SRCCOPY);
}
