// A drag of 200 mouse moves at 100 Hz over 40 groups, replayed with real mouse input while the
// balloon follows: for every move, the time from its sending until the balloon had moved for it
// (or for a later move taken along with it), as multiples of one light snapshot measured in the
// same run; and how many snapshots the drag paid for. Prints the figures; asserts nothing about
// time. It waits for events, never for a time: the hook is attached before the press, the drag
// starts once the press has been handled, and the figures are taken once every move has been.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <vector>

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
    std::array<std::atomic<double>, kMoves> Sent{}; // when move i + 1 was sent
};

DWORD WINAPI ReplayMoves(void* Param) {
    TReplay& replay = *static_cast<TReplay*>(Param);
    for (int i = 1; i <= kMoves; ++i) {
        replay.Sent[static_cast<std::size_t>(i - 1)] = zvtest::Seconds();
        standin::MoveMouseTo({replay.From.x + (replay.To.x - replay.From.x) * i / kMoves,
                              replay.From.y + (replay.To.y - replay.From.y) * i / kMoves});
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
    // Along the first row of buttons, from the first group to the last one in that row that
    // lies on the screen (the cursor cannot go past its edge).
    const TRect first = groups[0].Group->Rect;
    TRect last = first;
    for (const TGroupListItem& g : groups)
        if (g.Group->Rect.Top == first.Top &&
            g.Group->Rect.Right <= ::GetSystemMetrics(SM_CXSCREEN))
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
    bool pressSeen = false;
    balloon.QLX_MouseHook1->OnUnfiltered = [&](TObject*, int32_t Code, int32_t, int32_t, bool&) {
        if ((Code & 0xF) == 1)
            pressSeen = true;
    };
    // The replay's path; after each handled move the balloon stands for every move sent up to
    // the one it was moved for: the lag of each of those ends there.
    std::vector<TPoint> path;
    for (int i = 1; i <= kMoves; ++i)
        path.push_back({replay.From.x + (replay.To.x - replay.From.x) * i / kMoves,
                        replay.From.y + (replay.To.y - replay.From.y) * i / kMoves});
    int handled = 0, reflected = 0; // moves 0 .. reflected - 1 of the path have their lag
    std::vector<double> lags;
    const auto moveHandler = balloon.QLX_MouseHook1->OnMouseMove;
    balloon.QLX_MouseHook1->OnMouseMove = [&](TObject* Sender, std::intptr_t w, int32_t x,
                                              int32_t y) {
        moveHandler(Sender, w, x, y);
        const double after = zvtest::Seconds();
        ++handled;
        const auto at = std::find(path.begin() + reflected, path.end(), balloon.LastMovePoint());
        for (; at != path.end() && reflected <= at - path.begin(); ++reflected)
            lags.push_back((after - replay.Sent[static_cast<std::size_t>(reflected)]) * 1000.0);
    };
    const auto pump = [&] {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        app.ProcessMessages();
    };

    standin::MoveMouseTo(replay.From);
    standin::PressButton(MOUSEEVENTF_LEFTDOWN);
    while (!pressSeen)
        pump();
    ASSERT_TRUE(balloon.Dragging())
        << "no drag from (" << replay.From.x << ", " << replay.From.y << ")";
    // Moves to the press point still queued count before the replay.
    MSG msg;
    while (
        ::PeekMessageA(&msg, balloon.QLX_MouseHook1->ListenWindow(), WM_USER, WM_USER, PM_NOREMOVE))
        pump();
    snapshots = 0;
    handled = 0;
    const int droppedAtStart = balloon.DroppedMoves();
    ScopedKernelHandle worker(::CreateThread(nullptr, 0, ReplayMoves, &replay, 0, nullptr));
    // Where the balloon stands for the last move: pointing at the leading edge of the last
    // group of the row, above it.
    const auto atLastMove = [&] {
        RECT r{};
        ::GetWindowRect(balloon.Handle(), &r);
        return r.left == last.Left - 100 && r.bottom == last.Top - 2;
    };
    // Until the balloon stands for the last move; should the system have merged moves on the
    // way, until the replay is over, no move of the hook waits and the balloon is in place.
    while (reflected < kMoves && !(replay.Done &&
                                   !::PeekMessageA(&msg, balloon.QLX_MouseHook1->ListenWindow(),
                                                   WM_USER, WM_USER, PM_NOREMOVE) &&
                                   atLastMove()))
        pump();
    ::WaitForSingleObject(worker.get(), INFINITE);
    const bool balloonAtLastMove = atLastMove();
    RECT finalRect{};
    ::GetWindowRect(balloon.Handle(), &finalRect);
    const bool balloonShowing = ::IsWindowVisible(balloon.Handle()) != FALSE;
    standin::PressButton(MOUSEEVENTF_LEFTUP);
    // The handlers above use this function's variables.
    balloon.QLX_MouseHook1->OnMouseMove = moveHandler;
    balloon.QLX_MouseHook1->OnUnfiltered = nullptr;
    taskbar.MemMgrFactory = factory;
    EXPECT_TRUE(balloonAtLastMove)
        << "the balloon does not point at the last move's drop place: left " << finalRect.left
        << ", bottom " << finalRect.bottom << " for the group at " << last.Left << ", " << last.Top
        << "; last move " << balloon.LastMovePoint().X << ", " << balloon.LastMovePoint().Y
        << ", sent to " << replay.To.x << ", " << replay.To.y;
    EXPECT_TRUE(balloonShowing);
    ASSERT_FALSE(lags.empty());

    std::sort(lags.begin(), lags.end());
    const double median = lags[lags.size() / 2];
    const double worst = lags.back();
    std::printf("one round trip %.3f ms; one light snapshot of 40 groups %.2f ms (%.0f round "
                "trips)\n",
                roundTrip, light, light / roundTrip);
    std::printf("drag of %d moves at %u Hz: %d moves handled with a snapshot each (%d snapshots), "
                "%d moves taken along unhandled behind them\n",
                kMoves, static_cast<unsigned>(1000 / kMoveIntervalMs), handled, snapshots,
                balloon.DroppedMoves() - droppedAtStart);
    std::printf("lag from sending a move to the balloon standing for it, over %zu moves: median "
                "%.2f ms = %.2f light snapshots, worst %.2f ms = %.2f light snapshots\n",
                lags.size(), median, median / light, worst, worst / light);
}

} // namespace
