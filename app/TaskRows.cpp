#include "app/TaskRows.h"

#include <algorithm>
#include <cstdlib>

#include "toolkit/SysUtils.h"

std::string HidenpartText(int32_t Index) {
    return Format("%04X", static_cast<unsigned>(Index));
}

std::string WindowListText(const std::vector<TWndHandle>& Windows) {
    std::string s;
    // Window handles carry 32 significant bits, also in 64-bit processes.
    for (TWndHandle w : Windows)
        s += Format("_%08X", static_cast<unsigned>(static_cast<uint32_t>(w)));
    return s;
}

std::string RectText(const TRect& R) {
    return Format("%d:%d %d:%d", R.Left, R.Top, R.Right, R.Bottom);
}

bool IsListedGroup(const TGrupButtons& G) {
    return G.HasVisible && G.Count() >= 2;
}

namespace {
TListRow RowOf(const TGrupButtons& G, size_t Position, bool Checked) {
    TListRow row;
    row.Caption = G.Caption;
    row.Icon = &G.Icon;
    row.Checked = Checked;
    row.Hidenpart = HidenpartText(G.Index);
    row.SubItems = {std::to_string(Position), WindowListText(G.Windows),
                    std::to_string(G.Windows.size())};
    if (Checked)
        row.SubItems.push_back(RectText(G.Rect));
    return row;
}
} // namespace

int32_t GroupPositionOfRow(const TGroupList& Snapshot, int Row) {
    if (Row < 0)
        return Row;
    int listed = 0;
    for (size_t i = 0; i < Snapshot.size(); ++i)
        if (IsListedGroup(*Snapshot[i].Group) && listed++ == Row)
            return static_cast<int32_t>(i);
    return static_cast<int32_t>(Snapshot.size()) + (Row - listed);
}

int ListedRowOfWindow(const TGroupList& Snapshot, TWndHandle Wnd, int& Count) {
    int row = -1;
    Count = 0;
    for (const TGroupListItem& item : Snapshot) {
        if (!IsListedGroup(*item.Group))
            continue;
        const std::vector<TWndHandle>& w = item.Group->Windows;
        if (row < 0 && Wnd != 0 && std::find(w.begin(), w.end(), Wnd) != w.end())
            row = Count;
        ++Count;
    }
    return row;
}

std::vector<TListRow> BuildListRows(const TGroupList& Snapshot, const TGroupList& Hidden) {
    std::vector<TListRow> rows;
    for (size_t i = 0; i < Snapshot.size(); ++i)
        if (IsListedGroup(*Snapshot[i].Group))
            rows.push_back(RowOf(*Snapshot[i].Group, i, true));
    for (size_t j = 0; j < Hidden.size(); ++j)
        rows.push_back(RowOf(*Hidden[j].Group, j, false));
    return rows;
}

std::string RowKey(const std::string& Caption, const std::string& WindowList) {
    return Caption + WindowList;
}

TRowSelection RestoreSelection(const std::vector<std::string>& Keys, int Position,
                               const std::string& Key) {
    const int count = static_cast<int>(Keys.size());
    TRowSelection s;
    s.ClickRow = (Position < 0 || Position >= count) ? 0 : Position;
    // The matching row at the remembered position wins, else the last matching row.
    for (int i = 0; i < count; ++i) {
        if (Keys[static_cast<size_t>(i)] != Key)
            continue;
        s.Select = i;
        if (i == s.ClickRow)
            break;
    }
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

std::optional<int> RowPosition(const std::string& SubItem0) {
    if (SubItem0.empty() || SubItem0.size() > 10)
        return std::nullopt;
    for (char c : SubItem0)
        if (c < '0' || c > '9')
            return std::nullopt;
    const long long v = std::strtoll(SubItem0.c_str(), nullptr, 10);
    if (v > INT32_MAX)
        return std::nullopt;
    return static_cast<int>(v);
}

int FindRowGroup(const TGroupList& Groups, int Position, const std::string& WindowList) {
    auto matches = [&](size_t i) { return WindowListText(Groups[i].Group->Windows) == WindowList; };
    if (Position >= 0 && static_cast<size_t>(Position) < Groups.size() &&
        matches(static_cast<size_t>(Position)))
        return Position;
    for (size_t i = 0; i < Groups.size(); ++i)
        if (matches(i))
            return static_cast<int>(i);
    return -1;
}

std::unique_ptr<TGrupButtons> TakeGroup(TGroupList& Groups, int Position) {
    if (Position < 0 || static_cast<size_t>(Position) >= Groups.size())
        return nullptr;
    auto it = Groups.begin() + Position;
    std::unique_ptr<TGrupButtons> g = std::move(it->Group);
    Groups.erase(it);
    return g;
}
