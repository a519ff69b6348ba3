// What the lasting order costs on a taskbar of 10 and of 40 groups, as a multiple of one
// cross-process round trip measured just before: the look at the taskbar on every refresh tick
// (the toolbar's button count), and one placement (a full snapshot, the programs of the groups,
// the placement rule and the move). Prints the figures; asserts nothing about time.
#include <gtest/gtest.h>

#include <cstdio>

#include "app/LastingOrder_win.h"
#include "taskbar/Taskbar_win.h"
#include "tests/support/BenchSupport.h"

namespace {

TEST(LastingOrderBenchmark, TickAndPlacementAgainstOneRoundTrip) {
    zvtest::StandinShell shell;
    TTaskbar taskbar;
    taskbar.OnIconRequest = [](HWND, TGrupButtons&, int32_t) {}; // no icon library here
    for (int n : {10, 40}) {
        zvtest::TBenchToolbar bar(shell, n);
        ASSERT_NE(bar.Toolbar(), nullptr);
        const double roundTrip = bar.RoundTrip();

        TLastingOrder order(taskbar); // nothing remembered: a tick only looks
        order.Watch();
        const double tick = zvtest::MillisecondsPerCall(5, 50, [&] { order.Watch(); });

        // The last group to the front, as a returning program is put in front of the groups
        // that follow it in the user's order.
        const double placement = zvtest::MillisecondsPerCall(3, 5, [&] {
            TGroupList snapshot = taskbar.Snapshot(false);
            std::vector<std::string> programs = GroupPrograms(snapshot);
            programs.back() = "first.exe";
            const std::optional<TPlacement> p = NextPlacement(programs, {"first.exe", programs[0]});
            ASSERT_TRUE(p);
            taskbar.MoveTaskButton(p->From, p->To, snapshot);
        });
        std::printf("%d groups: round trip %.3f ms; refresh tick %.3f ms (%.1f round trips); "
                    "one placement %.3f ms (%.1f round trips)\n",
                    n, roundTrip, tick, tick / roundTrip, placement, placement / roundTrip);
    }
}

} // namespace
