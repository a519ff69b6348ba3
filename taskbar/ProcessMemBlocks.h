#pragma once
// Block bookkeeping of the foreign-process memory managers, on plain data. Addresses are
// those of the target process, kept as numbers; the memory itself is obtained and released
// by the manager that owns the list.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/SysUtils.h"

// A memory manager could not satisfy AllocMem.
class EProcessMemMgr : public Exception {
public:
    using Exception::Exception;
};

// One block of a chunk, handed out (Used) or free.
struct TProcessMemBlock {
    uintptr_t Address;  // start of the block in the target process
    uint32_t Size;      // length in bytes
    int32_t ChunkIndex; // number of chunks that existed when the block's chunk was added
    bool Used;
};

// Size of the chunk added for a request of Size bytes: 16384 below that, otherwise Size
// rounded up to whole 4096-byte pages. Raises EProcessMemMgr when no 32-bit chunk can hold
// the request.
uint32_t ChunkSizeFor(uint32_t Size);

// The records of all chunks of one manager. The records of a chunk lie next to each other
// in ascending address order and cover the chunk exactly; chunks follow in the order in
// which they were added. Not locked: the owning manager holds its lock around the calls.
class TProcessMemBlockList {
public:
    // Obtains a new chunk able to hold a request of Size bytes and appends it with
    // AppendChunk, or raises.
    using TAddChunk = std::function<void(uint32_t Size)>;

    explicit TProcessMemBlockList(TAddChunk AddChunk) : FAddChunk(std::move(AddChunk)) {}

    // First fit with splitting; adds a chunk when no free block is large enough.
    uintptr_t AllocMem(uint32_t Size);
    // Gives the used block at P back and merges it with the free blocks that follow it in
    // the same chunk. Raises EAssertionFailed when no used block starts at P.
    void FreeMem(uintptr_t P);
    // Appends a fresh chunk as one free block.
    void AppendChunk(uintptr_t Address, uint32_t Size, int32_t ChunkIndex);

    const std::vector<TProcessMemBlock>& Records() const { return FRecords; }

private:
    // Index of the first free record of at least Size bytes, or -1.
    long FindFree(uint32_t Size) const;
    uintptr_t TakeBlock(size_t Index, uint32_t Size);

    TAddChunk FAddChunk;
    std::vector<TProcessMemBlock> FRecords;
};

// Reads one range of the target process into Dest, or raises.
using TReadRemote = std::function<void(uintptr_t Source, void* Dest, uint32_t Count)>;

constexpr uint32_t RemotePageSize = 4096;

// The zero-terminated text at Source, read piece by piece so that no read crosses into a
// page after the one that holds the terminating zero: first up to the end of Source's page,
// then whole pages. Source 0 gives the empty text without any read.
std::string ReadTextByPages(uintptr_t Source, const TReadRemote& Read);

// Which manager serves a process: the own-process one for this process, otherwise the one of
// the platform family that GetVersionExA reported. A version query that failed (VersionKnown
// false) counts as the NT family, the only one the program runs on: the Windows 9x manager's
// shared views are not addressable in another process there.
enum class TMemMgrKind { OwnProcess, WinNT, Win9x };
constexpr uint32_t kPlatformWin32NT = 2; // VER_PLATFORM_WIN32_NT
TMemMgrKind ChooseMemMgr(uint32_t ProcessId, uint32_t CurrentProcessId, bool VersionKnown,
                         uint32_t PlatformId);
