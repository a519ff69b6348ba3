// Cost of a full and of a light snapshot of a 20-button toolbar, and of one direct move of a
// group with the snapshots around it, each as a multiple of one cross-process SendMessage round
// trip measured just before in the same run. Prints the figures; asserts nothing about time.
#include "taskbar/taskbuttons_win.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "tests/support/TestSupport.h"
#include "toolkit/ScopedWin.h"

namespace {

double Seconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) / double(frequency.QuadPart);
}

// The fastest of Rounds batches of n calls, in milliseconds per call: the machine is shared,
// so the least disturbed batch is the best estimate.
template <typename F> double MillisecondsPerCall(int Rounds, int n, F f) {
    double best = 1e9;
    for (int round = 0; round < Rounds; ++round) {
        double start = Seconds();
        for (int i = 0; i < n; ++i)
            f();
        best = std::min(best, (Seconds() - start) * 1000.0 / n);
    }
    return best;
}

// A scripted toolbar of n groups, each a hidden header and one visible button standing for
// a window of this process.
class TBenchToolbar {
public:
    TBenchToolbar(zvtest::StandinShell& Shell, int n) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ZvSnapshotBenchApp";
        RegisterClassA(&wc);
        std::string script = "script";
        for (int i = 0; i < n; ++i) {
            FWindows.emplace_back(CreateWindowExA(0, wc.lpszClassName, "app",
                                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100,
                                                  nullptr, nullptr, wc.hInstance, nullptr));
            const std::string hwnd = std::to_string(FromHWND(FWindows.back().get()));
            const std::string img = std::to_string(i % 8);
            script += "\nbtn style=8 state=12 img=" + img + " hwnd=" + hwnd + " text=Group " +
                      std::to_string(i);
            script += "\nbtn style=0 state=4 img=" + img + " hwnd=" + hwnd + " text=Window " +
                      std::to_string(i);
        }
        Shell.Command(script);
        Shell.Sync();
        FToolbar = FindTaskbarToolbar();
    }
    HWND Toolbar() const { return FToolbar; }
    // One cross-process SendMessage to the toolbar, in milliseconds.
    double RoundTrip() const {
        return MillisecondsPerCall(5, 100, [&] { SendMessageA(FToolbar, TB_BUTTONCOUNT, 0, 0); });
    }

private:
    std::vector<ScopedWindow> FWindows;
    HWND FToolbar = nullptr;
};

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
