#include "toolkit/Dialogs.h"

#include "toolkit/Controls.h"

int MessageDlg(HWND Owner, const std::string& Text, TMsgDlgType Kind, TMsgDlgButtons Buttons) {
    UINT flags = MB_SETFOREGROUND;
    flags |= Kind == TMsgDlgType::mtWarning ? MB_ICONWARNING : MB_ICONQUESTION;
    flags |= Buttons == TMsgDlgButtons::mbOK ? MB_OK : MB_YESNO;
    const char* title = Kind == TMsgDlgType::mtWarning ? "Warning" : "Confirmation";
    return ::MessageBoxA(Owner, Text.c_str(), title, flags);
}

TMessageBox::TMessageBox(TComponent* Owner, std::string Name)
    : TComponent(Owner, std::move(Name)) {}

int TMessageBox::Execute(const std::string& Text, TMsgDlgType Kind, TMsgDlgButtons Buttons) {
    auto* form = dynamic_cast<TWinControl*>(Owner());
    return MessageDlg(form ? form->Handle() : nullptr, Text, Kind, Buttons);
}
