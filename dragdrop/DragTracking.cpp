#include "dragdrop/DragTracking.h"

#include <cstdlib>

namespace {
const TTaskButton* VisibleButton(const TGrupButtons& Group) {
    for (const TGrupButtons::TItem& item : Group.Items)
        if (item.Button->Visible)
            return item.Button.get();
    return nullptr;
}

// The group at a drop position of Groups: absent for the end (Groups.size()); nothing for a
// position outside the list or a group without a visible button.
std::optional<std::optional<TGroupId>> DropTargetAt(const TGroupList& Groups, int32_t Position) {
    if (Position < 0 || static_cast<std::size_t>(Position) > Groups.size())
        return std::nullopt;
    if (static_cast<std::size_t>(Position) == Groups.size())
        return std::optional<TGroupId>();
    const TGrupButtons& group = *Groups[static_cast<std::size_t>(Position)].Group;
    if (!VisibleButton(group))
        return std::nullopt;
    return std::optional<TGroupId>(GroupIdOf(group));
}
} // namespace

TPoint HookScreenPoint(int32_t X, int32_t Y) {
    return {static_cast<int16_t>(X & 0xFFFF), static_cast<int16_t>(Y & 0xFFFF)};
}

bool TDragTracker::Press(const TGroupList& Groups, int32_t Index, TPoint Press) {
    if (Index < 0 || static_cast<std::size_t>(Index) >= Groups.size())
        return false;
    const TGrupButtons& group = *Groups[static_cast<std::size_t>(Index)].Group;
    if (!VisibleButton(group))
        return false;
    Dragging_ = true;
    SourceIndex_ = Index;
    TargetIndex_ = -1; // a click without a move moves nothing
    PressPoint_ = Press;
    Source_ = GroupIdOf(group);
    Target_.reset();
    return true;
}

bool TDragTracker::MoveInZone(const TGroupList& Groups, int32_t Index, TPoint Cursor,
                              bool BalloonShowing) {
    if (!Dragging_)
        return false;
    TargetIndex_ = Index;
    Target_ = DropTargetAt(Groups, Index);
    const bool away = std::abs(PressPoint_.X - Cursor.X) > kShowDistance ||
                      std::abs(PressPoint_.Y - Cursor.Y) > kShowDistance;
    return !BalloonShowing && away;
}

std::optional<TDropMove> TDragTracker::Release(const TGroupList& Groups, bool InZone) {
    std::optional<TDropMove> move;
    if (Dragging_ && InZone && Source_ && Target_) {
        // The release's snapshot may differ from those of the press and the last move: a window
        // may have closed or opened meanwhile. The groups are named as the release's snapshot
        // names them; when either is gone, nothing moves.
        const int32_t from = FindGroup(Groups, *Source_);
        const int32_t to = *Target_ ? FindGroup(Groups, **Target_) : 0;
        if (from >= 0 && to >= 0) {
            move = TDropMove{GroupIdOf(*Groups[static_cast<std::size_t>(from)].Group), {}};
            if (*Target_)
                move->Before = GroupIdOf(*Groups[static_cast<std::size_t>(to)].Group);
        }
    }
    Cancel();
    return move;
}

void TDragTracker::Cancel() {
    Dragging_ = false;
    SourceIndex_ = -1;
    TargetIndex_ = -1;
    Source_.reset();
    Target_.reset();
}
