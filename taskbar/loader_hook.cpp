#include "taskbar/loader_hook.h"

#include <cstdio>

bool IconHookStopped(uint32_t StopHookResult) {
    return (StopHookResult & 0xFF) == 1;
}

bool IconPixelsFor(const TIconPixels& Pixels, uint64_t IconHandle) {
    return Pixels.Magic == TIconPixels::kMagic && Pixels.Size == sizeof(TIconPixels) &&
           IconHandle != 0 && Pixels.Icon == IconHandle;
}

std::string IconMaskRows(const TIconPixels& Pixels) {
    constexpr int kRowBytes = TIconPixels::Side / 8;
    std::string rows(static_cast<std::size_t>(kRowBytes * TIconPixels::Side), '\0');
    for (int y = 0; y < TIconPixels::Side; ++y)
        for (int x = 0; x < TIconPixels::Side; ++x)
            if (Pixels.Mask[y * TIconPixels::Side + x] != 0)
                rows[static_cast<std::size_t>(y * kRowBytes + x / 8)] |=
                    static_cast<char>(0x80 >> (x % 8));
    return rows;
}

std::string IconPixelsSectionName(TWndHandle ReplyWnd) {
    char name[64];
    std::snprintf(name, sizeof name, "ZorvaneIconPixels.%llX",
                  static_cast<unsigned long long>(static_cast<uintptr_t>(ReplyWnd)));
    return name;
}
