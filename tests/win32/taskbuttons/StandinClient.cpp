#include "StandinClient.h"

#include "standin/StandinProtocol.h"

namespace {
std::string ProgramFolder() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/") + 1);
}
} // namespace

TStandinClient::TStandinClient() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ZvSnapshotTestClient";
    RegisterClassA(&wc);
    FWnd = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           wc.hInstance, nullptr);
    SetWindowLongPtrA(FWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TStandinClient::~TStandinClient() {
    Quit();
    DestroyWindow(FWnd);
}

bool TStandinClient::Start() {
    std::string cmd = "\"" + ProgramFolder() + "standin.exe\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    FProcess = pi.hProcess;
    WaitForInputIdle(FProcess, 20000);
    for (int i = 0; i < 200; ++i) {
        if (FindWindowA(standin::kControlClass, nullptr) != nullptr)
            return Command("sync");
        if (WaitForSingleObject(FProcess, 50) == WAIT_OBJECT_0)
            return false;
    }
    return false;
}

bool TStandinClient::Command(const std::string& text, std::string* Reply) {
    HWND control = FindWindowA(standin::kControlClass, nullptr);
    if (control == nullptr)
        return false;
    COPYDATASTRUCT cds{};
    cds.dwData = standin::kCommandMagic;
    cds.cbData = static_cast<DWORD>(text.size());
    cds.lpData = const_cast<char*>(text.data());
    FReply.clear();
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(control, WM_COPYDATA, reinterpret_cast<WPARAM>(FWnd),
                             reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL, 20000, &result))
        return false;
    if (Reply)
        *Reply = FReply;
    return result == 1;
}

void TStandinClient::Quit() {
    if (FProcess == nullptr)
        return;
    Command("quit");
    if (WaitForSingleObject(FProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(FProcess, 1);
    CloseHandle(FProcess);
    FProcess = nullptr;
}

LRESULT CALLBACK TStandinClient::WndProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_COPYDATA) {
        auto* self = reinterpret_cast<TStandinClient*>(GetWindowLongPtrA(h, GWLP_USERDATA));
        auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(l);
        if (self && cds->dwData == standin::kReplyMagic)
            self->FReply.assign(static_cast<const char*>(cds->lpData), cds->cbData);
        return 1;
    }
    return DefWindowProcA(h, m, w, l);
}
