#pragma once
// How the snapshot lays out its buffers in the shell's process and what it makes of the
// answers, on plain data. The toolbar is read in batches: one remote block holds, for every
// button of a batch, a slot for its TBBUTTON, one for its rectangle and one for its caption,
// so that the TBBUTTONs come back in one transfer and the rectangles and captions in another.
// taskbar/taskbuttons_win.cpp carries this out.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "taskbar/taskbuttons.h"

// Buttons per batch: a longer toolbar is read batch after batch through the same block.
constexpr uint32_t kReadBatchButtons = 64;
// Bytes of the rectangle TB_GETRECT writes (a RECT).
constexpr uint32_t kRemoteRectSize = 16;
// Room behind every caption buffer. TB_GETBUTTONTEXTW copies the whole text, without a limit,
// so a caption that grows between the length query and the fetch (its window renamed in
// between) writes on past its buffer: up to this many bytes more (more still for a caption
// slot, which has the later slots behind it) land in our own block instead of the shell's. The
// fetch's answer then shows the growth and the caption is fetched again into a buffer of its new
// length. What no reader can prevent: a caption that grows by more than that between the two
// messages is written past the block, into whatever the shell has there (or, at the end of the
// reservation, faults in the shell). Taskbar captions are far shorter than the slack: 4096
// characters of UTF-16.
constexpr uint32_t kCaptionSlack = 8192;
// Fetches of one caption before it counts as unreadable: the first, and one more each time the
// caption turns out to have grown past its buffer.
constexpr int kCaptionFetches = 3;

// A reading taken in steps keeps each part near kPartMs, so that the window between the steps
// stays answering also when the shell answers slowly. The buttons of the next part, after a
// part of Read buttons took Ms: fewer in proportion when it took longer than kPartMs (at least
// one), twice as many when it took less than half (at most Max), else as many as now.
constexpr uint32_t kPartMs = 25;
int FitPartSize(int Current, int Max, int Read, uint32_t Ms);

// Offsets in the remote block of one batch of Slots buttons.
struct TReadBlockLayout {
    uint32_t Slots = 0;
    uint32_t ButtonSize = 0; // sizeof(TBBUTTON) of this build
    uint32_t RectsAt = 0;    // the rectangle slots, kRemoteRectSize each
    uint32_t TextsAt = 0;    // the caption slots, kCaptionBufferSize each
    uint32_t Size = 0;       // the whole block, kCaptionSlack behind the last caption included

    uint32_t Button(uint32_t i) const { return i * ButtonSize; }
    uint32_t Rect(uint32_t i) const { return RectsAt + i * kRemoteRectSize; }
    uint32_t Text(uint32_t i) const { return TextsAt + i * kCaptionBufferSize; }
};
// The block for batches of at most Slots buttons (1 .. kReadBatchButtons): TBBUTTONs first,
// then rectangles, then captions, so that a caption running on past its slot runs into the
// caption slots of later buttons (fetched after it) and the slack, never into a rectangle.
TReadBlockLayout PlanReadBlock(uint32_t Slots, uint32_t ButtonSize);

// What a fetch of a caption into a buffer of Capacity bytes gave, from the length the fetch
// answered: the caption lies whole in the buffer (Fits), cannot be had (Unreadable), or grew
// past the buffer since its length was asked and must be fetched again into a large buffer of
// LargeSize bytes (Grew).
struct TCaptionFetch {
    enum TKind { Unreadable, Fits, Grew } Kind;
    uint32_t LargeSize = 0;
};
TCaptionFetch CheckCaptionFetch(int64_t Answer, uint32_t Capacity);

// The text in front of the first zero byte among the Count bytes at Bytes (all of them when
// there is none).
std::string TextBeforeZero(const char* Bytes, std::size_t Count);

// Captions are fetched as UTF-16 (TB_GETBUTTONTEXTW), whose answer counts 16-bit units, while
// PlanCaptionRead and CheckCaptionFetch count the bytes in front of a one-byte zero. This is a
// caption of Units units in their terms: its 2 * Units bytes and the first byte of its two-byte
// zero (0 stays 0, a failure's negative answer stays negative).
int64_t WideCaptionLength(int64_t Units);

// One read that covers the first four bytes of every dwData block, when they lie close enough
// together: from the lowest address to four bytes past the highest, at most kWindowSpanLimit
// bytes. Reading the blocks one by one stays the way for the rest (and for a span that cannot
// be read).
constexpr uint32_t kWindowSpanLimit = 65536;
struct TWindowSpan {
    bool Use = false;
    uint64_t Start = 0;
    uint32_t Size = 0;
};
TWindowSpan PlanWindowSpan(const std::vector<uint64_t>& Blocks);

// The toolbar index of a button by its command id, as TB_COMMANDTOINDEX answers it (the position
// of the first button with that id), worked out from the buttons read so far in toolbar order,
// so that reading a toolbar costs one message less per button.
class TCommandIndexes {
public:
    // The button at Position has the command Id; buttons are given in toolbar order.
    int32_t IndexOf(int32_t Id, int32_t Position);

private:
    std::vector<std::pair<int32_t, int32_t>> First_; // id, first position; in toolbar order
};
