#include "taskbar/ProcessMemBlocks.h"

#include <cstring>

namespace {
constexpr uint32_t MinChunkSize = 16384;
const char* const NotEnoughMemory = "ProcessMemMgr.AllocMem: not enough memory";
} // namespace

uint32_t ChunkSizeFor(uint32_t Size) {
    if (Size < MinChunkSize)
        return MinChunkSize;
    // Computed wide: the last page of a request near 4 GB would wrap to a tiny chunk.
    const uint64_t rounded = (uint64_t{Size} + 4095) & ~uint64_t{4095};
    if (rounded > UINT32_MAX)
        throw EProcessMemMgr(NotEnoughMemory);
    return static_cast<uint32_t>(rounded);
}

long TProcessMemBlockList::FindFree(uint32_t Size) const {
    for (size_t i = 0; i < FRecords.size(); ++i)
        if (!FRecords[i].Used && FRecords[i].Size >= Size)
            return static_cast<long>(i);
    return -1;
}

uintptr_t TProcessMemBlockList::TakeBlock(size_t Index, uint32_t Size) {
    const TProcessMemBlock block = FRecords[Index];
    if (block.Size > Size) // the rest stays free, directly behind the block handed out
        FRecords.insert(
            FRecords.begin() + static_cast<long>(Index) + 1,
            TProcessMemBlock{block.Address + Size, block.Size - Size, block.ChunkIndex, false});
    FRecords[Index].Used = true;
    FRecords[Index].Size = Size;
    return block.Address;
}

uintptr_t TProcessMemBlockList::AllocMem(uint32_t Size) {
    long found = FindFree(Size);
    if (found < 0) {
        FAddChunk(Size);
        found = FindFree(Size);
    }
    if (found < 0)
        throw EProcessMemMgr(NotEnoughMemory);
    return TakeBlock(static_cast<size_t>(found), Size);
}

void TProcessMemBlockList::FreeMem(uintptr_t P) {
    // Only a used block is looked for: a block of 0 bytes shares its address with the free
    // block behind it, and a block given back twice must not be taken for a live one.
    size_t i = 0;
    while (i < FRecords.size() && !(FRecords[i].Used && FRecords[i].Address == P))
        ++i;
    if (i == FRecords.size())
        throw EAssertionFailed("ProcessMemMgr.FreeMem: unknown pointer", "uProcessMemMgr", 276);
    TProcessMemBlock& block = FRecords[i];
    block.Used = false;
    // Only forward: a free block in front of this one stays separate.
    size_t next = i + 1;
    while (next < FRecords.size() && !FRecords[next].Used &&
           FRecords[next].ChunkIndex == block.ChunkIndex) {
        block.Size += FRecords[next].Size;
        ++next;
    }
    FRecords.erase(FRecords.begin() + static_cast<long>(i) + 1,
                   FRecords.begin() + static_cast<long>(next));
}

void TProcessMemBlockList::AppendChunk(uintptr_t Address, uint32_t Size, int32_t ChunkIndex) {
    FRecords.push_back(TProcessMemBlock{Address, Size, ChunkIndex, false});
}

std::string ReadTextByPages(uintptr_t Source, const TReadRemote& Read) {
    if (Source == 0)
        return {};
    std::string buffer;
    uint32_t piece = RemotePageSize - static_cast<uint32_t>(Source % RemotePageSize);
    for (;;) {
        const size_t start = buffer.size();
        buffer.resize(start + piece);
        Read(Source + start, &buffer[start], piece);
        const void* zero = std::memchr(buffer.data() + start, 0, piece);
        if (zero) {
            buffer.resize(static_cast<size_t>(static_cast<const char*>(zero) - buffer.data()));
            return buffer;
        }
        piece = RemotePageSize;
    }
}

TMemMgrKind ChooseMemMgr(uint32_t ProcessId, uint32_t CurrentProcessId, bool VersionKnown,
                         uint32_t PlatformId) {
    if (ProcessId == CurrentProcessId)
        return TMemMgrKind::OwnProcess;
    if (!VersionKnown || PlatformId == kPlatformWin32NT)
        return TMemMgrKind::WinNT;
    return TMemMgrKind::Win9x;
}
