#pragma once
// TPageControl: a tab control whose tabs each show one TTabSheet, a page that holds the
// controls of that tab. Selecting a tab, by the user or by SetActivePageIndex, shows its
// sheet and hides the others.
#include <string>
#include <vector>

#include "toolkit/Controls.h"

class TTabSheet;

struct TPageControlParams {
    std::string Name;
    TWinControl* Parent = nullptr;
    TBounds Bounds;
    TFontDef Font;
};

class TPageControl : public TWinControl {
public:
    TPageControl(TComponent* Owner, TPageControlParams Params);

    int PageCount() const { return static_cast<int>(Pages_.size()); }
    TTabSheet* Pages(int i) const { return Pages_[static_cast<size_t>(i)]; }
    // -1 when there are no pages.
    int ActivePageIndex() const;
    void SetActivePageIndex(int Index);

    bool Notify(const NMHDR& Header, LRESULT& Result) override;

private:
    friend class TTabSheet;
    void AddPage(TTabSheet* Page, const std::string& Caption);
    void RemovePage(TTabSheet* Page);
    // The area of the pages, in the tab control's client coordinates.
    TBounds PageArea() const;
    void ShowActivePage();

    std::vector<TTabSheet*> Pages_;
};

struct TTabSheetParams {
    std::string Name;
    TPageControl* PageControl = nullptr;
    std::string Caption;
};

class TTabSheet : public TWindow {
public:
    TTabSheet(TComponent* Owner, TTabSheetParams Params);
    ~TTabSheet() override;

    TPageControl* PageControl() const { return PageControl_; }

private:
    TPageControl* PageControl_;
};
