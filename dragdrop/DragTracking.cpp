#include "dragdrop/DragTracking.h"

#include <cstdlib>

namespace {
const TTaskButton* VisibleButton(const TGrupButtons& Group) {
    for (const TGrupButtons::TItem& item : Group.Items)
        if (item.Button->Visible)
            return item.Button.get();
    return nullptr;
}
} // namespace

std::optional<TGroupKey> GroupKeyAt(const TGroupList& Groups, int32_t Position) {
    if (Position < 0 || static_cast<std::size_t>(Position) > Groups.size())
        return std::nullopt;
    if (static_cast<std::size_t>(Position) == Groups.size())
        return TGroupKey{0, true};
    const TTaskButton* button = VisibleButton(*Groups[static_cast<std::size_t>(Position)].Group);
    if (!button)
        return std::nullopt;
    return TGroupKey{button->CommandId, false};
}

int32_t PositionOfKey(const TGroupList& Groups, const TGroupKey& Key) {
    if (Key.End)
        return static_cast<int32_t>(Groups.size());
    for (std::size_t i = 0; i < Groups.size(); ++i) {
        const TTaskButton* button = VisibleButton(*Groups[i].Group);
        if (button && button->CommandId == Key.CommandId)
            return static_cast<int32_t>(i);
    }
    return -1;
}

TPoint HookScreenPoint(int32_t X, int32_t Y) {
    return {static_cast<int16_t>(X & 0xFFFF), static_cast<int16_t>(Y & 0xFFFF)};
}

bool TDragTracker::Press(const TGroupList& Groups, int32_t Index, TPoint Press) {
    const std::optional<TGroupKey> key = GroupKeyAt(Groups, Index);
    if (!key || key->End)
        return false;
    Dragging_ = true;
    SourceIndex_ = Index;
    TargetIndex_ = -1; // a click without a move moves nothing
    PressPoint_ = Press;
    Source_ = key;
    Target_.reset();
    return true;
}

bool TDragTracker::MoveInZone(const TGroupList& Groups, int32_t Index, TPoint Cursor,
                              bool BalloonShowing) {
    if (!Dragging_)
        return false;
    TargetIndex_ = Index;
    Target_ = GroupKeyAt(Groups, Index);
    const bool away = std::abs(PressPoint_.X - Cursor.X) > kShowDistance ||
                      std::abs(PressPoint_.Y - Cursor.Y) > kShowDistance;
    return !BalloonShowing && away;
}

std::optional<TDropMove> TDragTracker::Release(const TGroupList& Groups, bool InZone) {
    std::optional<TDropMove> move;
    if (Dragging_ && InZone && Source_ && Target_) {
        // The release's snapshot may differ from those of the press and the last move: a window
        // may have closed or opened meanwhile. The groups are found again by their buttons;
        // when either is gone, nothing moves.
        const int32_t from = PositionOfKey(Groups, *Source_);
        const int32_t to = PositionOfKey(Groups, *Target_);
        if (from >= 0 && to >= 0)
            move = TDropMove{from, to};
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
