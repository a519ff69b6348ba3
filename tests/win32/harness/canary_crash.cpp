// A test program that dies of an access violation in its second test, after one passing test
// has been reported. The harness must report the run as failed.
#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(CrashCanary, PassesFirst) {
    EXPECT_EQ(1 + 1, 2);
}

TEST(CrashCanary, WritesThroughABadPointer) {
    volatile int* bad = reinterpret_cast<volatile int*>(std::uintptr_t(16));
    *bad = 1;
    ADD_FAILURE() << "the write through a bad pointer did not fault";
}

} // namespace
