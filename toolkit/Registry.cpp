#include "toolkit/Registry.h"

uint32_t TRegistry::GetDataType(const std::string& Name) {
    const std::optional<TRegValue> v = GetValue(Name);
    return v ? v->Type : kRegNone;
}

int32_t TRegistry::ReadInteger(const std::string& Name) {
    const std::optional<TRegValue> v = GetValue(Name);
    if (!v || v->Type != kRegDword)
        throw ERegistryException(Format("Invalid data type for '%s'", Name.c_str()));
    return static_cast<int32_t>(v->Dword);
}

std::string TRegistry::ReadString(const std::string& Name) {
    const std::optional<TRegValue> v = GetValue(Name);
    if (!v)
        return "";
    if (v->Type != kRegSz && v->Type != kRegExpandSz)
        throw ERegistryException(Format("Invalid data type for '%s'", Name.c_str()));
    return v->Text;
}

void TRegistry::Put(const std::string& Name, const TRegValue& Value) {
    if (!PutValue(Name, Value))
        throw ERegistryException(Format("Failed to set data for '%s'", Name.c_str()));
}

void TRegistry::WriteInteger(const std::string& Name, int32_t Value) {
    Put(Name, {kRegDword, static_cast<uint32_t>(Value), {}});
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value) {
    Put(Name, {kRegSz, 0, Value});
}

void TRegistry::WriteExpandString(const std::string& Name, const std::string& Value) {
    Put(Name, {kRegExpandSz, 0, Value});
}
