#include "taskbar/uProcessMemMgr.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "toolkit/WinErrors.h"

namespace {
// PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE
constexpr DWORD RemoteMemoryAccess = 0x38;

using TVirtualAllocEx = LPVOID(WINAPI*)(HANDLE, LPVOID, SIZE_T, DWORD, DWORD);
using TVirtualFreeEx = BOOL(WINAPI*)(HANDLE, LPVOID, SIZE_T, DWORD);
// Looked up at run time (they are missing on the Windows 9x family); kept for the whole run.
TVirtualAllocEx VirtualAllocExFn = nullptr;
TVirtualFreeEx VirtualFreeExFn = nullptr;

HANDLE OpenTargetProcess(DWORD ProcessId) {
    HANDLE h = ::OpenProcess(RemoteMemoryAccess, FALSE, ProcessId);
    if (!h)
        RaiseLastOSError();
    return h;
}

uintptr_t AddressOf(const void* P) {
    return reinterpret_cast<uintptr_t>(P);
}
} // namespace

// ---- TOwnProcessMemMgr

TOwnProcessMemMgr::~TOwnProcessMemMgr() {
    ScopedLock lock(FBlocksLock);
    for (void* block : FBlocks)
        std::free(block);
}

void* TOwnProcessMemMgr::AllocMem(uint32_t Size) {
    // One byte at least, so that every block has an address of its own.
    void* block = std::calloc(std::max<uint32_t>(Size, 1), 1);
    if (!block)
        throw EProcessMemMgr("ProcessMemMgr.AllocMem: not enough memory");
    ++FTransfers.Reservations;
    ScopedLock lock(FBlocksLock);
    try {
        FBlocks.push_back(block);
    } catch (...) {
        std::free(block);
        throw;
    }
    return block;
}

void TOwnProcessMemMgr::FreeMem(void* P) {
    ScopedLock lock(FBlocksLock);
    const auto it = std::find(FBlocks.begin(), FBlocks.end(), P);
    if (it == FBlocks.end())
        return;
    FBlocks.erase(it);
    std::free(P);
}

void TOwnProcessMemMgr::ReadMem(const void* Source, void* Dest, uint32_t Count) {
    ++FTransfers.Reads;
    if (Count)
        std::memmove(Dest, Source, Count);
}

std::string TOwnProcessMemMgr::ReadText(const void* Source) {
    ++FTransfers.Reads;
    return Source ? std::string(static_cast<const char*>(Source)) : std::string();
}

void TOwnProcessMemMgr::WriteMem(const void* Source, void* Dest, uint32_t Count) {
    ++FTransfers.Writes;
    if (Count)
        std::memmove(Dest, Source, Count);
}

void TOwnProcessMemMgr::WriteText(const std::string& Text, void* Dest) {
    ++FTransfers.Writes;
    std::memcpy(Dest, Text.c_str(), Text.size() + 1);
}

// ---- TForeignProcessMemMgr

TForeignProcessMemMgr::TForeignProcessMemMgr(DWORD ProcessId)
    : FProcessHandle(OpenTargetProcess(ProcessId)),
      FBlocks([this](uint32_t Size) { AddChunk(Size); }) {}

void* TForeignProcessMemMgr::AllocMem(uint32_t Size) {
    // Held across AddChunk, which comes back through AppendChunk on this thread.
    ScopedLock lock(FBlocksLock);
    return reinterpret_cast<void*>(FBlocks.AllocMem(Size));
}

void TForeignProcessMemMgr::FreeMem(void* P) {
    ScopedLock lock(FBlocksLock);
    FBlocks.FreeMem(AddressOf(P));
}

void TForeignProcessMemMgr::AppendChunk(uintptr_t Address, uint32_t Size, int32_t ChunkIndex) {
    ScopedLock lock(FBlocksLock);
    FBlocks.AppendChunk(Address, Size, ChunkIndex);
}

std::vector<TProcessMemBlock> TForeignProcessMemMgr::BlockRecords() {
    ScopedLock lock(FBlocksLock);
    return FBlocks.Records();
}

void TForeignProcessMemMgr::ReadMem(const void* Source, void* Dest, uint32_t Count) {
    SIZE_T done = 0;
    ++FTransfers.Reads;
    if (!::ReadProcessMemory(FProcessHandle.get(), Source, Dest, Count, &done))
        RaiseLastOSError();
}

std::string TForeignProcessMemMgr::ReadText(const void* Source) {
    return ReadTextByPages(AddressOf(Source), [this](uintptr_t From, void* Dest, uint32_t Count) {
        ReadMem(reinterpret_cast<const void*>(From), Dest, Count);
    });
}

void TForeignProcessMemMgr::WriteMem(const void* Source, void* Dest, uint32_t Count) {
    SIZE_T done = 0;
    ++FTransfers.Writes;
    if (!::WriteProcessMemory(FProcessHandle.get(), Dest, Source, Count, &done))
        RaiseLastOSError();
}

void TForeignProcessMemMgr::WriteText(const std::string& Text, void* Dest) {
    // With the terminating zero.
    WriteMem(Text.c_str(), Dest, static_cast<uint32_t>(Text.size() + 1));
}

// ---- TWin9xProcessMemMgr

void TWin9xProcessMemMgr::AddChunk(uint32_t Size) {
    const uint32_t chunkSize = ChunkSizeFor(Size);
    const auto chunkIndex = static_cast<int32_t>(FSharedBlocks.size());
    FSharedBlocks.push_back(std::make_unique<TSharedMem>(std::string(), chunkSize));
    ++FTransfers.Reservations;
    AppendChunk(AddressOf(FSharedBlocks.back()->Buffer()), chunkSize, chunkIndex);
}

// ---- TWinNTProcessMemMgr

void LoadVirtualMemFunctions() {
    if (VirtualAllocExFn && VirtualFreeExFn)
        return;
    HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    if (!kernel)
        RaiseLastOSError();
    FARPROC alloc = ::GetProcAddress(kernel, "VirtualAllocEx");
    if (!alloc)
        RaiseLastOSError();
    FARPROC release = ::GetProcAddress(kernel, "VirtualFreeEx");
    if (!release)
        RaiseLastOSError();
    VirtualAllocExFn = reinterpret_cast<TVirtualAllocEx>(alloc);
    VirtualFreeExFn = reinterpret_cast<TVirtualFreeEx>(release);
}

TWinNTProcessMemMgr::TWinNTProcessMemMgr(DWORD ProcessId) : TForeignProcessMemMgr(ProcessId) {
    LoadVirtualMemFunctions();
}

TWinNTProcessMemMgr::~TWinNTProcessMemMgr() {
    for (void* chunk : FChunks)
        VirtualFreeExFn(ProcessHandle(), chunk, 0, MEM_RELEASE);
}

void TWinNTProcessMemMgr::AddChunk(uint32_t Size) {
    const uint32_t chunkSize = ChunkSizeFor(Size);
    const auto chunkIndex = static_cast<int32_t>(FChunks.size());
    // Room first, so that a chunk once obtained is always recorded and released.
    FChunks.reserve(FChunks.size() + 1);
    void* chunk = VirtualAllocExFn(ProcessHandle(), nullptr, chunkSize, MEM_COMMIT, PAGE_READWRITE);
    ++FTransfers.Reservations;
    if (!chunk)
        RaiseLastOSError();
    FChunks.push_back(chunk);
    AppendChunk(AddressOf(chunk), chunkSize, chunkIndex);
}

// ---- factory

std::unique_ptr<TProcessMemMgr> CreateProcessMemMgr(DWORD ProcessId) {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    const bool known = ::GetVersionExA(&version) != FALSE;
    switch (ChooseMemMgr(ProcessId, ::GetCurrentProcessId(), known, version.dwPlatformId)) {
    case TMemMgrKind::OwnProcess:
        return std::make_unique<TOwnProcessMemMgr>();
    case TMemMgrKind::WinNT:
        return std::make_unique<TWinNTProcessMemMgr>(ProcessId);
    case TMemMgrKind::Win9x:
        break;
    }
    return std::make_unique<TWin9xProcessMemMgr>(ProcessId);
}

std::unique_ptr<TProcessMemMgr> CreateProcessMemMgrForWindow(HWND Wnd) {
    DWORD processId = 0;
    if (!::GetWindowThreadProcessId(Wnd, &processId))
        processId = 0;
    return CreateProcessMemMgr(processId);
}
