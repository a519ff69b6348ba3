#include "toolkit/Dialogs.h"

#include "toolkit/Controls.h"

namespace {
// The system's box has no single Ignore button: its OK button is renamed as the box comes up.
LRESULT CALLBACK RenameOkToIgnore(int Code, WPARAM WParam, LPARAM LParam) {
    if (Code == HCBT_ACTIVATE) {
        auto wnd = reinterpret_cast<HWND>(WParam);
        char cls[16] = {};
        ::GetClassNameA(wnd, cls, sizeof(cls));
        if (lstrcmpA(cls, "#32770") == 0)
            ::SetDlgItemTextA(wnd, IDOK, "&Ignore");
    }
    return ::CallNextHookEx(nullptr, Code, WParam, LParam);
}
} // namespace

int MessageDlg(HWND Owner, const std::string& Text, TMsgDlgType Kind, TMsgDlgButtons Buttons) {
    UINT flags = MB_SETFOREGROUND;
    const char* title = "Warning";
    switch (Kind) {
    case TMsgDlgType::mtWarning:
        flags |= MB_ICONWARNING;
        break;
    case TMsgDlgType::mtConfirmation:
        flags |= MB_ICONQUESTION;
        title = "Confirmation";
        break;
    case TMsgDlgType::mtError:
        flags |= MB_ICONERROR;
        title = "Error";
        break;
    }
    flags |= Buttons == TMsgDlgButtons::mbYesNo ? MB_YESNO : MB_OK;
    if (Buttons != TMsgDlgButtons::mbIgnore)
        return ::MessageBoxA(Owner, Text.c_str(), title, flags);
    ScopedHook hook(
        ::SetWindowsHookExA(WH_CBT, &RenameOkToIgnore, nullptr, ::GetCurrentThreadId()));
    ::MessageBoxA(Owner, Text.c_str(), title, flags);
    return mrIgnore;
}

TMessageBox::TMessageBox(TComponent* Owner, std::string Name)
    : TComponent(Owner, std::move(Name)) {}

int TMessageBox::Execute(const std::string& Text, TMsgDlgType Kind, TMsgDlgButtons Buttons) {
    auto* form = dynamic_cast<TWinControl*>(Owner());
    return MessageDlg(form ? form->Handle() : nullptr, Text, Kind, Buttons);
}
