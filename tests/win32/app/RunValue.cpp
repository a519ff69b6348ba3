#include "tests/win32/app/RunValue.h"

#include <gtest/gtest.h>

#include <vector>

#include "toolkit/ScopedWin.h"

namespace {
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

ScopedKey OpenRun(REGSAM Access) {
    HKEY key = nullptr;
    ::RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, Access, nullptr, &key, nullptr);
    return ScopedKey(key);
}

class TRunValueGuard : public ::testing::Environment {
public:
    void SetUp() override { Before_ = ReadRunValue("Zorvane"); }
    void TearDown() override {
        if (Before_)
            WriteRunValue("Zorvane", *Before_);
        else
            DeleteRunValue("Zorvane");
    }

private:
    std::optional<TRunValueRecord> Before_;
};

[[maybe_unused]] ::testing::Environment* const kGuard =
    ::testing::AddGlobalTestEnvironment(new TRunValueGuard);
} // namespace

std::optional<TRunValueRecord> ReadRunValue(const std::string& Name) {
    ScopedKey key = OpenRun(KEY_READ);
    DWORD type = 0, size = 0;
    if (!key || ::RegQueryValueExA(key.get(), Name.c_str(), nullptr, &type, nullptr, &size) !=
                    ERROR_SUCCESS)
        return std::nullopt;
    std::vector<char> data(size + 1, '\0');
    ::RegQueryValueExA(key.get(), Name.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(data.data()), &size);
    TRunValueRecord r{type, std::string(data.data(), size)};
    if ((type == REG_SZ || type == REG_EXPAND_SZ) && !r.Data.empty() && r.Data.back() == '\0')
        r.Data.pop_back();
    return r;
}

void WriteRunValue(const std::string& Name, const TRunValueRecord& Value) {
    ScopedKey key = OpenRun(KEY_WRITE);
    const bool text = Value.Type == REG_SZ || Value.Type == REG_EXPAND_SZ;
    ::RegSetValueExA(key.get(), Name.c_str(), 0, Value.Type,
                     reinterpret_cast<const BYTE*>(Value.Data.c_str()),
                     static_cast<DWORD>(Value.Data.size() + (text ? 1 : 0)));
}

void DeleteRunValue(const std::string& Name) {
    ScopedKey key = OpenRun(KEY_WRITE);
    ::RegDeleteValueA(key.get(), Name.c_str());
}
