#pragma once
// The rows of the main window's list as plain data: what each row shows for its taskbar group,
// how the refresh finds the user's row again, and which of the Up and Down buttons a clicked
// row allows. TaskMain puts these into the check list.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "taskbar/taskbuttons.h"

// One row: a group of the snapshot (checked) or of the hidden groups (unchecked).
struct TListRow {
    std::string Caption;
    const TBitmap16* Icon = nullptr; // the group's icon; the group outlives the row data
    bool Checked = true;
    std::string Hidenpart;
    // 0: position in the list the group came from; 1: its window handles; 2: their number;
    // 3 (checked rows only): its screen rectangle.
    std::vector<std::string> SubItems;
};

// The group's toolbar index as at least four upper-case hexadecimal digits (12 gives 000C).
std::string HidenpartText(int32_t Index);
// "_" and eight upper-case hexadecimal digits per handle, in order; "" for no handles.
std::string WindowListText(const std::vector<TWndHandle>& Windows);
// Left ":" Top " " Right ":" Bottom, for example "100:2 262:29".
std::string RectText(const TRect& R);

// Whether a group of the snapshot is listed: it shows a button and holds the header and at
// least one window button.
bool IsListedGroup(const TGrupButtons& G);

// The position in Snapshot of the group that list row Row stands for: the Row-th listed group.
// Rows past the listed groups count on past the end of the snapshot (the first of them is the
// end itself), and negative rows stay negative, so a move to or from them is refused as for any
// position outside the list. When every group is listed, row and position are the same.
int32_t GroupPositionOfRow(const TGroupList& Snapshot, int Row);

// The list row of the listed group that holds window Wnd among its windows; -1 when none does.
// Count receives the number of listed groups.
int ListedRowOfWindow(const TGroupList& Snapshot, TWndHandle Wnd, int& Count);

// The rows of a refresh: the listed groups of the snapshot in taskbar order, then every hidden
// group in its order.
std::vector<TListRow> BuildListRows(const TGroupList& Snapshot, const TGroupList& Hidden);

// What identifies a row across refreshes: its caption followed by its handle list.
std::string RowKey(const std::string& Caption, const std::string& WindowList);

// The row to select after a rebuild, given the new rows' keys and the position and key of the
// row that was selected before (position 0 and key "" when none was). ClickRow is the row whose
// click decides the Up and Down buttons afterwards: the remembered position, brought back to 0
// when it no longer exists. Select is -1 when no row is to be selected.
struct TRowSelection {
    int Select = -1;
    int ClickRow = 0;
};
TRowSelection RestoreSelection(const std::vector<std::string>& Keys, int Position,
                               const std::string& Key);

// The Up and Down buttons after a click on a row. Row is absent for a click on no row;
// NextChecked is the check state of the row below, absent when it cannot be read.
struct TUpDown {
    bool Up = false;
    bool Down = false;
};
struct TClickedRow {
    int Index = 0;
    bool Checked = false;
};
TUpDown UpDownForRow(const std::optional<TClickedRow>& Row, int RowCount,
                     const std::optional<bool>& NextChecked);

// A row's sub-item 0 as a position; absent unless it is a plain decimal number.
std::optional<int> RowPosition(const std::string& SubItem0);

// The position in Groups of the group a row stands for, given the row's sub-item 0 (Position)
// and sub-item 1 (WindowList, the group's windows when the row was made): Position when the
// group there still has those windows, else the first group that has them; -1 when none has.
// Positions shift when groups are hidden or shown between two refreshes; the windows do not.
int FindRowGroup(const TGroupList& Groups, int Position, const std::string& WindowList);

// Takes the group at Position out of the list (the caller owns it then); null when the list
// has no such position. The other groups keep their order.
std::unique_ptr<TGrupButtons> TakeGroup(TGroupList& Groups, int Position);

// A group list that empties itself with ClearGroupList when it goes, also on an error.
struct TGroupListHolder {
    TGroupListHolder() = default;
    TGroupListHolder(const TGroupListHolder&) = delete;
    TGroupListHolder& operator=(const TGroupListHolder&) = delete;
    ~TGroupListHolder() { ClearGroupList(Groups); }
    TGroupList Groups;
};
