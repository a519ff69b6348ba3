#include "components/SaveState_win.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "toolkit/Dialogs.h"
#include "toolkit/Forms.h"
#include "toolkit/Registry_win.h"
#include "toolkit/SysUtils.h"
#include "toolkit/TkForm.h"

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

TWorkArea TSaveState::WorkArea(const TFormBounds& Near) const {
    // The rectangle in 64 bits first: stored bounds may be any numbers.
    const auto edge = [](int64_t V) {
        return static_cast<LONG>(std::max<int64_t>(INT32_MIN, std::min<int64_t>(V, INT32_MAX)));
    };
    const RECT bounds{edge(Near.Left), edge(Near.Top), edge(int64_t{Near.Left} + Near.Width),
                      edge(int64_t{Near.Top} + Near.Height)};
    MONITORINFO info{};
    info.cbSize = sizeof info;
    RECT r{};
    if (::GetMonitorInfoA(::MonitorFromRect(&bounds, MONITOR_DEFAULTTONEAREST), &info))
        r = info.rcWork;
    else
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    return {r.left, r.top, r.right, r.bottom};
}
