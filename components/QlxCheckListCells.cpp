// What the check list's cells are made of on plain data: the plain check box pictures, and
// how two cells compare when the rows are sorted.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "components/QlxCheckListModel.h"
#include "toolkit/SysUtils.h"

// ---- Plain check box pictures

TCheckGlyph PlainCheckGlyph(TCheckBoxState State) {
    constexpr uint32_t kFrame = 0x1C5180; // XP's dark blue check box frame
    constexpr uint32_t kTick = 0x21A121;
    constexpr uint32_t kGrayTick = 0x8C8C8C;
    constexpr int n = TCheckGlyph::Size;
    TCheckGlyph g;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const bool edge = x == 0 || y == 0 || x == n - 1 || y == n - 1;
            // The field darkens slightly towards its top left corner, as XP's does.
            const uint32_t shade = static_cast<uint32_t>(0xF4 + (x + y) * 11 / (2 * n));
            const uint32_t field =
                State == cbGrayed ? 0xE6E6E6 : (shade << 16 | shade << 8 | shade);
            g.At(x, y) = edge ? kFrame : field;
        }
    if (State == cbUnchecked)
        return g;
    // A tick three pixels thick: down from (3, 5) to (5, 7), then up to (9, 3).
    const uint32_t tick = State == cbGrayed ? kGrayTick : kTick;
    for (int x = 3; x <= 9; ++x) {
        const int top = x <= 5 ? 5 + (x - 3) : 7 - (x - 5);
        for (int dy = 0; dy < 3; ++dy)
            g.At(x, top + dy) = tick;
    }
    return g;
}

// ---- Sort comparisons

namespace {
std::string Trim(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a])))
        ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1])))
        --b;
    return s.substr(a, b - a);
}

// A whole text as a number of the given base; none when anything is left over.
std::optional<double> WholeNumber(const std::string& Text, bool Float) {
    const std::string t = Trim(Text);
    if (t.empty())
        return std::nullopt;
    char* end = nullptr;
    const double v = Float ? std::strtod(t.c_str(), &end)
                           : static_cast<double>(std::strtoll(t.c_str(), &end, 10));
    if (end != t.c_str() + t.size() || std::isnan(v) || std::isinf(v))
        return std::nullopt;
    return v;
}

// Digits only, as an integer; none when empty, too long or not digits.
std::optional<int> Digits(const std::string& t) {
    if (t.empty() || t.size() > 4)
        return std::nullopt;
    int v = 0;
    for (char c : t) {
        if (c < '0' || c > '9')
            return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

std::vector<std::string> Split(const std::string& t, char Sep) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at; (at = t.find(Sep, start)) != std::string::npos; start = at + 1)
        parts.push_back(t.substr(start, at - start));
    parts.push_back(t.substr(start));
    return parts;
}

// Days since 1 January 1 of a date written as Y-M-D, D.M.Y or M/D/Y.
std::optional<double> ParseDate(const std::string& Text) {
    const std::string t = Trim(Text);
    char sep = 0;
    for (char c : {'-', '.', '/'})
        if (t.find(c) != std::string::npos)
            sep = c;
    if (!sep)
        return std::nullopt;
    const std::vector<std::string> p = Split(t, sep);
    if (p.size() != 3)
        return std::nullopt;
    std::optional<int> y, m, d;
    if (p[0].size() == 4) {
        y = Digits(p[0]), m = Digits(p[1]), d = Digits(p[2]);
    } else if (sep == '/') {
        m = Digits(p[0]), d = Digits(p[1]), y = Digits(p[2]);
    } else {
        d = Digits(p[0]), m = Digits(p[1]), y = Digits(p[2]);
    }
    if (!y || !m || !d || *m < 1 || *m > 12 || *d < 1 || *d > 31)
        return std::nullopt;
    // Days from civil (proleptic Gregorian).
    const int yy = *y - (*m <= 2 ? 1 : 0);
    const int era = yy / 400;
    const int yoe = yy - era * 400;
    const int doy = (153 * (*m + (*m > 2 ? -3 : 9)) + 2) / 5 + *d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return static_cast<double>(era * 146097 + doe);
}

// Fraction of a day of a time written as H:M or H:M:S, with an optional AM or PM.
std::optional<double> ParseTime(const std::string& Text) {
    std::string t = LowerCaseAscii(Trim(Text));
    int shift = -1; // -1: 24-hour clock
    for (auto [suffix, add] : {std::pair{"am", 0}, std::pair{"pm", 12}})
        if (t.size() > 2 && t.compare(t.size() - 2, 2, suffix) == 0) {
            shift = add;
            t = Trim(t.substr(0, t.size() - 2));
        }
    const std::vector<std::string> p = Split(t, ':');
    if (p.size() < 2 || p.size() > 3)
        return std::nullopt;
    const std::optional<int> h = Digits(p[0]), m = Digits(p[1]);
    const std::optional<int> sec = p.size() == 3 ? Digits(p[2]) : std::optional<int>(0);
    if (!h || !m || !sec || *m > 59 || *sec > 59 || *h > 23 || (shift >= 0 && *h > 12))
        return std::nullopt;
    const int hour = shift < 0 ? *h : (*h % 12) + shift;
    return (hour * 3600 + *m * 60 + *sec) / 86400.0;
}

std::optional<double> ParseDateTime(const std::string& Text) {
    const std::string t = Trim(Text);
    const size_t space = t.find(' ');
    if (space == std::string::npos)
        return ParseDate(t);
    const std::optional<double> d = ParseDate(t.substr(0, space));
    const std::optional<double> tm = ParseTime(t.substr(space + 1));
    if (!d || !tm)
        return std::nullopt;
    return *d + *tm;
}

std::optional<double> ParseHex(const std::string& Text) {
    std::string t = LowerCaseAscii(Trim(Text));
    if (!t.empty() && t[0] == '$')
        t.erase(0, 1);
    else if (t.rfind("0x", 0) == 0)
        t.erase(0, 2);
    if (t.empty() || t.size() > 16)
        return std::nullopt;
    double v = 0;
    for (char c : t) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        v = v * 16 + (c <= '9' ? c - '0' : c - 'a' + 10);
    }
    return v;
}

// A size such as "512", "1.5 KB", "3 MB" or "12 bytes", in bytes.
std::optional<double> ParseFileSize(const std::string& Text) {
    const std::string t = LowerCaseAscii(Trim(Text));
    size_t unitAt = t.size();
    while (unitAt > 0 && std::isalpha(static_cast<unsigned char>(t[unitAt - 1])))
        --unitAt;
    const std::string unit = t.substr(unitAt);
    static const std::pair<const char*, double> kUnits[] = {{"", 1},
                                                            {"b", 1},
                                                            {"bytes", 1},
                                                            {"byte", 1},
                                                            {"k", 1024.0},
                                                            {"kb", 1024.0},
                                                            {"m", 1048576.0},
                                                            {"mb", 1048576.0},
                                                            {"g", 1073741824.0},
                                                            {"gb", 1073741824.0},
                                                            {"tb", 1099511627776.0}};
    for (auto [name, factor] : kUnits)
        if (unit == name) {
            const std::optional<double> n = WholeNumber(t.substr(0, unitAt), true);
            if (n)
                return *n * factor;
            return std::nullopt;
        }
    return std::nullopt;
}
} // namespace

std::optional<double> ParseSortValue(const std::string& Text, TsortType Type) {
    switch (Type) {
    case stString:
        return std::nullopt;
    case stHex:
        return ParseHex(Text);
    case stFloat:
        return WholeNumber(Text, true);
    case stInteger:
        return WholeNumber(Text, false);
    case stDate:
        return ParseDate(Text);
    case stTime:
        return ParseTime(Text);
    case stDateTime:
        return ParseDateTime(Text);
    case stFileSize:
        return ParseFileSize(Text);
    }
    return std::nullopt;
}

int CompareSortTexts(const std::string& A, const std::string& B, TsortType Type) {
    if (Type == stString) {
        const int c = LowerCaseAscii(A).compare(LowerCaseAscii(B));
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    const std::optional<double> a = ParseSortValue(A, Type);
    const std::optional<double> b = ParseSortValue(B, Type);
    if (!a || !b)
        return (a ? 1 : 0) - (b ? 1 : 0); // missing first
    return *a < *b ? -1 : *a > *b ? 1 : 0;
}
