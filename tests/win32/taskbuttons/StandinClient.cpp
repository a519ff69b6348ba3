#include "StandinClient.h"

namespace {

std::string ProgramFolder() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/") + 1);
}

constexpr int kStartPolls = 200;   // 200 x 50 ms: the shell's window must appear within 10 s
constexpr DWORD kStartPollMs = 50; // a starting process offers nothing to wait on but itself

} // namespace

bool TStandinClient::Start() {
    std::string cmd = "\"" + ProgramFolder() + "standin.exe\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    FProcess = pi.hProcess;
    for (int i = 0; i < kStartPolls; ++i) {
        if (standin::FindShellControl() != nullptr)
            return Command("sync");
        if (WaitForSingleObject(FProcess, kStartPollMs) == WAIT_OBJECT_0)
            return false;
    }
    return false;
}

bool TStandinClient::Command(const std::string& text, std::string* Reply) {
    HWND control = standin::FindShellControl();
    if (control == nullptr)
        return false;
    standin::ControlReply reply = FClient.Send(control, text);
    if (Reply)
        *Reply = reply.text;
    return reply.delivered && reply.ok;
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
