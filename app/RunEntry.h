#pragma once
// The start-with-Windows entry: one string value, named after the program, under the current
// user's Run key, holding the full path of the program's executable in quotes (a path with
// spaces left bare would let "C:\Program.exe" start instead). Whether
// a value stands for this program and what a read or a write does are decided here on plain
// data; the registry itself is reached through TRunKey (app/RunEntry_win.cpp).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "toolkit/Registry.h" // the value types kRegSz and kRegExpandSz

struct TRunValue {
    bool Exists = false;
    uint32_t Type = 0;
    std::string Data; // for string types, without the terminating NUL
};

// The value's data for the program at ProgramPath: the path in quotes.
std::string RunCommandOf(const std::string& ProgramPath);

// True when Value stands for the program at ProgramPath: a string (REG_SZ or REG_EXPAND_SZ)
// equal to the path, quoted or bare (as earlier versions wrote it), but for the letter case
// of ASCII letters.
bool RunValueIsOurs(const TRunValue& Value, const std::string& ProgramPath);

// The opened Run key; closed when the object goes.
class TRunKey {
public:
    virtual ~TRunKey() = default;
    virtual TRunValue Read(const std::string& Name) = 0;
    // Writes a REG_SZ value; raises an exception when it fails.
    virtual void Write(const std::string& Name, const std::string& Data) = 0;
    // Deletes the value; a value that is missing, or cannot be deleted, is no error.
    virtual void Delete(const std::string& Name) = 0;
};
// Opens the Run key, creating it when it is missing, for reading or for reading and writing;
// null when it cannot be opened.
using TRunKeyOpener = std::function<std::unique_ptr<TRunKey>(bool Write)>;

// Reads (Write false) or writes the entry named Name for the program at ProgramPath.
// Reading: Enabled := whether the value stands for this program; the result tells whether a
// value of that name exists at all, whatever it holds. Writing: Enabled writes the quoted
// path, otherwise the value is deleted; then the entry is read back, which gives Enabled and
// the result. A refused write is read back as well and then raised again. A key that cannot
// be opened gives false and leaves Enabled as it was.
bool RunEntry(const TRunKeyOpener& Open, const std::string& Name, const std::string& ProgramPath,
              bool& Enabled, bool Write);

// Win32 builds only: the current user's Run key.
std::unique_ptr<TRunKey> OpenRunKey(bool Write);
