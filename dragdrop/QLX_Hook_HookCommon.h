#pragma once
// What the hook library (QLX_Hook_.dll) and the programs that use it agree on: its result
// codes with their texts, and the numbers of the messages it posts to a receiver window.
// Platform-free; the library itself includes this header for its codes.
#include <cstdint>
#include <string>

// Result codes of the library's AttachReceiver and of the loader. A positive value is a
// Windows error code instead.
enum THookResult : int32_t {
    hrNoError = 0,
    hrMissingExports = -1,    // the library lacks one of its three exports (the loader)
    hrAlreadyRegistered = -2, // AttachReceiver of a window that is attached already
    hrNotRegistered = -3,     // DetachReceiver of a window that is not attached
    hrTooManyReceivers = -4,  // the library's receiver table is full
    hrHookInstalled = -5      // a system hook runs already (never answered by our library)
};
constexpr int32_t HookResultFirst = hrHookInstalled;
constexpr int32_t HookResultLast = hrNoError;

// The texts of the codes HookResultFirst..HookResultLast, indexed by code - HookResultFirst.
extern const char* const HookResultTexts[HookResultLast - HookResultFirst + 1];

// The text of a code HookResultFirst..HookResultLast; "Unknown error %d" for any other.
std::string HookResultText(int32_t Code);

// The library posts WM_USER + code for each hook event; messages below that number are the
// platform's own.
constexpr uint32_t HookMessageBase = 0x0400; // WM_USER
inline bool IsHookMessage(uint32_t Msg) {
    return Msg >= HookMessageBase;
}

// The hook kind of the mouse (the low byte of AttachReceiver's Kind).
constexpr uint8_t HookKindMouse = 2;

// The second name the loader tries when FileName cannot be loaded: FileName with its
// extension changed to ".dll" (added when it has none); empty when it ends in ".dll" already
// (compared without regard to case).
std::string HookLibraryRetryName(const std::string& FileName);
