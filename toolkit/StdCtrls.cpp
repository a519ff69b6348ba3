#include "toolkit/StdCtrls.h"

#include "toolkit/Forms.h"

TButton::TButton(TComponent* Owner, TButtonParams Params)
    : TWinControl(Owner, std::move(Params.Name), Params.Parent),
      OnClick(std::move(Params.OnClick)) {
    DWORD style = WS_CHILD | WS_TABSTOP | (Params.Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    if (Params.Visible)
        style |= WS_VISIBLE;
    if (Params.WordWrap)
        style |= BS_MULTILINE;
    CreateHandle({.ClassName = "BUTTON",
                  .Caption = Params.Caption,
                  .Style = style,
                  .Bounds = Params.Bounds,
                  .Font = Params.Font});
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

TCheckBox::TCheckBox(TComponent* Owner, TCheckBoxParams Params)
    : TWinControl(Owner, std::move(Params.Name), Params.Parent),
      OnClick(std::move(Params.OnClick)) {
    // BS_CHECKBOX rather than BS_AUTOCHECKBOX: the state changes only through SetChecked,
    // so a click by the user and a change from code run the same handler.
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_CHECKBOX;
    if (Params.WordWrap)
        style |= BS_MULTILINE;
    CreateHandle({.ClassName = "BUTTON",
                  .Caption = Params.Caption,
                  .Style = style,
                  .Bounds = Params.Bounds,
                  .Font = Params.Font});
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
