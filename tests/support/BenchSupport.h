#pragma once
// Benchmark equipment: a steady clock, the best of several batches of calls, and a scripted
// stand-in toolbar of n groups whose round trip is the floor the figures are measured against.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "taskbar/Taskbar_win.h"
#include "tests/support/TestSupport.h"
#include "toolkit/ScopedWin.h"

namespace zvtest {

inline double Seconds() {
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
// so the least disturbed batch is the best estimate. A figure that the clock cannot resolve
// (no time passed, or no batch ran) is no figure: the benchmark says so and fails.
template <typename F> double MillisecondsPerCall(int Rounds, int n, F f) {
    double best = HUGE_VAL;
    for (int round = 0; round < Rounds; ++round) {
        double start = Seconds();
        for (int i = 0; i < n; ++i)
            f();
        best = std::min(best, (Seconds() - start) * 1000.0 / n);
    }
    if (!(best > 0.0 && std::isfinite(best)))
        ADD_FAILURE() << "this figure cannot be measured: " << Rounds << " batches of " << n
                      << " calls gave " << best << " ms per call";
    return best;
}

// The screen rectangles of the taskbar's groups as the program sees them (a light snapshot:
// each the span of its visible buttons, enlarged by 5 pixels to the right and the bottom).
inline std::vector<TRect> GroupRects() {
    TTaskbar taskbar;
    std::vector<TRect> rects;
    for (const TGroupListItem& g : taskbar.Snapshot(true))
        rects.push_back(g.Group->Rect);
    return rects;
}

// A scripted toolbar of n groups, each a hidden header and one visible button standing for
// a window of this process.
class TBenchToolbar {
public:
    TBenchToolbar(StandinShell& Shell, int n) {
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
    // One cross-process SendMessage to the toolbar, in milliseconds; every figure is measured
    // against it, so a toolbar that does not answer fails the benchmark.
    double RoundTrip() const {
        const LRESULT expected = LRESULT(FWindows.size() * 2);
        int wrong = 0;
        const double ms = MillisecondsPerCall(
            5, 100, [&] { wrong += SendMessageA(FToolbar, TB_BUTTONCOUNT, 0, 0) != expected; });
        EXPECT_EQ(wrong, 0) << "the round trip cannot be measured: the toolbar did not answer "
                            << expected << " buttons";
        return ms;
    }

private:
    std::vector<ScopedWindow> FWindows;
    HWND FToolbar = nullptr;
};

} // namespace zvtest
