#include "app/TaskRows.h"

#include <algorithm>

bool IsListedGroup(const TGrupButtons& G) {
    // A full snapshot names a window for each button; a group none of whose windows is there
    // (all hidden, or gone) shows buttons that a shell which learns late has not taken away
    // yet. A light snapshot reads no windows: its groups are taken as they are.
    const bool windowsGone = !G.Windows.empty() && std::all_of(G.Windows.begin(), G.Windows.end(),
                                                               [](TWndHandle w) { return w == 0; });
    return G.HasVisible && G.Count() >= 2 && !windowsGone;
}

namespace {
TListRow RowOf(const TGrupButtons& G, bool Checked) {
    TListRow row;
    row.Caption = G.Caption;
    row.Icon = &G.Icon;
    row.Checked = Checked;
    row.Group = GroupIdOf(G);
    return row;
}

// The positions of the listed groups of Snapshot, in taskbar order.
std::vector<std::size_t> ListedPositions(const TGroupList& Snapshot) {
    std::vector<std::size_t> listed;
    for (std::size_t i = 0; i < Snapshot.size(); ++i)
        if (IsListedGroup(*Snapshot[i].Group))
            listed.push_back(i);
    return listed;
}
} // namespace

std::vector<TListRow> BuildListRows(const TGroupList& Snapshot, const TGroupList& Hidden) {
    std::vector<TListRow> rows;
    for (std::size_t i : ListedPositions(Snapshot))
        rows.push_back(RowOf(*Snapshot[i].Group, true));
    for (const TGroupListItem& item : Hidden)
        rows.push_back(RowOf(*item.Group, false));
    return rows;
}

std::optional<TGroupId> ListedGroupOfWindow(const TGroupList& Snapshot, TWndHandle Wnd) {
    if (Wnd == 0)
        return std::nullopt;
    for (std::size_t i : ListedPositions(Snapshot)) {
        const TGrupButtons& G = *Snapshot[i].Group;
        for (TWndHandle w : G.Windows)
            if (w == Wnd)
                return GroupIdOf(G);
    }
    return std::nullopt;
}

bool NeighbourForStep(const TGroupList& Snapshot, const TGroupId& Id, int Step,
                      std::optional<TGroupId>& Before) {
    const std::vector<std::size_t> listed = ListedPositions(Snapshot);
    const int count = static_cast<int>(listed.size());
    int row = -1;
    for (int r = 0; r < count && row < 0; ++r)
        if (GroupIdOf(*Snapshot[listed[static_cast<std::size_t>(r)]].Group).Matches(Id))
            row = r;
    if (row < 0 || Step == 0 || row + Step < 0 || row + Step >= count)
        return false;
    // Up: in front of the row above; down: in front of the row after the one below.
    const int target = Step < 0 ? row + Step : row + Step + 1;
    Before.reset();
    if (target < count)
        Before = GroupIdOf(*Snapshot[listed[static_cast<std::size_t>(target)]].Group);
    return true;
}

TRowSelection RestoreSelection(const std::vector<TGroupId>& Groups, int Position,
                               const std::optional<TGroupId>& Selected) {
    const int count = static_cast<int>(Groups.size());
    TRowSelection s;
    s.ClickRow = (Position < 0 || Position >= count) ? 0 : Position;
    // The selected group's row wins wherever it now is; else the row at the remembered place.
    if (Selected)
        for (int i = 0; i < count && s.Select < 0; ++i)
            if (Groups[static_cast<std::size_t>(i)] == *Selected)
                s.Select = i;
    if (s.Select < 0 && s.ClickRow < count)
        s.Select = s.ClickRow;
    return s;
}

TUpDown UpDownForRow(const std::optional<TClickedRow>& Row, int RowCount,
                     const std::optional<bool>& NextChecked) {
    TUpDown b;
    if (!Row || !Row->Checked)
        return b;
    b.Up = Row->Index > 0;
    // Only Down looks at a neighbour: the unchecked rows follow the checked ones, so Down is
    // off on the last checked row.
    b.Down = Row->Index < RowCount - 1 && NextChecked.value_or(false);
    return b;
}
