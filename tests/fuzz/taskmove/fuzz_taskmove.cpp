// The mover's decisions and plans, carried out on a simulated taskbar: the stand-in shell's
// model of XP's grouping (windows of several programs, groups collapsed, buttons moved before
// by other programs), read as a snapshot reads the toolbar. Every move the mover makes must
// leave the groups in the order asked for, a program's windows together in one group.
#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "standin/TaskbarModel.h"
#include "taskbar/taskmove.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

using standin::ButtonPlan;
using zvfuzz::TFuzzInput;

TGroupList Snapshot(const std::vector<ButtonPlan>& Toolbar) {
    TButtonList buttons;
    for (std::size_t i = 0; i < Toolbar.size(); ++i) {
        auto b = std::make_unique<TTaskButton>();
        b->SetStyleState(Toolbar[i].style, Toolbar[i].state);
        b->Index = static_cast<int32_t>(i);
        b->CommandId = Toolbar[i].id;
        b->Wnd = static_cast<TWndHandle>(Toolbar[i].wnd);
        b->ImageIndex = Toolbar[i].image;
        b->Caption = Toolbar[i].text;
        b->Rect = {static_cast<int32_t>(i) * 20, 2, static_cast<int32_t>(i) * 20 + 18, 24};
        buttons.push_back(std::move(b));
    }
    TGroupList groups;
    BuildSnapshot(false, std::move(buttons), {0, 738, 1024, 768}, groups);
    return groups;
}

// TB_MOVEBUTTON: out of its place, then in at the new index; an index outside the toolbar
// does nothing.
void MoveButton(std::vector<ButtonPlan>& Toolbar, const TToolbarMove& Move) {
    const int32_t size = static_cast<int32_t>(Toolbar.size());
    if (Move.From < 0 || Move.From >= size || Move.To < 0 || Move.To >= size)
        return;
    standin::ToolbarOp op;
    op.kind = standin::ToolbarOp::Move;
    op.index = Move.To;
    op.from = Move.From;
    standin::ApplyToolbarPlan(Toolbar, {op});
}

std::vector<std::vector<TWndHandle>> WindowLists(const TGroupList& Groups) {
    std::vector<std::vector<TWndHandle>> lists;
    for (const TGroupListItem& item : Groups)
        lists.push_back(item.Group->Windows);
    return lists;
}

// The window lists of the groups after the group at From went in front of the group at To.
std::vector<std::vector<TWndHandle>> Reordered(std::vector<std::vector<TWndHandle>> Lists,
                                               int32_t From, int32_t To) {
    std::vector<std::vector<TWndHandle>> out;
    const int32_t n = static_cast<int32_t>(Lists.size());
    for (int32_t i = 0; i < n; ++i) {
        if (i == To)
            out.push_back(Lists[static_cast<std::size_t>(From)]);
        if (i != From)
            out.push_back(Lists[static_cast<std::size_t>(i)]);
    }
    if (To >= n)
        out.push_back(Lists[static_cast<std::size_t>(From)]);
    return out;
}

std::vector<TWndHandle> Flat(const std::vector<std::vector<TWndHandle>>& Lists) {
    std::vector<TWndHandle> out;
    for (const auto& l : Lists)
        for (TWndHandle w : l)
            if (w != 0)
                out.push_back(w);
    return out;
}

// True when the groups of the snapshot and the programs match one to one (each program's
// windows in one group, each group's windows of one program): then showing the windows again
// group by group can give any order of the groups.
bool GroupsMatchPrograms(const TGroupList& Groups,
                         const std::map<TWndHandle, standin::AppWindow>& Apps) {
    std::map<std::string, std::size_t> groupOf;
    for (std::size_t g = 0; g < Groups.size(); ++g) {
        std::set<std::string> programs;
        for (TWndHandle w : Groups[g].Group->Windows) {
            if (w == 0)
                continue;
            programs.insert(Apps.at(w).appKey);
            auto [it, added] = groupOf.emplace(Apps.at(w).appKey, g);
            if (!added && it->second != g)
                return false;
        }
        if (programs.size() > 1)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, std::size_t Size) {
    TFuzzInput In(Data, Size);
    standin::TaskbarModel model(!In.Bool() || !In.Bool()); // mostly with grouping
    std::map<TWndHandle, standin::AppWindow> apps;
    const int windows = In.Small(1, 12);
    for (int i = 0; i < windows; ++i) {
        standin::AppWindow w;
        w.wnd = 0x100 + 16 * static_cast<standin::WindowKey>(i);
        w.appKey = "app" + std::to_string(In.Small(0, 11));
        w.appName = w.appKey;
        w.title = "window " + std::to_string(i);
        w.image = i;
        model.AddWindow(w);
        apps[static_cast<TWndHandle>(w.wnd)] = w;
    }
    // Groups collapsed, and buttons that other programs moved before.
    for (int i = In.Small(0, 3); i > 0; --i)
        model.SetCollapsed(0x100 + 16 * static_cast<standin::WindowKey>(In.Small(0, windows - 1)),
                           true);
    for (int i = In.Small(0, 3); i > 0; --i) {
        std::vector<ButtonPlan> toolbar = model.Buttons();
        const int32_t n = static_cast<int32_t>(toolbar.size());
        MoveButton(toolbar, {In.Small(0, 255) % n, In.Small(0, 255) % n});
        std::vector<int> ids;
        for (const ButtonPlan& b : toolbar)
            ids.push_back(b.id);
        model.AdoptOrder(ids);
    }

    std::vector<ButtonPlan> toolbar = model.Buttons();
    const TGroupList groups = Snapshot(toolbar);
    const int32_t count = static_cast<int32_t>(groups.size());
    const int32_t from = In.Small(-1, count + 1);
    const int32_t to = In.Small(-1, count + 2);
    const bool alternate = In.Small(0, 7) == 0;
    const bool valid = from >= 0 && from < count && to >= 0 && to <= count && to != from;
    const auto wanted = valid ? Reordered(WindowLists(groups), from, to) : WindowLists(groups);

    const TMoveDecision decision = DecideMove(from, to, groups, alternate);
    if (alternate)
        ZV_FUZZ_CHECK(decision.Method == TMoveMethod::Reshowing);
    else
        // Refused exactly when the positions ask for no move inside the list.
        ZV_FUZZ_CHECK((decision.Method == TMoveMethod::Refuse) == (!valid || to == from + 1));

    if (decision.Method == TMoveMethod::Direct) {
        const std::vector<TToolbarMove> moves = PlanDirectMoves(from, to, groups);
        // One message per button of the moving group.
        ZV_FUZZ_CHECK(moves.size() == static_cast<std::size_t>(
                                          groups[static_cast<std::size_t>(from)].Group->Count()));
        for (const TToolbarMove& move : moves)
            MoveButton(toolbar, move);
        // Read again, the toolbar holds the same groups, each whole behind its header, in the
        // order asked for.
        ZV_FUZZ_CHECK(WindowLists(Snapshot(toolbar)) == wanted);
    }

    if (decision.Method == TMoveMethod::Reshowing || In.Bool()) {
        const TReshowPlan plan = PlanReshowing(from, to, groups);
        const bool refused = from < 0 || from >= count || to < 0 || from == to ||
                             groups[static_cast<std::size_t>(from)].Group->Windows.empty();
        ZV_FUZZ_CHECK(plan.Refused == refused);
        if (refused) {
            ZV_FUZZ_CHECK(plan.Hide.empty() && plan.Show.empty());
            return 0;
        }
        // Every window hidden is shown again, once.
        std::multiset<TWndHandle> hidden(plan.Hide.begin(), plan.Hide.end());
        std::multiset<TWndHandle> shown(plan.Show.begin(), plan.Show.end());
        ZV_FUZZ_CHECK(hidden == shown);
        // The shell: a hidden window loses its button, a shown one joins its program's group
        // or starts a new group at the end. A 0 handle names no window.
        const bool allBack = CarryOutReshowing(
            plan, {[&](TWndHandle w) {
                       if (w != 0)
                           model.RemoveWindow(static_cast<standin::WindowKey>(w));
                       return w != 0 && model.Contains(static_cast<standin::WindowKey>(w));
                   },
                   [&](TWndHandle w) {
                       if (w != 0)
                           model.AddWindow(apps.at(w));
                       return w != 0 && model.Contains(static_cast<standin::WindowKey>(w));
                   },
                   [] {}});
        // Headers' 0 handles are left alone; a move of real windows that all came back
        // succeeds.
        ZV_FUZZ_CHECK(allBack == (hidden.size() != hidden.count(0)));
        // A position behind the end means the end.
        const std::vector<TWndHandle> wantedWindows =
            Flat(Reordered(WindowLists(groups), from, std::min(to, count)));
        std::vector<TWndHandle> order;
        for (standin::WindowKey w : model.Windows())
            order.push_back(static_cast<TWndHandle>(w));
        // No window is lost. (A window whose button stands in no group with a visible button,
        // as a collapsed group's member moved away from its header, is in no window list.)
        ZV_FUZZ_CHECK(order.size() == apps.size());
        if (wantedWindows.size() == apps.size() && GroupsMatchPrograms(groups, apps))
            ZV_FUZZ_CHECK(order == wantedWindows);
    }
    return 0;
}
