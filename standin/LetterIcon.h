#pragma once
// Icons drawn in code: a rounded square in one colour with a white letter. The sample
// application's windows and tray icons use them, and the shell draws the same icon again from
// a window's kIconProperty (colour and letter), because under Wine an icon handle cannot be
// used by another process.
#include <windows.h>

#include <cstdint>

namespace standin {

// The caller owns the icon (DestroyIcon). Returns 0 when GDI fails.
HICON MakeLetterIcon(int size, COLORREF colour, char letter);
// Clearly distinct colours, by index (wraps around).
COLORREF PaletteColour(unsigned index);

// kIconProperty's value and back.
inline std::uintptr_t IconPropertyValue(COLORREF colour, char letter) {
    return (std::uintptr_t(colour & 0xFFFFFF) << 8) | std::uint8_t(letter);
}
inline COLORREF IconPropertyColour(std::uintptr_t value) {
    return COLORREF(value >> 8) & 0xFFFFFF;
}
inline char IconPropertyLetter(std::uintptr_t value) {
    return char(value & 0xFF);
}

} // namespace standin
