// A drag of 200 mouse moves at 100 Hz over 40 groups, replayed with real mouse input while the
// balloon follows: how many moves were still queued when the last one was sent, how long the
// balloon took to reach its last position after that, and how many snapshots the drag paid
// for, as multiples of one light snapshot measured in the same run. Prints the figures;
// asserts nothing about time.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>

#include "app/Program.h"
#include "app/TaskMain.h"
#include "dragdrop/TaskBallon.h"
#include "standin/MouseInput.h"
#include "taskbar/uProcessMemMgr.h"
#include "tests/support/BenchSupport.h"

namespace {

constexpr int kMoves = 200;
constexpr DWORD kMoveIntervalMs = 10;

struct TReplay {
    POINT From;
    POINT To;
    std::atomic<bool> Done{false};
    std::atomic<double> LastSent{0};
};

DWORD WINAPI ReplayMoves(void* Param) {
    TReplay& replay = *static_cast<TReplay*>(Param);
    for (int i = 1; i <= kMoves; ++i) {
        standin::MoveMouseTo({replay.From.x + (replay.To.x - replay.From.x) * i / kMoves,
                              replay.From.y + (replay.To.y - replay.From.y) * i / kMoves});
        replay.LastSent = zvtest::Seconds();
        ::Sleep(kMoveIntervalMs);
    }
    replay.Done = true;
    return 0;
}

POINT Middle(const TRect& R) {
    return {(R.Left + R.Right - 5) / 2, (R.Top + R.Bottom - 5) / 2};
}

TEST(DragBenchmark, TheBalloonKeepsUpWithTheCursor) {
    zvtest::StandinShell shell;
    zvtest::ResetProgramSettings(); // no first-run question
    TProgram program;
    TApplication app;
    program.CreateForms(app, false);
    program.Main->TimerHide->SetEnabled(false);
    TFTaskBarBallon& balloon = *program.Balloon;
    ASSERT_TRUE(balloon.QLX_MouseHook1->Active());
    TTaskbar& taskbar = program.Taskbar;
    taskbar.OnIconRequest = [](HWND, TGrupButtons&, int32_t) {};

    zvtest::TBenchToolbar bar(shell, 40);
    const double roundTrip = bar.RoundTrip();
    TGroupList groups;
    const double light =
        zvtest::MillisecondsPerCall(3, 5, [&] { groups = taskbar.Snapshot(true); });
    ASSERT_GE(groups.size(), 40u);
    // Along the first row of buttons, from the first group to the last one in that row.
    const TRect first = groups[0].Group->Rect;
    TRect last = first;
    for (const TGroupListItem& g : groups)
        if (g.Group->Rect.Top == first.Top)
            last = g.Group->Rect;
    ClearGroupList(groups);

    // Every snapshot makes one memory manager in the shell's process.
    int snapshots = 0;
    const TMemMgrFactory factory = taskbar.MemMgrFactory;
    taskbar.MemMgrFactory = [&](HWND Toolbar) {
        ++snapshots;
        return factory(Toolbar);
    };
    TReplay replay{Middle(first), Middle(last)};
    int handled = 0, handledAfterLast = 0;
    double lastHandled = 0;
    balloon.QLX_MouseHook1->OnUnfiltered = [&](TObject*, int32_t Code, int32_t, int32_t, bool&) {
        if ((Code & 0xF) != 0)
            return;
        ++handled;
        if (replay.Done)
            ++handledAfterLast;
        lastHandled = zvtest::Seconds();
    };

    standin::MoveMouseTo(replay.From);
    standin::PressButton(MOUSEEVENTF_LEFTDOWN);
    const double pressed = zvtest::Seconds();
    while (!balloon.Dragging() && zvtest::Seconds() - pressed < 10) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        app.ProcessMessages();
    }
    ASSERT_TRUE(balloon.Dragging()) << "no drag from (" << replay.From.x << ", " << replay.From.y
                                    << ") to (" << replay.To.x << ", " << replay.To.y << ")";
    snapshots = 0;
    ScopedKernelHandle worker(::CreateThread(nullptr, 0, ReplayMoves, &replay, 0, nullptr));
    // Until the replay is over and no move of the hook waits any more.
    MSG msg;
    while (!replay.Done || ::PeekMessageA(&msg, balloon.QLX_MouseHook1->ListenWindow(), WM_USER,
                                          WM_USER, PM_NOREMOVE)) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        app.ProcessMessages();
    }
    ::WaitForSingleObject(worker.get(), INFINITE);
    const double lag = std::max(0.0, lastHandled - replay.LastSent) * 1000.0;
    standin::PressButton(MOUSEEVENTF_LEFTUP);
    taskbar.MemMgrFactory = factory;

    std::printf("one round trip %.3f ms; one light snapshot of 40 groups %.2f ms (%.0f round "
                "trips)\n",
                roundTrip, light, light / roundTrip);
    std::printf("drag of %d moves at %u Hz: %d moves handled with a snapshot each (%d snapshots), "
                "%d moves dropped unhandled behind a newer one, %d moves still queued when the "
                "last was sent\n",
                kMoves, static_cast<unsigned>(1000 / kMoveIntervalMs), handled, snapshots,
                balloon.DroppedMoves(), handledAfterLast);
    std::printf("the balloon reached its last position %.2f ms after the last move = %.2f light "
                "snapshots\n",
                lag, lag / light);
}

} // namespace
