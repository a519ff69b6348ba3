#include "standin/TaskbarModel.h"

#include <algorithm>
#include <unordered_map>

namespace standin {

const AppWindow* TaskbarModel::Find(WindowKey wnd) const {
    auto it = windows_.find(wnd);
    return it == windows_.end() ? nullptr : &it->second;
}

int TaskbarModel::FindItem(WindowKey wnd) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (!items_[i].header && items_[i].wnd == wnd)
            return int(i);
    return -1;
}

int TaskbarModel::GroupOf(WindowKey wnd) const {
    int i = FindItem(wnd);
    return i < 0 ? 0 : items_[i].group;
}

void TaskbarModel::Place(const AppWindow& window, int itemId) {
    if (grouping_) {
        for (int i = int(items_.size()) - 1; i >= 0; --i) {
            const Item& item = items_[i];
            if (groups_.at(item.group).appKey == window.appKey) {
                items_.insert(items_.begin() + i + 1, Item{itemId, false, window.wnd, item.group});
                return;
            }
        }
    }
    int group = nextGroup_++;
    groups_[group] = Group{window.appKey, window.appName, false};
    items_.push_back(Item{nextId_++, true, 0, group});
    items_.push_back(Item{itemId, false, window.wnd, group});
}

bool TaskbarModel::AddWindow(const AppWindow& window) {
    if (Contains(window.wnd))
        return false;
    windows_[window.wnd] = window;
    Place(window, nextId_++);
    return true;
}

bool TaskbarModel::RemoveWindow(WindowKey wnd) {
    int i = FindItem(wnd);
    if (i < 0)
        return false;
    int group = items_[i].group;
    items_.erase(items_.begin() + i);
    windows_.erase(wnd);
    bool groupHasWindows = std::any_of(items_.begin(), items_.end(), [&](const Item& item) {
        return item.group == group && !item.header;
    });
    if (!groupHasWindows) {
        items_.erase(std::remove_if(items_.begin(), items_.end(),
                                    [&](const Item& item) { return item.group == group; }),
                     items_.end());
        groups_.erase(group);
    }
    if (foreground_ == wnd)
        foreground_ = 0;
    return true;
}

bool TaskbarModel::SetTitle(WindowKey wnd, const std::string& title) {
    auto it = windows_.find(wnd);
    if (it == windows_.end() || it->second.title == title)
        return false;
    it->second.title = title;
    return true;
}

bool TaskbarModel::SetImage(WindowKey wnd, int image) {
    auto it = windows_.find(wnd);
    if (it == windows_.end() || it->second.image == image)
        return false;
    it->second.image = image;
    return true;
}

bool TaskbarModel::SetForeground(WindowKey wnd) {
    if (foreground_ == wnd)
        return false;
    foreground_ = wnd;
    return true;
}

bool TaskbarModel::SetCollapsed(WindowKey member, bool collapsed) {
    int group = GroupOf(member);
    if (!group)
        return false;
    groups_.at(group).collapsed = collapsed;
    return true;
}

std::vector<WindowKey> TaskbarModel::Windows() const {
    std::vector<WindowKey> out;
    for (const auto& item : items_)
        if (!item.header)
            out.push_back(item.wnd);
    return out;
}

std::vector<WindowKey> TaskbarModel::GroupWindows(int buttonId) const {
    std::vector<WindowKey> out;
    auto button = std::find_if(items_.begin(), items_.end(),
                               [&](const Item& item) { return item.id == buttonId; });
    if (button == items_.end())
        return out;
    for (const auto& item : items_)
        if (item.group == button->group && !item.header)
            out.push_back(item.wnd);
    return out;
}

void TaskbarModel::SetGrouping(bool on) {
    if (on == grouping_)
        return;
    grouping_ = on;
    std::vector<Item> old;
    old.swap(items_);
    groups_.clear();
    for (const auto& item : old)
        if (!item.header)
            Place(windows_.at(item.wnd), item.id);
}

void TaskbarModel::AdoptOrder(const std::vector<int>& toolbarIds) {
    std::unordered_map<int, std::size_t> position;
    for (std::size_t i = 0; i < items_.size(); ++i)
        position[items_[i].id] = i;
    std::vector<std::size_t> slots; // the model places of the buttons the toolbar has
    std::vector<Item> inToolbarOrder;
    for (int id : toolbarIds) {
        auto it = position.find(id);
        if (it == position.end())
            continue;
        slots.push_back(it->second);
        inToolbarOrder.push_back(items_[it->second]);
        position.erase(it); // an id listed twice counts once
    }
    std::sort(slots.begin(), slots.end());
    for (std::size_t k = 0; k < slots.size(); ++k)
        items_[slots[k]] = inToolbarOrder[k];
}

std::vector<ButtonPlan> TaskbarModel::Buttons() const {
    std::map<int, int> windowCount;
    std::map<int, int> groupImage;
    std::map<int, bool> holdsForeground;
    for (const auto& item : items_) {
        if (item.header)
            continue;
        ++windowCount[item.group];
        const AppWindow& w = windows_.at(item.wnd);
        groupImage.emplace(item.group, w.image);
        if (item.wnd == foreground_)
            holdsForeground[item.group] = true;
    }
    std::vector<ButtonPlan> out;
    out.reserve(items_.size());
    for (const auto& item : items_) {
        const Group& group = groups_.at(item.group);
        ButtonPlan b;
        b.id = item.id;
        b.header = item.header;
        if (item.header) {
            b.style = kStyleDropDown;
            b.state = kStateEnabled;
            if (!group.collapsed)
                b.state |= kStateHidden;
            else if (holdsForeground[item.group])
                b.state |= kStateChecked;
            b.text = std::to_string(windowCount[item.group]) + " " + group.appName;
            b.image = groupImage.count(item.group) ? groupImage[item.group] : -1;
        } else {
            const AppWindow& w = windows_.at(item.wnd);
            b.wnd = item.wnd;
            b.state = kStateEnabled;
            if (group.collapsed)
                b.state |= kStateHidden;
            if (item.wnd == foreground_)
                b.state |= kStateChecked;
            b.text = w.title;
            b.image = w.image;
        }
        out.push_back(std::move(b));
    }
    return out;
}

void TaskbarModel::Clear() {
    items_.clear();
    windows_.clear();
    groups_.clear();
    foreground_ = 0;
}

} // namespace standin
