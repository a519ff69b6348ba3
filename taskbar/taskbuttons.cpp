// Grouping of taskbar buttons into taskbar groups, and the rest of the snapshot that needs
// nothing but the buttons read.
#include "taskbar/taskbuttons.h"

#include <algorithm>
#include <utility>

void TTaskButton::SetStyleState(uint32_t style, uint32_t state) {
    Style = style;
    State = state;
    Visible = (state & kTbStateHidden) == 0;
    Pressed = (state & (kTbStateChecked | kTbStatePressed)) != 0;
    IsGroupHeader = (style & kBtnsDropDown) != 0;
}

TGrupButtons::~TGrupButtons() {
    if (OnDestroy)
        OnDestroy(*this);
}

void TGrupButtons::Add(std::unique_ptr<TTaskButton> Button) {
    Items.push_back({std::to_string(Items.size()), std::move(Button)});
}

void TGrupButtons::Clear() {
    for (TItem& item : Items)
        item.Button.reset();
    Items.clear();
}

void AddGroup(TGroupList& Groups, std::unique_ptr<TGrupButtons> Group) {
    Groups.push_back({std::to_string(Groups.size()), std::move(Group)});
}

void ClearGroupList(TGroupList& Groups) {
    for (TGroupListItem& item : Groups)
        item.Group.reset();
    Groups.clear();
}

namespace {

bool HasVisibleButton(const TGrupButtons& G) {
    for (const TGrupButtons::TItem& item : G.Items)
        if (item.Button->Visible)
            return true;
    return false;
}

// Coordinate V moved by By; the toolbar hands back any rectangle, so the sum is kept within
// 32 bits instead of wrapping.
int32_t Shifted(int32_t V, int64_t By) {
    return static_cast<int32_t>(std::clamp<int64_t>(V + By, INT32_MIN, INT32_MAX));
}

// An expanded program's group: a hidden header leads it, and every window button up to the
// next header belongs to it.
bool LedByHiddenHeader(const TGrupButtons& G) {
    return !G.Items.empty() && G.Items.front().Button->IsGroupHeader &&
           !G.Items.front().Button->Visible;
}

// The visible button B continues the rectangle R of the group's first visible button F: it
// stands in the same row of a horizontal taskbar or the same column of a vertical one.
bool SameLine(const TRect& F, const TRect& B) {
    return F.Top == B.Top || F.Left == B.Left;
}

void StartGroup(std::unique_ptr<TTaskButton> Button, TGroupList& Groups) {
    auto group = std::make_unique<TGrupButtons>();
    group->Index = Button->Index;
    group->Add(std::move(Button));
    AddGroup(Groups, std::move(group));
}

} // namespace

void AddButtonToGroups(std::unique_ptr<TTaskButton> Button, bool StartNew, TGroupList& Groups) {
    if (StartNew || Groups.empty()) {
        StartGroup(std::move(Button), Groups);
        return;
    }
    TGrupButtons& last = *Groups.back().Group;
    if (Button->Visible) {
        if (HasVisibleButton(last) && !LedByHiddenHeader(last)) {
            StartGroup(std::move(Button), Groups);
            return;
        }
        if (!HasVisibleButton(last))
            last.Index = Button->Index;
    }
    last.Add(std::move(Button));
}

void ComputeGroupRects(TGroupList& Groups, const TRect& ToolbarRect) {
    for (TGroupListItem& item : Groups) {
        TGrupButtons& G = *item.Group;
        G.Rect = {-100, -100, -100, -100};
        G.HasVisible = false;
        G.Active = false;
        const TTaskButton* first = nullptr;
        TRect span;
        for (const TGrupButtons::TItem& b : G.Items) {
            const TTaskButton& B = *b.Button;
            if (!first) {
                G.Active = G.Active || B.Pressed;
                if (B.Visible) {
                    first = &B;
                    span = B.Rect;
                }
            } else if (B.Visible) {
                // A program's further window buttons: pressed, they make the group active.
                G.Active = G.Active || B.Pressed;
                if (!SameLine(first->Rect, B.Rect))
                    continue;
                span.Right = std::max(span.Right, B.Rect.Right);
                span.Bottom = std::max(span.Bottom, B.Rect.Bottom);
            }
        }
        if (first) {
            G.Rect = {Shifted(span.Left, ToolbarRect.Left), Shifted(span.Top, ToolbarRect.Top),
                      Shifted(span.Right, int64_t{ToolbarRect.Left} + 5),
                      Shifted(span.Bottom, int64_t{ToolbarRect.Top} + 5)};
            G.HasVisible = true;
            G.Caption = first->Caption;
        }
    }
}

void SortButtonsByIndex(TButtonList& Buttons) {
    bool exchanged = true;
    while (exchanged) {
        exchanged = false;
        for (std::size_t i = 0; i + 1 < Buttons.size(); ++i) {
            if (Buttons[i]->Index > Buttons[i + 1]->Index) {
                std::swap(Buttons[i], Buttons[i + 1]);
                exchanged = true;
            }
        }
    }
}

void GroupButtons(TButtonList Buttons, TGroupList& Groups) {
    SortButtonsByIndex(Buttons);
    ClearGroupList(Groups);
    bool prev = false;
    for (std::unique_ptr<TTaskButton>& button : Buttons) {
        if (button->Visible) {
            prev = button->IsGroupHeader;
            AddButtonToGroups(std::move(button), prev, Groups);
        } else if (!button->IsGroupHeader &&
                   (prev || (!Groups.empty() && LedByHiddenHeader(*Groups.back().Group)))) {
            AddButtonToGroups(std::move(button), false, Groups);
        } else {
            prev = true;
            AddButtonToGroups(std::move(button), true, Groups);
        }
    }
}

TWndHandle LastPressedWindow(const TButtonList& Buttons) {
    TWndHandle active = 0;
    for (const std::unique_ptr<TTaskButton>& button : Buttons)
        if (button->Pressed && button->Wnd != 0)
            active = button->Wnd;
    return active;
}

std::vector<TIconRequest> ComputeWindowLists(TGroupList& Groups) {
    std::vector<TIconRequest> requests;
    for (std::size_t pos = 0; pos < Groups.size(); ++pos) {
        TGrupButtons& G = *Groups[pos].Group;
        if (!G.HasVisible)
            continue;
        // Only a hidden header followed by the group's visible window buttons, each at the
        // toolbar index after the one before, can be moved one toolbar move per button.
        G.NeedsAlternateMove = !(G.Count() >= 2 && LedByHiddenHeader(G));
        for (int j = 0; j < G.Count(); ++j) {
            const TTaskButton& B = G.Buttons(j);
            if (j > 0 && (!B.Visible || B.IsGroupHeader || B.Index != G.Buttons(0).Index + j))
                G.NeedsAlternateMove = true;
            G.Windows.push_back(B.Wnd);
            if (j == 1 && B.ImageIndex >= 0)
                requests.push_back({pos, B.ImageIndex});
        }
    }
    return requests;
}

std::vector<TIconRequest> BuildSnapshot(bool Light, TButtonList Buttons, const TRect& ToolbarRect,
                                        TGroupList& Groups) {
    GroupButtons(std::move(Buttons), Groups);
    ComputeGroupRects(Groups, ToolbarRect);
    if (Light)
        return {};
    return ComputeWindowLists(Groups);
}

TCaptionRead PlanCaptionRead(int64_t Length) {
    if (Length < 0 || Length >= int64_t(UINT32_MAX))
        return {TCaptionRead::Unreadable};
    if (Length == 0)
        return {TCaptionRead::Empty};
    if (Length < int64_t(kCaptionBufferSize))
        return {TCaptionRead::InCaptionBuffer};
    return {TCaptionRead::InLargeBuffer, static_cast<uint32_t>(Length) + 1};
}

int GetTaskbarEdge(const TRect& R, int32_t ScreenWidth) {
    if (R.Left <= 5) {
        if (R.Top > 5)
            return EdgeBottom;
        // Wide, so that no screen width can wrap the comparison.
        return R.Right > int64_t{ScreenWidth} - 100 ? EdgeTop : EdgeLeft;
    }
    return R.Top <= 5 ? EdgeRight : EdgeBottom;
}

TGroupId GroupIdOf(const TGrupButtons& Group) {
    TGroupId id;
    for (const TGrupButtons::TItem& item : Group.Items) {
        const TTaskButton& B = *item.Button;
        if (id.Lead == 0)
            id.Lead = B.Wnd;
        if (id.CommandId == 0 && B.Visible)
            id.CommandId = B.CommandId;
    }
    return id;
}

int32_t FindGroup(const TGroupList& Groups, const TGroupId& Id) {
    if (Id.Empty())
        return -1;
    for (std::size_t i = 0; i < Groups.size(); ++i)
        if (GroupIdOf(*Groups[i].Group).Matches(Id))
            return static_cast<int32_t>(i);
    return -1;
}

std::unique_ptr<TGrupButtons> TakeGroup(TGroupList& Groups, int32_t Position) {
    if (Position < 0 || static_cast<std::size_t>(Position) >= Groups.size())
        return nullptr;
    auto it = Groups.begin() + Position;
    std::unique_ptr<TGrupButtons> g = std::move(it->Group);
    Groups.erase(it);
    return g;
}
