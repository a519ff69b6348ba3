#pragma once
// Silent movie clips as the common controls' animation control plays them: an AVI file with
// one video stream of 8-bit palette frames, each compressed on its own with RLE8 (BI_RLE8),
// so every frame is a key frame and a player may start at any of them. Platform-free.
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace zvavi {

struct TRgb {
    uint8_t R = 0, G = 0, B = 0;
    bool operator==(const TRgb& O) const { return R == O.R && G == O.G && B == O.B; }
    bool operator<(const TRgb& O) const {
        return R != O.R ? R < O.R : G != O.G ? G < O.G : B < O.B;
    }
};

// A frame of palette indexes, Width x Height, the top row first.
using TIndexedFrame = std::vector<uint8_t>;

struct TClip {
    int Width = 0;
    int Height = 0;
    uint32_t MicroSecPerFrame = 200000;
    std::vector<TRgb> Palette; // at most 256 colours
    std::vector<TIndexedFrame> Frames;
};

class EClipError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One frame in RLE8 as a DIB holds it: the bottom row first; every pixel is coded (no skips),
// each row but the last ends with an end-of-line mark and the last with the end-of-bitmap
// mark.
std::vector<uint8_t> EncodeRle8(const TIndexedFrame& Frame, int Width, int Height);

// The whole AVI file. Raises EClipError for a clip without frames, a frame of the wrong size,
// an index outside the palette or a palette of more than 256 colours.
std::vector<uint8_t> WriteAvi(const TClip& Clip);

// Frames of 24-bit colour turned into palette frames: the palette holds every colour that
// occurs, sorted, and must not exceed 256 colours (EClipError otherwise; reduce the colours
// first). Each frame is Width x Height colours, the top row first.
TClip IndexFrames(const std::vector<std::vector<TRgb>>& Frames, int Width, int Height,
                  uint32_t MicroSecPerFrame);

} // namespace zvavi
