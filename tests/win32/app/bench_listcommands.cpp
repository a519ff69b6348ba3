// Cost of one Up command of the main window (snapshot, move, and the refresh that rebuilds the
// list from a new snapshot) on a taskbar of 10 and of 40 groups, as a multiple of one
// cross-process round trip measured just before. Prints the figures; asserts nothing about time.
#include <gtest/gtest.h>

#include <cstdio>

#include "app/Help.h"
#include "app/Program.h"
#include "app/TaskMain.h"
#include "dragdrop/TaskBallon.h"
#include "tests/support/BenchSupport.h"
#include "tests/win32/app/RefreshToEnd.h"

namespace {

TEST(ListCommandBenchmark, UpAgainstOneRoundTrip) {
    zvtest::StandinShell shell;
    zvtest::ResetProgramSettings();
    TProgram program;
    TApplication app;
    program.CreateForms(app, false);
    TfTaskBarMain& main = *program.Main;
    main.TimerHide->SetEnabled(false); // the window stays up for the test
    main.Show();
    program.Taskbar.OnIconRequest = [](HWND, TGrupButtons&, int32_t) {};
    for (int n : {10, 40}) {
        zvtest::TBenchToolbar bar(shell, n);
        ASSERT_NE(bar.Toolbar(), nullptr);
        RefreshToEnd(main);
        ASSERT_EQ(main.QlxCheckListTaskBar->Items.Count(), n);
        const double roundTrip = bar.RoundTrip();
        // The last row up, every time: the group goes one place up and its row with it.
        const double up = zvtest::MillisecondsPerCall(10, 1, [&] {
            main.QlxCheckListTaskBar->Items[n - 1].SetSelected(true);
            main.bUpClick(nullptr);
            FinishRefresh(main);
        });
        EXPECT_EQ(main.QlxCheckListTaskBar->SelectedItem()->Index(), n - 2);
        std::printf("Up with %d groups (snapshot + move + refresh of the list): %.2f ms = %.0f "
                    "round trips of %.3f ms\n",
                    n, up, up / roundTrip, roundTrip);
    }
}

} // namespace
