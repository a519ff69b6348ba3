#pragma once
// The program keeps every text as UTF-8 in std::string; Windows takes and gives UTF-16. These
// convert between the two. A sequence that is not valid in its encoding (a stray continuation
// byte, an overlong or cut-off UTF-8 sequence, a surrogate written in UTF-8, a lone UTF-16
// surrogate) becomes U+FFFD, one per bad byte or unit, so that nothing is dropped silently and
// the rest of the text stays as it was. Platform-free; Utf8_win.h has the wchar_t forms.
#include <string>
#include <string_view>

std::u16string Utf8ToUtf16(std::string_view Text);
std::string Utf16ToUtf8(std::u16string_view Text);
// The UTF-16 text (little-endian) in front of the first zero unit among the Count bytes at
// Bytes (all of them when there is none; an odd last byte is left out), as UTF-8.
std::string Utf16BytesToUtf8(const char* Bytes, std::size_t Count);
