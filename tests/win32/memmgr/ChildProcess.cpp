#include "ChildProcess.h"

#include "toolkit/SysUtils.h"

namespace {
constexpr DWORD StartTimeoutMs = 20000;

std::string SiblingPath(const char* FileName) {
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path(self);
    return path.substr(0, path.find_last_of("\\/") + 1) + FileName;
}
} // namespace

TChildProcess::TChildProcess() {
    static int started = 0;
    const std::string tag = Format("ZvMemChild.%lu.%d", ::GetCurrentProcessId(), ++started);
    ScopedKernelHandle ready(::CreateEventA(nullptr, TRUE, FALSE, tag.c_str()));
    if (!ready)
        throw Exception("cannot create the ready event");
    std::string command = "\"" + SiblingPath("memchild.exe") + "\" " + tag + " " + tag;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          &pi))
        throw Exception(Format("cannot start %s (%lu)", command.c_str(), ::GetLastError()));
    FProcess.reset(pi.hProcess);
    ScopedKernelHandle thread(pi.hThread);
    FId = pi.dwProcessId;
    const HANDLE waits[2] = {ready.get(), FProcess.get()};
    if (::WaitForMultipleObjects(2, waits, FALSE, StartTimeoutMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(FProcess.get(), 1);
        throw Exception("memchild.exe did not come up");
    }
    FWindow = ::FindWindowA("ZvMemChild", tag.c_str());
}

TChildProcess::~TChildProcess() {
    ::TerminateProcess(FProcess.get(), 0);
    ::WaitForSingleObject(FProcess.get(), StartTimeoutMs);
}
