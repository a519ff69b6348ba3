// The list's refresh in steps.
#include "app/ListRefresh_win.h"

#include <utility>

TListRefresh::TListRefresh(TRefreshGate& Gate, TTaskbar& Taskbar, TListCommands& Commands)
    : Gate_(Gate), Taskbar_(Taskbar), Commands_(Commands) {
    Gate_.BeginCheck();
}

uint32_t TListRefresh::Calls() const {
    return Gate_.CheckCalls() + (Snapshot_ ? Snapshot_->Calls() : 0);
}

bool TListRefresh::Run(DWORD Ms) {
    const TStepDeadline deadline = TStepDeadline::After(Ms);
    while (Phase_ != TPhase::Done) {
        switch (Phase_) {
        case TPhase::Look:
            if (!Gate_.StepCheck(deadline))
                return false;
            if (!Gate_.NeedsRebuild()) {
                Phase_ = TPhase::Done; // nothing changed: the rows stay as they are
                break;
            }
            Snapshot_ = Taskbar_.BeginSnapshot(false, kRefreshStepButtons);
            Phase_ = TPhase::Snapshot;
            break;
        case TPhase::Snapshot:
            if (!Snapshot_->Run(deadline))
                return false; // on at the next step (also when the taskbar's own snapshot ran)
            Rows_ = Commands_.RowsFrom(Snapshot_->TakeGroups());
            Gate_.Rebuilt(Rows_->Snapshot);
            Phase_ = TPhase::Done;
            break;
        case TPhase::Done:
            break;
        }
    }
    return true;
}
