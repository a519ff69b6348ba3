#pragma once
// Push buttons and check boxes (standard BUTTON controls).
#include <string>

#include "toolkit/Controls.h"

// A standard BUTTON control: push button or check box.
class TButtonControl : public TWinControl {
protected:
    TButtonControl(TComponent* Owner, std::string Name, TWinControl* Parent, DWORD Style,
                   const std::string& Caption, const TBounds& Bounds, bool WordWrap,
                   const TFontDef& Font);
};

struct TButtonParams {
    std::string Name;
    TWinControl* Parent = nullptr;
    TBounds Bounds;
    std::string Caption;
    bool Default = false; // Enter presses it when no other push button has the focus
    bool Cancel = false;  // Escape presses it
    bool Visible = true;
    bool WordWrap = false; // the caption wraps onto more lines
    TFontDef Font;
    TNotifyEvent OnClick;
};

class TButton : public TButtonControl {
public:
    TButton(TComponent* Owner, TButtonParams Params);
    ~TButton() override;

    // A press of the button: OnClick when set.
    void Click();
    void CommandNotify(UINT Code) override;

    TNotifyEvent OnClick;
};

struct TCheckBoxParams {
    std::string Name;
    TWinControl* Parent = nullptr;
    TBounds Bounds;
    std::string Caption;
    bool Checked = false; // the state it is created with (OnClick does not run for it)
    bool WordWrap = false;
    TFontDef Font;
    TNotifyEvent OnClick;
};

class TCheckBox : public TButtonControl {
public:
    TCheckBox(TComponent* Owner, TCheckBoxParams Params);

    bool Checked() const;
    // Sets the state; when it changes, OnClick runs, as for a click by the user.
    void SetChecked(bool Value);
    void CommandNotify(UINT Code) override;

    TNotifyEvent OnClick;
};
