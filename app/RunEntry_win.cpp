#include <windows.h>

#include <algorithm>
#include <vector>

#include "app/RunEntry.h"
#include "toolkit/ScopedWin.h"
#include "toolkit/SysUtils.h"

namespace {
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class TRegistryRunKey : public TRunKey {
public:
    explicit TRegistryRunKey(HKEY Key) : Key_(Key) {}

    TRunValue Read(const std::string& Name) override {
        TRunValue v;
        DWORD type = 0, size = 0;
        if (::RegQueryValueExA(Key_.get(), Name.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS)
            return v;
        v.Exists = true;
        v.Type = type;
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            return v;
        std::vector<char> data(size + 1, '\0');
        if (::RegQueryValueExA(Key_.get(), Name.c_str(), nullptr, &type,
                               reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS)
            v.Data.assign(data.data(), std::min<std::size_t>(size, data.size()));
        // The stored string ends at its first NUL (if the data holds one at all).
        v.Data.resize(std::min(v.Data.size(), v.Data.find('\0')));
        return v;
    }

    void Write(const std::string& Name, const std::string& Data) override {
        const LONG rc = ::RegSetValueExA(Key_.get(), Name.c_str(), 0, REG_SZ,
                                         reinterpret_cast<const BYTE*>(Data.c_str()),
                                         static_cast<DWORD>(Data.size() + 1));
        if (rc != ERROR_SUCCESS)
            throw Exception(Format("Failed to set data for '%s'", Name.c_str()));
    }

    void Delete(const std::string& Name) override { ::RegDeleteValueA(Key_.get(), Name.c_str()); }

private:
    ScopedKey Key_;
};
} // namespace

std::unique_ptr<TRunKey> OpenRunKey(bool Write) {
    HKEY key = nullptr;
    const REGSAM access = Write ? (KEY_READ | KEY_WRITE) : KEY_READ;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                          nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<TRegistryRunKey>(key);
}
