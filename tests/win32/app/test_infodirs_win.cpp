#include "app/InfoDirs.h"

#include <gtest/gtest.h>

// The test prefix reports Windows XP with Service Pack 3 (scripts/wine-prefix), which counts
// as plain XP: neither service-pack test matches.
TEST(InfoDirs, DetectsTheVersionThePrefixReports) {
    const TinfoDir& info = InfoDir();
    EXPECT_EQ(info.VersionCode, 8);
    EXPECT_EQ(info.VersionName, "WinXP");
    EXPECT_EQ(&InfoDir(), &info);
}
