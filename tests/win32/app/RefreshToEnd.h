#pragma once
// The list's refresh run to its end as the window runs it: the first step at the tick (Sender,
// 0 for a command's refresh), the others from the step timer.
#include "app/TaskMain.h"

// The steps left of the refresh under way.
inline void FinishRefresh(TfTaskBarMain& Main) {
    while (Main.RefreshUnderWay())
        Main.TimerRefreshStepTimer(Main.TimerRefreshStep);
}

inline void RefreshToEnd(TfTaskBarMain& Main, TObject* Sender = nullptr) {
    Main.TimerRefreshOnTimer(Sender);
    FinishRefresh(Main);
}
