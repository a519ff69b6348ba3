// The snapshot's grouping, rectangles and window lists on any buttons the shell's toolbar may
// hand back: any indexes, styles, states, rectangles and handles.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "taskbar/taskbuttons.h"
#include "tests/fuzz/FuzzButtons.h"

namespace {

using zvfuzz::Coordinate;
using zvfuzz::ReadButton;
using zvfuzz::TFuzzInput;

// What a group's rectangle is for a button rectangle R (its visible buttons' span) on a toolbar
// at T: R moved by T's
// top-left corner, 5 wider and higher, every edge kept within 32 bits.
TRect ExpectedRect(const TRect& R, const TRect& T) {
    auto edge = [](int64_t v) {
        return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
    };
    return {edge(int64_t{R.Left} + T.Left), edge(int64_t{R.Top} + T.Top),
            edge(int64_t{R.Right} + T.Left + 5), edge(int64_t{R.Bottom} + T.Top + 5)};
}

void CheckGroups(const std::vector<TTaskButton>& Read, const TGroupList& Groups, const TRect& T,
                 bool Light, const std::vector<TIconRequest>& Requests) {
    // Every button ends up in exactly one group, and the groups hold them in the order of
    // their indexes, buttons of equal index in the order read.
    std::vector<TTaskButton> sorted = Read;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const TTaskButton& a, const TTaskButton& b) { return a.Index < b.Index; });
    std::size_t next = 0;
    std::size_t wantedRequests = 0;
    for (std::size_t pos = 0; pos < Groups.size(); ++pos) {
        ZV_FUZZ_CHECK(Groups[pos].Text == std::to_string(pos));
        const TGrupButtons& G = *Groups[pos].Group;
        ZV_FUZZ_CHECK(G.Count() > 0);
        // A program's group led by a hidden header holds all its window buttons; any other
        // group has at most one visible button, and a header only at its start.
        const bool expanded = G.Buttons(0).IsGroupHeader && !G.Buttons(0).Visible;
        int visible = -1;
        bool pressedUpToVisible = false;
        TRect span;
        for (int j = 0; j < G.Count(); ++j) {
            const TTaskButton& B = G.Buttons(j);
            ZV_FUZZ_CHECK(G.Items[static_cast<std::size_t>(j)].Text == std::to_string(j));
            ZV_FUZZ_CHECK(next < sorted.size() && B.CommandId == sorted[next].CommandId);
            ZV_FUZZ_CHECK(j == 0 || !B.IsGroupHeader);
            ++next;
            if (visible < 0)
                pressedUpToVisible = pressedUpToVisible || B.Pressed;
            if (B.Visible && visible < 0) {
                visible = j;
                span = B.Rect;
            } else if (B.Visible) {
                ZV_FUZZ_CHECK(expanded);
                pressedUpToVisible = pressedUpToVisible || B.Pressed;
                const TRect& F = G.Buttons(visible).Rect;
                if (B.Rect.Top == F.Top || B.Rect.Left == F.Left) {
                    span.Right = std::max(span.Right, B.Rect.Right);
                    span.Bottom = std::max(span.Bottom, B.Rect.Bottom);
                }
            }
        }
        ZV_FUZZ_CHECK(G.HasVisible == (visible >= 0));
        ZV_FUZZ_CHECK(G.Active == pressedUpToVisible);
        const TTaskButton& indexed = G.Buttons(visible >= 0 ? visible : 0);
        ZV_FUZZ_CHECK(G.Index == indexed.Index);
        if (visible >= 0) {
            ZV_FUZZ_CHECK(G.Rect == ExpectedRect(span, T));
            ZV_FUZZ_CHECK(G.Caption == indexed.Caption);
        } else {
            ZV_FUZZ_CHECK(G.Rect == (TRect{-100, -100, -100, -100}));
        }
        // The window list of a full snapshot: every button's window, in button order.
        if (Light || visible < 0) {
            ZV_FUZZ_CHECK(G.Windows.empty());
            continue;
        }
        ZV_FUZZ_CHECK(G.Windows.size() == G.Items.size());
        for (int j = 0; j < G.Count(); ++j)
            ZV_FUZZ_CHECK(G.Windows[static_cast<std::size_t>(j)] == G.Buttons(j).Wnd);
        // One toolbar move per button: only a hidden header followed by visible window buttons
        // at consecutive indexes can be moved so.
        bool direct = expanded && G.Count() >= 2;
        for (int j = 1; j < G.Count(); ++j)
            direct = direct && G.Buttons(j).Visible && G.Buttons(j).Index == G.Buttons(0).Index + j;
        ZV_FUZZ_CHECK(G.NeedsAlternateMove == !direct);
        if (G.Count() >= 2 && G.Buttons(1).ImageIndex >= 0) {
            ZV_FUZZ_CHECK(wantedRequests < Requests.size());
            ZV_FUZZ_CHECK(Requests[wantedRequests] == (TIconRequest{pos, G.Buttons(1).ImageIndex}));
            ++wantedRequests;
        }
    }
    ZV_FUZZ_CHECK(next == sorted.size());
    ZV_FUZZ_CHECK(wantedRequests == Requests.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, std::size_t Size) {
    TFuzzInput In(Data, Size);
    TGroupList groups;
    // Two snapshots into one list: the second replaces the first.
    for (int round = 0; round < 2 && !In.Empty(); ++round) {
        const bool light = In.Bool();
        const TRect toolbar =
            In.Bool() ? TRect{Coordinate(In), Coordinate(In), Coordinate(In), Coordinate(In)}
                      : TRect{0, 738, 1024, 768};
        const int count = In.Small(0, 40);
        TButtonList buttons;
        std::vector<TTaskButton> read;
        for (int i = 0; i < count; ++i) {
            buttons.push_back(ReadButton(In, i));
            read.push_back(*buttons.back());
        }
        const TWndHandle active = LastPressedWindow(buttons);
        ZV_FUZZ_CHECK(active == 0 || std::any_of(read.begin(), read.end(), [&](const auto& b) {
                          return b.Pressed && b.Wnd == active;
                      }));
        const std::vector<TIconRequest> requests =
            BuildSnapshot(light, std::move(buttons), toolbar, groups);
        CheckGroups(read, groups, toolbar, light, requests);
    }
    ClearGroupList(groups);

    // The caption read never lets the toolbar write past the buffer it is given.
    const int64_t length = int64_t{In.Int32()} * (In.Bool() ? 1 : 2);
    const TCaptionRead plan = PlanCaptionRead(length);
    switch (plan.Kind) {
    case TCaptionRead::Unreadable:
        ZV_FUZZ_CHECK(length < 0 || length >= int64_t{UINT32_MAX});
        break;
    case TCaptionRead::Empty:
        ZV_FUZZ_CHECK(length == 0);
        break;
    case TCaptionRead::InCaptionBuffer:
        ZV_FUZZ_CHECK(length > 0 && length + 1 <= int64_t{kCaptionBufferSize});
        break;
    case TCaptionRead::InLargeBuffer:
        ZV_FUZZ_CHECK(int64_t{plan.LargeSize} == length + 1);
        break;
    }
    const int edge = GetTaskbarEdge(
        {Coordinate(In), Coordinate(In), Coordinate(In), Coordinate(In)}, In.Int32());
    ZV_FUZZ_CHECK(edge >= EdgeBottom && edge <= EdgeRight);
    return 0;
}
