#pragma once
// TTimer: a named timer of a form. Its ticks come as WM_TIMER to the owner form's window, on
// the user-interface thread, every Interval milliseconds while Enabled; each tick calls
// OnTimer when it is set.
#include <windows.h>

#include <string>

#include "toolkit/Classes.h"
#include "toolkit/Controls.h"

class TWindow;

struct TTimerParams {
    std::string Name;
    unsigned Interval = 1000; // milliseconds
    bool Enabled = false;
    TNotifyEvent OnTimer;
};

class TTimer : public TComponent, private ITimerTick {
public:
    // Owner: the form (or other window of ours) whose window receives the ticks.
    TTimer(TComponent* Owner, TTimerParams Params);
    ~TTimer() override;

    unsigned Interval() const { return Interval_; }
    void SetInterval(unsigned Value);
    bool Enabled() const { return Enabled_; }
    // Switching on restarts the interval; switching off stops the ticks.
    void SetEnabled(bool Value);

    UINT_PTR Id() const { return Id_; }
    // One tick: OnTimer when set.
    void Timer();

    TNotifyEvent OnTimer;

private:
    UINT_PTR TimerId() const override { return Id_; }
    void Tick() override { Timer(); }
    void Update();

    TWindow* Window_;
    UINT_PTR Id_;
    unsigned Interval_;
    bool Enabled_;
};
