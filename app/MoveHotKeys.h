#pragma once
// The two keys that move the foreground window's group one place along the taskbar, as plain
// data: their defaults, how a key is stored, how the standard hotkey control's value and the
// "Windows key" check box turn into the modifiers RegisterHotKey takes, and the key's name.
#include <cstdint>
#include <optional>
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

// A key moves buttons only with the Windows key, Ctrl or Alt held: a key alone, or with Shift
// alone, belongs to the typing of every program (Shift and the arrows select text).
bool MoveKeyAllowed(const TMoveKey& Key);

// Stored as one number: the modifiers in bits 8 to 11, the virtual key in bits 0 to 7; 0 is
// "no key", which the user chose by clearing it. Only a missing value (none) reads as Default;
// a number with other bits set, or a key that is not allowed, reads as no key.
uint32_t MoveKeyValue(const TMoveKey& Key);
TMoveKey MoveKeyFromValue(std::optional<uint32_t> Value, const TMoveKey& Default);

// The hotkey control's value (HKM_GETHOTKEY: key in the low byte, HOTKEYF_* in the next) and
// the state of the "Windows key" check box, which the control itself cannot show. Arrow keys
// and the other keys of the extended block carry HOTKEYF_EXT in the control.
TMoveKey MoveKeyFromControl(uint32_t ControlValue, bool WinKey);
uint32_t ControlValueOf(const TMoveKey& Key);

// "Windows key+Shift+Left arrow", as the help and the Settings tab name a key.
std::string MoveKeyName(const TMoveKey& Key);

// The keys after the user changed a key control or the "Windows key" check box: each
// control's key (with the Windows key when the box is checked) replaces the current one, or
// clears it when the control is empty. A key that is not allowed is refused, and so is a key
// the other direction has already; a refused key stays as it was, and Refusal tells why.
struct TMoveKeysChoice {
    TMoveKey Left;
    TMoveKey Right;
    std::string Refusal; // empty when both keys were taken
};
TMoveKeysChoice ChooseMoveKeys(uint32_t LeftControl, uint32_t RightControl, bool WinKey,
                               const TMoveKey& Left, const TMoveKey& Right);

// The hotkey control's rules (HKM_SETRULES): the combinations it refuses and the modifiers it
// puts in their place. With the Windows key added by the check box every combination will
// do; without it, a key alone or with Shift alone gets Ctrl instead.
struct TMoveKeyRules {
    uint32_t InvalidCombinations = 0; // HKCOMB_* bits
    uint32_t Replacement = 0;         // HOTKEYF_* bits
};
TMoveKeyRules MoveKeyControlRules(bool WinKey);
