#include "components/SaveState_win.h"

#include <windows.h>

#include "toolkit/Dialogs.h"
#include "toolkit/Forms.h"
#include "toolkit/Registry_win.h"
#include "toolkit/SysUtils.h"
#include "toolkit/TkForm.h"

namespace {
RECT WorkArea() {
    RECT r{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}
} // namespace

TSaveState::TSaveState(TComponent* Owner, std::string Name)
    : TComponent(Owner, std::move(Name)), TSaveStateCore(Owner ? Owner->Name() : "") {
    Registry = &OpenRegistry;
    OnError = [this](const std::string& Message) {
        auto* form = dynamic_cast<TForm*>(this->Owner());
        MessageDlg(form ? form->Handle() : nullptr, Message, TMsgDlgType::mtError,
                   TMsgDlgButtons::mbIgnore);
    };
}

TForm& TSaveState::CheckOwner() const {
    auto* form = dynamic_cast<TForm*>(Owner());
    if (!form)
        throw Exception("Parent not Tform");
    if (form->Position() != TPosition::Designed)
        throw Exception("Form.Position <>poDefault or poDesigned");
    return *form;
}

TForm& TSaveState::Form() const {
    if (!TkForm || !TkForm->Form())
        throw Exception("Not TTkForm assigned!");
    return *TkForm->Form();
}

void TSaveState::Load() {
    CheckOwner();
    if (TkForm)
        TSaveStateCore::Load(*this, ExePath());
}

void TSaveState::Save() {
    CheckOwner();
    if (TkForm)
        TSaveStateCore::Save(*this, ExePath());
}

void TSaveState::Center() {
    Form();
    TSaveStateCore::Center(*this);
}

void TSaveState::FitToWorkArea() {
    Form();
    TSaveStateCore::FitToWorkArea(*this);
}

TSavedWindowState TSaveState::WindowState() const {
    return static_cast<TSavedWindowState>(TkForm->WindowState());
}

void TSaveState::SetWindowState(TSavedWindowState Value) {
    TkForm->SetWindowState(static_cast<TTkWindowState>(Value));
}

TFormBounds TSaveState::Bounds() const {
    const TBounds b = Form().Bounds();
    return {b.Left, b.Top, b.Width, b.Height};
}

void TSaveState::SetBounds(const TFormBounds& Value) {
    Form().SetBounds({Value.Left, Value.Top, Value.Width, Value.Height});
}

int TSaveState::WorkAreaWidth() const {
    const RECT r = WorkArea();
    return r.right - r.left;
}

int TSaveState::WorkAreaHeight() const {
    const RECT r = WorkArea();
    return r.bottom - r.top;
}
