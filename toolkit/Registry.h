#pragma once
// The registry as the components see it: one root, at most one open key at a time, values
// read and written by name. TRegistry is platform-free; OpenRegistry (Registry_win.h) gives
// the real one, and tests may hand a component a registry of their own. Reads and writes
// that go wrong raise ERegistryException with the registry layer's messages.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "toolkit/SysUtils.h"

enum class TRegRoot { ClassesRoot, CurrentUser, LocalMachine };

// Access rights as Windows numbers them.
constexpr uint32_t kKeyRead = 0x20019;  // KEY_READ
constexpr uint32_t kKeyWrite = 0x20006; // KEY_WRITE

// Value types as Windows numbers them.
constexpr uint32_t kRegNone = 0;
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegDword = 4;

struct TRegValue {
    uint32_t Type = kRegNone;
    uint32_t Dword = 0; // REG_DWORD
    std::string Text;   // REG_SZ, REG_EXPAND_SZ (without the closing zero); other types raw
};

class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

class TRegistry {
public:
    virtual ~TRegistry() = default;

    // Opens Key (a leading backslash is ignored) under the root, creating it when CanCreate;
    // any open key is closed first. False when it does not open.
    virtual bool OpenKey(const std::string& Key, bool CanCreate) = 0;
    virtual void CloseKey() = 0;

    // The value of the open key; none when it (or the key) is missing, or when it is a
    // REG_DWORD of another size than four bytes.
    virtual std::optional<TRegValue> GetValue(const std::string& Name) = 0;
    // False when the registry refuses the write.
    virtual bool PutValue(const std::string& Name, const TRegValue& Value) = 0;

    bool ValueExists(const std::string& Name) { return GetValue(Name).has_value(); }
    // kRegNone when the value is missing.
    uint32_t GetDataType(const std::string& Name);

    // Raise "Invalid data type for '%s'" unless the value has the type asked for (a missing
    // string reads as empty).
    int32_t ReadInteger(const std::string& Name);
    std::string ReadString(const std::string& Name);
    // Raise "Failed to set data for '%s'" when the write is refused.
    void WriteInteger(const std::string& Name, int32_t Value);
    void WriteBool(const std::string& Name, bool Value) { WriteInteger(Name, Value ? 1 : 0); }
    void WriteString(const std::string& Name, const std::string& Value);
    void WriteExpandString(const std::string& Name, const std::string& Value);

private:
    void Put(const std::string& Name, const TRegValue& Value);
};

// Makes a registry object for one root with the given access.
using TRegistryFactory = std::function<std::unique_ptr<TRegistry>(TRegRoot Root, uint32_t Access)>;

// Closes the registry's key when it goes, also on an error.
class TOpenedKey {
public:
    explicit TOpenedKey(TRegistry& Reg) : Reg_(Reg) {}
    ~TOpenedKey() { Reg_.CloseKey(); }
    TOpenedKey(const TOpenedKey&) = delete;
    TOpenedKey& operator=(const TOpenedKey&) = delete;

private:
    TRegistry& Reg_;
};
