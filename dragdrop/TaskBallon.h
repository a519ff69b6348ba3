#pragma once
// The balloon window FTaskBarBallon: it tracks a drag along the taskbar and points at the
// drop position. So far only its creation: it switches the main window's timers on.
#include <cstdint>

#include "toolkit/Forms.h"

class TFTaskBarBallon : public TForm {
public:
    explicit TFTaskBarBallon(TComponent* Owner);
    ~TFTaskBarBallon() override;

    void FormCreate(TObject* Sender);
    // Sets Dragging; the main window's list refresh (TimerRefresh) runs exactly while no drag
    // is in progress.
    void SetDragging(bool Value);
    // Stops the mouse hook (the Exit command).
    void StopMouseHook();

    bool Dragging = false;    // a drag on the taskbar is in progress
    int32_t SourceIndex = -1; // position of the pressed group; -1 when none
    int32_t TargetIndex = -1; // last drop position found; -1 when none

private:
    // Starts the system-wide mouse hook; a failure is reported to the user here. True when
    // the hook runs.
    bool StartMouseHook();
};

extern TFTaskBarBallon* FTaskBarBallon;
