#include "taskbar/IPCThrd.h"

#include "toolkit/SysUtils.h"

TSharedMem::TSharedMem(const std::string& Name, uint32_t Size) : FName(Name), FSize(Size) {
    const auto fail = [this] {
        throw Exception(Format("Error creating shared memory %s (%d)", FName.c_str(),
                               static_cast<int>(::GetLastError())));
    };
    // An empty name stands for an unnamed mapping; passed as "" it would be one shared
    // object of that name on systems that accept empty names.
    const char* name = FName.empty() ? nullptr : FName.c_str();
    // The call leaves the last error alone when it creates a new mapping.
    ::SetLastError(0);
    FHandle.reset(
        ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, FSize, name));
    if (!FHandle)
        fail();
    FCreated = ::GetLastError() == 0;
    FBuffer.reset(::MapViewOfFile(FHandle.get(), FILE_MAP_WRITE, 0, 0, FSize));
    if (!FBuffer)
        fail(); // the handle is closed by the base as the object unwinds
}
