#include "toolkit/ComCtrls.h"

#include <commctrl.h>

#include <algorithm>

#include "toolkit/ImgList.h"

TPageControl::TPageControl(TComponent* Owner, TPageControlParams Params)
    : TWinControl(Owner, std::move(Params.Name), Params.Parent) {
    CreateHandle({.ClassName = WC_TABCONTROLA,
                  .Style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                  .Bounds = Params.Bounds,
                  .Font = Params.Font});
    if (Params.Images)
        SetImages(Params.Images);
}

void TPageControl::SetImages(TImageList* Value) {
    Images_ = Value;
    ::SendMessageA(Handle(), TCM_SETIMAGELIST, 0,
                   reinterpret_cast<LPARAM>(Value ? Value->Handle() : nullptr));
    LayoutPages();
}

int TPageControl::ActivePageIndex() const {
    return static_cast<int>(::SendMessageA(Handle(), TCM_GETCURSEL, 0, 0));
}

void TPageControl::SetActivePageIndex(int Index) {
    ::SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(Index), 0);
    ShowActivePage();
}

bool TPageControl::Notify(const NMHDR& Header, LRESULT& Result) {
    if (Header.code != static_cast<UINT>(TCN_SELCHANGE))
        return false;
    ShowActivePage();
    Result = 0;
    return true;
}

void TPageControl::AddPage(TTabSheet* Page, const std::string& Caption, int ImageIndex) {
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    std::string text = Caption;
    item.pszText = &text[0];
    item.iImage = ImageIndex;
    ::SendMessageA(Handle(), TCM_INSERTITEMA, Pages_.size(), reinterpret_cast<LPARAM>(&item));
    Pages_.push_back(Page);
    LayoutPages();
}

void TPageControl::LayoutPages() {
    for (TTabSheet* p : Pages_)
        p->SetBounds(PageArea());
}

int TPageControl::PageIndex(const TTabSheet* Page) const {
    auto it = std::find(Pages_.begin(), Pages_.end(), Page);
    return it == Pages_.end() ? -1 : static_cast<int>(it - Pages_.begin());
}

void TPageControl::RemovePage(TTabSheet* Page) {
    auto it = std::find(Pages_.begin(), Pages_.end(), Page);
    if (it == Pages_.end())
        return;
    ::SendMessageA(Handle(), TCM_DELETEITEM, static_cast<WPARAM>(it - Pages_.begin()), 0);
    Pages_.erase(it);
}

TBounds TPageControl::PageArea() const {
    RECT r{};
    ::GetClientRect(Handle(), &r);
    ::SendMessageA(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void TPageControl::ShowActivePage() {
    const int active = ActivePageIndex();
    for (int i = 0; i < PageCount(); ++i)
        Pages(i)->SetVisible(i == active);
}

TTabSheet::TTabSheet(TComponent* Owner, TTabSheetParams Params)
    : TWindow(Owner, std::move(Params.Name), Params.PageControl), PageControl_(Params.PageControl) {
    const bool first = PageControl_->PageCount() == 0;
    CreateWindowHandle(
        {.ClassName = "TTabSheet",
         .Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | (first ? WS_VISIBLE : 0u),
         .Bounds = {}});
    PageControl_->AddPage(this, Params.Caption, Params.ImageIndex);
    if (first)
        PageControl_->SetActivePageIndex(0);
}

TTabSheet::~TTabSheet() {
    PageControl_->RemovePage(this);
}

int TTabSheet::ImageIndex() const {
    TCITEMA item{};
    item.mask = TCIF_IMAGE;
    item.iImage = -1;
    ::SendMessageA(PageControl_->Handle(), TCM_GETITEMA,
                   static_cast<WPARAM>(PageControl_->PageIndex(this)),
                   reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

void TTabSheet::SetImageIndex(int Value) {
    TCITEMA item{};
    item.mask = TCIF_IMAGE;
    item.iImage = Value;
    ::SendMessageA(PageControl_->Handle(), TCM_SETITEMA,
                   static_cast<WPARAM>(PageControl_->PageIndex(this)),
                   reinterpret_cast<LPARAM>(&item));
}

THotKey::THotKey(TComponent* Owner, THotKeyParams Params)
    : TWinControl(Owner, std::move(Params.Name), Params.Parent),
      OnChange(std::move(Params.OnChange)) {
    CreateHandle({.ClassName = HOTKEY_CLASSA,
                  .Style = WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                  .ExStyle = WS_EX_CLIENTEDGE,
                  .Bounds = Params.Bounds,
                  .Font = Params.Font});
    SetValue(Params.Value);
}

uint32_t THotKey::Value() const {
    return static_cast<uint32_t>(::SendMessageA(Handle(), HKM_GETHOTKEY, 0, 0)) & 0xFFFF;
}

void THotKey::SetValue(uint32_t Value) {
    ::SendMessageA(Handle(), HKM_SETHOTKEY, Value & 0xFFFF, 0);
}

void THotKey::SetRules(uint32_t InvalidCombinations, uint32_t Replacement) {
    ::SendMessageA(Handle(), HKM_SETRULES, InvalidCombinations & 0xFF,
                   MAKELPARAM(Replacement & 0xFF, 0));
}

void THotKey::CommandNotify(UINT Code) {
    if (Code == EN_CHANGE)
        Fire(OnChange, this);
}
