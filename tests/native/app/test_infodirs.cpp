#include "app/InfoDirs.h"

#include <gtest/gtest.h>

namespace {
struct TRow {
    int Line;
    TVersionRecord Record;
    uint8_t Code;
    const char* Name;
    bool Refused;
};

const TRow kRows[] = {
    {__LINE__, {2, 5, 1, ""}, 8, "WinXP", false},
    {__LINE__, {2, 5, 1, "Service Pack 1"}, 9, "WinXPSP1", false},
    {__LINE__, {2, 5, 1, "Service Pack 1a"}, 9, "WinXPSP1", false},
    {__LINE__, {2, 5, 1, "Service Pack 2"}, 10, "WinXPSP2", false},
    {__LINE__, {2, 5, 1, "service pack 2"}, 10, "WinXPSP2", false}, // letter case ignored
    {__LINE__, {2, 5, 1, "Service Pack 3"}, 8, "WinXP", false},     // neither test matches
    {__LINE__, {2, 5, 2, ""}, 8, "WinXP", false},                   // NT 5.2 counts as XP
    {__LINE__, {2, 5, 2, "Service Pack 1"}, 9, "WinXPSP1", false},
    {__LINE__, {2, 5, 2, "Service Pack 2"}, 10, "WinXPSP2", false},
    {__LINE__, {2, 6, 0, "Service Pack 2"}, 0, "Error", false}, // Vista: unknown, runs
    {__LINE__, {2, 6, 1, "Service Pack 1"}, 0, "Error", false},
    {__LINE__, {2, 10, 0, ""}, 0, "Error", false},
    {__LINE__, {2, 5, 0, "Service Pack 4"}, 7, "Win2000", true},
    {__LINE__, {2, 4, 0, "Service Pack 6"}, 6, "WinNT40", true},
    {__LINE__, {2, 3, 51, ""}, 5, "winNT351", true},
    {__LINE__, {1, 4, 0, ""}, 2, "Win95", true},
    {__LINE__, {1, 4, 10, " A "}, 3, "Win98", true},
    {__LINE__, {1, 4, 90, ""}, 4, "WinMe", true},
    {__LINE__, {1, 4, 3, ""}, 0, "Error", false}, // a 9x minor version of no known release
    {__LINE__, {0, 3, 11, ""}, 1, "Win311", true},
    {__LINE__, {3, 5, 1, ""}, 0, "Error", false}, // platform id 3 (Windows CE)
};
} // namespace

TEST(InfoDirs, EveryRowOfTheVersionTable) {
    for (const TRow& row : kRows) {
        SCOPED_TRACE(testing::Message() << "row of line " << row.Line);
        const TinfoDir info(row.Record);
        EXPECT_EQ(info.VersionCode, row.Code);
        EXPECT_EQ(info.VersionName, row.Name);
        EXPECT_EQ(VersionIsRefused(info.VersionCode), row.Refused);
    }
}

TEST(InfoDirs, ServicePackTextIsMatchedAnywhereButNotBeyondItsOwnWords) {
    EXPECT_EQ(VersionCodeOf({2, 5, 1, "Windows XP Service Pack 2, v.2180"}), 10);
    EXPECT_EQ(VersionCodeOf({2, 5, 1, "Service Pack"}), 8);
    EXPECT_EQ(VersionCodeOf({2, 5, 1, "SERVICEPACK 1"}), 8);
    // "Service Pack 1" is tested first, so a text naming both packs counts as the first.
    EXPECT_EQ(VersionCodeOf({2, 5, 1, "Service Pack 2 (Service Pack 1 files)"}), 9);
}

TEST(InfoDirs, NamesOfUnknownCodesAreError) {
    EXPECT_EQ(VersionNameOf(11), "Error");
    EXPECT_EQ(VersionNameOf(255), "Error");
    EXPECT_FALSE(VersionIsRefused(0));
    EXPECT_FALSE(VersionIsRefused(8));
    EXPECT_FALSE(VersionIsRefused(11));
}
