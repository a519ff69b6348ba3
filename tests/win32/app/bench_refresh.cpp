// Cost of the list's refresh on taskbars of 10 to 300 groups, as multiples of one cross-process
// round trip measured in the same run: the first, full refresh; a refresh when nothing changed
// (cross-process calls per toolbar button, icon requests); and the program idle in the tray
// (wake-ups per second). Prints the figures; asserts nothing about time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "app/Help.h"
#include "app/Program.h"
#include "app/TaskMain.h"
#include "dragdrop/TaskBallon.h"
#include "tests/support/BenchSupport.h"

namespace {

// Handles this thread's messages for Seconds seconds; returns how often it woke up for them
// and, in BusyMs, how long it spent handling them.
int WakeUpsWhileIdle(double Seconds, double& BusyMs) {
    int wakeUps = 0;
    BusyMs = 0;
    const double end = zvtest::Seconds() + Seconds;
    for (double now = zvtest::Seconds(); now < end; now = zvtest::Seconds()) {
        const DWORD wait = static_cast<DWORD>((end - now) * 1000) + 1;
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT) != WAIT_OBJECT_0)
            continue;
        ++wakeUps;
        const double start = zvtest::Seconds();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        BusyMs += (zvtest::Seconds() - start) * 1000;
    }
    return wakeUps;
}

// One refresh as the window runs it: the first step at the tick, the others from the step
// timer, with the window's messages in between. The whole time; in Steps and LongestMs, how many
// steps it took and the longest.
double RefreshToEnd(TfTaskBarMain& Main, TObject* Sender, int& Steps, double& LongestMs) {
    double total = 0;
    LongestMs = 0;
    Steps = 0;
    bool first = true;
    do {
        const double start = zvtest::Seconds();
        if (first)
            Main.TimerRefreshOnTimer(Sender);
        else
            Main.TimerRefreshStepTimer(Main.TimerRefreshStep);
        first = false;
        const double ms = (zvtest::Seconds() - start) * 1000;
        total += ms;
        LongestMs = std::max(LongestMs, ms);
        ++Steps;
    } while (Main.RefreshUnderWay());
    return total;
}

TEST(RefreshBenchmark, RefreshAgainstOneRoundTrip) {
    zvtest::StandinShell shell;
    zvtest::ResetProgramSettings();
    TProgram program;
    TApplication app;
    program.CreateForms(app, false);
    TfTaskBarMain& main = *program.Main;
    main.TimerHide->SetEnabled(false); // the window stays up for the test
    main.Show();
    // Every icon request of a snapshot, kept icons included, and the time they took.
    int requests = 0;
    double iconMs = 0;
    const TIconRequestHook requestIcon = program.Taskbar.OnIconRequest;
    program.Taskbar.OnIconRequest = [&](HWND Toolbar, TGrupButtons& Group, int32_t ImageIndex) {
        ++requests;
        const double start = zvtest::Seconds();
        requestIcon(Toolbar, Group, ImageIndex);
        iconMs += (zvtest::Seconds() - start) * 1000;
    };
    double roundTrip = 0;
    for (int n : {10, 40, 150, 300}) {
        zvtest::TBenchToolbar bar(shell, n);
        ASSERT_NE(bar.Toolbar(), nullptr);
        roundTrip = bar.RoundTrip();
        const int buttons = 2 * n;

        requests = 0;
        iconMs = 0;
        int steps = 0;
        double longest = 0;
        const double full = RefreshToEnd(main, nullptr, steps, longest);
        ASSERT_EQ(main.QlxCheckListTaskBar->Items.Count(), n);
        const int fullRequests = requests;

        // Ticks of the refresh timer with nothing changed.
        requests = 0;
        int tickSteps = 0;
        double tickLongest = 0;
        const double tick = zvtest::MillisecondsPerCall(
            5, 1, [&] { RefreshToEnd(main, main.TimerRefresh, tickSteps, tickLongest); });
        ASSERT_EQ(main.QlxCheckListTaskBar->Items.Count(), n);
        const double calls = main.RefreshGate.LastCalls().Total();
        std::printf("refresh, %d groups (%d buttons), round trip %.3f ms:\n"
                    "  first, full: %.1f ms = %.0f round trips in %d steps, the longest %.0f round "
                    "trips; %d icon requests taking %.1f ms\n"
                    "  nothing changed: %.2f ms = %.0f round trips in %d steps, the longest %.0f; "
                    "%.0f cross-process calls = %.2f per button, %zu titles read locally, %d icon "
                    "requests\n",
                    n, buttons, roundTrip, full, full / roundTrip, steps, longest / roundTrip,
                    fullRequests, iconMs, tick, tick / roundTrip, tickSteps,
                    tickLongest / roundTrip, calls, calls / buttons, main.RefreshGate.LastTitles(),
                    requests);
    }

    // In the tray: only the timers wake the program.
    main.Hide();
    double busyMs = 0;
    const double seconds = 10;
    const int wakeUps = WakeUpsWhileIdle(seconds, busyMs);
    std::printf("idle in the tray for %.0f s: %.1f wake-ups per second, busy %.1f ms per second "
                "= %.1f round trips\n",
                seconds, wakeUps / seconds, busyMs / seconds, busyMs / seconds / roundTrip);
    program.Taskbar.OnIconRequest = nullptr;
}

} // namespace
