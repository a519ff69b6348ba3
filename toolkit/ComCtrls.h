#pragma once
// TPageControl: a tab control whose tabs each show one TTabSheet, a page that holds the
// controls of that tab. Selecting a tab, by the user or by SetActivePageIndex, shows its
// sheet and hides the others. With an image list, each tab shows its sheet's picture
// before the caption.
#include <string>
#include <vector>

#include "toolkit/Controls.h"

class TImageList;
class TTabSheet;

struct TPageControlParams {
    std::string Name;
    TWinControl* Parent = nullptr;
    TBounds Bounds;
    TImageList* Images = nullptr; // the tabs' pictures (TTabSheetParams::ImageIndex)
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
    TImageList* Images() const { return Images_; }
    void SetImages(TImageList* Value);

    bool Notify(const NMHDR& Header, LRESULT& Result) override;

private:
    friend class TTabSheet;
    void AddPage(TTabSheet* Page, const std::string& Caption, int ImageIndex);
    void RemovePage(TTabSheet* Page);
    // The position of Page's tab; -1 for none.
    int PageIndex(const TTabSheet* Page) const;
    // Every page covers the area below the row of tabs, which may have changed.
    void LayoutPages();
    // The area of the pages, in the tab control's client coordinates.
    TBounds PageArea() const;
    void ShowActivePage();

    std::vector<TTabSheet*> Pages_;
    TImageList* Images_ = nullptr;
};

struct TTabSheetParams {
    std::string Name;
    TPageControl* PageControl = nullptr;
    std::string Caption;
    int ImageIndex = -1; // the tab's picture in the page control's Images; -1 for none
};

class TTabSheet : public TWindow {
public:
    TTabSheet(TComponent* Owner, TTabSheetParams Params);
    ~TTabSheet() override;

    TPageControl* PageControl() const { return PageControl_; }
    // The tab's picture, as the tab control holds it.
    int ImageIndex() const;
    void SetImageIndex(int Value);

private:
    TPageControl* PageControl_;
};

struct THotKeyParams {
    std::string Name;
    TWinControl* Parent = nullptr;
    TBounds Bounds;
    uint32_t Value = 0; // as HKM_SETHOTKEY takes it: key in the low byte, HOTKEYF_* above
    TFontDef Font;
    TNotifyEvent OnChange;
};

// The standard hotkey control: the user presses a key with its modifiers, and the control
// shows it. OnChange runs when the user changes the key, not when SetValue does.
class THotKey : public TWinControl {
public:
    THotKey(TComponent* Owner, THotKeyParams Params);
    uint32_t Value() const;
    void SetValue(uint32_t Value);
    // The combinations the control refuses (HKCOMB_*) and the modifiers (HOTKEYF_*) it puts
    // in their place.
    void SetRules(uint32_t InvalidCombinations, uint32_t Replacement);
    void CommandNotify(UINT Code) override;

    TNotifyEvent OnChange;
};
