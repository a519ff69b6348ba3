#pragma once
// The mover's decisions on plain data: whether a move of one taskbar group is refused, made
// with one TB_MOVEBUTTON message per button, or made by hiding the affected windows and showing
// them again in the new order, and what exactly each method does. The Win32 half that carries the
// moves out is in taskbar/taskbuttons_win.h (MoveTaskButton, MoveDirect, MoveByReshowing).
//
// Positions: FromIndex is the position of the group to move in the group list; ToIndex is an
// insertion position: the group ends up in front of the group now at ToIndex, and the count
// of groups means the end. One place up is (p, p - 1), one place down is (p, p + 2).
#include <cstdint>
#include <functional>
#include <vector>

#include "taskbar/taskbuttons.h"

enum class TMoveMethod {
    Refuse,   // nothing is sent, nothing hidden; the move reports false
    Direct,   // one TB_MOVEBUTTON message per button (PlanDirectMoves)
    Reshowing // hide and show again (PlanReshowing on a fresh snapshot)
};

struct TMoveDecision {
    TMoveMethod Method = TMoveMethod::Refuse;
    int32_t NeighbourIndex = 0; // Direct: the position the group takes in the list
};

// Chooses the method for moving the group at FromIndex in front of the group at ToIndex.
// With AlternateChosen every move goes to the reshowing method, which checks the positions
// itself against its fresh snapshot. Otherwise a move is refused when the positions are equal
// or negative, when FromIndex or (moving down) ToIndex - 1 lies beyond the list, or when a move
// down would leave the group where it is; it is made directly unless a group in the range it
// crosses has NeedsAlternateMove set or no visible button.
TMoveDecision DecideMove(int32_t FromIndex, int32_t ToIndex, const TGroupList& Groups,
                         bool AlternateChosen);

// One TB_MOVEBUTTON: the button at toolbar index From is taken out and inserted at To.
struct TToolbarMove {
    int32_t From = 0;
    int32_t To = 0;
    friend bool operator==(const TToolbarMove& a, const TToolbarMove& b) {
        return a.From == b.From && a.To == b.To;
    }
};

// The moves that take the Count buttons at toolbar indexes First .. First + Count - 1 in front
// of the button now at Before (the toolbar's button count: the end), one message per button,
// so that they stay together and in their order. Empty when Before lies inside the run or
// right behind it (nothing moves).
std::vector<TToolbarMove> PlanButtonMoves(int32_t First, int32_t Count, int32_t Before);
// The direct method's moves for taking the group at FromIndex in front of the group at ToIndex
// (the count of groups: behind the last group): every button of the group, header first, in
// front of the first button of the group at ToIndex. Empty when a position lies outside the
// list.
std::vector<TToolbarMove> PlanDirectMoves(int32_t FromIndex, int32_t ToIndex,
                                          const TGroupList& Groups);

// What the reshowing method does with the windows of a fresh snapshot: every window of every
// group from the lower of the two positions to the last is hidden, in list order; then they
// are shown again group by group, except that the moving group's windows come in front of the
// group at ToIndex, or after all others when ToIndex is not below the count.
struct TReshowPlan {
    bool Refused = true; // nothing is hidden or shown
    std::vector<TWndHandle> Hide;
    std::vector<TWndHandle> Show;
};
// Refused when FromIndex is beyond the list, either position is negative, the positions are
// equal, or the moving group has no windows.
TReshowPlan PlanReshowing(int32_t FromIndex, int32_t ToIndex, const TGroupList& Groups);

// The window calls a reshowing needs. Hide and Show change the window's visibility (SW_HIDE,
// SW_SHOWNA) and return whether it is visible afterwards; Pause lets the shell catch up
// between hiding and showing.
struct TReshowActions {
    std::function<bool(TWndHandle)> Hide;
    std::function<bool(TWndHandle)> Show;
    std::function<void()> Pause;
};

// Hides, pauses, shows. Every window that is hidden afterwards counts one up, every window
// that is visible after showing counts one down; the result is true when the count ends at
// zero and a window was shown. A 0 handle (a group header's button, which has no window) is
// neither hidden nor shown and does not count. A refused plan does nothing and returns false.
bool CarryOutReshowing(const TReshowPlan& Plan, const TReshowActions& Actions);

// True when every window of Windows has a button among Buttons and those buttons stand in
// the order of Windows (by toolbar position): the shell has taken in windows shown in that
// order. A shell learns of shown windows after the fact, so a reshowing is over only then.
bool ButtonsFollowOrder(const std::vector<TWndHandle>& Windows, const TButtonList& Buttons);
