// The movie clip writer: RLE8 frames that decode to the pictures they were made from, and an
// AVI file whose chunks, headers and index lead a reader to every frame.
#include "tools/moviemaker/RleAvi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using zvavi::TClip;
using zvavi::TIndexedFrame;
using zvavi::TRgb;

namespace {

// Decodes BI_RLE8 data as a DIB reader does; fails the test on a malformed stream. The rows
// come back top row first.
TIndexedFrame DecodeRle8(const std::vector<uint8_t>& Data, int Width, int Height) {
    TIndexedFrame out(static_cast<size_t>(Width * Height), 0xEE);
    int x = 0, y = Height - 1;
    size_t i = 0;
    auto put = [&](uint8_t v) {
        EXPECT_LT(x, Width) << "a row runs past its end";
        EXPECT_GE(y, 0);
        if (x < Width && y >= 0)
            out[static_cast<size_t>(y * Width + x)] = v;
        ++x;
    };
    while (i + 1 < Data.size()) {
        const uint8_t a = Data[i], b = Data[i + 1];
        i += 2;
        if (a > 0) {
            for (int k = 0; k < a; ++k)
                put(b);
        } else if (b == 0) {
            EXPECT_EQ(x, Width) << "a row ends early (a skip) at row " << y;
            x = 0;
            --y;
        } else if (b == 1) {
            EXPECT_EQ(y, 0) << "the bitmap ends early";
            EXPECT_EQ(i, Data.size()) << "data after the end of the bitmap";
            return out;
        } else if (b == 2) {
            ADD_FAILURE() << "a delta (skip) in a frame that must stand alone";
            return out;
        } else {
            EXPECT_GE(b, 3);
            for (int k = 0; k < b; ++k)
                put(Data[i + static_cast<size_t>(k)]);
            i += b + (b % 2);
        }
    }
    ADD_FAILURE() << "no end-of-bitmap mark";
    return out;
}

TIndexedFrame Pattern(int Width, int Height, uint8_t (*F)(int X, int Y)) {
    TIndexedFrame f;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            f.push_back(F(x, y));
    return f;
}

uint32_t U32(const std::vector<uint8_t>& D, size_t At) {
    uint32_t v;
    std::memcpy(&v, D.data() + At, 4);
    return v;
}
std::string Fourcc(const std::vector<uint8_t>& D, size_t At) {
    return std::string(reinterpret_cast<const char*>(D.data() + At), 4);
}

// A chunk found under a parent: where its data begins and how long it is.
struct TChunk {
    size_t Data = 0;
    uint32_t Size = 0;
};
// The first chunk (or LIST of type Id) in [Begin, End); Data is past a LIST's type.
TChunk Find(const std::vector<uint8_t>& D, size_t Begin, size_t End, const std::string& Id) {
    for (size_t at = Begin; at + 8 <= End;) {
        const uint32_t size = U32(D, at + 4);
        if (Fourcc(D, at) == Id)
            return {at + 8, size};
        if (Fourcc(D, at) == "LIST" && Fourcc(D, at + 8) == Id)
            return {at + 12, size - 4};
        at += 8 + size + (size % 2);
    }
    ADD_FAILURE() << "no chunk " << Id;
    return {End, 0};
}

} // namespace

TEST(Rle8, EveryKindOfRowDecodesToItsPicture) {
    struct {
        const char* Name;
        int Width, Height;
        uint8_t (*F)(int, int);
    } cases[] = {
        {"one colour, runs longer than 255", 700, 3, [](int, int) -> uint8_t { return 7; }},
        {"no two equal neighbours, literals longer than 255", 601, 2,
         [](int x, int y) -> uint8_t { return static_cast<uint8_t>((x + y) % 2 ? x : 255 - x); }},
        {"odd literal stretches between runs", 40, 4,
         [](int x, int) -> uint8_t { return static_cast<uint8_t>(x % 8 < 3 ? x : 200); }},
        {"pairs and singles too short for a literal", 17, 3,
         [](int x, int) -> uint8_t { return static_cast<uint8_t>((x / 2) % 3 + (x % 5 == 0)); }},
        {"one pixel", 1, 1, [](int, int) -> uint8_t { return 3; }},
        {"two pixels a row", 2, 5,
         [](int x, int y) -> uint8_t { return static_cast<uint8_t>(x * y); }},
        {"every row different", 31, 9,
         [](int x, int y) -> uint8_t {
             return static_cast<uint8_t>((x * 37 + y * 11) % 251 / (y + 1));
         }},
    };
    for (const auto& c : cases) {
        const TIndexedFrame frame = Pattern(c.Width, c.Height, c.F);
        const std::vector<uint8_t> rle = zvavi::EncodeRle8(frame, c.Width, c.Height);
        EXPECT_EQ(rle.size() % 2, 0u) << c.Name;
        EXPECT_EQ(DecodeRle8(rle, c.Width, c.Height), frame) << c.Name;
    }
    // A flat picture is small: the point of compressing.
    EXPECT_LT(zvavi::EncodeRle8(Pattern(700, 3, cases[0].F), 700, 3).size(), 40u);
}

TEST(Avi, TheHeadersTheFramesAndTheIndexLeadToEveryFrame) {
    TClip clip;
    clip.Width = 21;
    clip.Height = 6;
    clip.MicroSecPerFrame = 125000;
    clip.Palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    for (uint8_t k = 0; k < 3; ++k)
        clip.Frames.push_back(Pattern(
            21, 6,
            k == 0 ? [](int, int) -> uint8_t { return 0; }
                   : k == 1
            ? [](int x, int) -> uint8_t { return x % 3; }
            : [](int, int y) -> uint8_t { return y % 2 + 1; }));
    const std::vector<uint8_t> d = zvavi::WriteAvi(clip);

    ASSERT_EQ(Fourcc(d, 0), "RIFF");
    EXPECT_EQ(U32(d, 4), d.size() - 8);
    EXPECT_EQ(Fourcc(d, 8), "AVI ");
    const TChunk hdrl = Find(d, 12, d.size(), "hdrl");
    const TChunk avih = Find(d, hdrl.Data, hdrl.Data + hdrl.Size, "avih");
    ASSERT_EQ(avih.Size, 56u);
    EXPECT_EQ(U32(d, avih.Data), 125000u);  // microseconds a frame
    EXPECT_EQ(U32(d, avih.Data + 16), 3u);  // frames
    EXPECT_EQ(U32(d, avih.Data + 24), 1u);  // streams
    EXPECT_EQ(U32(d, avih.Data + 32), 21u); // width
    EXPECT_EQ(U32(d, avih.Data + 36), 6u);  // height
    const uint32_t buffer = U32(d, avih.Data + 28);

    const TChunk strl = Find(d, hdrl.Data, hdrl.Data + hdrl.Size, "strl");
    const TChunk strh = Find(d, strl.Data, strl.Data + strl.Size, "strh");
    ASSERT_EQ(strh.Size, 56u);
    EXPECT_EQ(Fourcc(d, strh.Data), "vids");
    EXPECT_EQ(U32(d, strh.Data + 20) * 1000000.0 / U32(d, strh.Data + 24), 125000.0);
    EXPECT_EQ(U32(d, strh.Data + 32), 3u); // length in frames
    const TChunk strf = Find(d, strl.Data, strl.Data + strl.Size, "strf");
    ASSERT_EQ(strf.Size, 40u + 3 * 4);
    EXPECT_EQ(U32(d, strf.Data + 4), 21u);
    EXPECT_EQ(U32(d, strf.Data + 8), 6u);               // bottom-up
    EXPECT_EQ(U32(d, strf.Data + 12), 8u << 16 | 1u);   // one plane, 8 bits
    EXPECT_EQ(U32(d, strf.Data + 16), 1u);              // BI_RLE8
    EXPECT_EQ(U32(d, strf.Data + 20), buffer);          // the largest frame
    EXPECT_EQ(U32(d, strf.Data + 32), 3u);              // colours
    EXPECT_EQ(U32(d, strf.Data + 40 + 4), 0x0000FF00u); // green as B, G, R, 0

    const TChunk movi = Find(d, 12, d.size(), "movi");
    const TChunk idx1 = Find(d, 12, d.size(), "idx1");
    ASSERT_EQ(idx1.Size, 3u * 16);
    size_t at = movi.Data;
    uint32_t largest = 0;
    for (size_t k = 0; k < 3; ++k) {
        ASSERT_EQ(Fourcc(d, at), "00dc") << k;
        const uint32_t size = U32(d, at + 4);
        largest = std::max(largest, size);
        const std::vector<uint8_t> data(d.begin() + static_cast<long>(at + 8),
                                        d.begin() + static_cast<long>(at + 8 + size));
        EXPECT_EQ(DecodeRle8(data, 21, 6), clip.Frames[k]) << k;
        // The index entry: the same chunk, a key frame, its offset counted from "movi".
        const size_t e = idx1.Data + 16 * k;
        EXPECT_EQ(Fourcc(d, e), "00dc");
        EXPECT_EQ(U32(d, e + 4), 0x10u);
        EXPECT_EQ(U32(d, e + 8), at - (movi.Data - 4));
        EXPECT_EQ(U32(d, e + 12), size);
        at += 8 + size + size % 2;
    }
    EXPECT_EQ(at, movi.Data + movi.Size);
    EXPECT_EQ(largest, buffer);
}

TEST(Avi, FaultyClipsAreRefused) {
    TClip good;
    good.Width = 2;
    good.Height = 1;
    good.Palette = {{1, 2, 3}};
    good.Frames = {{0, 0}};
    EXPECT_NO_THROW(zvavi::WriteAvi(good));
    auto refused = [](TClip c) { EXPECT_THROW(zvavi::WriteAvi(c), zvavi::EClipError); };
    TClip c = good;
    c.Frames.clear();
    refused(c);
    c = good;
    c.Frames.push_back({0});
    refused(c); // a frame of the wrong size
    c = good;
    c.Frames = {{0, 1}};
    refused(c); // an index outside the palette
    c = good;
    c.Palette.resize(257);
    refused(c);
}

TEST(IndexFrames, ThePaletteHoldsEveryColourOnceAndAtMost256) {
    const TRgb red{255, 0, 0}, blue{0, 0, 255}, grey{9, 9, 9};
    const TClip clip = zvavi::IndexFrames({{red, blue, red}, {grey, grey, blue}}, 3, 1, 40000);
    ASSERT_EQ(clip.Palette.size(), 3u);
    for (size_t f = 0; f < 2; ++f)
        for (size_t i = 0; i < 3; ++i) {
            const TRgb want = f == 0 ? (i == 1 ? blue : red) : (i == 2 ? blue : grey);
            EXPECT_EQ(clip.Palette[clip.Frames[f][i]], want) << f << "," << i;
        }
    EXPECT_EQ(clip.MicroSecPerFrame, 40000u);

    std::vector<TRgb> many;
    for (int i = 0; i < 257; ++i)
        many.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(i / 256), 0});
    EXPECT_THROW(zvavi::IndexFrames({many}, 257, 1, 40000), zvavi::EClipError);
    EXPECT_THROW(zvavi::IndexFrames({{red}, {red, red}}, 1, 1, 40000), zvavi::EClipError);
}
