// What the memory work of one taskbar snapshot costs, as a multiple of one SendMessage to
// another process measured just before: manager for the other process, the three buffers,
// 20 transfers, destruction. Prints figures only.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

#include "ChildProcess.h"
#include "taskbar/uProcessMemMgr.h"
#include "tests/support/BenchSupport.h"

namespace {

void SnapshotLike(DWORD ProcessId) {
    auto mgr = CreateProcessMemMgr(ProcessId);
    void* button = mgr->AllocMem(20);
    void* text = mgr->AllocMem(1024);
    void* rect = mgr->AllocMem(16);
    char local[20] = {};
    for (int i = 0; i < 5; ++i) {
        mgr->WriteMem(local, rect, 16);
        mgr->ReadMem(button, local, 20);
        mgr->ReadMem(rect, local, 16);
        mgr->WriteText("caption", text);
    }
}

TEST(MemoryManagerBenchmark, SnapshotWorkAgainstOneRoundTrip) {
    TChildProcess child;
    ASSERT_NE(::SendMessageA(child.Window(), WM_NULL, 0, 0), -1);
    const double send =
        zvtest::MillisecondsPerCall(5, 40, [&] { ::SendMessageA(child.Window(), WM_NULL, 0, 0); });
    const double snapshot = zvtest::MillisecondsPerCall(5, 40, [&] { SnapshotLike(child.Id()); });
    std::printf("SendMessage to another process: %.1f us\n", send * 1e3);
    std::printf("snapshot memory work (manager, 3 AllocMem, 20 transfers, destroy): %.1f us"
                " = %.1f SendMessage round trips\n",
                snapshot * 1e3, snapshot / send);
}

} // namespace
