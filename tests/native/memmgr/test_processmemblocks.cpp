#include "taskbar/ProcessMemBlocks.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <map>

bool operator==(const TProcessMemBlock& a, const TProcessMemBlock& b) {
    return a.Address == b.Address && a.Size == b.Size && a.ChunkIndex == b.ChunkIndex &&
           a.Used == b.Used;
}

void PrintTo(const TProcessMemBlock& b, std::ostream* os) {
    *os << "{+" << b.Address << ", " << b.Size << ", chunk " << b.ChunkIndex
        << (b.Used ? ", used}" : ", free}");
}

namespace {
using ::testing::ElementsAre;

// A target process whose chunks lie 1 MB apart, each starting on a fresh megabyte.
class BlocksTest : public ::testing::Test {
protected:
    static constexpr uintptr_t ChunkSpacing = 0x100000;

    TProcessMemBlockList Blocks{[this](uint32_t Size) { AddChunk(Size); }};
    std::vector<uint32_t> ChunkSizes; // as requested from the target process
    bool FailNextChunk = false;

    void AddChunk(uint32_t Size) {
        if (FailNextChunk)
            throw Exception("the target process has no memory");
        const uint32_t size = ChunkSizeFor(Size);
        const auto index = static_cast<int32_t>(ChunkSizes.size());
        ChunkSizes.push_back(size);
        Blocks.AppendChunk(ChunkBase(index), size, index);
    }
    static uintptr_t ChunkBase(int32_t Index) {
        return ChunkSpacing * static_cast<uintptr_t>(Index + 1);
    }
    static TProcessMemBlock Used(uintptr_t Offset, uint32_t Size, int32_t Chunk = 0) {
        return {ChunkBase(Chunk) + Offset, Size, Chunk, true};
    }
    static TProcessMemBlock Free(uintptr_t Offset, uint32_t Size, int32_t Chunk = 0) {
        return {ChunkBase(Chunk) + Offset, Size, Chunk, false};
    }
};

TEST(ChunkSize, SmallRequestsGetSixteenKilobytesLargerOnesWholePages) {
    EXPECT_EQ(ChunkSizeFor(0), 16384u);
    EXPECT_EQ(ChunkSizeFor(16383), 16384u);
    EXPECT_EQ(ChunkSizeFor(16384), 16384u);
    EXPECT_EQ(ChunkSizeFor(16385), 20480u);
    EXPECT_EQ(ChunkSizeFor(20480), 20480u);
    EXPECT_EQ(ChunkSizeFor(0xFFFFF000u), 0xFFFFF000u);
}

TEST(ChunkSize, RequestWhoseLastPageWouldPassFourGigabytesIsRefused) {
    EXPECT_THROW(ChunkSizeFor(0xFFFFF001u), EProcessMemMgr);
    try {
        ChunkSizeFor(UINT32_MAX);
    } catch (const EProcessMemMgr& e) {
        EXPECT_EQ(e.Message, "ProcessMemMgr.AllocMem: not enough memory");
    }
}

TEST_F(BlocksTest, SnapshotBuffersShareTheFirstChunk) {
    EXPECT_EQ(Blocks.AllocMem(20), ChunkBase(0));
    EXPECT_EQ(Blocks.AllocMem(1024), ChunkBase(0) + 20);
    EXPECT_EQ(Blocks.AllocMem(16), ChunkBase(0) + 1044);
    EXPECT_THAT(ChunkSizes, ElementsAre(16384u));
    EXPECT_THAT(Blocks.Records(),
                ElementsAre(Used(0, 20), Used(20, 1024), Used(1044, 16), Free(1060, 16384 - 1060)));
}

TEST_F(BlocksTest, RequestOfAWholeChunkTakesItWholeAndLargerOnesGetWholePages) {
    EXPECT_EQ(Blocks.AllocMem(16384), ChunkBase(0));
    EXPECT_EQ(Blocks.AllocMem(16385), ChunkBase(1));
    EXPECT_THAT(ChunkSizes, ElementsAre(16384u, 20480u));
    EXPECT_THAT(Blocks.Records(),
                ElementsAre(Used(0, 16384), Used(0, 16385, 1), Free(16385, 20480 - 16385, 1)));
}

TEST_F(BlocksTest, FirstFreeBlockThatFitsIsTakenAndSplit) {
    const uintptr_t a = Blocks.AllocMem(100);
    Blocks.AllocMem(100);
    const uintptr_t c = Blocks.AllocMem(300);
    Blocks.AllocMem(10);
    Blocks.FreeMem(a);
    Blocks.FreeMem(c);
    // 50 fits the first hole; 200 only the second; 100 exactly the rest of the first.
    EXPECT_EQ(Blocks.AllocMem(50), ChunkBase(0));
    EXPECT_EQ(Blocks.AllocMem(200), ChunkBase(0) + 200);
    EXPECT_EQ(Blocks.AllocMem(50), ChunkBase(0) + 50);
    EXPECT_THAT(Blocks.Records(),
                ElementsAre(Used(0, 50), Used(50, 50), Used(100, 100), Used(200, 200),
                            Free(400, 100), Used(500, 10), Free(510, 16384 - 510)));
    EXPECT_THAT(ChunkSizes, ElementsAre(16384u));
}

TEST_F(BlocksTest, RequestLargerThanEveryFreeBlockAddsAChunkThoughTheirSumWouldDo) {
    const uintptr_t a = Blocks.AllocMem(8000);
    Blocks.AllocMem(100);
    Blocks.FreeMem(a); // free: 8000 at the start, 8284 behind the used block
    EXPECT_EQ(Blocks.AllocMem(9000), ChunkBase(1));
    EXPECT_THAT(ChunkSizes, ElementsAre(16384u, 16384u));
    EXPECT_THAT(Blocks.Records(),
                ElementsAre(Free(0, 8000), Used(8000, 100), Free(8100, 16384 - 8100),
                            Used(0, 9000, 1), Free(9000, 16384 - 9000, 1)));
}

TEST_F(BlocksTest, RequestOfNothingMarksAnEmptyBlockBeforeTheWholeFreeOne) {
    EXPECT_EQ(Blocks.AllocMem(0), ChunkBase(0));
    EXPECT_THAT(Blocks.Records(), ElementsAre(Used(0, 0), Free(0, 16384)));
    // The free block behind it is still there in full; both blocks come back apart.
    EXPECT_EQ(Blocks.AllocMem(16384), ChunkBase(0));
    Blocks.FreeMem(ChunkBase(0));
    Blocks.FreeMem(ChunkBase(0));
    // Merging looks forward only, so the empty block stays in front.
    EXPECT_THAT(Blocks.Records(), ElementsAre(Free(0, 0), Free(0, 16384)));
    EXPECT_THAT(ChunkSizes, ElementsAre(16384u));
}

TEST_F(BlocksTest, FreeingMergesOnlyWithTheFreeBlocksBehind) {
    struct Order {
        int line;
        int blocks[3]; // freed in this order: 0 is the 20, 1 the 1024, 2 the 16 byte block
        std::vector<std::vector<TProcessMemBlock>> afterEach;
    };
    const Order orders[] = {
        {__LINE__,
         {1, 2, 0},
         {{Used(0, 20), Free(20, 1024), Used(1044, 16), Free(1060, 16384 - 1060)},
          {Used(0, 20), Free(20, 1024), Free(1044, 16384 - 1044)},
          {Free(0, 16384)}}},
        {__LINE__,
         {0, 1, 2},
         {{Free(0, 20), Used(20, 1024), Used(1044, 16), Free(1060, 16384 - 1060)},
          {Free(0, 20), Free(20, 1024), Used(1044, 16), Free(1060, 16384 - 1060)},
          {Free(0, 20), Free(20, 1024), Free(1044, 16384 - 1044)}}},
    };
    for (const Order& order : orders) {
        SCOPED_TRACE(order.line);
        TProcessMemBlockList blocks(
            [&](uint32_t Size) { blocks.AppendChunk(ChunkBase(0), ChunkSizeFor(Size), 0); });
        const uintptr_t p[3] = {blocks.AllocMem(20), blocks.AllocMem(1024), blocks.AllocMem(16)};
        for (int step = 0; step < 3; ++step) {
            blocks.FreeMem(p[order.blocks[step]]);
            EXPECT_EQ(blocks.Records(), order.afterEach[step]) << "after step " << step;
        }
    }
}

TEST_F(BlocksTest, FreeBlocksOfDifferentChunksNeverMerge) {
    Blocks.AllocMem(16000);
    const uintptr_t tail = Blocks.AllocMem(384); // fills chunk 0
    const uintptr_t second = Blocks.AllocMem(16384);
    Blocks.FreeMem(second);
    Blocks.FreeMem(tail); // the free block behind it belongs to the next chunk
    EXPECT_THAT(Blocks.Records(), ElementsAre(Used(0, 16000), Free(16000, 384), Free(0, 16384, 1)));
}

TEST_F(BlocksTest, UnknownPointerIsAnAssertionAndChangesNothing) {
    const uintptr_t a = Blocks.AllocMem(20);
    Blocks.AllocMem(16);
    Blocks.FreeMem(a);
    const std::vector<TProcessMemBlock> before = Blocks.Records();
    for (uintptr_t p : {uintptr_t{0}, a + 4, ChunkBase(0) + 36, ChunkBase(5), a}) {
        SCOPED_TRACE(p);
        try {
            Blocks.FreeMem(p);
            ADD_FAILURE() << "freed";
        } catch (const EAssertionFailed& e) {
            EXPECT_EQ(e.Message,
                      "ProcessMemMgr.FreeMem: unknown pointer (uProcessMemMgr, line 276)");
        }
        EXPECT_EQ(Blocks.Records(), before);
    }
}

TEST_F(BlocksTest, FailingChunkLeavesTheListAsItWas) {
    Blocks.AllocMem(16000);
    const std::vector<TProcessMemBlock> before = Blocks.Records();
    FailNextChunk = true;
    EXPECT_THROW(Blocks.AllocMem(1000), Exception);
    EXPECT_EQ(Blocks.Records(), before);
    FailNextChunk = false;
    EXPECT_EQ(Blocks.AllocMem(1000), ChunkBase(1));
}

TEST(Blocks, ChunkTooSmallForTheRequestIsNotEnoughMemory) {
    TProcessMemBlockList blocks([&](uint32_t) { blocks.AppendChunk(0x1000, 16, 0); });
    try {
        blocks.AllocMem(17);
        ADD_FAILURE() << "allocated";
    } catch (const EProcessMemMgr& e) {
        EXPECT_EQ(e.Message, "ProcessMemMgr.AllocMem: not enough memory");
    }
}

// A target process memory of a few pages, read the way ReadProcessMemory does: a range
// that leaves the mapped pages fails.
class PagedMemory {
public:
    PagedMemory(uintptr_t Base, size_t Pages) : FBase(Base), FBytes(Pages * RemotePageSize, 'x') {}
    void Put(uintptr_t At, const char* Text, size_t Count) {
        std::memcpy(&FBytes[At - FBase], Text, Count);
    }
    void Read(uintptr_t Source, void* Dest, uint32_t Count) {
        Reads.push_back({Source, Count});
        if (Source < FBase || Source + Count > FBase + FBytes.size())
            throw Exception("partial copy");
        std::memcpy(Dest, &FBytes[Source - FBase], Count);
    }
    TReadRemote Reader() {
        return [this](uintptr_t s, void* d, uint32_t c) { Read(s, d, c); };
    }
    std::vector<std::pair<uintptr_t, uint32_t>> Reads;

private:
    uintptr_t FBase;
    std::vector<char> FBytes;
};

TEST(ReadTextByPages, ReadsUpToThePageEndThenWholePages) {
    constexpr uintptr_t base = 0x40000;
    PagedMemory memory(base, 3);
    memory.Put(base + 4093, "abcdefgh", 9); // starts 3 bytes before the page end
    EXPECT_EQ(ReadTextByPages(base + 4093, memory.Reader()), "abcdefgh");
    EXPECT_THAT(memory.Reads,
                ElementsAre(std::make_pair(base + 4093, 3u), std::make_pair(base + 4096, 4096u)));
}

TEST(ReadTextByPages, StopsAtTheFirstZeroWithoutTouchingTheNextPage) {
    constexpr uintptr_t base = 0x40000;
    PagedMemory memory(base, 1); // nothing is mapped behind this page
    memory.Put(base + 4093, "ab", 3);
    EXPECT_EQ(ReadTextByPages(base + 4093, memory.Reader()), "ab");
    memory.Put(base + 4095, "", 1);
    EXPECT_EQ(ReadTextByPages(base + 4095, memory.Reader()), "");
    memory.Put(base, "zero\0after", 10);
    EXPECT_EQ(ReadTextByPages(base, memory.Reader()), "zero");
    EXPECT_EQ(memory.Reads.back(), std::make_pair(base, 4096u));
}

TEST(ReadTextByPages, TextRunningIntoUnmappedMemoryRaisesTheReadError) {
    constexpr uintptr_t base = 0x40000;
    PagedMemory memory(base, 2); // no zero anywhere
    EXPECT_THROW(ReadTextByPages(base + 10, memory.Reader()), Exception);
    EXPECT_EQ(memory.Reads.size(), 3u);
}

TEST(ReadTextByPages, NullSourceIsTheEmptyTextWithoutAnyRead) {
    int reads = 0;
    EXPECT_EQ(ReadTextByPages(0, [&](uintptr_t, void*, uint32_t) { ++reads; }), "");
    EXPECT_EQ(reads, 0);
}

TEST(ChooseMemMgr, OwnProcessThenPlatformAndAFailedVersionQueryCountsAsNT) {
    constexpr uint32_t self = 40, other = 41, win9x = 1, win32s = 0;
    EXPECT_EQ(ChooseMemMgr(self, self, true, win9x), TMemMgrKind::OwnProcess);
    EXPECT_EQ(ChooseMemMgr(other, self, true, kPlatformWin32NT), TMemMgrKind::WinNT);
    EXPECT_EQ(ChooseMemMgr(other, self, true, win9x), TMemMgrKind::Win9x);
    EXPECT_EQ(ChooseMemMgr(other, self, true, win32s), TMemMgrKind::Win9x);
    // A failed GetVersionExA leaves the platform 0; it must not pick the 9x manager on NT.
    EXPECT_EQ(ChooseMemMgr(other, self, false, 0), TMemMgrKind::WinNT);
    EXPECT_EQ(ChooseMemMgr(self, self, false, 0), TMemMgrKind::OwnProcess);
}
} // namespace
