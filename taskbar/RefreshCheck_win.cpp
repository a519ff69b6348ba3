// Reading the cheap look of the taskbar for the list's refresh.
#include "taskbar/RefreshCheck_win.h"

#include <commctrl.h>

#include <algorithm>
#include <unordered_map>

#include "taskbar/toolbarread.h"
#include "taskbar/uProcessMemMgr.h"
#include "toolkit/SysUtils.h"

bool ReadToolbarLook(HWND Toolbar, TProcessMemMgr& Mem, TToolbarLook& Look, TToolbarCalls* Calls) {
    const TMemTransferCounts before = Mem.Transfers();
    uint32_t sends = 1;
    Look.clear();
    bool ok = true;
    const int count = static_cast<int>(SendMessageA(Toolbar, TB_BUTTONCOUNT, 0, 0));
    try {
        if (count > 0) {
            const int batch = static_cast<int>(kReadBatchButtons);
            char* block = static_cast<char*>(Mem.AllocMem(kReadBatchButtons * sizeof(TBBUTTON)));
            std::vector<TBBUTTON> tb(kReadBatchButtons);
            for (int first = 0; first < count; first += batch) {
                const int n = std::min(batch, count - first);
                int last = -1; // the last slot the toolbar filled
                std::vector<bool> present(std::size_t(n), false);
                for (int k = 0; k < n; ++k) {
                    ++sends;
                    if (SendMessageA(Toolbar, TB_GETBUTTON, WPARAM(first + k),
                                     reinterpret_cast<LPARAM>(block + k * sizeof(TBBUTTON)))) {
                        present[std::size_t(k)] = true;
                        last = k;
                    }
                }
                if (last < 0)
                    continue;
                Mem.ReadMem(block, tb.data(), uint32_t(last + 1) * sizeof(TBBUTTON));
                for (int k = 0; k <= last; ++k)
                    if (present[std::size_t(k)]) {
                        const TBBUTTON& b = tb[std::size_t(k)];
                        Look.push_back({b.idCommand, b.iBitmap, b.fsState, b.fsStyle,
                                        static_cast<uint64_t>(b.dwData)});
                    }
            }
            Mem.FreeMem(block);
        }
    } catch (const Exception&) {
        ok = false;
    }
    if (Calls) {
        Calls->Sends = sends;
        Calls->Reads = Mem.Transfers().Reads - before.Reads;
        Calls->Writes = Mem.Transfers().Writes - before.Writes;
    }
    return ok;
}

TWindowTitles ReadWindowTitles(const std::vector<TWndHandle>& Windows) {
    TWindowTitles titles;
    titles.reserve(Windows.size());
    for (TWndHandle w : Windows) {
        // For a window of another process GetWindowText asks the system, not the program.
        char text[1024] = {};
        ::GetWindowTextA(ToHWND(w), text, sizeof text);
        titles.emplace_back(w, text);
    }
    return titles;
}

bool TRefreshGate::NeedsRebuild() {
    FCalls = {};
    FLookRead = false;
    HWND toolbar = FindTaskbarToolbar();
    if (toolbar == nullptr)
        return true;
    try {
        std::unique_ptr<TProcessMemMgr> mem = CreateProcessMemMgrForWindow(toolbar);
        FLookRead = ReadToolbarLook(toolbar, *mem, FLook, &FCalls);
    } catch (const Exception&) {
        FLookRead = false;
    }
    FTitles = ReadWindowTitles(FCheck.ListedWindows());
    if (!FLookRead) {
        FCheck.Forget();
        return true;
    }
    return FCheck.NeedsRebuild(FLook, FTitles);
}

void TRefreshGate::Rebuilt(const TGroupList& Groups) {
    if (!FLookRead) {
        FCheck.Forget();
        return;
    }
    // The titles taken before the reading, so that a window renamed since shows as a change
    // at the next check; windows new to the list get theirs now.
    std::unordered_map<TWndHandle, std::string> before(FTitles.begin(), FTitles.end());
    TWindowTitles titles = WindowsOf(Groups);
    std::vector<TWndHandle> fresh;
    for (auto& [wnd, title] : titles) {
        const auto found = before.find(wnd);
        if (found != before.end())
            title = found->second;
        else
            fresh.push_back(wnd);
    }
    const TWindowTitles freshTitles = ReadWindowTitles(fresh);
    std::unordered_map<TWndHandle, std::string> now(freshTitles.begin(), freshTitles.end());
    for (auto& [wnd, title] : titles)
        if (const auto found = now.find(wnd); found != now.end())
            title = found->second;
    FCheck.Remember(std::move(FLook), std::move(titles));
    FLook.clear();
}
