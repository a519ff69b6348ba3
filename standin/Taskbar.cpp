#include "standin/Taskbar.h"

#include "standin/XpLook.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdint>
#include <map>

namespace standin {

namespace {
constexpr const char* kTrayClass = "Shell_TrayWnd";
constexpr const char* kRebarClass = "ReBarWindow32";
constexpr const char* kTaskSwClass = "MSTaskSwWClass";
constexpr const char* kNotifyClass = "TrayNotifyWnd";
constexpr const char* kPagerClass = "SysPager";

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

// The shell's own record behind each tray button, as XP's shell keeps it: TBBUTTON.dwData points
// here. Programs that read the tray (a tray arranger, say) find the icon's owner and id in it.
struct TrayButtonData {
    HWND hwnd;
    UINT uID;
    UINT uCallbackMessage;
    DWORD reserved[2];
    HICON hIcon;
};

// SysPager: holds the icons' toolbar, as on XP.
class Taskbar::PagerWindow : public BarPart {
public:
    using BarPart::BarPart;

protected:
    void Paint(HDC dc, const RECT& client) override {
        PaintNotifyBackground(dc, client, IsVertical(bar_.edge_));
    }
};

// TrayNotifyWnd: the clock, and SysPager > ToolbarWindow32 with one button per shown tray icon
// (a real comctl32 toolbar). A button keeps its place once it has one, so that a program that
// moves buttons within the toolbar keeps that order; new icons join at the end. Mouse messages
// over a button go to the icon its record names, wherever the button stands.
class Taskbar::NotifyWindow : public BarPart {
public:
    using BarPart::BarPart;
    ~NotifyWindow() override {
        if (tooltip_)
            ::DestroyWindow(tooltip_);
        if (toolbar_)
            ::DestroyWindow(toolbar_);
        if (images_)
            ImageList_Destroy(images_);
    }

    HWND Toolbar() const { return toolbar_; }

    void SetIcons(std::vector<TrayIconView> icons) {
        // Buttons of icons that went away go first; the others keep their places.
        for (int i = ButtonCount() - 1; i >= 0; --i) {
            const TrayButtonData* d = DataAt(i);
            const bool kept = d && std::any_of(icons.begin(), icons.end(), [&](const auto& v) {
                                  return v.wnd == Key(d->hwnd) && v.uid == d->uID;
                              });
            if (!kept) {
                ::SendMessageW(toolbar_, TB_DELETEBUTTON, WPARAM(i), 0);
                Forget(d);
            }
        }
        for (const TrayIconView& v : icons) {
            TrayButtonData* d = Find(v.wnd, v.uid);
            if (!d) {
                blocks_.push_back(std::make_unique<TrayButtonData>());
                d = blocks_.back().get();
                d->hwnd = reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<LONG>(v.wnd)));
                d->uID = v.uid;
                TBBUTTON tb = {};
                tb.iBitmap = I_IMAGENONE;
                tb.idCommand = nextId_++;
                tb.fsState = TBSTATE_ENABLED;
                tb.fsStyle = BTNS_BUTTON;
                tb.dwData = reinterpret_cast<DWORD_PTR>(d);
                tb.iString = -1;
                ::SendMessageW(toolbar_, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&tb));
            }
            d->uCallbackMessage = v.callbackMessage;
            d->hIcon = v.icon;
            tips_[{v.wnd, v.uid}] = v.tip;
        }
        // The image list anew, in the buttons' order.
        ImageList_RemoveAll(images_);
        for (int i = 0; i < ButtonCount(); ++i) {
            const TrayButtonData* d = DataAt(i);
            TBBUTTONINFOW info = {};
            info.cbSize = sizeof info;
            info.dwMask = TBIF_BYINDEX | TBIF_IMAGE;
            info.iImage = d && d->hIcon ? ImageList_AddIcon(images_, d->hIcon) : I_IMAGENONE;
            ::SendMessageW(toolbar_, TB_SETBUTTONINFOW, WPARAM(i), reinterpret_cast<LPARAM>(&info));
        }
        Relayout();
    }
    void Relayout() {
        NotifyLayout layout = Layout();
        Rect area{0, 0, 0, 0};
        if (!layout.icons.empty()) {
            area = layout.icons.front();
            for (const Rect& r : layout.icons) {
                area.right = std::max(area.right, r.right);
                area.bottom = std::max(area.bottom, r.bottom);
            }
        }
        ::MoveWindow(pager_->Hwnd(), area.left, area.top, area.Width(), area.Height(), TRUE);
        ::MoveWindow(toolbar_, 0, 0, area.Width(), area.Height(), TRUE);
        ::SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
        Retool();
        ::InvalidateRect(Hwnd(), nullptr, TRUE);
        ::InvalidateRect(toolbar_, nullptr, TRUE);
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
        PaintClock(dc, ToRECT(Layout().clock));
    }

    LRESULT OnOtherMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        switch (msg) {
        case WM_CREATE:
            CreateParts();
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
            // Sent here directly (the toolbar takes real input itself).
            POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ::MapWindowPoints(Hwnd(), toolbar_, &p, 1);
            MouseAt(p, msg);
            return 0;
        }
        default:
            return BarPart::OnOtherMessage(msg, wParam, lParam);
        }
    }

private:
    static constexpr const char* kSelfProperty = "ZvTrayToolbar";

    void CreateParts() {
        pager_ = std::make_unique<PagerWindow>(bar_);
        Window::CreateArgs a;
        a.className = kPagerClass;
        a.style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
        a.parent = Hwnd();
        pager_->Create(a);
        toolbar_ = ::CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                                     WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_WRAPABLE |
                                         CCS_NORESIZE | CCS_NODIVIDER | CCS_NOPARENTALIGN,
                                     0, 0, 0, 0, pager_->Hwnd(), nullptr,
                                     ::GetModuleHandleA(nullptr), nullptr);
        if (!toolbar_)
            return;
        ::SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        images_ = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 8, 8);
        ::SendMessageW(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_));
        ::SendMessageW(toolbar_, TB_SETBITMAPSIZE, 0, MAKELONG(16, 16));
        ::SendMessageW(toolbar_, TB_SETPADDING, 0,
                       MAKELONG(kTrayIconStep - 16, kTrayIconStep - 16));
        ::SendMessageW(toolbar_, TB_SETBUTTONSIZE, 0, MAKELONG(kTrayIconStep, kTrayIconStep));
        ::SetPropA(toolbar_, kSelfProperty, this);
        original_ = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(toolbar_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ToolbarProc)));
        tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                     WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0, Hwnd(),
                                     nullptr, ::GetModuleHandleA(nullptr), nullptr);
        if (tooltip_)
            ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 300);
    }

    static LRESULT CALLBACK ToolbarProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = static_cast<NotifyWindow*>(::GetPropA(wnd, kSelfProperty));
        if (!self)
            return ::DefWindowProcW(wnd, msg, wParam, lParam);
        switch (msg) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK:
            self->MouseAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, msg);
            break;
        case WM_ERASEBKGND: {
            RECT client;
            ::GetClientRect(wnd, &client);
            PaintNotifyBackground(reinterpret_cast<HDC>(wParam), client,
                                  IsVertical(self->bar_.edge_));
            return 1;
        }
        default:
            break;
        }
        return ::CallWindowProcW(self->original_, wnd, msg, wParam, lParam);
    }

    // A mouse message at a point of the toolbar: to the icon of the button there, if any.
    void MouseAt(POINT p, UINT msg) {
        const int i = int(
            ::CallWindowProcW(original_, toolbar_, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&p)));
        if (i < 0 || i >= ButtonCount())
            return;
        if (const TrayButtonData* d = DataAt(i))
            bar_.host_.OnTrayMouse(Key(d->hwnd), d->uID, msg);
    }

    int ButtonCount() const {
        return toolbar_ ? int(::SendMessageW(toolbar_, TB_BUTTONCOUNT, 0, 0)) : 0;
    }
    const TrayButtonData* DataAt(int i) const {
        TBBUTTON tb = {};
        if (!::SendMessageW(toolbar_, TB_GETBUTTON, WPARAM(i), reinterpret_cast<LPARAM>(&tb)))
            return nullptr;
        return reinterpret_cast<const TrayButtonData*>(tb.dwData);
    }
    TrayButtonData* Find(std::uint32_t wnd, std::uint32_t uid) {
        for (auto& b : blocks_)
            if (Key(b->hwnd) == wnd && b->uID == uid)
                return b.get();
        return nullptr;
    }
    void Forget(const TrayButtonData* d) {
        if (!d)
            return;
        tips_.erase({Key(d->hwnd), d->uID});
        blocks_.erase(std::remove_if(blocks_.begin(), blocks_.end(),
                                     [d](const auto& b) { return b.get() == d; }),
                      blocks_.end());
    }
    static std::uint32_t Key(HWND wnd) {
        return std::uint32_t(reinterpret_cast<std::uintptr_t>(wnd));
    }

    NotifyLayout Layout() const {
        RECT client;
        ::GetClientRect(Hwnd(), &client);
        return ComputeNotifyLayout(bar_.edge_, client.right, client.bottom, ButtonCount());
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
        for (int i = 0; i < ButtonCount(); ++i) {
            const TrayButtonData* d = DataAt(i);
            auto tip = d ? tips_.find({Key(d->hwnd), d->uID}) : tips_.end();
            if (tip == tips_.end() || tip->second.empty())
                continue;
            TTTOOLINFOW info = {};
            info.cbSize = TTTOOLINFOW_V2_SIZE;
            info.uFlags = TTF_SUBCLASS;
            info.hwnd = toolbar_;
            info.uId = UINT_PTR(i + 1);
            ::SendMessageW(toolbar_, TB_GETITEMRECT, WPARAM(i),
                           reinterpret_cast<LPARAM>(&info.rect));
            info.lpszText = const_cast<wchar_t*>(tip->second.c_str());
            ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        }
    }

    std::unique_ptr<PagerWindow> pager_;
    HWND toolbar_ = nullptr;
    WNDPROC original_ = nullptr;
    HIMAGELIST images_ = nullptr;
    HWND tooltip_ = nullptr;
    int nextId_ = 1;
    std::vector<std::unique_ptr<TrayButtonData>> blocks_;
    std::map<std::pair<std::uint32_t, std::uint32_t>, std::wstring> tips_;
    WORD shownMinute_ = 0xFFFF;
};

// ---- the tree -------------------------------------------------------------------------------

Taskbar::Taskbar(TaskbarHost& host, Edge edge, int screenWidth, int screenHeight)
    : host_(host), edge_(edge), screenWidth_(screenWidth), screenHeight_(screenHeight) {
    Window::Register(kTrayClass);
    Window::Register(kRebarClass);
    Window::Register(kTaskSwClass);
    Window::Register(kNotifyClass, CS_DBLCLKS);
    Window::Register(kPagerClass);
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
