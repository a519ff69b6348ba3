#include "toolkit/DialogKeys.h"

TDialogKeyTarget DialogKeyTarget(uint16_t Key, TShiftState Shift, const TDialogKeyContext& Ctx) {
    if (Shift != 0)
        return TDialogKeyTarget::None;
    if (Key == kVkReturn) {
        if (Ctx.FocusIsPushButton)
            return TDialogKeyTarget::FocusedButton;
        return Ctx.DefaultButtonUsable ? TDialogKeyTarget::DefaultButton : TDialogKeyTarget::None;
    }
    if (Key == kVkEscape)
        return Ctx.CancelButtonUsable ? TDialogKeyTarget::CancelButton : TDialogKeyTarget::None;
    return TDialogKeyTarget::None;
}
