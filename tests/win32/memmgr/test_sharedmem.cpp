#include "taskbar/IPCThrd.h"

#include <gtest/gtest.h>

#include <cstring>

#include "toolkit/SysUtils.h"

namespace {
DWORD StateOf(const void* Address) {
    MEMORY_BASIC_INFORMATION info{};
    ::VirtualQuery(Address, &info, sizeof info);
    return info.State;
}

TEST(SharedMem, UnnamedMappingsAreWritableAndSeparate) {
    TSharedMem a("", 8192);
    TSharedMem b("", 8192);
    EXPECT_TRUE(a.Created());
    EXPECT_TRUE(b.Created());
    EXPECT_EQ(a.Name(), "");
    EXPECT_EQ(a.Size(), 8192u);
    ASSERT_NE(a.Buffer(), nullptr);
    ASSERT_NE(b.Buffer(), nullptr);
    EXPECT_NE(a.Handle(), b.Handle());
    std::memset(a.Buffer(), 'a', 8192);
    std::memset(b.Buffer(), 'b', 8192);
    EXPECT_EQ(static_cast<char*>(a.Buffer())[8191], 'a');
}

TEST(SharedMem, SecondMappingOfANameSharesTheMemory) {
    const std::string name = Format("ZvSharedMemTest.%lu", ::GetCurrentProcessId());
    TSharedMem first(name, 4096);
    TSharedMem second(name, 4096);
    EXPECT_TRUE(first.Created());
    EXPECT_FALSE(second.Created());
    std::strcpy(static_cast<char*>(first.Buffer()), "seen by both");
    EXPECT_STREQ(static_cast<const char*>(second.Buffer()), "seen by both");
}

TEST(SharedMem, DestructionUnmapsTheView) {
    void* view = nullptr;
    {
        TSharedMem mem("", 4096);
        view = mem.Buffer();
        EXPECT_EQ(StateOf(view), static_cast<DWORD>(MEM_COMMIT));
    }
    EXPECT_EQ(StateOf(view), static_cast<DWORD>(MEM_FREE));
}

TEST(SharedMem, FailureNamesTheMappingAndTheLastError) {
    try {
        TSharedMem empty("ZvNoSize", 0); // a paging-file mapping needs a size
        ADD_FAILURE() << "created";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Error creating shared memory ZvNoSize (87)");
    }
}
} // namespace
