// What the memory work of one taskbar snapshot costs, as a multiple of one SendMessage to
// another process measured just before: manager for the other process, the three buffers,
// 20 transfers, destruction. Prints figures only.
#include <windows.h>

#include <cstdio>

#include "ChildProcess.h"
#include "taskbar/uProcessMemMgr.h"

namespace {
double Seconds(const LARGE_INTEGER& From, const LARGE_INTEGER& To) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return double(To.QuadPart - From.QuadPart) / double(frequency.QuadPart);
}

template <typename Work> double PerRound(int Rounds, Work work) {
    LARGE_INTEGER from, to;
    ::QueryPerformanceCounter(&from);
    for (int i = 0; i < Rounds; ++i)
        work();
    ::QueryPerformanceCounter(&to);
    return Seconds(from, to) / Rounds;
}

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
} // namespace

int main() {
    try {
        TChildProcess child;
        constexpr int Rounds = 200;
        PerRound(10, [&] { ::SendMessageA(child.Window(), WM_NULL, 0, 0); }); // warm up
        const double send =
            PerRound(Rounds, [&] { ::SendMessageA(child.Window(), WM_NULL, 0, 0); });
        const double snapshot = PerRound(Rounds, [&] { SnapshotLike(child.Id()); });
        std::printf("SendMessage to another process: %.1f us\n", send * 1e6);
        std::printf("snapshot memory work (manager, 3 AllocMem, 20 transfers, destroy): %.1f us"
                    " = %.1f SendMessage round trips\n",
                    snapshot * 1e6, snapshot / send);
        return 0;
    } catch (const Exception& e) {
        std::fprintf(stderr, "bench_memmgr: %s\n", e.Message.c_str());
        return 1;
    }
}
