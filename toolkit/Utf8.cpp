#include "toolkit/Utf8.h"

#include <cstdint>

namespace {
constexpr char32_t kReplacement = 0xFFFD;

bool IsSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

void AppendUtf8(std::string& Out, char32_t c) {
    if (c < 0x80) {
        Out += static_cast<char>(c);
    } else if (c < 0x800) {
        Out += static_cast<char>(0xC0 | (c >> 6));
        Out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        Out += static_cast<char>(0xE0 | (c >> 12));
        Out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        Out += static_cast<char>(0xF0 | (c >> 18));
        Out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        Out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendUtf16(std::u16string& Out, char32_t c) {
    if (c < 0x10000) {
        Out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        Out += static_cast<char16_t>(0xD800 | (c >> 10));
        Out += static_cast<char16_t>(0xDC00 | (c & 0x3FF));
    }
}

// The code point of the UTF-8 sequence at Text[i], advancing i past it; kReplacement for a bad
// byte, of which only that byte is taken.
char32_t NextUtf8(std::string_view Text, std::size_t& i) {
    const auto byte = [&](std::size_t k) { return static_cast<uint8_t>(Text[k]); };
    const uint8_t lead = byte(i);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    int more = 0;
    char32_t c = 0;
    char32_t least = 0;
    if ((lead & 0xE0) == 0xC0) {
        more = 1, c = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        more = 2, c = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        more = 3, c = lead & 0x07, least = 0x10000;
    } else {
        ++i;
        return kReplacement;
    }
    if (i + static_cast<std::size_t>(more) >= Text.size()) {
        ++i;
        return kReplacement; // cut off at the end
    }
    for (int k = 1; k <= more; ++k) {
        const uint8_t b = byte(i + k);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return kReplacement;
        }
        c = (c << 6) | (b & 0x3F);
    }
    if (c < least || c > 0x10FFFF || IsSurrogate(c)) {
        ++i;
        return kReplacement;
    }
    i += static_cast<std::size_t>(more) + 1;
    return c;
}
} // namespace

std::u16string Utf8ToUtf16(std::string_view Text) {
    std::u16string out;
    out.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size();)
        AppendUtf16(out, NextUtf8(Text, i));
    return out;
}

std::string Utf16ToUtf8(std::u16string_view Text) {
    std::string out;
    out.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const char32_t u = Text[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < Text.size() && Text[i + 1] >= 0xDC00 &&
            Text[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (Text[i + 1] - 0xDC00));
            ++i;
        } else {
            AppendUtf8(out, IsSurrogate(u) ? kReplacement : u);
        }
    }
    return out;
}

std::string Utf16BytesToUtf8(const char* Bytes, std::size_t Count) {
    std::u16string units;
    for (std::size_t k = 0; k + 1 < Count; k += 2) {
        const char16_t u = static_cast<char16_t>(static_cast<uint8_t>(Bytes[k]) |
                                                 (static_cast<uint8_t>(Bytes[k + 1]) << 8));
        if (u == 0)
            break;
        units += u;
    }
    return Utf16ToUtf8(units);
}
