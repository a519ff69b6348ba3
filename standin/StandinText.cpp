#include "standin/StandinText.h"

#include <cstdio>
#include <limits>

namespace standin {

std::optional<std::int64_t> ParseNumber(const std::string& word) {
    std::size_t i = 0;
    bool negative = false;
    if (i < word.size() && word[i] == '-') {
        negative = true;
        ++i;
    }
    unsigned base = 10;
    if (word.size() - i > 2 && word[i] == '0' && (word[i + 1] == 'x' || word[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= word.size())
        return std::nullopt;
    std::uint64_t value = 0;
    for (; i < word.size(); ++i) {
        const char c = word[i];
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = unsigned(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = unsigned(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = unsigned(c - 'A' + 10);
        else
            return std::nullopt;
        if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / base)
            return std::nullopt;
        value = value * base + digit;
    }
    if (negative) {
        if (value > std::uint64_t(std::numeric_limits<std::int64_t>::max()) + 1)
            return std::nullopt;
        return std::int64_t(0 - value);
    }
    // Hexadecimal numbers may use all 64 bits (handles, pointers); they wrap into int64.
    if (base == 10 && value > std::uint64_t(std::numeric_limits<std::int64_t>::max()))
        return std::nullopt;
    return std::int64_t(value);
}

std::string Hex(std::uint64_t value) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "0x%llx", static_cast<unsigned long long>(value));
    return buf;
}

static bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::vector<std::string> SplitWords(const std::string& line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i]))
            ++i;
        std::size_t start = i;
        while (i < line.size() && !IsBlank(line[i]))
            ++i;
        if (i > start)
            words.push_back(line.substr(start, i - start));
    }
    return words;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::size_t stop = end;
        if (stop > start && text[stop - 1] == '\r')
            --stop;
        lines.push_back(text.substr(start, stop - start));
        start = end + 1;
    }
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i)
            out += '\n';
        out += lines[i];
    }
    return out;
}

std::string RestAfterWords(const std::string& line, std::size_t words) {
    std::size_t i = 0;
    for (std::size_t w = 0; w < words; ++w) {
        while (i < line.size() && IsBlank(line[i]))
            ++i;
        while (i < line.size() && !IsBlank(line[i]))
            ++i;
    }
    if (i < line.size() && IsBlank(line[i]))
        ++i;
    return line.substr(i);
}

const std::string* FieldLine::Find(const std::string& key) const {
    for (const auto& f : fields)
        if (f.first == key)
            return &f.second;
    return nullptr;
}

std::optional<FieldLine> ParseFieldLine(const std::string& line, std::size_t skipWords,
                                        const std::string& restKey) {
    const std::string restPrefix = restKey + "=";
    FieldLine out;
    std::string rest = RestAfterWords(line, skipWords);
    std::size_t i = 0;
    while (i < rest.size()) {
        while (i < rest.size() && IsBlank(rest[i]))
            ++i;
        if (i >= rest.size())
            break;
        if (rest.compare(i, restPrefix.size(), restPrefix) == 0) {
            out.text = rest.substr(i + restPrefix.size());
            break;
        }
        std::size_t end = i;
        while (end < rest.size() && !IsBlank(rest[end]))
            ++end;
        std::string word = rest.substr(i, end - i);
        std::size_t eq = word.find('=');
        if (eq == std::string::npos || eq == 0)
            return std::nullopt;
        out.fields.emplace_back(word.substr(0, eq), word.substr(eq + 1));
        i = end;
    }
    return out;
}

std::string EscapeLine(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

std::string UnescapeLine(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            char next = text[i + 1];
            if (next == 'n' || next == 'r' || next == '\\') {
                out += next == 'n' ? '\n' : next == 'r' ? '\r' : '\\';
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

static void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

std::string Utf16ToUtf8(const std::u16string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (std::uint32_t(text[i + 1]) - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

} // namespace standin
