// Cost of a full and of a light snapshot of a 20-button toolbar, as a multiple of one
// cross-process SendMessage round trip measured just before in the same run. Prints the
// figures; asserts nothing about time.
#include "taskbar/taskbuttons_win.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "tests/support/TestSupport.h"

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

TEST(SnapshotBenchmark, FullAndLightAgainstOneRoundTrip) {
    zvtest::StandinShell shell;
    // Ten groups of a hidden header and one visible button with a window of this process.
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ZvSnapshotBenchApp";
    RegisterClassA(&wc);
    std::vector<HWND> windows;
    std::string script = "script";
    for (int i = 0; i < 10; ++i) {
        HWND w = CreateWindowExA(0, wc.lpszClassName, "app", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                 100, 100, nullptr, nullptr, wc.hInstance, nullptr);
        windows.push_back(w);
        std::string hwnd = std::to_string(FromHWND(w));
        script += "\nbtn style=8 state=12 img=" + std::to_string(i) + " hwnd=" + hwnd +
                  " text=Group " + std::to_string(i);
        script += "\nbtn style=0 state=4 img=" + std::to_string(i) + " hwnd=" + hwnd +
                  " text=Window " + std::to_string(i);
    }
    shell.Command(script);
    shell.Sync();
    HWND toolbar = FindTaskbarToolbar();
    ASSERT_NE(toolbar, nullptr);

    const double roundTrip =
        MillisecondsPerCall(5, 100, [&] { SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0); });
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
    for (HWND w : windows)
        DestroyWindow(w);
}

} // namespace
