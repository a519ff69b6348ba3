// Cost of a full and of a light snapshot of a 20-button toolbar, and of one direct move of a
// group with the snapshots around it, each as a multiple of one cross-process SendMessage round
// trip measured just before in the same run. Prints the figures; asserts nothing about time.
#include "taskbar/taskbuttons_win.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "tests/support/BenchSupport.h"

namespace {

using zvtest::MillisecondsPerCall;
using zvtest::TBenchToolbar;

TEST(SnapshotBenchmark, FullAndLightAgainstOneRoundTrip) {
    zvtest::StandinShell shell;
    TBenchToolbar bar(shell, 10);
    ASSERT_NE(bar.Toolbar(), nullptr);
    const double roundTrip = bar.RoundTrip();
    TGroupList groups;
    HWND active = nullptr;
    int requests = 0;
    OnIconRequest = [&](HWND, TGrupButtons&, int32_t) { ++requests; };
    const double full =
        MillisecondsPerCall(10, 1, [&] { ReadTaskbarButtons(false, groups, active); });
    const double light =
        MillisecondsPerCall(10, 1, [&] { ReadTaskbarButtons(true, groups, active); });
    OnIconRequest = nullptr;
    EXPECT_EQ(groups.size(), 10u);

    std::printf("cross-process SendMessage round trip: %.3f ms\n", roundTrip);
    std::printf("full snapshot of 20 buttons:  %.2f ms = %.0f round trips "
                "(includes the 10 ms count check; %d icon requests each)\n",
                full, full / roundTrip, requests / 10);
    std::printf("light snapshot of 20 buttons: %.2f ms = %.0f round trips\n", light,
                light / roundTrip);
    std::printf("without the 10 ms count check: full %.0f, light %.0f round trips\n",
                (full - 10.0) / roundTrip, (light - 10.0) / roundTrip);
    ClearGroupList(groups);
}

// What one direct move costs a caller: the full snapshot before it, the two toolbar moves and
// the snapshot that shows the result, as the Up and Down commands do it.
TEST(MoveBenchmark, DirectMoveAgainstOneRoundTrip) {
    zvtest::StandinShell shell;
    OnIconRequest = [](HWND, TGrupButtons&, int32_t) {};
    for (int n : {10, 40}) {
        TBenchToolbar bar(shell, n);
        ASSERT_NE(bar.Toolbar(), nullptr);
        const double roundTrip = bar.RoundTrip();
        TGroupList groups;
        HWND active = nullptr;
        int moved = 0;
        const double move = MillisecondsPerCall(10, 1, [&] {
            ReadTaskbarButtons(false, groups, active);
            moved += MoveTaskButton(0, n, groups) ? 1 : 0;
            ReadTaskbarButtons(false, groups, active);
        });
        EXPECT_EQ(moved, 10);
        EXPECT_EQ(groups.size(), std::size_t(n));
        std::printf("direct move with %d groups (snapshot + move + snapshot): %.2f ms = %.0f "
                    "round trips of %.3f ms\n",
                    n, move, move / roundTrip, roundTrip);
        ClearGroupList(groups);
    }
    OnIconRequest = nullptr;
}

} // namespace
