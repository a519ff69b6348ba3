#pragma once
// Loading and releasing the hook library (QLX_Hook_.dll). A process holds at most one hook
// library, shared by every hook component whatever file each names, and counts its users.
// Used from the user-interface thread only.
#include <windows.h>

#include <cstdint>
#include <string>

#include "toolkit/ScopedWin.h"

// The library's exports. Window is a window handle in 32 bits (handles are 32-bit values in
// 64-bit Windows too).
using TAttachReceiverProc = int32_t(WINAPI*)(uint32_t Kind, uint32_t Window, uint32_t Option);
using TDetachReceiverProc = int32_t(WINAPI*)(uint32_t Window);
using TLastErrorProc = int32_t(WINAPI*)();

class THookLibrary {
public:
    // The one of this process.
    static THookLibrary& Instance();

    // 0 when loaded (or when a library is loaded already: its count goes up and FileName is
    // not looked at), a Windows error code when it cannot be loaded, hrMissingExports when an
    // export is missing (the library is freed again). A FileName that cannot be loaded and does
    // not end in ".dll" is tried once more with that extension.
    int32_t Load(const std::string& FileName);
    // Releases one reference; the last frees the library. Nothing when none is loaded.
    void Unload();

    HMODULE Handle() const { return Library_.get(); }
    int32_t Refs() const { return Refs_; }
    // AttachReceiver of the loaded library; hrMissingExports when none is loaded.
    int32_t AttachReceiver(uint8_t Kind, HWND Window, uint8_t Option) const;

private:
    THookLibrary() = default;

    ScopedLibrary Library_;
    int32_t Refs_ = 0;
    TAttachReceiverProc AttachReceiver_ = nullptr;
    TDetachReceiverProc DetachReceiver_ = nullptr; // resolved so that loading checks it; unused
    TLastErrorProc LastError_ = nullptr;           // the same
};

int32_t LoadHookLibrary(const std::string& FileName);
void UnloadHookLibrary();
// The text of a loader or library result code: the system's text for a Windows error code
// (>= 1), the library's texts for -5..0, "Unknown error %d" for anything else.
std::string HookErrorText(int32_t Code);
