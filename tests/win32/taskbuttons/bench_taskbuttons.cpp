// Cost of a full and of a light snapshot of a 20- and an 80-button toolbar, in cross-process
// calls per button and as a multiple of one cross-process SendMessage round trip measured just
// before in the same run, and of one direct move of a group with the snapshots around it.
// Prints the figures; asserts nothing about time.
#include "taskbar/Taskbar_win.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "taskbar/uProcessMemMgr.h"

#include "tests/support/BenchSupport.h"

namespace {

using zvtest::MillisecondsPerCall;
using zvtest::TBenchToolbar;

// Cross-process calls of one reading of the toolbar, per button.
struct TCallFigures {
    TToolbarCalls Calls;
    uint32_t Reservations = 0;
    double PerButton = 0;
};
TCallFigures CountCalls(HWND Toolbar, bool Light) {
    const int count = static_cast<int>(SendMessageA(Toolbar, TB_BUTTONCOUNT, 0, 0));
    std::unique_ptr<TProcessMemMgr> mem = CreateProcessMemMgrForWindow(Toolbar);
    TCallFigures f;
    const std::size_t read = ReadToolbarButtons(Toolbar, count, Light, *mem, &f.Calls).size();
    EXPECT_EQ(read, std::size_t(count));
    f.Reservations = mem->Transfers().Reservations;
    f.PerButton = double(f.Calls.Total()) / count;
    return f;
}

void PrintCalls(const char* Kind, const TCallFigures& f) {
    std::printf("  %s reading: %.2f calls per button (%u sends, %u reads, %u writes; "
                "%u reservation)\n",
                Kind, f.PerButton, unsigned(f.Calls.Sends), unsigned(f.Calls.Reads),
                unsigned(f.Calls.Writes), unsigned(f.Reservations));
}

TEST(SnapshotBenchmark, FullAndLightAgainstOneRoundTrip) {
    zvtest::StandinShell shell;
    for (int n : {10, 40}) {
        TBenchToolbar bar(shell, n);
        ASSERT_NE(bar.Toolbar(), nullptr);
        const int buttons = 2 * n;
        const double roundTrip = bar.RoundTrip();
        TTaskbar taskbar;
        TGroupList groups;
        int requests = 0;
        taskbar.OnIconRequest = [&](HWND, TGrupButtons&, int32_t) { ++requests; };
        const double full = MillisecondsPerCall(10, 1, [&] { groups = taskbar.Snapshot(false); });
        const double light = MillisecondsPerCall(10, 1, [&] { groups = taskbar.Snapshot(true); });
        EXPECT_EQ(groups.size(), std::size_t(n));

        std::printf("%d buttons; cross-process SendMessage round trip: %.3f ms\n", buttons,
                    roundTrip);
        std::printf("  full snapshot:  %.2f ms = %.0f round trips "
                    "(includes the 10 ms count check; %d icon requests each)\n",
                    full, full / roundTrip, requests / 10);
        std::printf("  light snapshot: %.2f ms = %.0f round trips\n", light, light / roundTrip);
        std::printf("  without the 10 ms count check: full %.0f, light %.0f round trips; "
                    "per button: full %.2f, light %.2f round trips\n",
                    (full - 10.0) / roundTrip, (light - 10.0) / roundTrip,
                    (full - 10.0) / roundTrip / buttons, (light - 10.0) / roundTrip / buttons);
        PrintCalls("light", CountCalls(bar.Toolbar(), true));
        PrintCalls("full ", CountCalls(bar.Toolbar(), false));
        std::printf("  every snapshot adds 2 TB_BUTTONCOUNT per count attempt\n");
    }
}

// What one direct move costs a caller: the full snapshot before it, the toolbar moves and the
// snapshot that shows the result, as the Up and Down commands do it.
TEST(MoveBenchmark, DirectMoveAgainstOneRoundTrip) {
    zvtest::StandinShell shell;
    TTaskbar taskbar;
    taskbar.OnIconRequest = [](HWND, TGrupButtons&, int32_t) {};
    for (int n : {10, 40}) {
        TBenchToolbar bar(shell, n);
        ASSERT_NE(bar.Toolbar(), nullptr);
        const double roundTrip = bar.RoundTrip();
        TGroupList groups;
        int moved = 0;
        const double move = MillisecondsPerCall(10, 1, [&] {
            groups = taskbar.Snapshot(false);
            moved += taskbar.MoveTaskButton(0, n, groups) ? 1 : 0;
            groups = taskbar.Snapshot(false);
        });
        EXPECT_EQ(moved, 10);
        EXPECT_EQ(groups.size(), std::size_t(n));
        std::printf("direct move with %d groups (snapshot + move + snapshot): %.2f ms = %.0f "
                    "round trips of %.3f ms\n",
                    n, move, move / roundTrip, roundTrip);
    }
}

} // namespace
