#include "toolkit/SysUtils.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

EOSError::EOSError(uint32_t errorCode, const std::string& systemText)
    : Exception(Format("System Error.  Code: %u.\r\n%s", static_cast<unsigned>(errorCode),
                       systemText.c_str())),
      ErrorCode(errorCode) {}

EAssertionFailed::EAssertionFailed(const std::string& message, const std::string& unit, int line)
    : Exception(Format("%s (%s, line %d)", message.c_str(), unit.c_str(), line)) {}

EListError::EListError(int index)
    : Exception(Format("List index out of bounds (%d)", index)), Index(index) {}

std::string Format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        std::vector<char> buf(static_cast<size_t>(n) + 1);
        std::vsnprintf(buf.data(), buf.size(), fmt, args);
        out.assign(buf.data(), static_cast<size_t>(n));
    }
    va_end(args);
    return out;
}

std::string LowerCaseAscii(std::string Text) {
    for (char& c : Text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return Text;
}

std::string ExtractFilePath(const std::string& Path) {
    const std::size_t slash = Path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : Path.substr(0, slash + 1);
}
