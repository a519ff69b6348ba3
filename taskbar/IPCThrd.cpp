#include "taskbar/IPCThrd.h"

#include "toolkit/SysUtils.h"

TSharedMem::TSharedMem(const std::string& Name, uint32_t Size) : FName(Name), FSize(Size) {
    const auto fail = [this] {
        throw Exception(Format("Error creating shared memory %s (%d)", FName.c_str(),
                               static_cast<int>(::GetLastError())));
    };
    // An empty name gives an unnamed mapping of its own (checked: two such calls give two
    // separate mappings). Created must not hang on an error left over from an earlier call.
    ::SetLastError(0);
    FHandle.reset(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, FSize,
                                       FName.c_str()));
    if (!FHandle)
        fail();
    FCreated = ::GetLastError() == 0;
    FBuffer.reset(::MapViewOfFile(FHandle.get(), FILE_MAP_WRITE, 0, 0, FSize));
    if (!FBuffer)
        fail(); // the handle is closed by the base as the object unwinds
}
