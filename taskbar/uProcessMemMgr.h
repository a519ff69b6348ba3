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

// A foreign-process manager could not satisfy AllocMem.
class EProcessMemMgr : public Exception {
public:
    using Exception::Exception;
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
};

std::unique_ptr<TProcessMemMgr> CreateProcessMemMgr(DWORD ProcessId);
std::unique_ptr<TProcessMemMgr> CreateProcessMemMgrForWindow(HWND Wnd);
