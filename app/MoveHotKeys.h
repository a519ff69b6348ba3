#pragma once
// The two keys that move the foreground window's group one place along the taskbar, as plain
// data: their defaults, how a key is stored, how the standard hotkey control's value and the
// "Windows key" check box turn into the modifiers RegisterHotKey takes, and the key's name.
#include <cstdint>
#include <string>

// Modifier bits as RegisterHotKey takes them (MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN).
constexpr uint32_t kModAlt = 0x1;
constexpr uint32_t kModControl = 0x2;
constexpr uint32_t kModShift = 0x4;
constexpr uint32_t kModWin = 0x8;
// Modifier bits of the hotkey control's value (HOTKEYF_SHIFT, _CONTROL, _ALT, _EXT).
constexpr uint32_t kHotkeyfShift = 0x1;
constexpr uint32_t kHotkeyfControl = 0x2;
constexpr uint32_t kHotkeyfAlt = 0x4;
constexpr uint32_t kHotkeyfExt = 0x8;

constexpr uint32_t kMoveVkLeft = 0x25;
constexpr uint32_t kMoveVkRight = 0x27;

struct TMoveKey {
    uint32_t Modifiers = 0; // kMod* bits
    uint32_t Vk = 0;        // 0: no key
    friend bool operator==(const TMoveKey& a, const TMoveKey& b) {
        return a.Modifiers == b.Modifiers && a.Vk == b.Vk;
    }
    friend bool operator!=(const TMoveKey& a, const TMoveKey& b) { return !(a == b); }
};

// Windows key + Shift + Left arrow, Windows key + Shift + Right arrow.
constexpr TMoveKey kDefaultMoveLeft{kModWin | kModShift, kMoveVkLeft};
constexpr TMoveKey kDefaultMoveRight{kModWin | kModShift, kMoveVkRight};

// Stored as one number: the modifiers in bits 8 to 11, the virtual key in bits 0 to 7. A
// number with other bits set, or with no key, reads as Default.
uint32_t MoveKeyValue(const TMoveKey& Key);
TMoveKey MoveKeyFromValue(uint32_t Value, const TMoveKey& Default);

// The hotkey control's value (HKM_GETHOTKEY: key in the low byte, HOTKEYF_* in the next) and
// the state of the "Windows key" check box, which the control itself cannot show. Arrow keys
// and the other keys of the extended block carry HOTKEYF_EXT in the control.
TMoveKey MoveKeyFromControl(uint32_t ControlValue, bool WinKey);
uint32_t ControlValueOf(const TMoveKey& Key);

// "Windows key+Shift+Left arrow", as the help and the Settings tab name a key.
std::string MoveKeyName(const TMoveKey& Key);
