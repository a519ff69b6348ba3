// UTF-8 inside, UTF-16 at the Windows boundary: texts in any script survive the round trip,
// and what is not valid becomes U+FFFD without taking its neighbours along.
#include "toolkit/Utf8.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf8, TextsInAnyScriptSurviveTheRoundTrip) {
    struct {
        int line;
        std::string utf8;
        std::u16string utf16;
    } const rows[] = {
        {__LINE__, "", u""},
        {__LINE__, "Notepad - a.txt", u"Notepad - a.txt"},
        {__LINE__, "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82",
         u"\u041F\u0440\u0438\u0432\u0435\u0442"},
        {__LINE__, "\xE4\xBD\xA0\xE5\xA5\xBD", u"\u4F60\u597D"},
        {__LINE__, "\xC3\xA9t\xC3\xA9", u"\u00E9t\u00E9"},
        {__LINE__, "\xF0\x9F\x98\x80!", u"\xD83D\xDE00!"}, // outside the basic plane: a pair
        {__LINE__, "\xEF\xBF\xBF", u"\uFFFF"},
        {__LINE__, "\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"}, // the last code point
    };
    for (const auto& r : rows) {
        EXPECT_EQ(Utf8ToUtf16(r.utf8), r.utf16) << "line " << r.line;
        EXPECT_EQ(Utf16ToUtf8(r.utf16), r.utf8) << "line " << r.line;
    }
}

TEST(Utf8, BadSequencesBecomeOneReplacementPerBadByte) {
    struct {
        int line;
        std::string utf8;
        std::u16string utf16;
    } const rows[] = {
        {__LINE__, "a\x80z", u"a\uFFFDz"},                           // a stray continuation byte
        {__LINE__, "a\xE4\xBDz", u"a\uFFFD\uFFFDz"},                 // a sequence broken off
        {__LINE__, "a\xE4\xBD", u"a\uFFFD\uFFFD"},                   // ... at the very end
        {__LINE__, "\xC0\xAF", u"\uFFFD\uFFFD"},                     // overlong
        {__LINE__, "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},           // a surrogate in UTF-8
        {__LINE__, "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"}, // past U+10FFFF
        {__LINE__, "\xFF", u"\uFFFD"},
        {__LINE__,
         "\x92"
         "Caf\xE9",
         u"\uFFFDCaf\uFFFD"}, // code page text taken for UTF-8
    };
    for (const auto& r : rows)
        EXPECT_EQ(Utf8ToUtf16(r.utf8), r.utf16) << "line " << r.line;

    // Lone surrogates from a wide call.
    EXPECT_EQ(Utf16ToUtf8(u"a\xD83Dz"), "a\xEF\xBF\xBDz");
    EXPECT_EQ(Utf16ToUtf8(u"a\xDE00"), "a\xEF\xBF\xBD");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(u"\xDE00\xD83D", 2)), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Utf8, Utf16BytesStopAtTheFirstZeroUnit) {
    const char bytes[] = {'\x1F', '\x04', 'A', 0, 0, 0, 'B', 0};
    EXPECT_EQ(Utf16BytesToUtf8(bytes, sizeof bytes), "\xD0\x9F"
                                                     "A");
    EXPECT_EQ(Utf16BytesToUtf8(bytes, 3), "\xD0\x9F") << "an odd last byte is left out";
    const char noZero[] = {'O', 0, 'K', 0};
    EXPECT_EQ(Utf16BytesToUtf8(noZero, sizeof noZero), "OK");
    // A zero byte inside a unit is no end: U+0400 is 00 04.
    const char highByte[] = {0, '\x04', 0, 0};
    EXPECT_EQ(Utf16BytesToUtf8(highByte, sizeof highByte), "\xD0\x80");
}

} // namespace
