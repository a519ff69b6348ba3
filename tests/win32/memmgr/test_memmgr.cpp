#include "taskbar/uProcessMemMgr.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ChildProcess.h"

namespace {
using ::testing::Each;

char* At(void* P, size_t Offset) {
    return static_cast<char*>(P) + Offset;
}

MEMORY_BASIC_INFORMATION Query(HANDLE Process, const void* Address) {
    MEMORY_BASIC_INFORMATION info{};
    EXPECT_EQ(::VirtualQueryEx(Process, Address, &info, sizeof info), sizeof info);
    return info;
}

// The bytes at Address in Process, read past the manager.
std::vector<char> Peek(HANDLE Process, const void* Address, size_t Count) {
    std::vector<char> bytes(Count);
    SIZE_T done = 0;
    EXPECT_TRUE(::ReadProcessMemory(Process, Address, bytes.data(), Count, &done));
    return bytes;
}

// Tests against one child process, shared by the suite.
class ForeignProcess : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Child = new TChildProcess(); }
    static void TearDownTestSuite() {
        delete Child;
        Child = nullptr;
    }
    static TChildProcess* Child;
};
TChildProcess* ForeignProcess::Child = nullptr;

TEST_F(ForeignProcess, ChunksAreCommittedInTheOtherProcessAndServedFirstFit) {
    TWinNTProcessMemMgr mgr(Child->Id());
    void* button = mgr.AllocMem(20);
    EXPECT_EQ(mgr.AllocMem(1024), At(button, 20));
    EXPECT_EQ(mgr.AllocMem(16), At(button, 1044));
    void* whole = mgr.AllocMem(16384);
    void* larger = mgr.AllocMem(16385);
    ASSERT_EQ(mgr.Chunks(), (std::vector<void*>{button, whole, larger}));

    const struct {
        void* chunk;
        SIZE_T size;
    } expected[] = {{button, 16384}, {whole, 16384}, {larger, 20480}};
    for (const auto& e : expected) {
        const MEMORY_BASIC_INFORMATION info = Query(Child->Process(), e.chunk);
        EXPECT_EQ(info.AllocationBase, e.chunk);
        EXPECT_EQ(info.RegionSize, e.size);
        EXPECT_EQ(info.State, static_cast<DWORD>(MEM_COMMIT));
        EXPECT_EQ(info.Protect, static_cast<DWORD>(PAGE_READWRITE));
    }
    const std::vector<TProcessMemBlock> records = mgr.BlockRecords();
    // 20, 1024, 16 and the free rest; the whole 16384; 16385 and the free rest.
    ASSERT_EQ(records.size(), 7u);
    EXPECT_EQ(records[3].Address, reinterpret_cast<uintptr_t>(At(button, 1060)));
    EXPECT_EQ(records[3].Size, 16384u - 1060);
    EXPECT_FALSE(records[3].Used);
    EXPECT_EQ(records[4].Size, 16384u);
    EXPECT_TRUE(records[4].Used);
    EXPECT_EQ(records[6].Size, 20480u - 16385);
    EXPECT_EQ(records[6].ChunkIndex, 2);
}

TEST_F(ForeignProcess, FreedBlockIsHandedOutAgainAndUnknownPointersAreRefused) {
    TWinNTProcessMemMgr mgr(Child->Id());
    void* a = mgr.AllocMem(100);
    mgr.AllocMem(100);
    mgr.FreeMem(a);
    EXPECT_EQ(mgr.AllocMem(60), a);
    EXPECT_THROW(mgr.FreeMem(At(a, 1)), EAssertionFailed);
    EXPECT_EQ(mgr.Chunks().size(), 1u);
}

TEST_F(ForeignProcess, BytesAndTextsTravelBothWays) {
    TWinNTProcessMemMgr mgr(Child->Id());
    void* block = mgr.AllocMem(1024);
    std::vector<char> out(1024);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char>(i * 7);
    mgr.WriteMem(out.data(), block, 1024);
    EXPECT_EQ(Peek(Child->Process(), block, 1024), out);
    std::vector<char> in(1024);
    mgr.ReadMem(block, in.data(), 1024);
    EXPECT_EQ(in, out);

    const char marks[5] = {'\xff', '\xff', '\xff', '\xff', '\xff'};
    mgr.WriteMem(marks, block, 5);
    mgr.WriteText("abc", block);
    EXPECT_EQ(Peek(Child->Process(), block, 5), (std::vector<char>{'a', 'b', 'c', 0, '\xff'}));
    EXPECT_EQ(mgr.ReadText(block), "abc");
    mgr.WriteText("", block);
    EXPECT_EQ(mgr.ReadText(block), "");
    EXPECT_EQ(mgr.ReadText(nullptr), "");
}

// Which pieces are read is checked natively; Wine reads free pages of its own reserved
// address ranges without an error, so a read past the chunk end would not show here.
TEST_F(ForeignProcess, TextAcrossAPageBoundaryIsReadWhole) {
    TWinNTProcessMemMgr mgr(Child->Id());
    void* chunk = mgr.AllocMem(16384); // page aligned
    const std::string across = "starts three bytes before the page end";
    mgr.WriteText(across, At(chunk, 4093));
    EXPECT_EQ(mgr.ReadText(At(chunk, 4093)), across);
    mgr.WriteText(std::string(5000, 'p'), At(chunk, 4093));
    EXPECT_EQ(mgr.ReadText(At(chunk, 4093)), std::string(5000, 'p'));
    mgr.WriteText("ab", At(chunk, 16384 - 3));
    EXPECT_EQ(mgr.ReadText(At(chunk, 16384 - 3)), "ab");
}

TEST_F(ForeignProcess, UnmappedAddressesRaiseOSErrorsAndTheManagerGoesOn) {
    TWinNTProcessMemMgr mgr(Child->Id());
    void* unmapped = reinterpret_cast<void*>(0x10);
    char buffer[8] = {};
    EXPECT_THROW(mgr.ReadMem(unmapped, buffer, sizeof buffer), EOSError);
    EXPECT_THROW(mgr.WriteMem(buffer, unmapped, sizeof buffer), EOSError);
    EXPECT_THROW(mgr.ReadText(unmapped), EOSError);
    void* block = mgr.AllocMem(8);
    mgr.WriteText("fine", block);
    EXPECT_EQ(mgr.ReadText(block), "fine");
}

TEST_F(ForeignProcess, DestroyingTheManagerReleasesItsChunksInTheOtherProcess) {
    std::vector<void*> chunks;
    {
        TWinNTProcessMemMgr mgr(Child->Id());
        mgr.AllocMem(20);
        mgr.AllocMem(50000);
        chunks = mgr.Chunks();
    }
    ASSERT_EQ(chunks.size(), 2u);
    for (void* chunk : chunks)
        EXPECT_EQ(Query(Child->Process(), chunk).State, static_cast<DWORD>(MEM_FREE));
}

TEST_F(ForeignProcess, FactoryPicksTheManagerByProcess) {
    auto foreign = CreateProcessMemMgr(Child->Id());
    EXPECT_NE(dynamic_cast<TWinNTProcessMemMgr*>(foreign.get()), nullptr);
    auto own = CreateProcessMemMgr(::GetCurrentProcessId());
    EXPECT_NE(dynamic_cast<TOwnProcessMemMgr*>(own.get()), nullptr);

    // By window: a manager of the window's process, whose chunk appears there. (Whether the
    // same address happens to be free in this process says nothing about it.)
    auto byWindow = CreateProcessMemMgrForWindow(Child->Window());
    EXPECT_NE(dynamic_cast<TWinNTProcessMemMgr*>(byWindow.get()), nullptr);
    void* block = byWindow->AllocMem(16);
    EXPECT_EQ(Query(Child->Process(), block).State, static_cast<DWORD>(MEM_COMMIT));

    ScopedWindow mine(
        ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(mine);
    auto ownByWindow = CreateProcessMemMgrForWindow(mine.get());
    EXPECT_NE(dynamic_cast<TOwnProcessMemMgr*>(ownByWindow.get()), nullptr);
}

TEST(ForeignProcessOpen, ProcessThatCannotBeOpenedRaisesOSError) {
    EXPECT_THROW(TWinNTProcessMemMgr(0x7FFFFFF0), EOSError);
    EXPECT_THROW(CreateProcessMemMgr(0), EOSError);
    // A window that is gone has no process: id 0 again.
    HWND gone =
        ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ::DestroyWindow(gone);
    EXPECT_THROW(CreateProcessMemMgrForWindow(gone), EOSError);
}

TEST(OwnProcess, BlocksAreZeroFilledLocalMemory) {
    TOwnProcessMemMgr mgr;
    // Dirty heap memory first, so that a reused block shows whether it was cleared.
    for (int round = 0; round < 3; ++round) {
        auto* block = static_cast<char*>(mgr.AllocMem(4096));
        EXPECT_THAT(std::vector<char>(block, block + 4096), Each(0)) << "round " << round;
        std::memset(block, 0xAB, 4096);
        mgr.FreeMem(block);
    }
    EXPECT_NE(mgr.AllocMem(0), mgr.AllocMem(0));
}

TEST(OwnProcess, TransfersAreLocalCopies) {
    TOwnProcessMemMgr mgr;
    void* block = mgr.AllocMem(16);
    mgr.WriteText("abc", block);
    EXPECT_EQ(std::memcmp(block, "abc", 4), 0);
    EXPECT_EQ(mgr.ReadText(block), "abc");
    EXPECT_EQ(mgr.ReadText(nullptr), "");
    const int out = 0x1234567;
    int in = 0;
    mgr.WriteMem(&out, block, sizeof out);
    mgr.ReadMem(block, &in, sizeof in);
    EXPECT_EQ(in, out);
    int notHandedOut = 0;
    mgr.FreeMem(&notHandedOut); // left alone
    mgr.FreeMem(nullptr);
}

// On the NT family a view's address means something only in the process that mapped it, so
// the Windows 9x manager is exercised on this process.
TEST(Win9xManager, ChunksAreMappingsOfThisProcess) {
    std::vector<uintptr_t> views;
    {
        TWin9xProcessMemMgr mgr(::GetCurrentProcessId());
        void* button = mgr.AllocMem(20);
        EXPECT_EQ(mgr.AllocMem(1024), At(button, 20));
        EXPECT_EQ(mgr.AllocMem(16), At(button, 1044));
        void* larger = mgr.AllocMem(16385);
        EXPECT_EQ(Query(::GetCurrentProcess(), button).Type, static_cast<DWORD>(MEM_MAPPED));

        std::vector<TProcessMemBlock> records = mgr.BlockRecords();
        ASSERT_EQ(records.size(), 6u);
        EXPECT_EQ(records[3].Size, 16384u - 1060);
        EXPECT_EQ(records[4].Address, reinterpret_cast<uintptr_t>(larger));
        EXPECT_EQ(records[4].ChunkIndex, 1);
        EXPECT_EQ(records[5].Size, 20480u - 16385);

        mgr.WriteText("through the view", larger);
        EXPECT_STREQ(static_cast<const char*>(larger), "through the view");
        std::strcpy(static_cast<char*>(button), "local");
        char in[6] = {};
        mgr.ReadMem(button, in, sizeof in);
        EXPECT_STREQ(in, "local");
        EXPECT_EQ(mgr.ReadText(button), "local");
        views = {reinterpret_cast<uintptr_t>(button), reinterpret_cast<uintptr_t>(larger)};
    }
    for (uintptr_t view : views)
        EXPECT_EQ(Query(::GetCurrentProcess(), reinterpret_cast<void*>(view)).State,
                  static_cast<DWORD>(MEM_FREE));
}

} // namespace
