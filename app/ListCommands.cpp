#include "app/ListCommands.h"

#include <algorithm>
#include <utility>

namespace {
// The windows of a group's list, its buttons without a window (0) left out.
std::vector<TWndHandle> RealWindows(const std::vector<TWndHandle>& Windows) {
    std::vector<TWndHandle> real;
    for (TWndHandle w : Windows)
        if (w != 0)
            real.push_back(w);
    return real;
}
} // namespace

void THiddenGroups::Hide(std::unique_ptr<TGrupButtons> Group, IUserWindows& Windows) {
    const std::vector<TWndHandle> windows = RealWindows(Group->Windows);
    AddGroup(Groups_, std::move(Group));
    if (Record_)
        Record_->Add(windows); // recorded before they are hidden: never lost
    for (TWndHandle w : windows)
        Windows.Hide(w);
}

bool THiddenGroups::Show(const TGroupId& Id, IUserWindows& Windows) {
    std::unique_ptr<TGrupButtons> group = TakeGroup(Groups_, FindGroup(Groups_, Id));
    if (!group)
        return false;
    const std::vector<TWndHandle> windows = RealWindows(group->Windows);
    for (TWndHandle w : windows)
        Windows.Show(w);
    if (Record_)
        Record_->Remove(windows);
    return true;
}

std::vector<TWndHandle> THiddenGroups::ForgetShownByTheirPrograms(IUserWindows& Windows) {
    std::vector<TWndHandle> shown;
    for (std::size_t i = 0; i < Groups_.size();) {
        std::vector<TWndHandle>& w = Groups_[i].Group->Windows;
        const auto kept = std::stable_partition(
            w.begin(), w.end(), [&](TWndHandle h) { return h == 0 || !Windows.IsShown(h); });
        const std::vector<TWndHandle> left(kept, w.end());
        w.erase(kept, w.end());
        // Their buttons go too, so that the group is named by the windows it still holds.
        std::vector<TGrupButtons::TItem>& items = Groups_[i].Group->Items;
        items.erase(std::remove_if(items.begin(), items.end(),
                                   [&](const TGrupButtons::TItem& item) {
                                       return std::find(left.begin(), left.end(),
                                                        item.Button->Wnd) != left.end();
                                   }),
                    items.end());
        shown.insert(shown.end(), left.begin(), left.end());
        if (std::none_of(w.begin(), w.end(), [](TWndHandle h) { return h != 0; }))
            TakeGroup(Groups_, static_cast<int32_t>(i));
        else
            ++i;
    }
    if (Record_ && !shown.empty())
        Record_->Remove(shown);
    return shown;
}

TListRows TListCommands::Rows() {
    return RowsFrom(Taskbar_.Snapshot(false));
}

TListRows TListCommands::RowsFrom(TGroupList Snapshot) {
    Hidden_.ForgetShownByTheirPrograms(Windows_);
    TListRows rows;
    rows.Snapshot = std::move(Snapshot);
    rows.Rows = BuildListRows(rows.Snapshot, Hidden_.Groups());
    return rows;
}

bool TListCommands::Move(const TGroupId& Group, int Step) {
    std::optional<TGroupId> before;
    TGroupList snapshot = Taskbar_.Snapshot(false);
    if (!NeighbourForStep(snapshot, Group, Step, before) ||
        !Taskbar_.MoveGroupIn(snapshot, Group, before))
        return false;
    if (OnMoved)
        OnMoved();
    return true;
}

bool TListCommands::MoveGroupOfWindow(TWndHandle Wnd, TWndHandle Owner, int Step) {
    TGroupList snapshot = Taskbar_.Snapshot(false);
    std::optional<TGroupId> group = ListedGroupOfWindow(snapshot, Wnd);
    if (!group) // a dialog of the program: the window that owns it has the button
        group = ListedGroupOfWindow(snapshot, Owner);
    std::optional<TGroupId> before;
    if (!group || !NeighbourForStep(snapshot, *group, Step, before) ||
        !Taskbar_.MoveGroupIn(snapshot, *group, before))
        return false;
    if (OnMoved)
        OnMoved();
    return true;
}

void TListCommands::SetChecked(const TGroupId& Group, bool Checked) {
    TWndHandle foreground = 0;
    if (Checked) {
        foreground = Windows_.Foreground();
        if (!Hidden_.Show(Group, Windows_))
            return;
    } else {
        // The window of the pressed button is the one to keep in front.
        TGroupList snapshot = Taskbar_.Snapshot(false, &foreground);
        std::unique_ptr<TGrupButtons> group = TakeGroup(snapshot, FindGroup(snapshot, Group));
        if (!group)
            return; // its group is gone: nothing is hidden
        Hidden_.Hide(std::move(group), Windows_);
    }
    if (foreground != 0 && Windows_.IsShown(foreground))
        Windows_.SetForeground(foreground);
}
