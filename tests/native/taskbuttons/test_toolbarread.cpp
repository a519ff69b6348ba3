// The batched reading's block layout, caption checks and window span, on plain data.
#include "taskbar/toolbarread.h"

#include <gtest/gtest.h>

namespace {

TEST(PlanReadBlock, SlotsInOrderWithTheSlackBehindTheLastCaption) {
    for (uint32_t buttonSize : {20u, 32u}) { // TBBUTTON of the i686 and the x86_64 build
        SCOPED_TRACE(buttonSize);
        const TReadBlockLayout l = PlanReadBlock(20, buttonSize);
        EXPECT_EQ(l.Slots, 20u);
        EXPECT_EQ(l.Button(19) + buttonSize, 20 * buttonSize); // TBBUTTONs back to back
        EXPECT_GE(l.RectsAt, l.Button(20));
        EXPECT_EQ(l.RectsAt % 16, 0u);
        EXPECT_EQ(l.Rect(19) + kRemoteRectSize, l.TextsAt); // rectangles before any caption
        EXPECT_EQ(l.Text(19) + kCaptionBufferSize + kCaptionSlack, l.Size);
    }
    EXPECT_EQ(PlanReadBlock(0, 32).Slots, 1u);
    EXPECT_EQ(PlanReadBlock(5000, 32).Slots, kReadBatchButtons);
}

TEST(FitPartSize, ASlowShellMakesThePartsSmallerAndAQuickOneLetsThemGrowBack) {
    // 16 buttons took 1.3 s (80 ms a button): one button a part from now on, never none.
    EXPECT_EQ(FitPartSize(16, 16, 16, 1300), 1);
    EXPECT_EQ(FitPartSize(1, 16, 1, 80), 1);
    EXPECT_EQ(FitPartSize(1, 16, 0, 5000), 1);
    // 16 buttons took 50 ms: 8 fit in 25 ms.
    EXPECT_EQ(FitPartSize(16, 16, 16, 50), 8);
    // Quick again: doubling up to the size asked for, never past it.
    EXPECT_EQ(FitPartSize(1, 16, 1, 0), 2);
    EXPECT_EQ(FitPartSize(12, 16, 12, 0), 16);
    EXPECT_EQ(FitPartSize(16, 16, 16, 0), 16);
    // In between: as it is.
    EXPECT_EQ(FitPartSize(5, 16, 5, 20), 5);
}

TEST(CheckCaptionFetch, WholeInTheBufferOrFetchedAgainIntoALargerOne) {
    struct Row {
        int line;
        int64_t answer;
        uint32_t capacity;
        TCaptionFetch::TKind kind;
        uint32_t large;
    };
    const Row rows[] = {
        {__LINE__, -1, 1024, TCaptionFetch::Unreadable, 0},
        {__LINE__, 0, 1024, TCaptionFetch::Fits, 0},
        {__LINE__, 1023, 1024, TCaptionFetch::Fits, 0},
        {__LINE__, 1024, 1024, TCaptionFetch::Grew, 1025}, // its zero ran past the buffer
        {__LINE__, 3000, 1024, TCaptionFetch::Grew, 3001},
        {__LINE__, 3000, 3001, TCaptionFetch::Fits, 0},
        {__LINE__, 3001, 3001, TCaptionFetch::Grew, 3002},
        {__LINE__, int64_t(UINT32_MAX), 1024, TCaptionFetch::Unreadable, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        const TCaptionFetch got = CheckCaptionFetch(row.answer, row.capacity);
        EXPECT_EQ(got.Kind, row.kind);
        if (row.kind == TCaptionFetch::Grew) {
            EXPECT_EQ(got.LargeSize, row.large);
        }
    }
}

// A UTF-16 caption and its two-byte zero must fit the buffer it is fetched into.
TEST(WideCaptionLength, AWideCaptionIsPlacedByItsBytes) {
    EXPECT_EQ(PlanCaptionRead(WideCaptionLength(-1)).Kind, TCaptionRead::Unreadable);
    EXPECT_EQ(PlanCaptionRead(WideCaptionLength(0)).Kind, TCaptionRead::Empty);
    EXPECT_EQ(PlanCaptionRead(WideCaptionLength(511)).Kind, TCaptionRead::InCaptionBuffer);
    const TCaptionRead large = PlanCaptionRead(WideCaptionLength(512));
    EXPECT_EQ(large.Kind, TCaptionRead::InLargeBuffer);
    EXPECT_EQ(large.LargeSize, 1026u);
    EXPECT_EQ(CheckCaptionFetch(WideCaptionLength(512), 1026).Kind, TCaptionFetch::Fits);
    const TCaptionFetch grew = CheckCaptionFetch(WideCaptionLength(513), 1026);
    EXPECT_EQ(grew.Kind, TCaptionFetch::Grew);
    EXPECT_EQ(grew.LargeSize, 1028u);
    EXPECT_EQ(PlanCaptionRead(WideCaptionLength(int64_t(UINT32_MAX) / 2)).Kind,
              TCaptionRead::Unreadable)
        << "too long to be held in 32 bits of bytes";
}

TEST(TextBeforeZero, StopsAtTheFirstZeroOrTheEnd) {
    EXPECT_EQ(TextBeforeZero("ab\0cd", 5), "ab");
    EXPECT_EQ(TextBeforeZero("abcd", 3), "abc");
    EXPECT_EQ(TextBeforeZero("\0", 1), "");
}

TEST(PlanWindowSpan, OneReadOnlyForBlocksCloseTogether) {
    const TWindowSpan close = PlanWindowSpan({0x5000, 0x4020, 0x4800});
    EXPECT_TRUE(close.Use);
    EXPECT_EQ(close.Start, 0x4020u);
    EXPECT_EQ(close.Size, 0x5004u - 0x4020u);
    const uint64_t low = 0x100000;
    EXPECT_TRUE(PlanWindowSpan({low, low + kWindowSpanLimit - 4}).Use);
    EXPECT_FALSE(PlanWindowSpan({low, low + kWindowSpanLimit - 3}).Use);
    EXPECT_FALSE(PlanWindowSpan({}).Use);
    EXPECT_FALSE(PlanWindowSpan({0, 8}).Use); // a null block: read one by one, where it fails
    EXPECT_FALSE(PlanWindowSpan({UINT64_MAX - 2}).Use);
}

} // namespace

TEST(CommandIndexes, TheFirstButtonWithTheIdAsTheToolbarAnswers) {
    TCommandIndexes indexes;
    EXPECT_EQ(indexes.IndexOf(1000, 0), 0);
    EXPECT_EQ(indexes.IndexOf(1001, 1), 1);
    EXPECT_EQ(indexes.IndexOf(1000, 2), 0) << "an id used twice names its first button";
    EXPECT_EQ(indexes.IndexOf(7, 4), 4) << "a position the toolbar had no button at is skipped";
}
