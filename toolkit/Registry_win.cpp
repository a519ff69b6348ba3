#include "toolkit/Registry_win.h"

#include <windows.h>

#include <vector>

#include "toolkit/ScopedWin.h"

namespace {
HKEY RootKey(TRegRoot Root) {
    switch (Root) {
    case TRegRoot::ClassesRoot:
        return HKEY_CLASSES_ROOT;
    case TRegRoot::CurrentUser:
        return HKEY_CURRENT_USER;
    case TRegRoot::LocalMachine:
        break;
    }
    return HKEY_LOCAL_MACHINE;
}

class TWinRegistry : public TRegistry {
public:
    TWinRegistry(TRegRoot Root, uint32_t Access) : Root_(RootKey(Root)), Access_(Access) {}

    bool OpenKey(const std::string& Key, bool CanCreate) override {
        CloseKey();
        std::string path = Key;
        if (!path.empty() && path.front() == '\\')
            path.erase(0, 1);
        while (!path.empty() && path.back() == '\\')
            path.pop_back();
        HKEY key = nullptr;
        LONG rc;
        if (CanCreate)
            rc = ::RegCreateKeyExA(Root_, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                   Access_, nullptr, &key, nullptr);
        else
            rc = ::RegOpenKeyExA(Root_, path.c_str(), 0, Access_, &key);
        if (rc != ERROR_SUCCESS)
            return false;
        Key_.reset(key);
        return true;
    }

    void CloseKey() override { Key_.reset(); }

    std::optional<TRegValue> GetValue(const std::string& Name) override {
        if (!Key_)
            return std::nullopt;
        DWORD type = 0, size = 0;
        if (::RegQueryValueExA(Key_.get(), Name.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS)
            return std::nullopt;
        std::vector<BYTE> data(size + 2, 0);
        if (::RegQueryValueExA(Key_.get(), Name.c_str(), nullptr, &type, data.data(), &size) !=
            ERROR_SUCCESS)
            return std::nullopt;
        // A number of another size than four bytes is no number: it reads as missing, not
        // as the 0 its missing bytes would make.
        if (type == REG_DWORD && size != 4)
            return std::nullopt;
        TRegValue v;
        v.Type = type;
        if (type == REG_DWORD) {
            v.Dword = static_cast<uint32_t>(data[0] | data[1] << 8 | data[2] << 16) |
                      static_cast<uint32_t>(data[3]) << 24;
        } else if (type == REG_SZ || type == REG_EXPAND_SZ) {
            v.Text.assign(reinterpret_cast<const char*>(data.data()));
        } else {
            v.Text.assign(reinterpret_cast<const char*>(data.data()), size);
        }
        return v;
    }

    bool PutValue(const std::string& Name, const TRegValue& Value) override {
        if (!Key_)
            return false;
        LONG rc;
        if (Value.Type == REG_DWORD) {
            const DWORD d = Value.Dword;
            rc = ::RegSetValueExA(Key_.get(), Name.c_str(), 0, REG_DWORD,
                                  reinterpret_cast<const BYTE*>(&d), sizeof(d));
        } else {
            const bool text = Value.Type == REG_SZ || Value.Type == REG_EXPAND_SZ;
            rc = ::RegSetValueExA(Key_.get(), Name.c_str(), 0, Value.Type,
                                  reinterpret_cast<const BYTE*>(Value.Text.c_str()),
                                  static_cast<DWORD>(Value.Text.size() + (text ? 1 : 0)));
        }
        return rc == ERROR_SUCCESS;
    }

private:
    HKEY Root_;
    REGSAM Access_;
    ScopedKey Key_;
};
} // namespace

std::unique_ptr<TRegistry> OpenRegistry(TRegRoot Root, uint32_t Access) {
    return std::make_unique<TWinRegistry>(Root, Access);
}
