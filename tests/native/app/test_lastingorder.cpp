// The lasting order's rules on plain data: where a returning program goes, how a new order
// merges into the remembered one, and the registry strings of the order and of the record of
// hidden windows; the move keys' conversions.
#include <gtest/gtest.h>

#include "app/LastingOrder.h"
#include "app/MoveHotKeys.h"

namespace {
using Names = std::vector<std::string>;

// Applies NextPlacement until it has nothing more to do, as the main window does with a fresh
// taskbar after each move; returns the moves.
std::vector<TPlacement> Settle(Names& Bar, const Names& Remembered) {
    std::vector<TPlacement> moves;
    while (auto p = NextPlacement(Bar, Remembered)) {
        moves.push_back(*p);
        const std::string g = Bar[static_cast<std::size_t>(p->From)];
        const int target = p->To > p->From ? p->To - 1 : p->To;
        Bar.erase(Bar.begin() + p->From);
        Bar.insert(Bar.begin() + target, g);
        if (moves.size() > Bar.size() + 1)
            break; // would not settle
    }
    return moves;
}

TEST(LastingOrder, PlacementTable) {
    struct Row {
        int Line;
        Names Bar;        // programs of the taskbar's groups, "" unknown
        Names Remembered; // the user's order
        Names Expected;   // the taskbar once settled
        std::size_t Moves;
    };
    const Row rows[] = {
        // Nothing remembered, or everything in order: nothing moves.
        {__LINE__, {"a", "b", "c"}, {}, {"a", "b", "c"}, 0},
        {__LINE__, {"a", "b", "c"}, {"a", "b", "c"}, {"a", "b", "c"}, 0},
        // A returning program, added at the end by the shell, goes behind its predecessor.
        {__LINE__, {"a", "c", "b"}, {"a", "b", "c"}, {"a", "b", "c"}, 1},
        // The first remembered program returns: in front of the first remembered group.
        {__LINE__, {"x", "b", "c", "a"}, {"a", "b", "c"}, {"x", "a", "b", "c"}, 1},
        // Unremembered groups stay where the shell put them, between remembered ones too.
        {__LINE__, {"a", "x", "c", "y", "b"}, {"a", "b", "c"}, {"a", "b", "x", "c", "y"}, 1},
        // Remembered programs that are absent are skipped: b follows a, d absent.
        {__LINE__, {"a", "c", "b"}, {"d", "a", "b", "c"}, {"a", "b", "c"}, 1},
        {__LINE__, {"x", "c", "b"}, {"a", "b", "d", "c"}, {"x", "b", "c"}, 1},
        // Only one remembered program on the taskbar: nothing to order it against.
        {__LINE__, {"x", "y", "b"}, {"a", "b", "c"}, {"x", "y", "b"}, 0},
        // Unknown programs ("") are never moved or ordered.
        {__LINE__, {"", "c", "", "a"}, {"a", "c"}, {"", "a", "c", ""}, 1},
        // The shell came back with every group in its own order: one move per group at most.
        {__LINE__, {"c", "x", "b", "a"}, {"a", "b", "c"}, {"a", "b", "c", "x"}, 2},
        {__LINE__, {"d", "c", "b", "a"}, {"a", "b", "c", "d"}, {"a", "b", "c", "d"}, 3},
        // Two groups of one program are one place in the order.
        {__LINE__, {"b", "a", "b"}, {"a", "b"}, {"a", "b", "b"}, 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Line);
        Names bar = r.Bar;
        const std::vector<TPlacement> moves = Settle(bar, r.Remembered);
        EXPECT_EQ(bar, r.Expected);
        EXPECT_EQ(moves.size(), r.Moves);
    }
}

TEST(LastingOrder, PlacementIsAnInsertionPosition) {
    // The returning group at the end goes in front of the group at position 1.
    EXPECT_EQ(NextPlacement({"a", "c", "b"}, {"a", "b", "c"}), (TPlacement{2, 1}));
    // Programs are placed in their remembered order: a first, in front of c.
    EXPECT_EQ(NextPlacement({"c", "a", "b"}, {"a", "b", "c"}), (TPlacement{1, 0}));
    EXPECT_EQ(NextPlacement({"a", "c", "x", "b"}, {"a", "b", "c"}), (TPlacement{3, 1}));
}

TEST(LastingOrder, MergeKeepsAbsentProgramsBehindTheirPredecessor) {
    EXPECT_EQ(MergeOrder({}, {"b", "a", "", "b"}), (Names{"b", "a"}));
    // d was behind b; b moved to the front: d follows it there.
    EXPECT_EQ(MergeOrder({"a", "b", "d", "c"}, {"b", "a", "c"}), (Names{"b", "d", "a", "c"}));
    // A leading absent program stays in front; new programs join in taskbar order.
    EXPECT_EQ(MergeOrder({"z", "a"}, {"a", "n"}), (Names{"z", "a", "n"}));
}

TEST(LastingOrder, ProgramKeyAndOrderText) {
    EXPECT_EQ(ProgramKey("C:\\Program Files\\App\\NotePad.EXE"), "notepad.exe");
    EXPECT_EQ(ProgramKey("calc.exe"), "calc.exe");
    EXPECT_EQ(ProgramKey("C:\\dir\\"), "");
    EXPECT_EQ(OrderText({"a.exe", "b.exe"}), "a.exe|b.exe");
    EXPECT_EQ(ParseOrder("a.exe|b.exe"), (Names{"a.exe", "b.exe"}));
    // Damaged text: empty parts, paths, repeats (in any case) are dropped.
    EXPECT_EQ(ParseOrder("||A.exe|c:\\x.exe|a.EXE|b.exe|"), (Names{"a.exe", "b.exe"}));
    EXPECT_EQ(ParseOrder(""), Names{});
}

TEST(LastingOrder, HiddenWindowRecord) {
    const std::vector<THiddenWindow> w = {{0x1A2B4, 0x10, "calc.exe"}, {0xFFFFFFFF, 7, "b.exe"}};
    EXPECT_EQ(HiddenWindowsText(w), "1A2B4:10:calc.exe|FFFFFFFF:7:b.exe");
    EXPECT_EQ(ParseHiddenWindows(HiddenWindowsText(w)), w);
    EXPECT_TRUE(ParseHiddenWindows("").empty());
    // Entries of the wrong form are skipped, the others kept.
    const std::vector<THiddenWindow> kept =
        ParseHiddenWindows("0:1:a.exe|zz:1:a.exe|1:2|1:2:a.exe:x|100000000:1:a.exe|"
                           "1:2:c:\\a.exe|12:34:A.EXE");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0], (THiddenWindow{0x12, 0x34, "a.exe"}));

    // A window is shown again only when handle, process and program are still the same.
    const THiddenWindow rec{0x12, 0x34, "a.exe"};
    EXPECT_TRUE(SameHiddenWindow(rec, {0x12, 0x34, "a.exe"}));
    EXPECT_FALSE(SameHiddenWindow(rec, {0x12, 0, ""}));         // gone
    EXPECT_FALSE(SameHiddenWindow(rec, {0x12, 0x35, "a.exe"})); // handle used again
    EXPECT_FALSE(SameHiddenWindow(rec, {0x12, 0x34, "b.exe"})); // process id used again
}

TEST(MoveHotKeys, ControlValuesAndStoredValues) {
    // The control shows Shift+Left (an extended key); the Windows key is the check box's.
    const uint32_t control = ControlValueOf(kDefaultMoveLeft);
    EXPECT_EQ(control, (kHotkeyfShift | kHotkeyfExt) << 8 | kMoveVkLeft);
    EXPECT_EQ(MoveKeyFromControl(control, true), kDefaultMoveLeft);
    EXPECT_EQ(MoveKeyFromControl(control, false), (TMoveKey{kModShift, kMoveVkLeft}));
    EXPECT_EQ(MoveKeyFromControl((kHotkeyfControl | kHotkeyfAlt) << 8 | 'K', false),
              (TMoveKey{kModControl | kModAlt, 'K'}));
    EXPECT_EQ(MoveKeyFromControl(0, true), TMoveKey{}); // cleared: no key

    EXPECT_EQ(MoveKeyFromValue(MoveKeyValue(kDefaultMoveRight), {}), kDefaultMoveRight);
    EXPECT_EQ(MoveKeyFromValue(0, kDefaultMoveLeft), kDefaultMoveLeft);
    EXPECT_EQ(MoveKeyFromValue(0x10025, kDefaultMoveLeft), kDefaultMoveLeft);

    EXPECT_EQ(MoveKeyName(kDefaultMoveLeft), "Windows key+Shift+Left arrow");
    EXPECT_EQ(MoveKeyName({kModControl | kModAlt, 0x71}), "Ctrl+Alt+F2");
}
} // namespace
