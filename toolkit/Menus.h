#pragma once
// TPopupMenu: a menu that opens at a point of the screen (the tray icon's menu). Its items
// carry a caption, a 16 x 16 picture from an image list and a click handler; the menu draws
// them itself (owner-drawn items), the default item in bold. The menu runs modally: Popup
// returns when it closes, after the chosen item's OnClick.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit/Controls.h"

class TImageList;

struct TMenuItemParams {
    std::string Name;
    std::string Caption;
    TImageList* Images = nullptr; // the picture: ImageIndex of Images; none without a list
    int ImageIndex = -1;
    bool Default = false; // drawn in bold; a tray icon's double click runs it
    TNotifyEvent OnClick;
};

class TMenuItem : public TComponent {
public:
    TMenuItem(TComponent* Owner, TMenuItemParams Params);

    // The click action: OnClick when set.
    void Click();

    std::string Caption;
    TImageList* Images;
    int ImageIndex;
    bool Default;
    TNotifyEvent OnClick;
};

// Where the menu goes against the point it is opened at.
enum class TPopupAlignment { Left, Right, Center };

struct TPopupMenuParams {
    std::string Name;
    TPopupAlignment Alignment = TPopupAlignment::Left;
    bool AutoPopup = true; // a right click on the control that carries it opens it
};

class TPopupMenu : public TComponent {
public:
    TPopupMenu(TComponent* Owner, TPopupMenuParams Params);
    ~TPopupMenu() override;

    // Appends an item owned by the menu.
    TMenuItem* Add(TMenuItemParams Params);
    int Count() const { return static_cast<int>(Items_.size()); }
    TMenuItem* Items(int Index) const { return Items_.at(static_cast<std::size_t>(Index)); }
    // The default item with the lowest index; null when no item is the default.
    TMenuItem* DefaultItem() const;

    // Opens the menu at a screen point and returns when it closes; the chosen item's OnClick
    // has run by then.
    void Popup(int X, int Y);
    // The menu's own hidden window, which owns the open menu and draws its items.
    HWND WindowHandle() const;

    TPopupAlignment Alignment;
    bool AutoPopup;
    // The component that opened the menu last (a tray icon, for one).
    TComponent* PopupComponent = nullptr;
    // Runs just before the menu opens.
    TNotifyEvent OnPopup;

private:
    class TMenuWindow;
    std::vector<TMenuItem*> Items_;
    TMenuWindow* Window_ = nullptr;
};
