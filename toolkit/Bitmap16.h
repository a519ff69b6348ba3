#pragma once
// A 16 x 16 picture held as plain pixels, so that group icons can travel through
// platform-free code. Pixels are 0x00RRGGBB, row by row from the top (the layout of a
// 32-bit top-down DIB section), so Win32 code copies them to and from a DIB in one go.
#include <array>
#include <cstdint>

struct TBitmap16 {
    static constexpr int Width = 16;
    static constexpr int Height = 16;
    static constexpr uint32_t White = 0x00FFFFFF;

    TBitmap16() { Pixels.fill(White); }

    uint32_t& At(int x, int y) { return Pixels[static_cast<std::size_t>(y * Width + x)]; }
    uint32_t At(int x, int y) const { return Pixels[static_cast<std::size_t>(y * Width + x)]; }
    // When the bitmap is drawn transparently, pixels of this colour are not painted.
    uint32_t TransparentColor() const { return At(0, Height - 1); }
    void Reset() {
        Pixels.fill(White);
        Transparent = false;
    }

    std::array<uint32_t, Width * Height> Pixels{};
    bool Transparent = false;
};
