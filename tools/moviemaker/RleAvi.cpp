#include "tools/moviemaker/RleAvi.h"

#include <algorithm>
#include <map>
#include <string>

namespace zvavi {
namespace {

// ---- RLE8

// The length of the run of equal pixels that starts at I, at most Max long.
size_t RunAt(const uint8_t* Row, size_t I, size_t Width, size_t Max) {
    size_t n = 1;
    while (I + n < Width && n < Max && Row[I + n] == Row[I])
        ++n;
    return n;
}

// Runs of three or more equal pixels are coded as runs; what lies between them as literal
// (absolute) stretches, which must be at least three pixels long; shorter ones as runs too.
void EncodeRow(const uint8_t* Row, size_t Width, std::vector<uint8_t>& Out) {
    constexpr size_t kMax = 255;
    size_t i = 0;
    while (i < Width) {
        const size_t run = RunAt(Row, i, Width, kMax);
        if (run >= 3) {
            Out.push_back(static_cast<uint8_t>(run));
            Out.push_back(Row[i]);
            i += run;
            continue;
        }
        size_t end = i;
        while (end < Width && end - i < kMax && RunAt(Row, end, Width, 3) < 3)
            ++end;
        const size_t n = end - i;
        if (n < 3) {
            for (size_t k = i; k < end;) {
                const size_t r = RunAt(Row, k, end, kMax);
                Out.push_back(static_cast<uint8_t>(r));
                Out.push_back(Row[k]);
                k += r;
            }
        } else {
            Out.push_back(0);
            Out.push_back(static_cast<uint8_t>(n));
            Out.insert(Out.end(), Row + i, Row + end);
            if (n % 2)
                Out.push_back(0); // a literal stretch ends on a 16-bit boundary
        }
        i = end;
    }
}

// ---- RIFF

void Put16(std::vector<uint8_t>& Out, uint32_t V) {
    Out.push_back(static_cast<uint8_t>(V));
    Out.push_back(static_cast<uint8_t>(V >> 8));
}
void Put32(std::vector<uint8_t>& Out, uint32_t V) {
    Put16(Out, V & 0xFFFF);
    Put16(Out, V >> 16);
}
void PutFourcc(std::vector<uint8_t>& Out, const char* F) {
    Out.insert(Out.end(), F, F + 4);
}
void Patch32(std::vector<uint8_t>& Out, size_t At, uint32_t V) {
    for (int k = 0; k < 4; ++k)
        Out[At + static_cast<size_t>(k)] = static_cast<uint8_t>(V >> (8 * k));
}

// Opens a chunk (a LIST or RIFF with its type when Type is set); returns where its size goes.
size_t Open(std::vector<uint8_t>& Out, const char* Id, const char* Type = nullptr) {
    PutFourcc(Out, Id);
    const size_t sizeAt = Out.size();
    Put32(Out, 0);
    if (Type)
        PutFourcc(Out, Type);
    return sizeAt;
}
// Closes a chunk: its size, and a pad byte after an odd size.
void Close(std::vector<uint8_t>& Out, size_t SizeAt) {
    const size_t size = Out.size() - SizeAt - 4;
    Patch32(Out, SizeAt, static_cast<uint32_t>(size));
    if (size % 2)
        Out.push_back(0);
}

constexpr uint32_t kAvifHasIndex = 0x10;
constexpr uint32_t kAviifKeyFrame = 0x10;
constexpr uint32_t kBiRle8 = 1;

void CheckClip(const TClip& Clip) {
    if (Clip.Frames.empty())
        throw EClipError("the clip has no frames");
    if (Clip.Width <= 0 || Clip.Height <= 0 || Clip.Width > 0x7FFF || Clip.Height > 0x7FFF)
        throw EClipError("the frame size is out of range");
    if (Clip.Palette.empty() || Clip.Palette.size() > 256)
        throw EClipError("the palette must hold 1 to 256 colours");
    const size_t pixels = static_cast<size_t>(Clip.Width) * static_cast<size_t>(Clip.Height);
    for (const TIndexedFrame& f : Clip.Frames) {
        if (f.size() != pixels)
            throw EClipError("a frame is not of the clip's size");
        if (*std::max_element(f.begin(), f.end()) >= Clip.Palette.size())
            throw EClipError("a frame uses a colour outside the palette");
    }
}

} // namespace

std::vector<uint8_t> EncodeRle8(const TIndexedFrame& Frame, int Width, int Height) {
    std::vector<uint8_t> out;
    const auto w = static_cast<size_t>(Width);
    for (int y = Height - 1; y >= 0; --y) {
        EncodeRow(Frame.data() + static_cast<size_t>(y) * w, w, out);
        out.push_back(0);
        out.push_back(y == 0 ? 1 : 0); // end of bitmap after the top row, else end of line
    }
    return out;
}

std::vector<uint8_t> WriteAvi(const TClip& Clip) {
    CheckClip(Clip);
    std::vector<std::vector<uint8_t>> frames;
    size_t largest = 0;
    for (const TIndexedFrame& f : Clip.Frames) {
        frames.push_back(EncodeRle8(f, Clip.Width, Clip.Height));
        largest = std::max(largest, frames.back().size());
    }
    const auto count = static_cast<uint32_t>(frames.size());
    const auto w = static_cast<uint32_t>(Clip.Width);
    const auto h = static_cast<uint32_t>(Clip.Height);
    const auto buffer = static_cast<uint32_t>(largest);

    std::vector<uint8_t> out;
    const size_t riff = Open(out, "RIFF", "AVI ");
    const size_t hdrl = Open(out, "LIST", "hdrl");
    const size_t avih = Open(out, "avih");
    Put32(out, Clip.MicroSecPerFrame);
    Put32(out, static_cast<uint32_t>(uint64_t{buffer} * 1000000 /
                                     std::max<uint32_t>(Clip.MicroSecPerFrame, 1)));
    Put32(out, 0); // padding granularity
    Put32(out, kAvifHasIndex);
    Put32(out, count);
    Put32(out, 0); // initial frames
    Put32(out, 1); // streams
    Put32(out, buffer);
    Put32(out, w);
    Put32(out, h);
    for (int k = 0; k < 4; ++k)
        Put32(out, 0);
    Close(out, avih);

    const size_t strl = Open(out, "LIST", "strl");
    const size_t strh = Open(out, "strh");
    PutFourcc(out, "vids");
    PutFourcc(out, "mrle");
    Put32(out, 0);                     // flags
    Put16(out, 0);                     // priority
    Put16(out, 0);                     // language
    Put32(out, 0);                     // initial frames
    Put32(out, Clip.MicroSecPerFrame); // scale / rate = seconds per frame
    Put32(out, 1000000);
    Put32(out, 0); // start
    Put32(out, count);
    Put32(out, buffer);
    Put32(out, 0xFFFFFFFF); // quality: the default
    Put32(out, 0);          // sample size: frames vary
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, w);
    Put16(out, h);
    Close(out, strh);

    const size_t strf = Open(out, "strf");
    Put32(out, 40);
    Put32(out, w);
    Put32(out, h); // positive: bottom-up, as RLE needs
    Put16(out, 1);
    Put16(out, 8);
    Put32(out, kBiRle8);
    // The largest frame: a player that reads every frame into one buffer of this size
    // decodes each up to its end-of-bitmap mark.
    Put32(out, buffer);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, static_cast<uint32_t>(Clip.Palette.size()));
    Put32(out, 0);
    for (const TRgb& c : Clip.Palette) {
        out.push_back(c.B);
        out.push_back(c.G);
        out.push_back(c.R);
        out.push_back(0);
    }
    Close(out, strf);
    Close(out, strl);
    Close(out, hdrl);

    const size_t movi = Open(out, "LIST", "movi");
    std::vector<uint32_t> offsets;
    for (const auto& f : frames) {
        offsets.push_back(static_cast<uint32_t>(out.size() - (movi + 4))); // from "movi"
        const size_t chunk = Open(out, "00dc");
        out.insert(out.end(), f.begin(), f.end());
        Close(out, chunk);
    }
    Close(out, movi);

    const size_t idx1 = Open(out, "idx1");
    for (size_t k = 0; k < frames.size(); ++k) {
        PutFourcc(out, "00dc");
        Put32(out, kAviifKeyFrame);
        Put32(out, offsets[k]);
        Put32(out, static_cast<uint32_t>(frames[k].size()));
    }
    Close(out, idx1);
    Close(out, riff);
    return out;
}

TClip IndexFrames(const std::vector<std::vector<TRgb>>& Frames, int Width, int Height,
                  uint32_t MicroSecPerFrame) {
    TClip clip;
    clip.Width = Width;
    clip.Height = Height;
    clip.MicroSecPerFrame = MicroSecPerFrame;
    std::map<TRgb, uint8_t> index;
    for (const auto& f : Frames)
        for (const TRgb& c : f) {
            index.emplace(c, 0);
            if (index.size() > 256)
                throw EClipError("the frames hold more than 256 colours");
        }
    for (auto& [colour, i] : index) {
        i = static_cast<uint8_t>(clip.Palette.size());
        clip.Palette.push_back(colour);
    }
    const size_t pixels = static_cast<size_t>(Width) * static_cast<size_t>(Height);
    for (const auto& f : Frames) {
        if (f.size() != pixels)
            throw EClipError("a frame is not " + std::to_string(Width) + " x " +
                             std::to_string(Height) + " pixels");
        TIndexedFrame frame(pixels);
        std::transform(f.begin(), f.end(), frame.begin(),
                       [&](const TRgb& c) { return index.at(c); });
        clip.Frames.push_back(std::move(frame));
    }
    return clip;
}

} // namespace zvavi
