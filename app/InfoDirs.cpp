#include "app/InfoDirs.h"

namespace {
std::string AsciiUpper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

uint8_t Win9xCode(uint32_t Minor) {
    switch (Minor) {
    case 0:
        return vcWin95;
    case 10:
        return vcWin98;
    case 90:
        return vcWinMe;
    default:
        return vcError;
    }
}

uint8_t NtCode(const TVersionRecord& R) {
    switch (R.MajorVersion) {
    case 3:
        return vcWinNT351;
    case 4:
        return vcWinNT40;
    case 5: {
        if (R.MinorVersion == 0)
            return vcWin2000;
        const std::string sp = AsciiUpper(R.CSDVersion);
        if (sp.find("SERVICE PACK 1") != std::string::npos)
            return vcWinXPSP1;
        if (sp.find("SERVICE PACK 2") != std::string::npos)
            return vcWinXPSP2;
        return vcWinXP;
    }
    default:
        return vcError;
    }
}
} // namespace

uint8_t VersionCodeOf(const TVersionRecord& R) {
    switch (R.PlatformId) {
    case 0:
        return vcWin311;
    case 1:
        return Win9xCode(R.MinorVersion);
    case 2:
        return NtCode(R);
    default:
        return vcError;
    }
}

std::string VersionNameOf(uint8_t Code) {
    static const char* const names[] = {"Error", "Win311",   "Win95",   "Win98",
                                        "WinMe", "winNT351", "WinNT40", "Win2000",
                                        "WinXP", "WinXPSP1", "WinXPSP2"};
    return Code < sizeof(names) / sizeof(names[0]) ? names[Code] : names[vcError];
}

bool VersionIsRefused(uint8_t Code) {
    return Code >= vcWin311 && Code <= vcWin2000;
}

TinfoDir::TinfoDir(const TVersionRecord& R)
    : VersionCode(VersionCodeOf(R)), VersionName(VersionNameOf(VersionCode)) {}
