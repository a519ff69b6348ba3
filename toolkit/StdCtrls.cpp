#include "toolkit/StdCtrls.h"

#include "toolkit/Forms.h"

TButtonControl::TButtonControl(TComponent* Owner, std::string Name, TWinControl* Parent,
                               DWORD Style, const std::string& Caption, const TBounds& Bounds,
                               bool WordWrap, const TFontDef& Font)
    : TWinControl(Owner, std::move(Name), Parent) {
    CreateHandle({.ClassName = "BUTTON",
                  .Caption = Caption,
                  .Style = WS_CHILD | WS_TABSTOP | Style | (WordWrap ? BS_MULTILINE : 0u),
                  .Bounds = Bounds,
                  .Font = Font});
}

TButton::TButton(TComponent* Owner, TButtonParams Params)
    : TButtonControl(Owner, std::move(Params.Name), Params.Parent,
                     (Params.Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) |
                         (Params.Visible ? WS_VISIBLE : 0u),
                     Params.Caption, Params.Bounds, Params.WordWrap, Params.Font),
      OnClick(std::move(Params.OnClick)) {
    if (TForm* form = ParentForm()) {
        if (Params.Default)
            form->DefaultButton = this;
        if (Params.Cancel)
            form->CancelButton = this;
    }
}

TButton::~TButton() {
    if (TForm* form = ParentForm()) {
        if (form->DefaultButton == this)
            form->DefaultButton = nullptr;
        if (form->CancelButton == this)
            form->CancelButton = nullptr;
    }
}

void TButton::Click() {
    Fire(OnClick, this);
}

void TButton::CommandNotify(UINT Code) {
    if (Code == BN_CLICKED)
        Click();
}

// BS_CHECKBOX rather than BS_AUTOCHECKBOX: the state changes only through SetChecked, so a
// click by the user and a change from code run the same handler.
TCheckBox::TCheckBox(TComponent* Owner, TCheckBoxParams Params)
    : TButtonControl(Owner, std::move(Params.Name), Params.Parent, WS_VISIBLE | BS_CHECKBOX,
                     Params.Caption, Params.Bounds, Params.WordWrap, Params.Font),
      OnClick(std::move(Params.OnClick)) {
    ::SendMessageA(Handle(), BM_SETCHECK, Params.Checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TCheckBox::Checked() const {
    return ::SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TCheckBox::SetChecked(bool Value) {
    if (Value == Checked())
        return;
    ::SendMessageA(Handle(), BM_SETCHECK, Value ? BST_CHECKED : BST_UNCHECKED, 0);
    Fire(OnClick, this);
}

void TCheckBox::CommandNotify(UINT Code) {
    if (Code == BN_CLICKED)
        SetChecked(!Checked());
}
