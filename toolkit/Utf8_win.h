#pragma once
// The program's UTF-8 texts at the Win32 boundary: to and from the wide (UTF-16) calls.
#include <cwchar>
#include <string>

#include "toolkit/Utf8.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

inline std::wstring WideText(std::string_view Utf8) {
    const std::u16string u = Utf8ToUtf16(Utf8);
    return std::wstring(u.begin(), u.end());
}

inline std::string Utf8Text(const wchar_t* Text, std::size_t Length) {
    return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(Text), Length));
}

inline std::string Utf8Text(const std::wstring& Text) {
    return Utf8Text(Text.data(), Text.size());
}
