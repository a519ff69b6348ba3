#include "dragdrop/TaskBallon.h"

#include "app/TaskMain.h"

TFTaskBarBallon* FTaskBarBallon = nullptr;

TFTaskBarBallon::TFTaskBarBallon(TComponent* Owner)
    : TForm(Owner, {.ClassName = "TFTaskBarBallon",
                    .Name = "FTaskBarBallon",
                    .ClientWidth = 200,
                    .ClientHeight = 110,
                    .Position = TPosition::Designed,
                    .BorderStyle = TBorderStyle::None,
                    .StayOnTop = true}) {
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

TFTaskBarBallon::~TFTaskBarBallon() {
    FTaskBarBallon = nullptr;
}

void TFTaskBarBallon::FormCreate(TObject*) {
    SetDragging(false);
    // Only a running hook lets the main window hide itself after start-up; without one the
    // window stays up, so the list and its buttons remain at hand.
    if (StartMouseHook())
        fTaskBarMain->TimerHide->SetEnabled(true);
    fTaskBarMain->TimerRefresh->SetEnabled(true);
    fTaskBarMain->TimerForce->SetEnabled(true);
}

void TFTaskBarBallon::SetDragging(bool Value) {
    Dragging = Value;
    fTaskBarMain->TimerRefresh->SetEnabled(!Value);
}

// The hook component QLX_MouseHook1 (QLX_Hook_.dll beside the program) is started here and a
// failure shown in the main window's Msg. There is no hook yet: nothing runs, nothing is
// reported.
bool TFTaskBarBallon::StartMouseHook() {
    return false;
}

void TFTaskBarBallon::StopMouseHook() {}
