// Version detection with the real GetVersionExA.
#include <windows.h>

#include <cstring>

#include "app/InfoDirs.h"

namespace {
TVersionRecord ReadVersionRecord() {
    OSVERSIONINFOA info;
    std::memset(&info, 0, sizeof(info));
    static_assert(sizeof(OSVERSIONINFOA) == 148, "the version record is 148 bytes");
    info.dwOSVersionInfoSize = sizeof(info);
    TVersionRecord r;
    if (!::GetVersionExA(&info)) {
        // An empty record would read as Win32s and be refused; a failed call is an unknown
        // version instead.
        r.PlatformId = UINT32_MAX;
        return r;
    }
    r.PlatformId = info.dwPlatformId;
    r.MajorVersion = info.dwMajorVersion;
    r.MinorVersion = info.dwMinorVersion;
    r.CSDVersion.assign(info.szCSDVersion, strnlen(info.szCSDVersion, sizeof(info.szCSDVersion)));
    return r;
}
} // namespace

TinfoDir::TinfoDir() : TinfoDir(ReadVersionRecord()) {}

const TinfoDir& InfoDir() {
    static const TinfoDir instance;
    return instance;
}
