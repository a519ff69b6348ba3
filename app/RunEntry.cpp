#include "app/RunEntry.h"

#include <algorithm>
#include <exception>

namespace {
char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
} // namespace

std::string RunCommandOf(const std::string& ProgramPath) {
    return '"' + ProgramPath + '"';
}

bool RunValueIsOurs(const TRunValue& Value, const std::string& ProgramPath) {
    if (!Value.Exists || (Value.Type != kRegSz && Value.Type != kRegExpandSz))
        return false;
    // Written quoted; an earlier version wrote the path bare.
    std::string path = Value.Data;
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
        path = path.substr(1, path.size() - 2);
    return std::equal(path.begin(), path.end(), ProgramPath.begin(), ProgramPath.end(),
                      [](char a, char b) { return AsciiUpper(a) == AsciiUpper(b); });
}

bool RunEntry(const TRunKeyOpener& Open, const std::string& Name, const std::string& ProgramPath,
              bool& Enabled, bool Write) {
    std::unique_ptr<TRunKey> key = Open(Write);
    if (!key)
        return false;
    if (!Write) {
        const TRunValue value = key->Read(Name);
        Enabled = RunValueIsOurs(value, ProgramPath);
        return value.Exists;
    }
    std::exception_ptr refused;
    try {
        if (Enabled)
            key->Write(Name, RunCommandOf(ProgramPath));
        else
            key->Delete(Name);
    } catch (...) {
        refused = std::current_exception();
    }
    key.reset();
    // Read back also after a refused write, so that Enabled tells what the registry holds.
    const bool exists = RunEntry(Open, Name, ProgramPath, Enabled, false);
    if (refused)
        std::rethrow_exception(refused);
    return exists;
}
