#include "standin/ToolbarPlan.h"

#include <algorithm>
#include <unordered_set>

namespace standin {

static ToolbarOp Op(ToolbarOp::Kind kind, int index, int from = -1) {
    ToolbarOp op;
    op.kind = kind;
    op.index = index;
    op.from = from;
    return op;
}

static ToolbarOp CompareForUpdate(int index, const ButtonPlan& have, const ButtonPlan& want) {
    ToolbarOp op = Op(ToolbarOp::Update, index);
    op.button = want;
    op.style = have.style != want.style;
    op.state = (have.state & kManagedStates) != (want.state & kManagedStates);
    op.text = have.text != want.text;
    op.image = have.image != want.image;
    op.width = want.width != 0 && have.width != want.width;
    return op;
}

std::vector<ToolbarOp> PlanToolbarUpdate(const std::vector<ButtonPlan>& current,
                                         const std::vector<ButtonPlan>& wanted) {
    std::vector<ToolbarOp> ops;
    std::unordered_set<int> wantedIds;
    for (const auto& b : wanted)
        wantedIds.insert(b.id);

    std::vector<ButtonPlan> now = current;
    for (int i = int(now.size()) - 1; i >= 0; --i) {
        if (!wantedIds.count(now[i].id)) {
            ops.push_back(Op(ToolbarOp::Delete, i));
            now.erase(now.begin() + i);
        }
    }
    for (int i = 0; i < int(wanted.size()); ++i) {
        const ButtonPlan& want = wanted[i];
        if (i < int(now.size()) && now[i].id == want.id) {
            ToolbarOp op = CompareForUpdate(i, now[i], want);
            if (op.style || op.state || op.text || op.image || op.width) {
                ops.push_back(op);
                now[i] = want;
            }
            continue;
        }
        auto found = std::find_if(now.begin() + std::min<std::size_t>(i, now.size()), now.end(),
                                  [&](const ButtonPlan& b) { return b.id == want.id; });
        if (found != now.end()) {
            int from = int(found - now.begin());
            ops.push_back(Op(ToolbarOp::Move, i, from));
            ButtonPlan moved = *found;
            now.erase(found);
            now.insert(now.begin() + i, moved);
            ToolbarOp op = CompareForUpdate(i, moved, want);
            if (op.style || op.state || op.text || op.image || op.width)
                ops.push_back(op);
        } else {
            ToolbarOp insert = Op(ToolbarOp::Insert, i);
            insert.button = want;
            ops.push_back(insert);
            now.insert(now.begin() + i, want);
        }
        now[i] = want;
    }
    return ops;
}

void ApplyToolbarPlan(std::vector<ButtonPlan>& buttons, const std::vector<ToolbarOp>& ops) {
    for (const auto& op : ops) {
        switch (op.kind) {
        case ToolbarOp::Delete:
            buttons.erase(buttons.begin() + op.index);
            break;
        case ToolbarOp::Insert:
            buttons.insert(buttons.begin() + op.index, op.button);
            break;
        case ToolbarOp::Move: {
            ButtonPlan b = buttons[op.from];
            buttons.erase(buttons.begin() + op.from);
            buttons.insert(buttons.begin() + op.index, b);
            break;
        }
        case ToolbarOp::Update: {
            ButtonPlan& b = buttons[op.index];
            if (op.style)
                b.style = op.button.style;
            if (op.state)
                b.state =
                    std::uint8_t((b.state & ~kManagedStates) | (op.button.state & kManagedStates));
            if (op.text)
                b.text = op.button.text;
            if (op.image)
                b.image = op.button.image;
            if (op.width)
                b.width = op.button.width;
            break;
        }
        }
    }
}

} // namespace standin
