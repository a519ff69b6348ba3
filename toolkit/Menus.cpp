#include "toolkit/Menus.h"

#include <algorithm>

#include "toolkit/ImgList.h"
#include "toolkit/WinErrors.h"

namespace {
// Item geometry in pixels: the picture's column, the gaps around it and the caption.
constexpr int kItemMinHeight = 22;
constexpr int kPictureLeft = 3;
constexpr int kTextLeft = kPictureLeft + TImageList::Width + 8;
constexpr int kTextRightGap = 16;

struct DestroyMenuH {
    void operator()(HMENU h) const { ::DestroyMenu(h); }
};
using ScopedMenu = ScopedHandle<HMENU, nullptr, DestroyMenuH>;

// The system's menu font, bold for a default item.
ScopedGdiObject MenuFont(bool Bold) {
    NONCLIENTMETRICSA m{};
    m.cbSize = sizeof(m);
    LOGFONTA lf{};
    if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(m), &m, 0))
        lf = m.lfMenuFont;
    else
        ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    if (Bold)
        lf.lfWeight = FW_BOLD;
    return ScopedGdiObject(::CreateFontIndirectA(&lf));
}

TMenuItem* ItemOf(ULONG_PTR Data) {
    return reinterpret_cast<TMenuItem*>(Data);
}
} // namespace

// ---- TMenuItem

TMenuItem::TMenuItem(TComponent* Owner, TMenuItemParams Params)
    : TComponent(Owner, std::move(Params.Name)), Caption(std::move(Params.Caption)),
      Images(Params.Images), ImageIndex(Params.ImageIndex), Default(Params.Default),
      OnClick(std::move(Params.OnClick)) {}

void TMenuItem::Click() {
    Fire(OnClick, this);
}

// ---- TPopupMenu

// The hidden window that owns the open menu: it measures and draws the owner-drawn items.
class TPopupMenu::TMenuWindow : public TWindow {
public:
    explicit TMenuWindow(TComponent* Owner) : TWindow(Owner, "", nullptr) {
        CreateWindowHandle({.ClassName = "TPopupList", .Style = WS_POPUP});
    }

protected:
    void WndProc(TMessage& Message) override {
        if (Message.Msg == WM_MEASUREITEM) {
            auto& m = *reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
            if (m.CtlType == ODT_MENU) {
                Measure(*ItemOf(m.itemData), m);
                Message.Result = TRUE;
                return;
            }
        } else if (Message.Msg == WM_DRAWITEM) {
            const auto& d = *reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam);
            if (d.CtlType == ODT_MENU) {
                Draw(*ItemOf(d.itemData), d);
                Message.Result = TRUE;
                return;
            }
        }
        TWindow::WndProc(Message);
    }

private:
    void Measure(const TMenuItem& Item, MEASUREITEMSTRUCT& M) {
        ScopedGdiObject font = MenuFont(Item.Default);
        HDC dc = ::GetDC(Handle());
        SIZE text{};
        {
            ScopedSelectObject select(dc, font.get());
            ::GetTextExtentPoint32A(dc, Item.Caption.c_str(), static_cast<int>(Item.Caption.size()),
                                    &text);
        }
        ::ReleaseDC(Handle(), dc);
        M.itemWidth = static_cast<UINT>(kTextLeft + text.cx + kTextRightGap);
        M.itemHeight = static_cast<UINT>(std::max<LONG>(kItemMinHeight, text.cy + 6));
    }

    void Draw(const TMenuItem& Item, const DRAWITEMSTRUCT& D) {
        const bool selected = (D.itemState & ODS_SELECTED) != 0;
        HDC dc = D.hDC;
        RECT r = D.rcItem;
        ::FillRect(dc, &r, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
        if (Item.Images && Item.ImageIndex >= 0 && Item.ImageIndex < Item.Images->Count())
            Item.Images->Draw(dc, r.left + kPictureLeft,
                              r.top + (r.bottom - r.top - TImageList::Height) / 2, Item.ImageIndex);
        ScopedGdiObject font = MenuFont(Item.Default);
        ScopedSelectObject select(dc, font.get());
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
        RECT text = r;
        text.left += kTextLeft;
        ::DrawTextA(dc, Item.Caption.c_str(), static_cast<int>(Item.Caption.size()), &text,
                    DT_SINGLELINE | DT_VCENTER | DT_LEFT |
                        ((D.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0u));
    }
};

TPopupMenu::TPopupMenu(TComponent* Owner, TPopupMenuParams Params)
    : TComponent(Owner, std::move(Params.Name)), Alignment(Params.Alignment),
      AutoPopup(Params.AutoPopup) {
    Window_ = Create<TMenuWindow>();
}

TPopupMenu::~TPopupMenu() = default;

TMenuItem* TPopupMenu::Add(TMenuItemParams Params) {
    TMenuItem* item = Create<TMenuItem>(std::move(Params));
    Items_.push_back(item);
    return item;
}

TMenuItem* TPopupMenu::DefaultItem() const {
    for (TMenuItem* item : Items_)
        if (item->Default)
            return item;
    return nullptr;
}

HWND TPopupMenu::WindowHandle() const {
    return Window_->Handle();
}

void TPopupMenu::Popup(int X, int Y) {
    Fire(OnPopup, this);
    ScopedMenu menu(::CreatePopupMenu());
    if (!menu)
        RaiseLastOSError();
    // Command ids are the items' positions, counted from 1 (0 is "nothing chosen").
    const std::vector<TMenuItem*> items = Items_;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (!::AppendMenuA(menu.get(), MF_OWNERDRAW | (items[i]->Default ? MF_DEFAULT : 0u), i + 1,
                           reinterpret_cast<LPCSTR>(items[i])))
            RaiseLastOSError();
    UINT align = TPM_LEFTALIGN;
    if (Alignment == TPopupAlignment::Right)
        align = TPM_RIGHTALIGN;
    else if (Alignment == TPopupAlignment::Center)
        align = TPM_CENTERALIGN;
    const int chosen = static_cast<int>(::TrackPopupMenu(
        menu.get(), align | TPM_RIGHTBUTTON | TPM_RETURNCMD, X, Y, 0, Window_->Handle(), nullptr));
    if (chosen > 0 && chosen <= static_cast<int>(items.size()))
        items[static_cast<std::size_t>(chosen) - 1]->Click();
}
