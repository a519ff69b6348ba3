// The mover's choice of method and the plans of both methods, on a group list.
#include "taskbar/taskmove.h"

#include <algorithm>

namespace {

int32_t GroupCount(const TGroupList& Groups) {
    return static_cast<int32_t>(Groups.size());
}

const TGrupButtons& GroupAt(const TGroupList& Groups, int32_t Pos) {
    return *Groups[static_cast<std::size_t>(Pos)].Group;
}

// True when a group at the positions First to Last (both included, all inside the list)
// cannot be moved with the two toolbar moves. A group without a visible button counts too:
// its Index is that of its first button, not of a button behind the group's header, so the
// two moves would take a button of the group in front of it.
bool RangeNeedsAlternateMove(const TGroupList& Groups, int32_t First, int32_t Last) {
    for (int32_t i = First; i <= Last; ++i)
        if (GroupAt(Groups, i).NeedsAlternateMove || !GroupAt(Groups, i).HasVisible)
            return true;
    return false;
}

void Append(std::vector<TWndHandle>& To, const std::vector<TWndHandle>& Windows) {
    To.insert(To.end(), Windows.begin(), Windows.end());
}

} // namespace

TMoveDecision DecideMove(int32_t FromIndex, int32_t ToIndex, const TGroupList& Groups,
                         bool AlternateChosen) {
    if (AlternateChosen)
        return {TMoveMethod::Reshowing};
    if (FromIndex == ToIndex || FromIndex < 0 || ToIndex < 0)
        return {};
    const int32_t count = GroupCount(Groups);
    if (FromIndex >= count)
        return {};

    int32_t target = ToIndex;
    int32_t first = ToIndex;
    int32_t last = FromIndex;
    if (FromIndex < ToIndex) {
        target = ToIndex - 1;
        // Already in front of the group at ToIndex; or a target behind the end of the list.
        if (target == FromIndex || target >= count)
            return {};
        first = FromIndex;
        last = target;
    }
    if (RangeNeedsAlternateMove(Groups, first, last))
        return {TMoveMethod::Reshowing};
    return {TMoveMethod::Direct, target};
}

std::vector<TToolbarMove> PlanButtonMoves(int32_t First, int32_t Count, int32_t Before) {
    std::vector<TToolbarMove> moves;
    if (Count <= 0 || (Before >= First && Before <= First + Count))
        return moves;
    for (int32_t k = 0; k < Count; ++k) {
        // Left: each button goes behind the one moved before it. Right: the run's first button
        // is always at First, and goes in front of the button that was at Before.
        if (Before < First)
            moves.push_back({First + k, Before + k});
        else
            moves.push_back({First, Before - 1});
    }
    return moves;
}

std::vector<TToolbarMove> PlanDirectMoves(int32_t FromIndex, int32_t ToIndex,
                                          const TGroupList& Groups) {
    const int32_t count = GroupCount(Groups);
    if (FromIndex < 0 || FromIndex >= count || ToIndex < 0 || ToIndex > count)
        return {};
    const TGrupButtons& moving = GroupAt(Groups, FromIndex);
    if (moving.Count() == 0)
        return {};
    int32_t before = 0;
    if (ToIndex < count) {
        const TGrupButtons& target = GroupAt(Groups, ToIndex);
        if (target.Count() == 0)
            return {};
        before = target.Buttons(0).Index;
    } else {
        const TGrupButtons& last = GroupAt(Groups, count - 1);
        if (last.Count() == 0)
            return {};
        before = last.Buttons(last.Count() - 1).Index + 1;
    }
    return PlanButtonMoves(moving.Buttons(0).Index, moving.Count(), before);
}

TReshowPlan PlanReshowing(int32_t FromIndex, int32_t ToIndex, const TGroupList& Groups) {
    TReshowPlan plan;
    const int32_t count = GroupCount(Groups);
    const int32_t low = std::min(FromIndex, ToIndex);
    if (FromIndex >= count || low < 0 || FromIndex == ToIndex)
        return plan;
    const std::vector<TWndHandle>& moving = GroupAt(Groups, FromIndex).Windows;
    if (moving.empty())
        return plan;

    plan.Refused = false;
    for (int32_t i = low; i < count; ++i)
        Append(plan.Hide, GroupAt(Groups, i).Windows);
    for (int32_t i = low; i < count; ++i) {
        if (i == FromIndex)
            continue;
        if (i == ToIndex)
            Append(plan.Show, moving);
        Append(plan.Show, GroupAt(Groups, i).Windows);
    }
    if (ToIndex >= count)
        Append(plan.Show, moving);
    return plan;
}

bool CarryOutReshowing(const TReshowPlan& Plan, const TReshowActions& Actions) {
    if (Plan.Refused)
        return false;
    // A 0 handle stands for a button without a window (a group header): there is nothing to
    // hide or show, and it does not make a move whose windows all came back a failure.
    int64_t pending = 0;
    for (TWndHandle w : Plan.Hide)
        if (w != 0 && !Actions.Hide(w))
            ++pending;
    Actions.Pause();
    int64_t shown = 0;
    for (TWndHandle w : Plan.Show)
        if (w != 0 && Actions.Show(w)) {
            --pending;
            ++shown;
        }
    return pending == 0 && shown > 0;
}

bool ButtonsFollowOrder(const std::vector<TWndHandle>& Windows, const TButtonList& Buttons) {
    std::vector<std::pair<int32_t, TWndHandle>> placed;
    for (const auto& b : Buttons)
        if (b && b->Wnd != 0)
            placed.emplace_back(b->Index, b->Wnd);
    std::sort(placed.begin(), placed.end());
    std::size_t next = 0;
    for (const auto& button : placed)
        if (next < Windows.size() && button.second == Windows[next])
            ++next;
    return next == Windows.size();
}
