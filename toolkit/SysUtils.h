#pragma once
// The exception hierarchy of the program. Failures are raised as exceptions derived from
// Exception; whatever escapes an event or timer handler is shown by the application's
// error handler and the program goes on.
#include <cstdint>
#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }
    std::string Message;
};

// An operating-system call failed: the last error code and the system's text for it.
class EOSError : public Exception {
public:
    EOSError(uint32_t errorCode, const std::string& systemText);
    uint32_t ErrorCode;
};

// A broken internal assumption; the message names the source unit and line.
class EAssertionFailed : public Exception {
public:
    EAssertionFailed(const std::string& message, const std::string& unit, int line);
};

// A position outside a list: "List index out of bounds (%d)" with the position asked for.
class EListError : public Exception {
public:
    explicit EListError(int index);
    int Index;
};

// printf-style formatting into a std::string.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// The text with the ASCII letters A to Z made lower case, the other bytes as they are.
std::string LowerCaseAscii(std::string Text);
// The folder part of a file's path, up to and including its last backslash ("" when none).
std::string ExtractFilePath(const std::string& Path);

// Raises a flag for as long as it lives (a guard against re-entering a piece of work).
class TFlagRaised {
public:
    explicit TFlagRaised(bool& Flag) : Flag_(Flag) { Flag_ = true; }
    ~TFlagRaised() { Flag_ = false; }
    TFlagRaised(const TFlagRaised&) = delete;
    TFlagRaised& operator=(const TFlagRaised&) = delete;

private:
    bool& Flag_;
};
