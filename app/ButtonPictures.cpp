#include "app/ButtonPictures.h"

#include <array>
#include <initializer_list>
#include <stdexcept>
#include <string>

namespace {
constexpr uint32_t kClear = 0x00FF00FF; // the transparent colour of every picture

// One colour of a picture's drawing, by the letter that stands for it in the rows.
struct TInk {
    char Key;
    uint32_t Color;
};

using TArt = std::array<const char*, TBitmap16::Height>;

// Paints the rows of letters, one letter per pixel ('.' is transparent). A letter without an
// ink is a fault of the drawing and raises std::logic_error.
TBitmap16 Paint(const TArt& Rows, std::initializer_list<TInk> Inks) {
    TBitmap16 b;
    b.Transparent = true;
    for (int y = 0; y < TBitmap16::Height; ++y) {
        const std::string row = Rows[static_cast<std::size_t>(y)];
        if (row.size() != TBitmap16::Width)
            throw std::logic_error("a picture row is not 16 pixels wide");
        for (int x = 0; x < TBitmap16::Width; ++x) {
            const char key = row[static_cast<std::size_t>(x)];
            uint32_t color = kClear;
            bool found = key == '.';
            for (const TInk& ink : Inks)
                if (ink.Key == key) {
                    color = ink.Color;
                    found = true;
                }
            if (!found)
                throw std::logic_error(std::string("no ink for '") + key + "' in a picture");
            b.At(x, y) = color;
        }
    }
    return b;
}

// The blues of both arrows: lit from the left.
const std::initializer_list<TInk> kArrowInks = {
    {'o', 0x1C3C8A},                                   // outline
    {'e', 0x7F90B8},                                   // outline blended with the button face
    {'L', 0xB4D0F8},                                   // highlight
    {'l', 0x78A4EE}, {'b', 0x4279DC}, {'d', 0x2A5BBE}, // shade
};

const TArt kUpArrow = {
    "................", //
    ".......oo.......", //
    "......oLdo......", //
    ".....oLlbdo.....", //
    "....oLlbbbdo....", //
    "...oLlbbbbbdo...", //
    "..oLlbbbbbbbdo..", //
    ".oLlbbbbbbbbbdo.", //
    ".oooooLlbdooooo.", //
    ".....oLlbdo.....", //
    ".....oLlbdo.....", //
    ".....oLlbdo.....", //
    ".....oLlbdo.....", //
    ".....oLlbdo.....", //
    ".....oooooo.....", //
    "................", //
};

TBitmap16 UpArrow() {
    return Paint(kUpArrow, kArrowInks);
}

// The up arrow upside down: still lit from the left.
TBitmap16 DownArrow() {
    TBitmap16 up = UpArrow();
    TBitmap16 down = up;
    for (int y = 0; y < TBitmap16::Height; ++y)
        for (int x = 0; x < TBitmap16::Width; ++x)
            down.At(x, y) = up.At(x, TBitmap16::Height - 1 - y);
    return down;
}

// A white question mark on a round blue badge, lighter at the top left.
TBitmap16 Question() {
    return Paint(
        {
            "....eooooooe....", //
            "..eoo111122ooe..", //
            ".eo1111222222oe.", //
            ".o1112wwww2222o.", //
            "eo122ww22ww222oe", //
            "o22222222ww3333o", //
            "o2222222ww33333o", //
            "o222222ww333333o", //
            "o222233ww333333o", //
            "o23333333333344o", //
            "o333333ww334444o", //
            "eo33333ww44444oe", //
            ".o333334444444o.", //
            ".eo3344444444oe.", //
            "..eoo444444ooe..", //
            "....eooooooe....", //
        },
        {
            {'o', 0x1E4AA0},
            {'e', 0x8C9FC8},
            {'1', 0x8CB4F6},
            {'2', 0x6596EC},
            {'3', 0x3F78DE},
            {'4', 0x2C5FC4},
            {'w', 0xFFFFFF},
        });
}

// A double-headed arrow over a yellow ruler: measuring and moving along a row.
TBitmap16 Ruler() {
    return Paint(
        {
            "................", //
            "................", //
            "...B........B...", //
            "..BB........BB..", //
            ".BBBllllllllBBB.", //
            ".BBBDDDDDDDDBBB.", //
            "..BB........BB..", //
            "...B........B...", //
            "................", //
            "oooooooooooooooo", //
            "oyytytytytytytyo", //
            "oyytytytytytytyo", //
            "oyytyyytyyytyyyo", //
            "oYYYYYYYYYYYYYYo", //
            "oooooooooooooooo", //
            "................", //
        },
        {
            {'B', 0x2456C6},
            {'l', 0x6A96EA},
            {'D', 0x1A3F96},
            {'o', 0x7A5A14},
            {'y', 0xF6D868},
            {'Y', 0xD8AC3C},
            {'t', 0x5A4010},
        });
}

// A hammer lying across the picture: steel head at the top right, wooden handle.
TBitmap16 Hammer() {
    return Paint(
        {
            "................", //
            "........kk......", //
            ".......kMHk.....", //
            "......kMMMHk....", //
            "......kdMMMHk...", //
            ".......kdMMMHk..", //
            "........kdMMMHk.", //
            "........WkdMMMk.", //
            ".......Ww.kdMk..", //
            "......Ww...kk...", //
            ".....Ww.........", //
            "....Ww..........", //
            "...Ww...........", //
            "..Ww............", //
            ".Ww.............", //
            "................", //
        },
        {
            {'k', 0x3C4450}, // outline of the steel
            {'H', 0xE6EAF0},
            {'M', 0xA2ACBA},
            {'d', 0x6A7380},
            {'W', 0xC8863A}, // wood
            {'w', 0x80501E},
        });
}

// The power symbol in red: a ring open at the top with a bar through the gap.
TBitmap16 Power() {
    return Paint(
        {
            "................", //
            ".......RR.......", //
            "...e...RR...e...", //
            "..eRR..RR..RRe..", //
            "..RR...RR...RR..", //
            ".RR....RR....RR.", //
            ".RR....RR....RR.", //
            ".RR....RR....RR.", //
            ".RR....ee....RR.", //
            ".RR..........RR.", //
            ".RRe........eRR.", //
            "..RR........RR..", //
            "..eRR......RRe..", //
            "...eDDRRRRDDe...", //
            ".....DDDDDD.....", //
            "................", //
        },
        {
            {'R', 0xD42A1E},
            {'D', 0xB01E14},
            {'e', 0xE0968C},
        });
}
// A ring of four arrows chasing each other round, in four colours.
TBitmap16 ArrowRing() {
    return Paint(
        {
            "................", //
            ".....RRRRRR.....", //
            "...RRRRRRRRRr...", //
            "..GG......rRR...", //
            "..GG.......RRR..", //
            ".GGG......RRRRR.", //
            ".GG.......rRRRr.", //
            "GGGGG.........BB", //
            ".GGG..........BB", //
            "..G.......BBBBBB", //
            "..........bBBB..", //
            "...YYY.....BBB..", //
            "...YYYY....BB...", //
            "....YYYYYYYBB...", //
            ".....YYYYYYY....", //
            "................", //
        },
        {
            {'R', 0xD83A2A},
            {'r', 0xA02418},
            {'G', 0x2E9A3A},
            {'B', 0x2A5BCE},
            {'b', 0x1A3F96},
            {'Y', 0xE8B020},
        });
}

// A small taskbar: a blue bar with the green start button and two window buttons.
TBitmap16 SmallTaskbar() {
    return Paint(
        {
            "................", //
            "................", //
            "................", //
            "kkkkkkkkkkkkkkkk", //
            "kwwwwwwwwwwwwwwk", //
            "kwwwwwwwwwwwwwwk", //
            "kwwwwwwwwwwwwwwk", //
            "kwwwwwwwwwwwwwwk", //
            "kwwwwwwwwwwwwwwk", //
            "kkkkkkkkkkkkkkkk", //
            "GGGGGbbbbbbbbbbb", //
            "GgggGbLLLbLLLbbb", //
            "GgggGbLddbLddbbb", //
            "GGGGGbbbbbbbbbbb", //
            "................", //
            "................", //
        },
        {
            {'k', 0x404850},
            {'w', 0xF4F6FA},
            {'G', 0x2E8A2E},
            {'g', 0x5CC05C},
            {'b', 0x2A5BCE},
            {'L', 0x8AB0F0},
            {'d', 0x4A7AE0},
        });
}
} // namespace

TBitmap16 TrayPicture(int Index) {
    switch (Index) {
    case kTrayPictureArrows:
        return ArrowRing();
    case kTrayPictureTaskbar:
        return SmallTaskbar();
    }
    throw std::out_of_range("no tray picture " + std::to_string(Index));
}

TBitmap16 ButtonPicture(int Index) {
    switch (Index) {
    case kPictureUpArrow:
        return UpArrow();
    case kPictureDownArrow:
        return DownArrow();
    case kPictureQuestion:
        return Question();
    case kPictureRuler:
        return Ruler();
    case kPictureHammer:
        return Hammer();
    case kPicturePower:
        return Power();
    }
    throw std::out_of_range("no button picture " + std::to_string(Index));
}
