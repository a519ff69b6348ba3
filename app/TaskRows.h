#pragma once
// The rows of the main window's list as plain data: which groups get a row, the group each row
// stands for, how the refresh finds the user's row again, and which of the Up and Down buttons
// a clicked row allows. The main window puts these into the check list.
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
    TGroupId Group;
};

// Whether a group of the snapshot is listed: it shows a button and holds the header and at
// least one window button, and, when the snapshot read its windows, at least one window that
// is still shown (a shell that learns late keeps the buttons of hidden windows a while).
bool IsListedGroup(const TGrupButtons& G);

// The rows of a refresh: the listed groups of the snapshot in taskbar order, then every hidden
// group in its order.
std::vector<TListRow> BuildListRows(const TGroupList& Snapshot, const TGroupList& Hidden);

// The listed group that holds window Wnd among its windows; nothing when none does.
std::optional<TGroupId> ListedGroupOfWindow(const TGroupList& Snapshot, TWndHandle Wnd);

// Where the listed group Id goes when it moves one row up (Step -1) or down (1): in front of
// the listed group Before, or behind every group when Before is absent. False when Id is not
// listed or the step leaves the listed groups.
bool NeighbourForStep(const TGroupList& Snapshot, const TGroupId& Id, int Step,
                      std::optional<TGroupId>& Before);

// The row to select after a rebuild, given the new rows' groups and the position and group of
// the row that was selected before (position 0 and no group when none was). ClickRow is the row
// whose click decides the Up and Down buttons afterwards: the remembered position, brought back
// to 0 when it no longer exists. Select is -1 when no row is to be selected.
struct TRowSelection {
    int Select = -1;
    int ClickRow = 0;
};
TRowSelection RestoreSelection(const std::vector<TGroupId>& Groups, int Position,
                               const std::optional<TGroupId>& Selected);

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
