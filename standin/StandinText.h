#pragma once
// Small text helpers of the stand-in shell's control channel: numbers, words and the
// "key=value ... text=<rest>" lines used by the script, dump and tray commands.
// Platform-free: used by the shell, the sample application, the control client and the test
// support library alike.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace standin {

// A decimal number (optionally negative) or a 0x hexadecimal one; nothing else on the word.
std::optional<std::int64_t> ParseNumber(const std::string& word);

// "0x" followed by lower-case hexadecimal digits.
std::string Hex(std::uint64_t value);

// The words of one line, separated by runs of spaces or tabs.
std::vector<std::string> SplitWords(const std::string& line);

// The lines of a text; "\r\n" and "\n" both end a line, a final line break adds no line.
std::vector<std::string> SplitLines(const std::string& text);

// Joins lines with "\n" (no final line break).
std::string JoinLines(const std::vector<std::string>& lines);

// The text after the first `words` words of a line and the single blank behind them,
// kept exactly (inner and trailing blanks included).
std::string RestAfterWords(const std::string& line, std::size_t words);

// A line of "key=value" fields that may end with "<restKey>=<rest of the line>" (restKey
// "text" unless told). The fields before it are separated by blanks; the rest runs to the end
// of the line as it is.
struct FieldLine {
    std::vector<std::pair<std::string, std::string>> fields; // in line order, text excluded
    std::optional<std::string> text;
    const std::string* Find(const std::string& key) const;
};
// Parses the fields after the first `skipWords` words. Fails (nullopt) on a word that is
// not key=value.
std::optional<FieldLine> ParseFieldLine(const std::string& line, std::size_t skipWords,
                                        const std::string& restKey = "text");

// Texts that end a reply line (titles, tips) are escaped so that they stay on one line:
// backslash becomes "\\", line feed "\n", carriage return "\r". UnescapeLine undoes it.
std::string EscapeLine(const std::string& text);
std::string UnescapeLine(const std::string& text);

// UTF-16 (as stored by Windows) to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(const std::u16string& text);

} // namespace standin
