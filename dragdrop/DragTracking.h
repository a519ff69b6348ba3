#pragma once
// The state of a drag along the taskbar and its rules, on plain data: which press starts a
// drag, when the balloon shows, and which move a release carries out. The balloon window
// gathers snapshots and drop positions and acts on what these decide.
#include <cstdint>
#include <optional>

#include "dragdrop/DropPosition.h"

// A position as the mouse hook reports it, two unsigned 16-bit halves, on the screen: left of
// or above the primary screen is negative. Positions already signed pass unchanged.
TPoint HookScreenPoint(int32_t X, int32_t Y);

// The right mouse button's asynchronous key state (GetAsyncKeyState) tells of a right click
// completed since the previous look: up now, pressed meanwhile. That ends a drag without a
// move; a right button still held does not.
constexpr bool RightClickCompleted(int16_t AsyncKeyState) {
    return AsyncKeyState > 0;
}

// A drop: the group Moving goes in front of the group Before, or behind every group when
// Before is absent (as TTaskbar::MoveGroup takes them).
struct TDropMove {
    TGroupId Moving;
    std::optional<TGroupId> Before;
};

class TDragTracker {
public:
    // The balloon shows only once the cursor has left this square around the press point.
    static constexpr int32_t kShowDistance = 10;

    bool Dragging() const { return Dragging_; }
    int32_t SourceIndex() const { return SourceIndex_; }
    int32_t TargetIndex() const { return TargetIndex_; }
    TPoint PressPoint() const { return PressPoint_; }

    // A press on the group at Index of Groups (found at the press) at Press, a collapsed
    // group's header too. A press during a drag starts the drag again from that group, with no
    // target yet. True when a drag started; a press on no group starts nothing and leaves a
    // drag in progress as it is.
    bool Press(const TGroupList& Groups, int32_t Index, TPoint Press);
    // A move inside the zone of drop position Index of Groups (the move's snapshot). True when
    // the balloon, hidden until now, is to show: the cursor is more than kShowDistance away from
    // the press point in x or in y.
    bool MoveInZone(const TGroupList& Groups, int32_t Index, TPoint Cursor, bool BalloonShowing);
    // The end of a drag: at a release with the release's fresh snapshot (InZone: the release
    // point lies in a drop zone, whatever window is under it). The move to carry out, if any:
    // the pressed group and the group of the last drop position, found again in the release's
    // snapshot (nothing when either is gone); afterwards no drag is in progress and both
    // indexes are -1.
    std::optional<TDropMove> Release(const TGroupList& Groups, bool InZone);
    // Ends a drag without a move.
    void Cancel();

private:
    bool Dragging_ = false;
    int32_t SourceIndex_ = -1;
    int32_t TargetIndex_ = -1;
    TPoint PressPoint_;
    std::optional<TGroupId> Source_;
    // The last drop position: a group, or absent for the end; unset before the first move.
    std::optional<std::optional<TGroupId>> Target_;
};
