#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

TEST(SysUtils, MessagesOfTheErrorClasses) {
    EXPECT_EQ(Format("%s (%d)", "x", 5), "x (5)");
    EXPECT_EQ(Format("%s", std::string(5000, 'a').c_str()).size(), 5000u);
    EXPECT_STREQ(EOSError(5, "Access is denied.").what(),
                 "System Error.  Code: 5.\r\nAccess is denied.");
    EXPECT_EQ(EAssertionFailed("broken", "uUnit", 12).Message, "broken (uUnit, line 12)");
    EXPECT_EQ(EListError(-1).Message, "List index out of bounds (-1)");
}
