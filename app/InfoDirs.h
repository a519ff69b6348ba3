#pragma once
// The running Windows version. TinfoDir's constructor detects it; the program's single
// instance, InfoDir(), is made on first use, which the program entry makes its first step.
// The mapping from the version record to a code is platform-free.
#include <cstdint>
#include <string>

// VersionCode values.
enum : uint8_t {
    vcError = 0, // no row of the table applies
    vcWin311 = 1,
    vcWin95 = 2,
    vcWin98 = 3,
    vcWinMe = 4,
    vcWinNT351 = 5,
    vcWinNT40 = 6,
    vcWin2000 = 7,
    vcWinXP = 8,
    vcWinXPSP1 = 9,
    vcWinXPSP2 = 10,
};

// What GetVersionExA reports, as plain data.
struct TVersionRecord {
    uint32_t PlatformId = 0; // 0 Win32s, 1 Windows 9x, 2 NT
    uint32_t MajorVersion = 0;
    uint32_t MinorVersion = 0;
    std::string CSDVersion; // the service-pack text
};

uint8_t VersionCodeOf(const TVersionRecord& R);
std::string VersionNameOf(uint8_t Code);
// Versions before XP are refused (codes 1 to 7); unknown versions (code 0) run.
bool VersionIsRefused(uint8_t Code);

class TinfoDir {
public:
    // Detects the running version with GetVersionExA (Win32 builds only).
    TinfoDir();
    explicit TinfoDir(const TVersionRecord& R);

    uint8_t VersionCode = vcError;
    std::string VersionName;
};

// The program's instance, detected on first use and kept until the process ends.
const TinfoDir& InfoDir();
