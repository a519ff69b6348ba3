#pragma once
// The current user's start-with-Windows values, for tests. Linking RunValue.cpp also puts
// back, when the test program ends, the "Zorvane" value the prefix had before: creating the
// main window writes it, and no entry may stay behind that would start a test program.
#include <windows.h>

#include <optional>
#include <string>

struct TRunValueRecord {
    DWORD Type = REG_SZ;
    std::string Data; // as stored, without a terminating NUL for string types
};

std::optional<TRunValueRecord> ReadRunValue(const std::string& Name);
void WriteRunValue(const std::string& Name, const TRunValueRecord& Value);
void DeleteRunValue(const std::string& Name);
