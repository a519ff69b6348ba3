// The list rows of any snapshot and any hidden groups: their texts, the way back from a row to
// its group, the row selected after a refresh and the Up and Down buttons of a clicked row.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
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

bool IsHex(const std::string& s) {
    return s.find_first_not_of("0123456789ABCDEF") == std::string::npos;
}

void CheckRows(const TGroupList& Snapshot, const TGroupList& Hidden,
               const std::vector<TListRow>& Rows) {
    int listed = 0;
    for (const TGroupListItem& item : Snapshot)
        listed += IsListedGroup(*item.Group);
    ZV_FUZZ_CHECK(Rows.size() == static_cast<std::size_t>(listed) + Hidden.size());
    for (std::size_t r = 0; r < Rows.size(); ++r) {
        const TListRow& row = Rows[r];
        const bool checked = r < static_cast<std::size_t>(listed);
        ZV_FUZZ_CHECK(row.Checked == checked);
        ZV_FUZZ_CHECK(row.SubItems.size() == (checked ? 4u : 3u));
        ZV_FUZZ_CHECK(row.Hidenpart.size() >= 4 && IsHex(row.Hidenpart));
        // The row leads back to its group: by its position, and by its windows.
        const std::optional<int> position = RowPosition(row.SubItems[0]);
        ZV_FUZZ_CHECK(position.has_value());
        const TGroupList& from = checked ? Snapshot : Hidden;
        ZV_FUZZ_CHECK(*position >= 0 && static_cast<std::size_t>(*position) < from.size());
        const TGrupButtons& group = *from[static_cast<std::size_t>(*position)].Group;
        ZV_FUZZ_CHECK(row.Icon == &group.Icon && row.Caption == group.Caption);
        if (checked)
            ZV_FUZZ_CHECK(GroupPositionOfRow(Snapshot, static_cast<int>(r)) == *position);
        ZV_FUZZ_CHECK(row.SubItems[1].size() == 9 * group.Windows.size());
        ZV_FUZZ_CHECK(row.SubItems[2] == std::to_string(group.Windows.size()));
        ZV_FUZZ_CHECK(FindRowGroup(from, *position, row.SubItems[1]) == *position);
        ZV_FUZZ_CHECK(std::strtoul(row.Hidenpart.c_str(), nullptr, 16) ==
                      static_cast<uint32_t>(group.Index));
    }
    // Rows past the listed groups stand for positions past the end of the snapshot.
    for (int r = -2; r < listed + 3; ++r) {
        const int32_t p = GroupPositionOfRow(Snapshot, r);
        if (r < 0)
            ZV_FUZZ_CHECK(p == r);
        else if (r < listed)
            ZV_FUZZ_CHECK(p < static_cast<int32_t>(Snapshot.size()) &&
                          IsListedGroup(*Snapshot[static_cast<std::size_t>(p)].Group));
        else
            ZV_FUZZ_CHECK(p >= static_cast<int32_t>(Snapshot.size()));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, std::size_t Size) {
    TFuzzInput In(Data, Size);
    TGroupListHolder snapshot;
    snapshot.Groups = ReadGroups(In);
    TGroupListHolder hidden;
    for (int i = In.Small(0, 3); i > 0; --i) {
        TGroupListHolder more;
        more.Groups = ReadGroups(In);
        for (TGroupListItem& item : more.Groups)
            AddGroup(hidden.Groups, std::move(item.Group));
        more.Groups.clear();
    }
    const std::vector<TListRow> rows = BuildListRows(snapshot.Groups, hidden.Groups);
    CheckRows(snapshot.Groups, hidden.Groups, rows);

    // After a refresh the selected row is one of the new rows, the old one where it still is.
    std::vector<std::string> keys;
    for (const TListRow& row : rows)
        keys.push_back(In.Small(0, 3) == 0 ? In.Text(4) : RowKey(row.Caption, row.SubItems[1]));
    const int position = In.Small(-2, 40);
    const std::string key = In.Bool() ? In.Text(4)
                            : keys.empty()
                                ? std::string()
                                : keys[static_cast<std::size_t>(In.Byte()) % keys.size()];
    const TRowSelection s = RestoreSelection(keys, position, key);
    const int count = static_cast<int>(keys.size());
    ZV_FUZZ_CHECK(count == 0 ? s.Select == -1 : s.Select >= 0 && s.Select < count);
    ZV_FUZZ_CHECK(s.ClickRow >= 0 && (s.ClickRow < count || s.ClickRow == 0));
    if (s.Select >= 0 && std::find(keys.begin(), keys.end(), key) != keys.end())
        ZV_FUZZ_CHECK(keys[static_cast<std::size_t>(s.Select)] == key);

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

    // A sub-item 0 of any text: a position only when it is one.
    const std::string text = In.Text(12);
    const std::optional<int> p = RowPosition(text);
    if (p)
        ZV_FUZZ_CHECK(*p >= 0 && !text.empty() && text.size() <= 10 &&
                      text.find_first_not_of("0123456789") == std::string::npos &&
                      std::strtoll(text.c_str(), nullptr, 10) == *p);

    // Taking a hidden group out keeps the others in order.
    const std::size_t before = hidden.Groups.size();
    std::vector<const TGrupButtons*> order;
    for (const TGroupListItem& item : hidden.Groups)
        order.push_back(item.Group.get());
    const int take = In.Small(-2, 30);
    std::unique_ptr<TGrupButtons> taken = TakeGroup(hidden.Groups, take);
    const bool inside = take >= 0 && static_cast<std::size_t>(take) < before;
    ZV_FUZZ_CHECK((taken != nullptr) == inside);
    if (inside) {
        ZV_FUZZ_CHECK(taken.get() == order[static_cast<std::size_t>(take)]);
        order.erase(order.begin() + take);
        taken->Clear();
    }
    ZV_FUZZ_CHECK(hidden.Groups.size() == order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        ZV_FUZZ_CHECK(hidden.Groups[i].Group.get() == order[i]);
    return 0;
}
