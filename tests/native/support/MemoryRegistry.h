#pragma once
// A registry in memory for native tests: keys by root and path (any letter case), values
// kept in the order they were first written, and keys that refuse to be created or written.
#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/Registry.h"

namespace zvtest {

struct TMemoryRegistryData {
    using TValues = std::vector<std::pair<std::string, TRegValue>>;
    std::map<std::string, TValues> Keys; // "<root>:<lower-case path>"
    std::set<std::string> Denied;        // same form: cannot be created or written
    int Opens = 0;

    static std::string Id(TRegRoot Root, std::string Path) {
        for (char& c : Path)
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        while (!Path.empty() && Path.front() == '\\')
            Path.erase(0, 1);
        while (!Path.empty() && Path.back() == '\\')
            Path.pop_back();
        return std::to_string(static_cast<int>(Root)) + ":" + Path;
    }
    TValues* Find(TRegRoot Root, const std::string& Path) {
        auto it = Keys.find(Id(Root, Path));
        return it == Keys.end() ? nullptr : &it->second;
    }
    // The names of a key's values, in the order they were first written.
    std::vector<std::string> Names(TRegRoot Root, const std::string& Path) {
        std::vector<std::string> names;
        if (TValues* v = Find(Root, Path))
            for (auto& [name, value] : *v)
                names.push_back(name);
        return names;
    }
    void Put(TRegRoot Root, const std::string& Path, const std::string& Name, TRegValue V) {
        TValues& values = Keys[Id(Root, Path)];
        for (auto& [n, value] : values)
            if (Id(Root, n) == Id(Root, Name)) {
                value = std::move(V);
                return;
            }
        values.emplace_back(Name, std::move(V));
    }
    TRegistryFactory Factory() {
        return [this](TRegRoot Root, uint32_t) -> std::unique_ptr<TRegistry> {
            return std::make_unique<TMemoryRegistry>(*this, Root);
        };
    }

    class TMemoryRegistry : public TRegistry {
    public:
        TMemoryRegistry(TMemoryRegistryData& Data, TRegRoot Root) : D(Data), Root(Root) {}
        bool OpenKey(const std::string& Key, bool CanCreate) override {
            CloseKey();
            const std::string id = Id(Root, Key);
            const bool exists = D.Keys.count(id) > 0;
            if (!exists && (!CanCreate || D.Denied.count(id)))
                return false;
            D.Keys[id];
            Open = Key;
            ++D.Opens;
            return true;
        }
        void CloseKey() override { Open.reset(); }
        std::optional<TRegValue> GetValue(const std::string& Name) override {
            TValues* v = Open ? D.Find(Root, *Open) : nullptr;
            if (!v)
                return std::nullopt;
            for (auto& [n, value] : *v)
                if (Id(Root, n) == Id(Root, Name))
                    return value;
            return std::nullopt;
        }
        bool PutValue(const std::string& Name, const TRegValue& Value) override {
            if (!Open || D.Denied.count(Id(Root, *Open)))
                return false;
            D.Put(Root, *Open, Name, Value);
            return true;
        }

    private:
        TMemoryRegistryData& D;
        TRegRoot Root;
        std::optional<std::string> Open;
    };
};

inline TRegValue Dword(uint32_t V) {
    return {kRegDword, V, {}};
}
inline TRegValue Sz(const std::string& S) {
    return {kRegSz, 0, S};
}

} // namespace zvtest
