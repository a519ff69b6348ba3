// The mouse hook's messages on plain data: the decoding of codes and positions, the order of
// OnUnfiltered and the decoded event, and the texts of the library's result codes.
#include "dragdrop/MouseHookDecode.h"
#include "dragdrop/QLX_Hook_HookCommon.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

constexpr TMouseButton L = TMouseButton::Left, R = TMouseButton::Right, M = TMouseButton::Middle;

struct DecodeRow {
    int line;
    int32_t code;
    bool move;
    TMouseButton button;
    TQLX_MouseButtonMovement movement;
};

TEST(MouseHookDecode, EveryCodeByItsLowFourBits) {
    const DecodeRow rows[] = {
        {__LINE__, 0, true, L, bmDown},
        {__LINE__, 1, false, L, bmDown},
        {__LINE__, 2, false, L, bmUp},
        {__LINE__, 3, false, L, bmDoubleClick},
        {__LINE__, 4, false, R, bmDown},
        {__LINE__, 5, false, R, bmUp},
        {__LINE__, 6, false, R, bmDoubleClick},
        {__LINE__, 7, false, M, bmDown},
        {__LINE__, 8, false, M, bmUp},
        {__LINE__, 9, false, M, bmDoubleClick},
        // No mouse message has these: left clicks with the movement (n - 1) mod 3.
        {__LINE__, 10, false, L, bmDown},
        {__LINE__, 11, false, L, bmUp},
        {__LINE__, 12, false, L, bmDoubleClick},
        {__LINE__, 13, false, L, bmDown},
        {__LINE__, 14, false, L, bmUp},
        {__LINE__, 15, false, L, bmDoubleClick},
        // Only the low four bits count.
        {__LINE__, 0x10, true, L, bmDown},
        {__LINE__, 0x125, false, R, bmUp},
        {__LINE__, -1, false, L, bmDoubleClick},
    };
    for (const DecodeRow& row : rows) {
        SCOPED_TRACE(row.line);
        const TMouseHookEvent e = DecodeMouseHookMessage(row.code, 0, 0);
        EXPECT_EQ(e.Move, row.move);
        if (!row.move) {
            EXPECT_EQ(e.Button, row.button);
            EXPECT_EQ(e.Movement, row.movement);
        }
    }
}

TEST(MouseHookDecode, PositionHalvesAreUnsignedAndTheWindowIsLParam) {
    const TMouseHookEvent e = DecodeMouseHookMessage(1, 0x00C8'0064, 0x1234);
    EXPECT_EQ(e.X, 100);
    EXPECT_EQ(e.Y, 200);
    EXPECT_EQ(e.SourceWindow, 0x1234);
    // (-5, -1) left of and above the primary screen, packed into 16 bits each.
    const std::uintptr_t packed =
        (static_cast<uint16_t>(-5)) | (static_cast<uint32_t>(static_cast<uint16_t>(-1)) << 16);
    const TMouseHookEvent negative = DecodeMouseHookMessage(0, packed, 0);
    EXPECT_EQ(negative.X, 65536 - 5);
    EXPECT_EQ(negative.Y, 65536 - 1);
    // Bits above the low 32 of a 64-bit wParam are not part of the position.
    const TMouseHookEvent wide =
        DecodeMouseHookMessage(0, static_cast<std::uintptr_t>(~0ull << 32 | 0x0002'0001), 0);
    EXPECT_EQ(wide.X, 1);
    EXPECT_EQ(wide.Y, 2);
}

struct Recorder final : TMouseHookSink {
    bool handle = false;
    std::vector<std::string> log;
    void Unfiltered(int32_t Code, int32_t wParam, int32_t lParam, bool& Handled) override {
        EXPECT_FALSE(Handled);
        log.push_back("unfiltered " + std::to_string(Code) + " " + std::to_string(wParam) + " " +
                      std::to_string(lParam));
        Handled = handle;
    }
    void MouseMove(std::intptr_t source, int32_t x, int32_t y) override {
        log.push_back("move " + std::to_string(source) + " " + std::to_string(x) + "," +
                      std::to_string(y));
    }
    void MouseClick(std::intptr_t source, int32_t x, int32_t y, TMouseButton button,
                    TQLX_MouseButtonMovement movement) override {
        log.push_back("click " + std::to_string(source) + " " + std::to_string(x) + "," +
                      std::to_string(y) + " " + std::to_string(static_cast<int>(button)) + " " +
                      std::to_string(static_cast<int>(movement)));
    }
};

TEST(MouseHookDispatch, UnfilteredSeesTheWholeCodeFirstAndHandledStopsTheDecoding) {
    Recorder r;
    DispatchMouseHookMessage(0x37, 0x0014'000A, 77, r); // low bits 7: middle down
    DispatchMouseHookMessage(0, 0x0002'0001, 5, r);
    EXPECT_EQ(r.log, (std::vector<std::string>{"unfiltered 55 1310730 77", "click 77 10,20 2 0",
                                               "unfiltered 0 131073 5", "move 5 1,2"}));
    r.log.clear();
    r.handle = true;
    DispatchMouseHookMessage(1, 0x0002'0001, 5, r);
    DispatchMouseHookMessage(0, 0x0002'0001, 5, r);
    EXPECT_EQ(r.log, (std::vector<std::string>{"unfiltered 1 131073 5", "unfiltered 0 131073 5"}));
}

TEST(MouseHookDispatch, OnlyMessagesFromWmUserOnAreTheLibrarys) {
    EXPECT_FALSE(IsHookMessage(0));
    EXPECT_FALSE(IsHookMessage(0x03FF));
    EXPECT_TRUE(IsHookMessage(0x0400));
    EXPECT_TRUE(IsHookMessage(0xC123)); // registered messages too: the receiver gets none
}

TEST(HookResultTexts, CodesMinusFiveToZeroHaveTheirTextsAndOthersAreUnknown) {
    EXPECT_EQ(HookResultText(0), "No error.");
    EXPECT_EQ(HookResultText(-1), "DLL doesn't export all required functions.");
    EXPECT_EQ(HookResultText(-2), "Receiver already registered.");
    EXPECT_EQ(HookResultText(-3), "Receiver not registered.");
    EXPECT_EQ(HookResultText(-4), "Too many receivers.");
    EXPECT_EQ(HookResultText(-5), "System hook already installed.");
    EXPECT_EQ(HookResultText(-6), "Unknown error -6");
    EXPECT_EQ(HookResultText(INT32_MIN), "Unknown error -2147483648");
    EXPECT_EQ(HookResultText(7), "Unknown error 7");
}

TEST(HookLibraryRetryName, TheExtensionOfTheFileNameBecomesDll) {
    EXPECT_EQ(HookLibraryRetryName("C:\\Prog\\QLX_Hook_.bin"), "C:\\Prog\\QLX_Hook_.dll");
    EXPECT_EQ(HookLibraryRetryName("QLX_Hook_"), "QLX_Hook_.dll");
    EXPECT_EQ(HookLibraryRetryName("hook."), "hook.dll");
    // A dot in a folder name is no extension.
    EXPECT_EQ(HookLibraryRetryName("C:\\v1.2\\hook"), "C:\\v1.2\\hook.dll");
    EXPECT_EQ(HookLibraryRetryName("C:/v1.2/hook"), "C:/v1.2/hook.dll");
    // Already ".dll", in any case: no second try.
    EXPECT_EQ(HookLibraryRetryName("C:\\Prog\\QLX_Hook_.dll"), "");
    EXPECT_EQ(HookLibraryRetryName("hook.DlL"), "");
}

} // namespace
