#include "toolkit/ExtCtrls.h"

#include "toolkit/Controls.h"
#include "toolkit/WinErrors.h"

TTimer::TTimer(TComponent* Owner, TTimerParams Params)
    : TComponent(Owner, std::move(Params.Name)), OnTimer(std::move(Params.OnTimer)),
      Window_(dynamic_cast<TWindow*>(Owner)), Id_(0), Interval_(Params.Interval),
      Enabled_(Params.Enabled) {
    if (!Window_)
        throw EAssertionFailed("a timer needs a window of its own to tick on", "ExtCtrls",
                               __LINE__);
    Id_ = Window_->NewTimerId();
    Window_->AttachTimer(this);
    Update();
}

TTimer::~TTimer() {
    ::KillTimer(Window_->Handle(), Id_);
    Window_->DetachTimer(this);
}

void TTimer::SetInterval(unsigned Value) {
    if (Value != Interval_) {
        Interval_ = Value;
        Update();
    }
}

void TTimer::SetEnabled(bool Value) {
    if (Value != Enabled_) {
        Enabled_ = Value;
        Update();
    }
}

void TTimer::Timer() {
    Fire(OnTimer, this);
}

void TTimer::Update() {
    ::KillTimer(Window_->Handle(), Id_);
    if (Enabled_ && Interval_ > 0 && !::SetTimer(Window_->Handle(), Id_, Interval_, nullptr))
        RaiseLastOSError();
}
