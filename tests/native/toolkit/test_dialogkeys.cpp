#include "toolkit/DialogKeys.h"

#include <gtest/gtest.h>

namespace {
struct TCase {
    int Line;
    uint16_t Key;
    TShiftState Shift;
    TDialogKeyContext Ctx;
    TDialogKeyTarget Target;
};

using T = TDialogKeyTarget;
constexpr TDialogKeyContext kBoth{false, true, true};        // focus on another kind of control
constexpr TDialogKeyContext kOnButton{true, true, true};     // focus on a push button
constexpr TDialogKeyContext kNoButtons{false, false, false}; // no usable default or cancel

const TCase kCases[] = {
    {__LINE__, kVkReturn, 0, kBoth, T::DefaultButton},
    {__LINE__, kVkEscape, 0, kBoth, T::CancelButton},
    {__LINE__, kVkReturn, 0, kOnButton, T::FocusedButton},
    {__LINE__, kVkEscape, 0, kOnButton, T::CancelButton}, // Escape ignores the focus
    {__LINE__, kVkReturn, ssShift, kBoth, T::None},
    {__LINE__, kVkReturn, ssCtrl, kOnButton, T::None},
    {__LINE__, kVkEscape, ssAlt, kBoth, T::None},
    {__LINE__, kVkEscape, ssShift | ssCtrl, kBoth, T::None},
    {__LINE__, kVkReturn, 0, kNoButtons, T::None},
    {__LINE__, kVkEscape, 0, kNoButtons, T::None},
    {__LINE__, 'A', 0, kBoth, T::None},
    {__LINE__, 0x20 /* space */, 0, kOnButton, T::None}, // the button's own key
};
} // namespace

TEST(DialogKeys, EnterAndEscapeWithoutModifiersGoToTheirButtons) {
    for (const TCase& c : kCases) {
        SCOPED_TRACE(testing::Message() << "case of line " << c.Line);
        EXPECT_EQ(DialogKeyTarget(c.Key, c.Shift, c.Ctx), c.Target);
    }
}
