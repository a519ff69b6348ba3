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
    const std::vector<THiddenWindow> w = {{0x1A2B4, 0x10, "calc.exe", 0x1DC2F0A12345678},
                                          {0xFFFFFFFF, 7, "b.exe", 0}};
    EXPECT_EQ(HiddenWindowsText(w), "1A2B4:10:calc.exe:1DC2F0A12345678|FFFFFFFF:7:b.exe");
    EXPECT_EQ(ParseHiddenWindows(HiddenWindowsText(w)), w);
    EXPECT_TRUE(ParseHiddenWindows("").empty());
    // Entries of the wrong form are skipped, the others kept (those of an earlier version,
    // without a start time, too).
    const std::vector<THiddenWindow> kept =
        ParseHiddenWindows("0:1:a.exe|zz:1:a.exe|1:2|1:2:a.exe:x|1:2:a.exe:5:6|100000000:1:a.exe|"
                           "1:2:c:\\a.exe|12:34:A.EXE|56:78:b.exe:9");
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0], (THiddenWindow{0x12, 0x34, "a.exe", 0}));
    EXPECT_EQ(kept[1], (THiddenWindow{0x56, 0x78, "b.exe", 9}));

    // A window is shown again only when handle, process, program and the process's start
    // are still the same: after a logoff a new process of the program may get the same
    // process id and window handle.
    const THiddenWindow rec{0x12, 0x34, "a.exe", 1000};
    EXPECT_TRUE(SameHiddenWindow(rec, {0x12, 0x34, "a.exe", 1000}));
    EXPECT_FALSE(SameHiddenWindow(rec, {0x12, 0, "", 0}));            // gone
    EXPECT_FALSE(SameHiddenWindow(rec, {0x12, 0x35, "a.exe", 1000})); // handle used again
    EXPECT_FALSE(SameHiddenWindow(rec, {0x12, 0x34, "b.exe", 1000})); // process id used again
    EXPECT_FALSE(SameHiddenWindow(rec, {0x12, 0x34, "a.exe", 2000})); // by the same program
    EXPECT_FALSE(SameHiddenWindow({0x12, 0x34, "", 1000}, {0x12, 0x34, "", 1000})); // no name
    // Recorded by an earlier version: matched by handle, process and program.
    EXPECT_TRUE(SameHiddenWindow({0x12, 0x34, "a.exe", 0}, {0x12, 0x34, "a.exe", 2000}));
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

    // Only a missing value is the default; a cleared key stays cleared, and a stored key that
    // is not allowed (bare, Shift alone) or damaged registers nothing.
    EXPECT_EQ(MoveKeyFromValue(MoveKeyValue(kDefaultMoveRight), {}), kDefaultMoveRight);
    EXPECT_EQ(MoveKeyFromValue(std::nullopt, kDefaultMoveLeft), kDefaultMoveLeft);
    EXPECT_EQ(MoveKeyValue({}), 0u);
    EXPECT_EQ(MoveKeyFromValue(0, kDefaultMoveLeft), TMoveKey{});
    EXPECT_EQ(MoveKeyFromValue(kMoveVkLeft, kDefaultMoveLeft), TMoveKey{});
    EXPECT_EQ(MoveKeyFromValue(kModShift << 8 | kMoveVkLeft, kDefaultMoveLeft), TMoveKey{});
    EXPECT_EQ(MoveKeyFromValue(0x10025, kDefaultMoveLeft), TMoveKey{});
    EXPECT_EQ(MoveKeyFromValue(kModAlt << 8 | 'K', kDefaultMoveLeft), (TMoveKey{kModAlt, 'K'}));

    EXPECT_EQ(MoveKeyName(kDefaultMoveLeft), "Windows key+Shift+Left arrow");
    EXPECT_EQ(MoveKeyName({kModControl | kModAlt, 0x71}), "Ctrl+Alt+F2");
}

TEST(MoveHotKeys, AKeyNeedsWindowsCtrlOrAltAndEachDirectionItsOwnKey) {
    const uint32_t shiftLeft = ControlValueOf({kModShift, kMoveVkLeft});
    const uint32_t shiftRight = ControlValueOf({kModShift, kMoveVkRight});
    const uint32_t ctrlK = ControlValueOf({kModControl, 'K'});
    // The defaults, taken as they are.
    TMoveKeysChoice c =
        ChooseMoveKeys(shiftLeft, shiftRight, true, kDefaultMoveLeft, kDefaultMoveRight);
    EXPECT_EQ(c.Left, kDefaultMoveLeft);
    EXPECT_EQ(c.Right, kDefaultMoveRight);
    EXPECT_EQ(c.Refusal, "");
    // The Windows key box cleared with Shift+arrows: Shift alone is refused, both keys stay.
    c = ChooseMoveKeys(shiftLeft, shiftRight, false, kDefaultMoveLeft, kDefaultMoveRight);
    EXPECT_EQ(c.Left, kDefaultMoveLeft);
    EXPECT_EQ(c.Right, kDefaultMoveRight);
    EXPECT_EQ(c.Refusal, "Shift+Right arrow would take that key from every program: hold the "
                         "Windows key, Ctrl or Alt as well.");
    // A bare key typed in the control; a cleared control clears its key.
    c = ChooseMoveKeys(kMoveVkLeft, 0, false, kDefaultMoveLeft, kDefaultMoveRight);
    EXPECT_EQ(c.Left, kDefaultMoveLeft);
    EXPECT_EQ(c.Right, TMoveKey{});
    EXPECT_NE(c.Refusal.find("Left arrow would take"), std::string::npos);
    // The same key both ways: the side that changed keeps its key, with a message that says
    // so rather than blaming another program.
    c = ChooseMoveKeys(ctrlK, ctrlK, false, {kModControl, 'K'}, {kModControl, 'L'});
    EXPECT_EQ(c.Left, (TMoveKey{kModControl, 'K'}));
    EXPECT_EQ(c.Right, (TMoveKey{kModControl, 'L'}));
    EXPECT_EQ(c.Refusal, "Ctrl+K cannot move buttons both left and right: choose another key.");
    // No key on both sides is no clash.
    c = ChooseMoveKeys(0, 0, true, kDefaultMoveLeft, kDefaultMoveRight);
    EXPECT_EQ(c.Left, TMoveKey{});
    EXPECT_EQ(c.Right, TMoveKey{});
    EXPECT_EQ(c.Refusal, "");
}
} // namespace

namespace {
TEST(LastingOrder, TheOrderKeepsTheProgramsLastSeenOnTheTaskbar) {
    // Recent: the taskbar's programs first, then the others as before; only ordered ones.
    EXPECT_EQ(SeenOnTaskbar({"c", "a", "b"}, {"b", "", "x"}, {"a", "b", "c"}),
              (Names{"b", "c", "a"}));
    // Capped: the program longest off the taskbar goes first, one never seen before it.
    EXPECT_EQ(CapOrder({"a", "b", "c", "d"}, {"b", "d", "a", "c"}, 3), (Names{"a", "b", "d"}));
    EXPECT_EQ(CapOrder({"a", "b", "c", "d"}, {"b", "d", "a", "c"}, 2), (Names{"b", "d"}));
    EXPECT_EQ(CapOrder({"a", "n", "c"}, {"c", "a"}, 2), (Names{"a", "c"}));
    EXPECT_EQ(CapOrder({"a", "b"}, {}, 5), (Names{"a", "b"}));
    // 300 programs met one after the other: the last kOrderCap stay.
    Names order, recent;
    for (int i = 0; i < 300; ++i) {
        const std::string p = "p" + std::to_string(i) + ".exe";
        order = MergeOrder(order, {p});
        recent = SeenOnTaskbar(recent, {p}, order);
        order = CapOrder(order, recent, kOrderCap);
    }
    ASSERT_EQ(order.size(), kOrderCap);
    EXPECT_EQ(order.front(), "p44.exe");
    EXPECT_EQ(order.back(), "p299.exe");
}
} // namespace
