#include "standin/Taskbar.h"

#include "standin/XpLook.h"

#include <windowsx.h>

namespace standin {

namespace {
constexpr const char* kTrayClass = "Shell_TrayWnd";
constexpr const char* kRebarClass = "ReBarWindow32";
constexpr const char* kTaskSwClass = "MSTaskSwWClass";
constexpr const char* kNotifyClass = "TrayNotifyWnd";

RECT ToRECT(const Rect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

// Clicks on the bar leave the foreground window where it is, so that the button of the
// active application stays checked; the shell activates windows itself.
constexpr LRESULT kNoActivate = MA_NOACTIVATE;

} // namespace

// ---- the parts of the bar ------------------------------------------------------------------

// What every part of the bar does alike: it leaves the foreground window alone, paints
// without a separate erase, and paints the bar's background unless it says otherwise.
class Taskbar::BarPart : public Window {
public:
    explicit BarPart(Taskbar& bar) : bar_(bar) {}

protected:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        switch (msg) {
        case WM_MOUSEACTIVATE:
            return kNoActivate;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            return PaintClient([this](HDC dc, const RECT& client) { Paint(dc, client); });
        default:
            return OnOtherMessage(msg, wParam, lParam);
        }
    }
    virtual void Paint(HDC dc, const RECT& client) {
        PaintBarBackground(dc, Hwnd(), client, bar_.TrayWnd(), IsVertical(bar_.edge_));
    }
    virtual LRESULT OnOtherMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
        return Window::OnMessage(msg, wParam, lParam);
    }
    Taskbar& bar_;
};

// Shell_TrayWnd: the bar with its start button; takes Shell_NotifyIcon's data.
class Taskbar::TrayWindow : public BarPart {
public:
    using BarPart::BarPart;

protected:
    void Paint(HDC dc, const RECT& client) override {
        BarPart::Paint(dc, client);
        PaintStartButton(dc, ToRECT(bar_.geometry_.start));
    }
    LRESULT OnOtherMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_COPYDATA)
            return bar_.host_.OnTrayCopyData(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        if (msg == WM_CLOSE)
            return 0; // only the shell closes its taskbar
        return BarPart::OnOtherMessage(msg, wParam, lParam);
    }
};

// ReBarWindow32: the band with its gripper.
class Taskbar::RebarWindow : public BarPart {
public:
    using BarPart::BarPart;

protected:
    void Paint(HDC dc, const RECT& client) override {
        BarPart::Paint(dc, client);
        const bool vertical = IsVertical(bar_.edge_);
        const Rect& band = bar_.geometry_.taskSw;
        RECT gripper = vertical ? RECT{client.left, 0, client.right, band.top}
                                : RECT{0, client.top, band.left, client.bottom};
        PaintGripper(dc, gripper, vertical);
    }
};

// MSTaskSwWClass: the toolbar's parent, which draws its buttons and hears its clicks.
class Taskbar::TaskSwWindow : public BarPart {
public:
    using BarPart::BarPart;

protected:
    LRESULT OnOtherMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        switch (msg) {
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (!bar_.toolbar_ || header->hwndFrom != bar_.toolbar_->Hwnd())
                break;
            if (header->code == NM_CUSTOMDRAW)
                return bar_.toolbar_->CustomDraw(*reinterpret_cast<NMTBCUSTOMDRAW*>(lParam));
            if (header->code == TBN_DROPDOWN) {
                bar_.host_.OnTaskButton(reinterpret_cast<NMTOOLBARA*>(lParam)->iItem, true);
                return TBDDRET_DEFAULT;
            }
            break;
        }
        case WM_COMMAND:
            if (bar_.toolbar_ && reinterpret_cast<HWND>(lParam) == bar_.toolbar_->Hwnd()) {
                bar_.host_.OnTaskButton(LOWORD(wParam), false);
                return 0;
            }
            break;
        default:
            break;
        }
        return BarPart::OnOtherMessage(msg, wParam, lParam);
    }
};

// ---- TrayNotifyWnd --------------------------------------------------------------------------

// TrayNotifyWnd: the tray icons, their tooltips and the clock.
class Taskbar::NotifyWindow : public BarPart {
public:
    using BarPart::BarPart;
    ~NotifyWindow() override {
        if (tooltip_)
            ::DestroyWindow(tooltip_);
    }

    void SetIcons(std::vector<TrayIconView> icons) {
        icons_ = std::move(icons);
        Retool();
        ::InvalidateRect(Hwnd(), nullptr, TRUE);
    }
    void Relayout() {
        Retool();
        ::InvalidateRect(Hwnd(), nullptr, TRUE);
    }
    void TickClock() {
        SYSTEMTIME now;
        ::GetLocalTime(&now);
        if (now.wMinute != shownMinute_) {
            shownMinute_ = now.wMinute;
            ::InvalidateRect(Hwnd(), nullptr, TRUE);
        }
    }

protected:
    void Paint(HDC dc, const RECT& client) override {
        PaintNotifyBackground(dc, client, IsVertical(bar_.edge_));
        NotifyLayout layout = Layout();
        for (std::size_t i = 0; i < icons_.size() && i < layout.icons.size(); ++i) {
            const Rect& r = layout.icons[i];
            if (icons_[i].icon)
                ::DrawIconEx(dc, r.left + (r.Width() - 16) / 2, r.top + (r.Height() - 16) / 2,
                             icons_[i].icon, 16, 16, 0, nullptr, DI_NORMAL);
        }
        PaintClock(dc, ToRECT(layout.clock));
    }

    LRESULT OnOtherMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        switch (msg) {
        case WM_CREATE:
            tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                         WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0,
                                         Hwnd(), nullptr, ::GetModuleHandleA(nullptr), nullptr);
            if (tooltip_)
                ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 300);
            return 0;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK: {
            int index = TrayIconAt(Layout(), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            if (index >= 0 && std::size_t(index) < icons_.size())
                bar_.host_.OnTrayMouse(index, msg);
            return 0;
        }
        default:
            return BarPart::OnOtherMessage(msg, wParam, lParam);
        }
    }

private:
    NotifyLayout Layout() const {
        RECT client;
        ::GetClientRect(Hwnd(), &client);
        return ComputeNotifyLayout(bar_.edge_, client.right, client.bottom, int(icons_.size()));
    }

    void Retool() {
        if (!tooltip_)
            return;
        while (int count = int(::SendMessageW(tooltip_, TTM_GETTOOLCOUNT, 0, 0))) {
            TTTOOLINFOW info = {};
            info.cbSize = TTTOOLINFOW_V2_SIZE;
            if (!::SendMessageW(tooltip_, TTM_ENUMTOOLSW, WPARAM(count - 1),
                                reinterpret_cast<LPARAM>(&info)))
                break;
            ::SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        }
        NotifyLayout layout = Layout();
        for (std::size_t i = 0; i < icons_.size() && i < layout.icons.size(); ++i) {
            if (icons_[i].tip.empty())
                continue;
            TTTOOLINFOW info = {};
            info.cbSize = TTTOOLINFOW_V2_SIZE;
            info.uFlags = TTF_SUBCLASS;
            info.hwnd = Hwnd();
            info.uId = i + 1;
            info.rect = ToRECT(layout.icons[i]);
            info.lpszText = const_cast<wchar_t*>(icons_[i].tip.c_str());
            ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        }
    }

    HWND tooltip_ = nullptr;
    std::vector<TrayIconView> icons_;
    WORD shownMinute_ = 0xFFFF;
};

// ---- the tree -------------------------------------------------------------------------------

Taskbar::Taskbar(TaskbarHost& host, Edge edge, int screenWidth, int screenHeight)
    : host_(host), edge_(edge), screenWidth_(screenWidth), screenHeight_(screenHeight) {
    Window::Register(kTrayClass);
    Window::Register(kRebarClass);
    Window::Register(kTaskSwClass);
    Window::Register(kNotifyClass, CS_DBLCLKS);
    geometry_ = ComputeTaskbarGeometry(edge, screenWidth, screenHeight, 0);
    const Rect& b = geometry_.bar;

    tray_ = std::make_unique<TrayWindow>(*this);
    Window::CreateArgs args;
    args.className = kTrayClass;
    args.style = WS_POPUP | WS_CLIPCHILDREN;
    args.exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    args.x = b.left;
    args.y = b.top;
    args.width = b.Width();
    args.height = b.Height();
    tray_->Create(args);

    auto child = [](Window& w, const char* cls, HWND parent) {
        Window::CreateArgs a;
        a.className = cls;
        a.style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
        a.parent = parent;
        w.Create(a);
    };
    rebar_ = std::make_unique<RebarWindow>(*this);
    child(*rebar_, kRebarClass, tray_->Hwnd());
    taskSw_ = std::make_unique<TaskSwWindow>(*this);
    child(*taskSw_, kTaskSwClass, rebar_->Hwnd());
    toolbar_ = std::make_unique<TaskToolbar>(taskSw_->Hwnd(), geometry_.toolbar, IsVertical(edge));
    toolbar_->PaintBackground = [this](HDC dc, HWND wnd) {
        RECT client;
        ::GetClientRect(wnd, &client);
        PaintBarBackground(dc, wnd, client, TrayWnd(), IsVertical(edge_));
    };
    notify_ = std::make_unique<NotifyWindow>(*this);
    child(*notify_, kNotifyClass, tray_->Hwnd());
    PlaceChildren();
    ::SetWindowPos(tray_->Hwnd(), HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

Taskbar::~Taskbar() {
    // Children first, while their parents still exist.
    toolbar_.reset();
    notify_.reset();
    taskSw_.reset();
    rebar_.reset();
    tray_.reset();
}

HWND Taskbar::TrayWnd() const {
    return tray_ ? tray_->Hwnd() : nullptr;
}
HWND Taskbar::Rebar() const {
    return rebar_ ? rebar_->Hwnd() : nullptr;
}
HWND Taskbar::TaskSw() const {
    return taskSw_ ? taskSw_->Hwnd() : nullptr;
}
HWND Taskbar::Notify() const {
    return notify_ ? notify_->Hwnd() : nullptr;
}

void Taskbar::PlaceChildren() {
    auto place = [](HWND wnd, const Rect& r) {
        ::MoveWindow(wnd, r.left, r.top, r.Width(), r.Height(), TRUE);
    };
    place(rebar_->Hwnd(), geometry_.rebar);
    place(taskSw_->Hwnd(), geometry_.taskSw);
    toolbar_->Place(geometry_.toolbar, IsVertical(edge_));
    place(notify_->Hwnd(), geometry_.notify);
    notify_->Relayout();
    ::RedrawWindow(tray_->Hwnd(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

void Taskbar::Dock(Edge edge, int trayIcons) {
    edge_ = edge;
    geometry_ = ComputeTaskbarGeometry(edge, screenWidth_, screenHeight_, trayIcons);
    const Rect& b = geometry_.bar;
    ::SetWindowPos(tray_->Hwnd(), HWND_TOPMOST, b.left, b.top, b.Width(), b.Height(),
                   SWP_NOACTIVATE);
    PlaceChildren();
}

void Taskbar::SetTrayIcons(std::vector<TrayIconView> icons) {
    const int count = int(icons.size());
    notify_->SetIcons(std::move(icons));
    if (!(ComputeTaskbarGeometry(edge_, screenWidth_, screenHeight_, count).notify ==
          geometry_.notify))
        Dock(edge_, count);
}

void Taskbar::TickClock() {
    notify_->TickClock();
}

} // namespace standin
