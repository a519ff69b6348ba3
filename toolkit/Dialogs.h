#pragma once
// The message box: a text with a kind (warning, confirmation, error) and the buttons OK, Yes
// and No, or Ignore. It returns the button pressed as the standard result codes (Yes is 6).
#include <windows.h>

#include <string>

#include "toolkit/Classes.h"

enum class TMsgDlgType { mtWarning, mtConfirmation, mtError };
enum class TMsgDlgButtons { mbOK, mbYesNo, mbIgnore };

// The standard result codes, as message boxes and modal forms return them.
constexpr int mrNone = 0;
constexpr int mrOk = IDOK;         // 1
constexpr int mrCancel = IDCANCEL; // 2
constexpr int mrYes = IDYES;       // 6
constexpr int mrNo = IDNO;         // 7
constexpr int mrIgnore = IDIGNORE; // 5

// Shows a modal message box owned by Owner (may be null). Its title names the kind:
// "Warning" or "Confirmation".
int MessageDlg(HWND Owner, const std::string& Text, TMsgDlgType Kind, TMsgDlgButtons Buttons);

// The message box component of a form (the form's `Msg`): modal to its owner form.
class TMessageBox : public TComponent {
public:
    TMessageBox(TComponent* Owner, std::string Name);
    int Execute(const std::string& Text, TMsgDlgType Kind, TMsgDlgButtons Buttons);
};
