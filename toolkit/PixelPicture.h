#pragma once
// A small picture held as plain pixels, so that pictures can travel through platform-free code.
// Pixels are 0x00RRGGBB, row by row from the top (the layout of a 32-bit top-down DIB
// section), so Win32 code copies them to and from a DIB in one go.
#include <array>
#include <cstddef>
#include <cstdint>

template <int W, int H> struct TPixelPicture {
    static_assert(W > 0 && H > 0, "a picture has pixels");
    static constexpr int Width = W;
    static constexpr int Height = H;
    static constexpr uint32_t White = 0x00FFFFFF;

    TPixelPicture() { Pixels.fill(White); }

    uint32_t& At(int x, int y) { return Pixels[static_cast<std::size_t>(y * Width + x)]; }
    uint32_t At(int x, int y) const { return Pixels[static_cast<std::size_t>(y * Width + x)]; }
    // When the picture is drawn transparently, pixels of this colour are not painted, unless
    // the picture carries a mask of its own.
    uint32_t TransparentColor() const { return At(0, Height - 1); }
    // Pixel i (row by row) lets the background show when the picture is drawn transparently:
    // by the picture's own mask (an icon's), else by the transparent colour.
    bool SeeThrough(std::size_t i) const {
        if (!Transparent)
            return false;
        return Masked ? Clear[i] != 0 : Pixels[i] == TransparentColor();
    }
    // Takes the mask of a picture whose see-through pixels are known (1 in Marks).
    void SetMask(const std::array<uint8_t, static_cast<std::size_t>(W* H)>& Marks) {
        Clear = Marks;
        Masked = true;
    }
    void Reset() {
        Pixels.fill(White);
        Transparent = false;
        Masked = false;
        Clear.fill(0);
    }

    std::array<uint32_t, static_cast<std::size_t>(W* H)> Pixels{};
    bool Transparent = false;
    bool Masked = false;                                         // Clear decides, not a colour
    std::array<uint8_t, static_cast<std::size_t>(W* H)> Clear{}; // 1: see-through
};
