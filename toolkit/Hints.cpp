#include "toolkit/Hints.h"

#include <commctrl.h>

namespace {
TTTOOLINFOA ToolInfo(HWND Control, std::string& Text) {
    TTTOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = Control;
    ti.uId = reinterpret_cast<UINT_PTR>(Control);
    ti.lpszText = &Text[0];
    return ti;
}
} // namespace

TControlHint::TControlHint(HWND Control, std::string Text, bool Active)
    : Control_(Control), Text_(std::move(Text)), Active_(Active) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    Tooltip_.reset(::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                     WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Control, nullptr,
                                     ::GetModuleHandleA(nullptr), nullptr));
    if (!Tooltip_)
        return;
    std::string text = Text_;
    TTTOOLINFOA ti = ToolInfo(Control_, text);
    ::SendMessageA(Tooltip_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    ::SendMessageA(Tooltip_.get(), TTM_SETMAXTIPWIDTH, 0, 400); // long hints wrap
    ::SendMessageA(Tooltip_.get(), TTM_ACTIVATE, Active_ ? TRUE : FALSE, 0);
}

void TControlHint::SetText(const std::string& Value) {
    Text_ = Value;
    if (!Tooltip_)
        return;
    std::string text = Text_;
    TTTOOLINFOA ti = ToolInfo(Control_, text);
    ::SendMessageA(Tooltip_.get(), TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
}

void TControlHint::SetActive(bool Value) {
    Active_ = Value;
    if (Tooltip_)
        ::SendMessageA(Tooltip_.get(), TTM_ACTIVATE, Value ? TRUE : FALSE, 0);
}

void TControlHint::Pop() {
    if (Tooltip_)
        ::SendMessageA(Tooltip_.get(), TTM_POP, 0, 0);
}
