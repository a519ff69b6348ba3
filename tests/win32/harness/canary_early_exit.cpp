// A test program that ends with exit code 0 before any of its tests runs, as a program whose
// start-up code gives up quietly would. The harness must report the run as failed.
#include <gtest/gtest.h>

#include <windows.h>

namespace {

struct EndBeforeTests {
    EndBeforeTests() { ::ExitProcess(0); }
} endBeforeTests;

TEST(EarlyExitCanary, NeverRuns) {
    ADD_FAILURE() << "the program was meant to end before its tests";
}

} // namespace
