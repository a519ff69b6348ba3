#pragma once
// What the stand-in shell's task toolbar should show, decided on plain data: the application
// windows, their grouping as Windows XP groups similar taskbar buttons, and the button list
// that follows from it.
//
// Rules (XP with "group similar taskbar buttons"):
// - every application has one group: a header button (BTNS_DROPDOWN) followed by the
//   buttons of its windows. With grouping off every window is a group of its own.
// - an expanded group hides its header and shows its windows; a collapsed group shows its
//   header and hides its windows.
// - a window that appears goes to the end of its application's group, or starts a new group
//   at the end; a window that goes loses its button; a group without windows loses its
//   header.
// - the foreground window's button is checked; so is a collapsed header whose group holds it.
// The order of the buttons is the model's own, except that AdoptOrder takes over the order
// that another program gave the toolbar (TB_MOVEBUTTON).
#include "standin/ToolbarPlan.h"

#include <map>
#include <string>
#include <vector>

namespace standin {

struct AppWindow {
    WindowKey wnd = 0;
    std::string appKey;  // windows with the same key belong to one application
    std::string appName; // shown on the application's group header
    std::string title;
    int image = -1; // the window's icon in the toolbar's image list
};

class TaskbarModel {
public:
    explicit TaskbarModel(bool grouping = true) : grouping_(grouping) {}

    bool Grouping() const { return grouping_; }
    // Regroups every window; windows keep their order, except that with grouping on the
    // windows of one application gather where the first of them stands.
    void SetGrouping(bool on);

    bool Contains(WindowKey wnd) const { return windows_.count(wnd) != 0; }
    const AppWindow* Find(WindowKey wnd) const;
    // False when the window has a button already.
    bool AddWindow(const AppWindow& window);
    // False when the window has no button.
    bool RemoveWindow(WindowKey wnd);
    // True when something changed.
    bool SetTitle(WindowKey wnd, const std::string& title);
    bool SetImage(WindowKey wnd, int image);
    bool SetForeground(WindowKey wnd);
    WindowKey Foreground() const { return foreground_; }
    // Collapses or expands the group of `member`; false when the window has no button.
    bool SetCollapsed(WindowKey member, bool collapsed);
    // Windows with a button, in button order.
    std::vector<WindowKey> Windows() const;
    // The windows of the group that holds the button `buttonId` (header or window button),
    // in button order; empty when no button has that id.
    std::vector<WindowKey> GroupWindows(int buttonId) const;
    // Takes over the order of the buttons found on the toolbar (their ids, in toolbar order).
    // Buttons of the model that the toolbar does not have keep their places.
    void AdoptOrder(const std::vector<int>& toolbarIds);
    // The wanted toolbar (widths left 0).
    std::vector<ButtonPlan> Buttons() const;
    void Clear();

private:
    struct Item {
        int id;
        bool header;
        WindowKey wnd; // window items
        int group;
    };
    struct Group {
        std::string appKey;
        std::string appName;
        bool collapsed = false;
    };
    void Place(const AppWindow& window, int itemId);
    int FindItem(WindowKey wnd) const;
    int GroupOf(WindowKey wnd) const;

    bool grouping_;
    int nextId_ = 1;
    int nextGroup_ = 1;
    std::vector<Item> items_;
    std::map<WindowKey, AppWindow> windows_;
    std::map<int, Group> groups_;
    WindowKey foreground_ = 0;
};

} // namespace standin
