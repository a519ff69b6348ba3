#pragma once
// Memory managers that reserve blocks inside another process (or this one) and copy bytes
// and texts into and out of them, and the factory that picks the right one.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "taskbar/IPCThrd.h"
#include "taskbar/ProcessMemBlocks.h"
#include "toolkit/ScopedWin.h"
#include "toolkit/SysUtils.h"

// Transfers a manager has made into or out of its target process so far; the foreign-process
// managers count each ReadProcessMemory, WriteProcessMemory and VirtualAllocEx (or shared
// chunk), the own-process manager each copy and block, so that a reader's costs can be
// counted through either.
struct TMemTransferCounts {
    uint32_t Reads = 0;
    uint32_t Writes = 0;
    uint32_t Reservations = 0;
};

class TProcessMemMgr {
public:
    virtual ~TProcessMemMgr() = default;
    // Reserves at least Size bytes addressable in the target process; returns the address
    // as the target process sees it.
    virtual void* AllocMem(uint32_t Size) = 0;
    virtual void FreeMem(void* P) = 0;
    virtual void ReadMem(const void* Source, void* Dest, uint32_t Count) = 0;
    virtual std::string ReadText(const void* Source) = 0;
    virtual void WriteMem(const void* Source, void* Dest, uint32_t Count) = 0;
    virtual void WriteText(const std::string& Text, void* Dest) = 0;

    const TMemTransferCounts& Transfers() const { return FTransfers; }

protected:
    TMemTransferCounts FTransfers;
};

// The target process is this one: zero-filled blocks of the local heap.
class TOwnProcessMemMgr : public TProcessMemMgr {
public:
    TOwnProcessMemMgr() = default;
    ~TOwnProcessMemMgr() override;
    TOwnProcessMemMgr(const TOwnProcessMemMgr&) = delete;
    TOwnProcessMemMgr& operator=(const TOwnProcessMemMgr&) = delete;

    void* AllocMem(uint32_t Size) override;
    // A pointer this manager did not hand out is left alone.
    void FreeMem(void* P) override;
    void ReadMem(const void* Source, void* Dest, uint32_t Count) override;
    std::string ReadText(const void* Source) override;
    void WriteMem(const void* Source, void* Dest, uint32_t Count) override;
    void WriteText(const std::string& Text, void* Dest) override;

private:
    CriticalSection FBlocksLock;
    std::vector<void*> FBlocks;
};

// Another process, opened for reading, writing and memory operations. Blocks are carved
// out of chunks that a descendant obtains in AddChunk.
class TForeignProcessMemMgr : public TProcessMemMgr {
public:
    // Raises EOSError when the process cannot be opened.
    explicit TForeignProcessMemMgr(DWORD ProcessId);
    TForeignProcessMemMgr(const TForeignProcessMemMgr&) = delete;
    TForeignProcessMemMgr& operator=(const TForeignProcessMemMgr&) = delete;

    void* AllocMem(uint32_t Size) override;
    void FreeMem(void* P) override;
    void ReadMem(const void* Source, void* Dest, uint32_t Count) override;
    std::string ReadText(const void* Source) override;
    void WriteMem(const void* Source, void* Dest, uint32_t Count) override;
    void WriteText(const std::string& Text, void* Dest) override;

    HANDLE ProcessHandle() const { return FProcessHandle.get(); }
    // A copy of the block records, taken under the lock.
    std::vector<TProcessMemBlock> BlockRecords();

protected:
    // Obtains a chunk for a request of Size bytes (ChunkSizeFor) that the target process
    // can address and appends it with AppendChunk.
    virtual void AddChunk(uint32_t Size) = 0;
    void AppendChunk(uintptr_t Address, uint32_t Size, int32_t ChunkIndex);

private:
    ScopedKernelHandle FProcessHandle;
    CriticalSection FBlocksLock; // recursive: AllocMem holds it across AddChunk
    TProcessMemBlockList FBlocks;
};

// Windows 9x: chunks are unnamed file mappings, whose views have one address in every
// process of that platform.
class TWin9xProcessMemMgr : public TForeignProcessMemMgr {
public:
    explicit TWin9xProcessMemMgr(DWORD ProcessId) : TForeignProcessMemMgr(ProcessId) {}

protected:
    void AddChunk(uint32_t Size) override;

private:
    std::vector<std::unique_ptr<TSharedMem>> FSharedBlocks;
};

// Windows NT: chunks are committed in the target process with VirtualAllocEx and released
// when the manager is destroyed.
class TWinNTProcessMemMgr : public TForeignProcessMemMgr {
public:
    // Raises EOSError when the process cannot be opened or kernel32 lacks the functions.
    explicit TWinNTProcessMemMgr(DWORD ProcessId);
    ~TWinNTProcessMemMgr() override;

    // Start addresses of the chunks in the target process, in the order they were added.
    const std::vector<void*>& Chunks() const { return FChunks; }

protected:
    void AddChunk(uint32_t Size) override;

private:
    std::vector<void*> FChunks;
};

// Looks up VirtualAllocEx and VirtualFreeEx in kernel32 once for the rest of the run;
// raises EOSError when they are not there.
void LoadVirtualMemFunctions();

// The own-process manager for this process's id, otherwise the manager of the platform.
std::unique_ptr<TProcessMemMgr> CreateProcessMemMgr(DWORD ProcessId);
// The manager for the process that owns Wnd (process id 0 when Wnd has none).
std::unique_ptr<TProcessMemMgr> CreateProcessMemMgrForWindow(HWND Wnd);
