// The list window's refresh: a tick of the refresh timer, and the refresh itself, taken in steps
// between the window's messages (app/ListRefresh_win.h).
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "app/ListRefresh_win.h"
#include "app/Program.h"
#include "app/TaskMain.h"
#include "app/TaskRows.h"
#include "dragdrop/TaskBallon.h"
#include "toolkit/SysUtils.h"

namespace {

void FillItem(TQlxListItem& Item, const TListRow& Row) {
    Item.SetCaption(Row.Caption);
    Item.Data = Row.Group;
    if (!Row.Checked)
        Item.SetChecked(false); // raises no check event
    // The group's icon drawn onto the row's own 16 x 16 picture, shown transparently.
    TBitmap16 icon = *Row.Icon;
    icon.Transparent = true;
    Item.SetIcon(icon);
}

} // namespace

void TfTaskBarMain::TimerRefreshOnTimer(TObject* Sender) {
    if (Sender == nullptr) {
        RefreshGate.Forget(); // a command of ours: the rows are rebuilt from a new look
        DropRefresh();
    }
    if (Refreshing)
        return; // a tick while a refresh waits on the shell: the running one is enough
    const TFlagRaised running(Refreshing);
    ::HideAppButton();
    // A hidden window its program has shown again leaves the hidden groups at once, also while
    // the list is not shown: if its program hides it again, it stays the program's.
    Program_.HiddenGroups.ForgetShownByTheirPrograms(Program_.Windows);
    if (!DragInProgress()) {
        Program_.LastingOrder.Watch();
        Program_.TrayOrder.Watch(Program_.LastingOrder.Enabled());
    }
    if (!Showing()) {
        // The rows stay as they are while the program sits in the tray; the mouse poll, when it
        // runs, carries the tick there (TimerForceTimer) until the window shows again.
        if (Sender == TimerRefresh && TimerForce->Enabled())
            TimerRefresh->SetEnabled(false);
        return;
    }
    const bool dragging = DragInProgress();
    if (!dragging) {
        ::SetForegroundWindow(Handle());
        BringToFront();
        ::SetForegroundWindow(Handle());
    }
    ::HideAppButton();
    TimerRefresh->SetEnabled(false);
    if (dragging)
        return; // the end of the drag switches the refresh on again
    // Whatever the rebuild raises, the list goes on refreshing (unless a drag has started
    // meanwhile); the error itself reaches the error handler.
    struct TRefreshAgain {
        TfTaskBarMain& Form;
        ~TRefreshAgain() {
            try {
                Form.TimerRefresh->SetEnabled(!Form.DragInProgress());
            } catch (const Exception&) {
                // no timer left in the system: the refresh cannot resume
            }
        }
    } again{*this};
    if (!Refresh_)
        Refresh_ = std::make_unique<TListRefresh>(RefreshGate, Program_.Taskbar, Commands);
    RefreshStep();
}

bool TfTaskBarMain::DragInProgress() const {
    return Balloon_ && Balloon_->Dragging();
}

void TfTaskBarMain::DropRefresh() {
    Refresh_.reset();
    RefreshDropped_ = true;
}

void TfTaskBarMain::TimerRefreshStepTimer(TObject*) {
    if (Refreshing)
        return;
    const TFlagRaised running(Refreshing);
    RefreshStep();
}

void TfTaskBarMain::RefreshStep() {
    TimerRefreshStep->SetEnabled(false);
    if (!Refresh_)
        return;
    if (DragInProgress() || !Showing()) {
        DropRefresh(); // the drag's end, or the next show, refreshes anew
        return;
    }
    // The refresh is held here while it runs: whatever drops it meanwhile (a new shell) only
    // marks it dropped.
    std::unique_ptr<TListRefresh> refresh = std::move(Refresh_);
    RefreshDropped_ = false;
    const bool over = refresh->Run();
    if (RefreshDropped_)
        return;
    if (!over) {
        Refresh_ = std::move(refresh);
        TimerRefreshStep->SetEnabled(true); // on after the messages waiting meanwhile
        return;
    }
    if (std::optional<TListRows> rows = refresh->TakeRows())
        FillRows(*rows);
}

void TfTaskBarMain::FillRows(const TListRows& Rows) {
    TQlxListItems& items = QlxCheckListTaskBar->Items;
    int position = 0;
    std::optional<TGroupId> selectedGroup;
    if (TQlxListItem* selected = QlxCheckListTaskBar->SelectedItem()) {
        position = selected->Index();
        selectedGroup = RowGroup(*selected);
    }
    IconCache.Prune(Rows.Snapshot);
    std::vector<TGroupId> groups;
    {
        TItemsUpdate update(items); // painted once, when the bracket closes
        items.Clear();
        for (const TListRow& row : Rows.Rows) {
            FillItem(*items.Add(), row);
            groups.push_back(row.Group);
        }
    }

    const TRowSelection selection = RestoreSelection(groups, position, selectedGroup);
    if (selection.Select >= 0)
        items[selection.Select].SetSelected(true);
    try {
        QlxCheckListTaskBarItemClick(QlxCheckListTaskBar, &items[selection.ClickRow]);
    } catch (const EListError&) {
        // an empty list: the buttons keep their state
    }
}
