// The mover's decisions on plain data: the choice of method, the two toolbar moves of the
// direct method (checked by replaying them on a toolbar of labels) and the plan and count of
// the reshowing method.
#include "taskbar/taskmove.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

struct GroupDef {
    int32_t index;
    bool alternate = false;
    std::vector<TWndHandle> windows = {};
};

TGroupList Groups(const std::vector<GroupDef>& defs) {
    TGroupList list;
    for (const GroupDef& d : defs) {
        auto g = std::make_unique<TGrupButtons>();
        g->Index = d.index;
        g->NeedsAlternateMove = d.alternate;
        g->HasVisible = true;
        g->Windows = d.windows;
        AddGroup(list, std::move(g));
    }
    return list;
}

// Groups of a hidden header and one visible button each: Index 1, 3, 5, ...; windows 10 * (i +
// 1) and 10 * (i + 1) + 1.
TGroupList TwoButtonGroups(int n, const std::vector<int>& alternate = {}) {
    std::vector<GroupDef> defs;
    for (int i = 0; i < n; ++i) {
        const TWndHandle w = 10 * (i + 1);
        bool alt = std::find(alternate.begin(), alternate.end(), i) != alternate.end();
        defs.push_back({2 * i + 1, alt, {w, w + 1}});
    }
    return Groups(defs);
}

// The order of n groups after the group at From goes in front of the group at To (n: the end).
std::vector<int> ExpectedOrder(int n, int From, int To) {
    std::vector<int> order;
    for (int i = 0; i < n; ++i) {
        if (i == To)
            order.push_back(From);
        if (i != From)
            order.push_back(i);
    }
    if (To >= n)
        order.push_back(From);
    return order;
}

// TB_MOVEBUTTON as the toolbar does it: out of its place, then in at the new index. A move
// with an index outside the toolbar does nothing.
void Replay(std::vector<std::string>& Toolbar, const TToolbarMove& Move) {
    const int32_t size = static_cast<int32_t>(Toolbar.size());
    if (Move.From < 0 || Move.From >= size || Move.To < 0 || Move.To >= size)
        return;
    std::string button = Toolbar[static_cast<std::size_t>(Move.From)];
    Toolbar.erase(Toolbar.begin() + Move.From);
    Toolbar.insert(Toolbar.begin() + Move.To, button);
}

std::vector<std::string> HeaderButtonToolbar(int n) {
    std::vector<std::string> toolbar;
    for (int i = 0; i < n; ++i) {
        toolbar.push_back("H" + std::to_string(i));
        toolbar.push_back("B" + std::to_string(i));
    }
    return toolbar;
}

const char* Name(TMoveMethod m) {
    switch (m) {
    case TMoveMethod::Refuse:
        return "refuse";
    case TMoveMethod::Direct:
        return "direct";
    case TMoveMethod::Reshowing:
        return "reshowing";
    }
    return "?";
}

TEST(DecideMove, Table) {
    // Five groups; the one at position 2 cannot be moved directly.
    const TGroupList groups = TwoButtonGroups(5, {2});
    const struct {
        int line;
        int32_t from, to;
        bool alternate;
        TMoveMethod method;
        int32_t neighbour;
    } rows[] = {
        {__LINE__, 2, 2, false, TMoveMethod::Refuse, 0},
        {__LINE__, -1, 0, false, TMoveMethod::Refuse, 0},
        {__LINE__, 0, -1, false, TMoveMethod::Refuse, 0},
        {__LINE__, 5, 2, false, TMoveMethod::Refuse, 0}, // beyond the list, up
        {__LINE__, 5, 7, false, TMoveMethod::Refuse, 0}, // beyond the list, down
        {__LINE__, 0, 1, false, TMoveMethod::Refuse, 0}, // down by zero places
        {__LINE__, 1, 2, false, TMoveMethod::Refuse, 0},
        {__LINE__, 4, 5, false, TMoveMethod::Refuse, 0},  // the last one to the end
        {__LINE__, 3, 6, false, TMoveMethod::Refuse, 0},  // in front of a sixth group of five
        {__LINE__, 0, 99, false, TMoveMethod::Refuse, 0}, // far behind the end
        {__LINE__, 1, 0, false, TMoveMethod::Direct, 0},
        {__LINE__, 4, 3, false, TMoveMethod::Direct, 3},
        {__LINE__, 0, 2, false, TMoveMethod::Direct, 1},
        {__LINE__, 3, 5, false, TMoveMethod::Direct, 4},    // to the end
        {__LINE__, 4, 0, false, TMoveMethod::Reshowing, 0}, // up across position 2
        {__LINE__, 3, 2, false, TMoveMethod::Reshowing, 0}, // up in front of it
        {__LINE__, 2, 1, false, TMoveMethod::Reshowing, 0}, // up out of it
        {__LINE__, 0, 4, false, TMoveMethod::Reshowing, 0}, // down across it
        {__LINE__, 1, 3, false, TMoveMethod::Reshowing, 0}, // down behind it
        {__LINE__, 2, 4, false, TMoveMethod::Reshowing, 0}, // down out of it
        {__LINE__, 3, 1, false, TMoveMethod::Reshowing, 0},
        // The alternate method takes every move and checks the positions itself.
        {__LINE__, 1, 0, true, TMoveMethod::Reshowing, 0},
        {__LINE__, 0, 1, true, TMoveMethod::Reshowing, 0},
        {__LINE__, 2, 2, true, TMoveMethod::Reshowing, 0},
        {__LINE__, -1, 0, true, TMoveMethod::Reshowing, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "line " << r.line);
        const TMoveDecision d = DecideMove(r.from, r.to, groups, r.alternate);
        EXPECT_STREQ(Name(d.Method), Name(r.method));
        if (r.method == TMoveMethod::Direct) {
            EXPECT_EQ(d.NeighbourIndex, r.neighbour);
        }
    }
}

// Found by fuzzing: on the toolbar [B0, H1, H2, B2] (a header whose window went elsewhere) the
// lone hidden header H1 is a group without a visible button, whose Index is its own (1). Moved
// directly to the end, the second toolbar move took B0 of the group in front of it.
TEST(DecideMove, GroupWithoutVisibleButtonIsNotMovedDirectly) {
    TGroupList groups;
    BuildSnapshot(
        false,
        [] {
            TButtonList buttons;
            const struct {
                bool header, hidden;
                TWndHandle wnd;
            } defs[] = {
                {false, false, 0x100}, {true, true, 0}, {true, true, 0}, {false, false, 0x110}};
            for (const auto& d : defs) {
                auto b = std::make_unique<TTaskButton>();
                b->SetStyleState(d.header ? kBtnsDropDown : 0, d.hidden ? kTbStateHidden : 0);
                b->Index = static_cast<int32_t>(buttons.size());
                b->Wnd = d.wnd;
                buttons.push_back(std::move(b));
            }
            return buttons;
        }(),
        {}, groups);
    ASSERT_EQ(groups.size(), 3u);
    ASSERT_FALSE(groups[1].Group->HasVisible);
    EXPECT_EQ(DecideMove(1, 3, groups, false).Method, TMoveMethod::Reshowing);
    // The same group as the one a move ends next to.
    EXPECT_EQ(DecideMove(2, 1, groups, false).Method, TMoveMethod::Reshowing);
    // Two groups of a hidden header and a visible button still move directly.
    EXPECT_EQ(DecideMove(2, 0, TwoButtonGroups(3), false).Method, TMoveMethod::Direct);
}

TEST(DecideMove, EmptyListRefusesEverything) {
    const TGroupList none;
    EXPECT_EQ(DecideMove(0, 1, none, false).Method, TMoveMethod::Refuse);
    EXPECT_EQ(DecideMove(1, 0, none, false).Method, TMoveMethod::Refuse);
    EXPECT_EQ(DecideMove(0, 2, none, false).Method, TMoveMethod::Refuse);
}

TEST(PlanButtonMoves, WorkedExample) {
    // [H0, B0, H1, B1, H2, B2]: one message per button, the group's order kept.
    struct {
        int32_t first, count, before;
        std::vector<TToolbarMove> moves;
        std::vector<std::string> result;
    } cases[] = {
        // group 2 up one place
        {4, 2, 2, {{4, 2}, {5, 3}}, {"H0", "B0", "H2", "B2", "H1", "B1"}},
        // group 0 down one place
        {0, 2, 4, {{0, 3}, {0, 3}}, {"H1", "B1", "H0", "B0", "H2", "B2"}},
        // group 0 to the end
        {0, 2, 6, {{0, 5}, {0, 5}}, {"H1", "B1", "H2", "B2", "H0", "B0"}},
        // in front of itself, or of the group right behind it: nothing to send
        {2, 2, 2, {}, {"H0", "B0", "H1", "B1", "H2", "B2"}},
        {2, 2, 4, {}, {"H0", "B0", "H1", "B1", "H2", "B2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.first << " before " << c.before);
        const std::vector<TToolbarMove> moves = PlanButtonMoves(c.first, c.count, c.before);
        EXPECT_EQ(moves, c.moves);
        std::vector<std::string> toolbar = HeaderButtonToolbar(3);
        for (const TToolbarMove& m : moves)
            Replay(toolbar, m);
        EXPECT_EQ(toolbar, c.result);
    }
}

// A toolbar of program groups: group g is its hidden header "Hg" followed by Sizes[g] visible
// window buttons "Wg.k" (windows 100 * (g + 1) + k).
struct TProgramToolbar {
    std::vector<std::string> Labels;
    TButtonList Buttons() const {
        TButtonList buttons;
        for (std::size_t i = 0; i < Labels.size(); ++i) {
            auto b = std::make_unique<TTaskButton>();
            const bool header = Labels[i][0] == 'H';
            b->SetStyleState(header ? kBtnsDropDown : 0, header ? kTbStateHidden : 0);
            b->Index = static_cast<int32_t>(i);
            b->CommandId = static_cast<int32_t>(1000 + i);
            if (!header) {
                const std::size_t dot = Labels[i].find('.');
                b->Wnd = 100 * (std::stoi(Labels[i].substr(1, dot - 1)) + 1) +
                         std::stoi(Labels[i].substr(dot + 1));
            }
            buttons.push_back(std::move(b));
        }
        return buttons;
    }
};
TProgramToolbar ProgramToolbar(const std::vector<int>& Sizes) {
    TProgramToolbar t;
    for (std::size_t g = 0; g < Sizes.size(); ++g) {
        t.Labels.push_back("H" + std::to_string(g));
        for (int k = 0; k < Sizes[g]; ++k)
            t.Labels.push_back("W" + std::to_string(g) + "." + std::to_string(k));
    }
    return t;
}

// Every direct move the decision allows on a toolbar of program groups of one to three windows
// leaves every group together behind its own header, in the order the insertion position asks
// for: replayed on the toolbar and read back as groups.
TEST(PlanDirectMoves, EveryAllowedMoveKeepsEachProgramTogether) {
    const std::vector<int> sizes = {2, 1, 3, 1, 2};
    const int n = static_cast<int>(sizes.size());
    const TProgramToolbar start = ProgramToolbar(sizes);
    TGroupList groups;
    BuildSnapshot(false, start.Buttons(), {}, groups);
    ASSERT_EQ(groups.size(), sizes.size());
    int direct = 0;
    for (int from = 0; from < n; ++from) {
        for (int to = 0; to <= n; ++to) {
            SCOPED_TRACE(testing::Message() << from << " to " << to);
            if (DecideMove(from, to, groups, false).Method != TMoveMethod::Direct)
                continue;
            ++direct;
            TProgramToolbar after = start;
            const std::vector<TToolbarMove> moves = PlanDirectMoves(from, to, groups);
            EXPECT_EQ(moves.size(), std::size_t(sizes[std::size_t(from)] + 1));
            for (const TToolbarMove& m : moves)
                Replay(after.Labels, m);
            std::vector<int> order = ExpectedOrder(n, from, to);
            std::vector<int> sizesAfter;
            for (int g : order)
                sizesAfter.push_back(sizes[std::size_t(g)]);
            TProgramToolbar expected = ProgramToolbar(sizesAfter);
            // The labels name the groups as they were numbered before the move.
            for (std::string& label : expected.Labels) {
                const std::size_t end = label.find('.');
                const int g = std::stoi(label.substr(1, end == std::string::npos ? end : end - 1));
                label = label.substr(0, 1) + std::to_string(order[std::size_t(g)]) +
                        (end == std::string::npos ? "" : label.substr(end));
            }
            EXPECT_EQ(after.Labels, expected.Labels);
            TGroupList regrouped;
            BuildSnapshot(false, after.Buttons(), {}, regrouped);
            EXPECT_EQ(regrouped.size(), groups.size());
        }
    }
    // Every pair except the same place and the moves down by zero places.
    EXPECT_EQ(direct, n * (n + 1) - 2 * n);
    EXPECT_TRUE(PlanDirectMoves(n, 0, groups).empty());
    EXPECT_TRUE(PlanDirectMoves(0, n + 1, groups).empty());
}

TEST(PlanReshowing, HidesFromTheLowerPositionAndShowsInTheNewOrder) {
    const TGroupList groups =
        Groups({{1, false, {10, 11}}, {3, true, {20}}, {5, false, {30, 31}}, {6, true, {40}}});
    {
        SCOPED_TRACE("group 1 to the end");
        const TReshowPlan p = PlanReshowing(1, 4, groups);
        EXPECT_FALSE(p.Refused);
        EXPECT_THAT(p.Hide, ElementsAre(20, 30, 31, 40));
        EXPECT_THAT(p.Show, ElementsAre(30, 31, 40, 20));
    }
    {
        SCOPED_TRACE("group 3 in front of group 1");
        const TReshowPlan p = PlanReshowing(3, 1, groups);
        EXPECT_THAT(p.Hide, ElementsAre(20, 30, 31, 40));
        EXPECT_THAT(p.Show, ElementsAre(40, 20, 30, 31));
    }
    {
        SCOPED_TRACE("down by zero places: everything from 0 again in the same order");
        const TReshowPlan p = PlanReshowing(0, 1, groups);
        EXPECT_FALSE(p.Refused);
        EXPECT_THAT(p.Hide, ElementsAre(10, 11, 20, 30, 31, 40));
        EXPECT_THAT(p.Show, ElementsAre(10, 11, 20, 30, 31, 40));
    }
    {
        SCOPED_TRACE("a position far behind the end is the end");
        const TReshowPlan p = PlanReshowing(2, 50, groups);
        EXPECT_THAT(p.Hide, ElementsAre(30, 31, 40));
        EXPECT_THAT(p.Show, ElementsAre(40, 30, 31));
    }
}

TEST(PlanReshowing, Refusals) {
    const TGroupList groups = Groups({{1, false, {10}}, {3, false, {}}, {5, false, {30}}});
    const struct {
        int line;
        int32_t from, to;
    } rows[] = {
        {__LINE__, 3, 0},                    // beyond the list
        {__LINE__, -1, 1},                   // negative
        {__LINE__, 1, -1}, {__LINE__, 2, 2}, // same place
        {__LINE__, 1, 0},                    // a group without windows
        {__LINE__, 1, 3},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "line " << r.line);
        const TReshowPlan p = PlanReshowing(r.from, r.to, groups);
        EXPECT_TRUE(p.Refused);
        EXPECT_THAT(p.Hide, IsEmpty());
        EXPECT_THAT(p.Show, IsEmpty());
    }
    // A group without windows is only hidden and shown along with the others.
    const TReshowPlan p = PlanReshowing(2, 0, groups);
    EXPECT_FALSE(p.Refused);
    EXPECT_THAT(p.Show, ElementsAre(30, 10));
}

// The groups' order that the show list gives, for every move: the groups in front of the lower
// position untouched, the moving group in front of the one at ToIndex, or last.
TEST(PlanReshowing, EveryMoveShowsTheInsertionOrder) {
    const int n = 5;
    const TGroupList groups = TwoButtonGroups(n);
    for (int from = 0; from < n; ++from) {
        for (int to = 0; to <= n; ++to) {
            if (from == to)
                continue;
            SCOPED_TRACE(testing::Message() << from << " to " << to);
            const TReshowPlan p = PlanReshowing(from, to, groups);
            ASSERT_FALSE(p.Refused);
            const int low = std::min(from, to);
            std::vector<TWndHandle> expected;
            for (int g : ExpectedOrder(n, from, to))
                if (g >= low) {
                    const TWndHandle w = 10 * (g + 1);
                    expected.push_back(w);
                    expected.push_back(w + 1);
                }
            // Groups in front of the lower position are neither hidden nor shown.
            EXPECT_THAT(p.Show, ElementsAreArray(expected));
            EXPECT_EQ(p.Hide.size(), expected.size());
        }
    }
}

// Windows that follow ShowWindow; 0 is never a window, and a "stuck" window keeps its state.
class TFakeWindows {
public:
    TFakeWindows(std::initializer_list<TWndHandle> Windows) {
        for (TWndHandle w : Windows)
            FVisible[w] = true;
    }
    TReshowActions Actions() {
        return {[this](TWndHandle w) { return Set(w, false, "hide "); },
                [this](TWndHandle w) { return Set(w, true, "show "); },
                [this] { Log.push_back("pause"); }};
    }
    std::set<TWndHandle> Stuck;
    std::vector<std::string> Log;

private:
    bool Set(TWndHandle w, bool visible, const char* what) {
        Log.push_back(what + std::to_string(w));
        auto it = FVisible.find(w);
        if (it == FVisible.end())
            return false;
        if (!Stuck.count(w))
            it->second = visible;
        return it->second;
    }
    std::map<TWndHandle, bool> FVisible;
};

TEST(CarryOutReshowing, HidesPausesShowsAndCountsWhatCameBack) {
    TFakeWindows windows{20, 30, 40};
    const TGroupList groups = Groups({{1, false, {20}}, {3, false, {30}}, {5, false, {40}}});
    EXPECT_TRUE(CarryOutReshowing(PlanReshowing(0, 3, groups), windows.Actions()));
    EXPECT_THAT(windows.Log, ElementsAre("hide 20", "hide 30", "hide 40", "pause", "show 30",
                                         "show 40", "show 20"));
}

TEST(CarryOutReshowing, HeadersAreLeftAloneAndAStuckWindowMakesTheResultFalse) {
    {
        SCOPED_TRACE("a header's 0 handle in the range: the move succeeds");
        TFakeWindows windows{20, 30};
        const TGroupList groups = Groups({{1, false, {0, 20}}, {3, false, {0, 30}}});
        EXPECT_TRUE(CarryOutReshowing(PlanReshowing(1, 0, groups), windows.Actions()));
        EXPECT_THAT(windows.Log, ElementsAre("hide 20", "hide 30", "pause", "show 30", "show 20"));
    }
    {
        SCOPED_TRACE("a group of headers only: nothing came back, no success");
        TFakeWindows windows{20};
        const TGroupList groups = Groups({{1, false, {0}}, {3, false, {0}}});
        EXPECT_FALSE(CarryOutReshowing(PlanReshowing(1, 0, groups), windows.Actions()));
    }
    {
        SCOPED_TRACE("a window that does not hide");
        TFakeWindows windows{20, 30};
        windows.Stuck = {30};
        const TGroupList groups = Groups({{1, false, {20}}, {3, false, {30}}});
        EXPECT_FALSE(CarryOutReshowing(PlanReshowing(1, 0, groups), windows.Actions()));
    }
}

TEST(CarryOutReshowing, RefusedPlanTouchesNothing) {
    TFakeWindows windows{20};
    EXPECT_FALSE(CarryOutReshowing(TReshowPlan{}, windows.Actions()));
    EXPECT_THAT(windows.Log, IsEmpty());
}

// The toolbar as a shell shows it: buttons at the given positions for the given windows (0: a
// group header), handed over in any order.
TButtonList Toolbar(const std::vector<std::pair<int32_t, TWndHandle>>& Defs) {
    TButtonList buttons;
    for (const auto& d : Defs) {
        auto b = std::make_unique<TTaskButton>();
        b->Index = d.first;
        b->Wnd = d.second;
        buttons.push_back(std::move(b));
    }
    return buttons;
}

TEST(ButtonsFollowOrder, OnlyOnceEveryShownWindowHasItsButtonInTheShownOrder) {
    const std::vector<TWndHandle> shown = {30, 40, 20};
    const struct {
        int line;
        std::vector<std::pair<int32_t, TWndHandle>> toolbar;
        bool taken;
    } rows[] = {
        {__LINE__, {{0, 10}, {1, 0}, {2, 30}, {3, 40}, {4, 0}, {5, 20}}, true},
        {__LINE__, {{5, 20}, {0, 10}, {3, 40}, {2, 30}}, true},  // read in any order
        {__LINE__, {{0, 10}, {1, 20}, {2, 30}, {3, 40}}, false}, // the order before the move
        {__LINE__, {{0, 10}, {1, 30}, {2, 40}}, false},          // 20 not back yet
        {__LINE__, {{0, 10}}, false},                            // the hides taken in only
        {__LINE__, {{0, 40}, {1, 30}, {2, 20}}, false},          // 40 ahead of 30
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        EXPECT_EQ(ButtonsFollowOrder(shown, Toolbar(row.toolbar)), row.taken);
    }
    EXPECT_TRUE(ButtonsFollowOrder({}, Toolbar({})));
}

} // namespace
