// The lasting key's texts (the order and the record of hidden windows, both made of program
// file names) in the real registry: kept exactly in any script, and a value an earlier version
// wrote through the code page reads as it always did.
#include "app/LastingOrder_win.h"

#include <gtest/gtest.h>

#include <cwchar>

#include "tests/support/TestSupport.h"
#include "toolkit/Utf8_win.h"

TEST(LastingKey, TextsInAnyScriptAreKeptExactly) {
    zvtest::ResetProgramSettings();
    const std::string order = "zv\xD0\xB4\xD0\xBE\xD0\xBC.exe|zv\xD0\xB4\xD1\x8B\xD0\xBC.exe|"
                              "\xE4\xBD\xA0\xE5\xA5\xBD.exe|\xF0\x9F\x98\x80.exe";
    WriteLastingString("Order", order);
    EXPECT_EQ(ReadLastingString("Order"), order);
    WriteLastingString("Order", "");
    EXPECT_EQ(ReadLastingString("Order"), "");
}

TEST(LastingKey, AValueWrittenThroughTheCodePageReadsAsBefore) {
    zvtest::ResetProgramSettings();
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kLastingKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                &key, nullptr),
              ERROR_SUCCESS);
    const char earlier[] = "caf\xE9.exe|zvalpha.exe";
    ::RegSetValueExA(key, "Order", 0, REG_SZ, reinterpret_cast<const BYTE*>(earlier),
                     sizeof earlier);
    ::RegCloseKey(key);
    // What the code page makes of the bytes is what the earlier version meant.
    wchar_t meant[64] = {};
    ASSERT_GT(::MultiByteToWideChar(CP_ACP, 0, earlier, -1, meant, 64), 0);
    const std::string read = ReadLastingString("Order");
    EXPECT_EQ(read, Utf8Text(meant, wcslen(meant)));
    EXPECT_EQ(read.substr(read.size() - 12), "|zvalpha.exe");
}
