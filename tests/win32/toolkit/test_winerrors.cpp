#include "toolkit/WinErrors.h"

#include <gtest/gtest.h>

TEST(WinErrors, LastErrorBecomesAnOSErrorWithTheSystemText) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    try {
        RaiseLastOSError();
        FAIL();
    } catch (const EOSError& e) {
        EXPECT_EQ(e.ErrorCode, 5u);
        EXPECT_NE(e.Message.find("Code: 5."), std::string::npos);
        EXPECT_GT(SysErrorMessage(5).size(), 3u);
    }
}
