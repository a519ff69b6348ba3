#pragma once
// Where Enter and Escape go in a form. Enter presses the focused push button, or the form's
// default button when the focus is elsewhere; Escape presses the cancel button. Either key
// with Shift, Ctrl or Alt held is left to the focused control. Platform-free.
#include <cstdint>

#include "toolkit/Classes.h"

constexpr uint16_t kVkReturn = 0x0D;
constexpr uint16_t kVkEscape = 0x1B;

enum class TDialogKeyTarget { None, FocusedButton, DefaultButton, CancelButton };

struct TDialogKeyContext {
    bool FocusIsPushButton = false;   // the focused control is an enabled push button
    bool DefaultButtonUsable = false; // the form has a default button, visible and enabled
    bool CancelButtonUsable = false;  // the same for the cancel button
};

TDialogKeyTarget DialogKeyTarget(uint16_t Key, TShiftState Shift, const TDialogKeyContext& Ctx);
