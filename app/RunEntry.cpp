#include "app/RunEntry.h"

#include <algorithm>

namespace {
char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
} // namespace

bool RunValueIsOurs(const TRunValue& Value, const std::string& ProgramPath) {
    if (!Value.Exists || (Value.Type != kRegSz && Value.Type != kRegExpandSz))
        return false;
    return std::equal(Value.Data.begin(), Value.Data.end(), ProgramPath.begin(), ProgramPath.end(),
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
    if (Enabled)
        key->Write(Name, ProgramPath);
    else
        key->Delete(Name);
    key.reset();
    return RunEntry(Open, Name, ProgramPath, Enabled, false);
}
