// A test program that dies of an access violation in its second test, after one passing test
// has been reported. The harness must report the run as failed.
#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(CrashCanary, PassesFirst) {
    EXPECT_EQ(1 + 1, 2);
}

TEST(CrashCanary, WritesThroughABadPointer) {
    // An address in the never-mapped first page, which the compiler cannot see through.
    volatile std::uintptr_t address = 16;
    *reinterpret_cast<volatile int*>(address) = 1;
    ADD_FAILURE() << "the write through a bad pointer did not fault";
}

} // namespace
