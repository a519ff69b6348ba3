#include "app/MoveHotKeys.h"

#include <utility>

namespace {
// Keys of the extended block, which the hotkey control marks with HOTKEYF_EXT.
bool IsExtendedKey(uint32_t Vk) {
    return (Vk >= 0x21 && Vk <= 0x2E) || Vk == 0x6F || Vk == 0x90;
}
} // namespace

uint32_t MoveKeyValue(const TMoveKey& Key) {
    return (Key.Modifiers & 0xF) << 8 | (Key.Vk & 0xFF);
}

bool MoveKeyAllowed(const TMoveKey& Key) {
    return Key.Vk != 0 && (Key.Modifiers & (kModWin | kModControl | kModAlt)) != 0;
}

TMoveKey MoveKeyFromValue(std::optional<uint32_t> Value, const TMoveKey& Default) {
    if (!Value)
        return Default;
    const TMoveKey key{(*Value >> 8) & 0xF, *Value & 0xFF};
    if ((*Value & ~0xFFFu) != 0 || !MoveKeyAllowed(key))
        return {};
    return key;
}

TMoveKey MoveKeyFromControl(uint32_t ControlValue, bool WinKey) {
    const uint32_t vk = ControlValue & 0xFF;
    const uint32_t f = (ControlValue >> 8) & 0xFF;
    if (vk == 0)
        return {};
    uint32_t mods = 0;
    if (f & kHotkeyfShift)
        mods |= kModShift;
    if (f & kHotkeyfControl)
        mods |= kModControl;
    if (f & kHotkeyfAlt)
        mods |= kModAlt;
    if (WinKey)
        mods |= kModWin;
    return {mods, vk};
}

uint32_t ControlValueOf(const TMoveKey& Key) {
    if (Key.Vk == 0)
        return 0;
    uint32_t f = 0;
    if (Key.Modifiers & kModShift)
        f |= kHotkeyfShift;
    if (Key.Modifiers & kModControl)
        f |= kHotkeyfControl;
    if (Key.Modifiers & kModAlt)
        f |= kHotkeyfAlt;
    if (IsExtendedKey(Key.Vk))
        f |= kHotkeyfExt;
    return f << 8 | (Key.Vk & 0xFF);
}

std::string MoveKeyName(const TMoveKey& Key) {
    if (Key.Vk == 0)
        return "none";
    std::string name;
    if (Key.Modifiers & kModWin)
        name += "Windows key+";
    if (Key.Modifiers & kModControl)
        name += "Ctrl+";
    if (Key.Modifiers & kModAlt)
        name += "Alt+";
    if (Key.Modifiers & kModShift)
        name += "Shift+";
    switch (Key.Vk) {
    case 0x25:
        return name + "Left arrow";
    case 0x26:
        return name + "Up arrow";
    case 0x27:
        return name + "Right arrow";
    case 0x28:
        return name + "Down arrow";
    case 0x21:
        return name + "Page Up";
    case 0x22:
        return name + "Page Down";
    case 0x23:
        return name + "End";
    case 0x24:
        return name + "Home";
    default:
        break;
    }
    if ((Key.Vk >= '0' && Key.Vk <= '9') || (Key.Vk >= 'A' && Key.Vk <= 'Z'))
        return name + static_cast<char>(Key.Vk);
    if (Key.Vk >= 0x70 && Key.Vk <= 0x87)
        return name + "F" + std::to_string(Key.Vk - 0x6F);
    return name + "key " + std::to_string(Key.Vk);
}

TMoveKeysChoice ChooseMoveKeys(uint32_t LeftControl, uint32_t RightControl, bool WinKey,
                               const TMoveKey& Left, const TMoveKey& Right) {
    TMoveKeysChoice c{
        MoveKeyFromControl(LeftControl, WinKey), MoveKeyFromControl(RightControl, WinKey), {}};
    for (auto [chosen, before] : {std::pair{&c.Left, &Left}, std::pair{&c.Right, &Right}})
        if (chosen->Vk != 0 && !MoveKeyAllowed(*chosen)) {
            c.Refusal = MoveKeyName(*chosen) +
                        " would take that key from every program: hold the Windows key, Ctrl "
                        "or Alt as well.";
            *chosen = *before;
        }
    if (c.Left.Vk != 0 && c.Left == c.Right) {
        c.Refusal =
            MoveKeyName(c.Left) + " cannot move buttons both left and right: choose another key.";
        // The key that changed is the one refused.
        if (c.Right != Right)
            c.Right = Right;
        else
            c.Left = Left;
    }
    return c;
}

TMoveKeyRules MoveKeyControlRules(bool WinKey) {
    constexpr uint32_t kHkcombNone = 0x1, kHkcombS = 0x2;
    if (WinKey)
        return {};
    return {kHkcombNone | kHkcombS, kHotkeyfControl};
}
