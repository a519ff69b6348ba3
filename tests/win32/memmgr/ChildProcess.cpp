#include "ChildProcess.h"

#include "toolkit/SysUtils.h"

namespace {
constexpr DWORD StartTimeoutMs = 20000;
} // namespace

std::string TChildProcess::UniqueTitle() {
    static int started = 0;
    return Format("ZvMemChild.%lu.%d", ::GetCurrentProcessId(), ++started);
}

TChildProcess::TChildProcess(const std::string& Title)
    : FChild(zvtest::ProgramFolder() + "memchild.exe", "\"" + Title + "\"") {
    FWindow = FChild.WaitForWindow([&Title] { return ::FindWindowA("ZvMemChild", Title.c_str()); },
                                   StartTimeoutMs);
}
