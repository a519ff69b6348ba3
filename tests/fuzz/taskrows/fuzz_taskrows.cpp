// The list rows of any snapshot and any hidden groups: the group each row stands for, the steps
// of Up and Down, the row selected after a refresh and the Up and Down buttons of a clicked row.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/TaskRows.h"
#include "tests/fuzz/FuzzButtons.h"

namespace {

using zvfuzz::TFuzzInput;

TGroupList ReadGroups(TFuzzInput& In) {
    TGroupList groups;
    BuildSnapshot(In.Bool(), zvfuzz::ReadButtons(In, 24), {0, 738, 1024, 768}, groups);
    return groups;
}

void CheckRows(const TGroupList& Snapshot, const TGroupList& Hidden,
               const std::vector<TListRow>& Rows) {
    std::vector<const TGrupButtons*> listed;
    for (const TGroupListItem& item : Snapshot)
        if (IsListedGroup(*item.Group))
            listed.push_back(item.Group.get());
    ZV_FUZZ_CHECK(Rows.size() == listed.size() + Hidden.size());
    for (std::size_t r = 0; r < Rows.size(); ++r) {
        const TListRow& row = Rows[r];
        const bool checked = r < listed.size();
        ZV_FUZZ_CHECK(row.Checked == checked);
        // The row knows its group, and the group is found again by that identity (the first
        // group that matches it: groups without a window or visible button match nothing).
        const TGrupButtons& group = checked ? *listed[r] : *Hidden[r - listed.size()].Group;
        ZV_FUZZ_CHECK(row.Icon == &group.Icon && row.Caption == group.Caption);
        ZV_FUZZ_CHECK(row.Group == GroupIdOf(group));
        const TGroupList& from = checked ? Snapshot : Hidden;
        const int32_t found = FindGroup(from, row.Group);
        ZV_FUZZ_CHECK(row.Group.Empty() ? found == -1 : found >= 0);
        if (found >= 0)
            ZV_FUZZ_CHECK(
                GroupIdOf(*from[static_cast<std::size_t>(found)].Group).Matches(row.Group));
    }
    // A step of a listed group leads to a listed group, or to the end.
    for (const TGrupButtons* g : listed)
        for (int step : {-1, 1}) {
            std::optional<TGroupId> before;
            if (NeighbourForStep(Snapshot, GroupIdOf(*g), step, before) && before)
                ZV_FUZZ_CHECK(std::any_of(listed.begin(), listed.end(), [&](const TGrupButtons* l) {
                    return GroupIdOf(*l) == *before;
                }));
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, std::size_t Size) {
    TFuzzInput In(Data, Size);
    const TGroupList snapshot = ReadGroups(In);
    TGroupList hidden;
    for (int i = In.Small(0, 3); i > 0; --i)
        for (TGroupListItem& item : ReadGroups(In))
            AddGroup(hidden, std::move(item.Group));
    const std::vector<TListRow> rows = BuildListRows(snapshot, hidden);
    CheckRows(snapshot, hidden, rows);

    // After a refresh the selected row is one of the new rows, the old one where it still is.
    std::vector<TGroupId> ids;
    for (const TListRow& row : rows)
        ids.push_back(In.Small(0, 3) == 0 ? TGroupId{In.Small(0, 9), In.Small(0, 9)} : row.Group);
    const int position = In.Small(-2, 40);
    std::optional<TGroupId> selected;
    if (In.Bool() && !ids.empty())
        selected = ids[static_cast<std::size_t>(In.Byte()) % ids.size()];
    const TRowSelection s = RestoreSelection(ids, position, selected);
    const int count = static_cast<int>(ids.size());
    ZV_FUZZ_CHECK(count == 0 ? s.Select == -1 : s.Select >= 0 && s.Select < count);
    ZV_FUZZ_CHECK(s.ClickRow >= 0 && (s.ClickRow < count || s.ClickRow == 0));
    if (selected)
        ZV_FUZZ_CHECK(ids[static_cast<std::size_t>(s.Select)] == *selected);

    // Up and Down stay within the list.
    std::optional<TClickedRow> clicked;
    if (In.Bool())
        clicked = TClickedRow{In.Small(-2, 40), In.Bool()};
    std::optional<bool> next;
    if (In.Bool())
        next = In.Bool();
    const TUpDown b = UpDownForRow(clicked, count, next);
    if (b.Up)
        ZV_FUZZ_CHECK(clicked && clicked->Checked && clicked->Index > 0);
    if (b.Down)
        ZV_FUZZ_CHECK(clicked && clicked->Checked && clicked->Index < count - 1);

    // Taking a hidden group out keeps the others in order.
    const std::size_t before = hidden.size();
    std::vector<const TGrupButtons*> order;
    for (const TGroupListItem& item : hidden)
        order.push_back(item.Group.get());
    const int take = In.Small(-2, 30);
    std::unique_ptr<TGrupButtons> taken = TakeGroup(hidden, take);
    const bool inside = take >= 0 && static_cast<std::size_t>(take) < before;
    ZV_FUZZ_CHECK((taken != nullptr) == inside);
    if (inside) {
        ZV_FUZZ_CHECK(taken.get() == order[static_cast<std::size_t>(take)]);
        order.erase(order.begin() + take);
        taken->Clear();
    }
    ZV_FUZZ_CHECK(hidden.size() == order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        ZV_FUZZ_CHECK(hidden[i].Group.get() == order[i]);
    return 0;
}
