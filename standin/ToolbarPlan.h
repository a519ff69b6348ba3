#pragma once
// The buttons of the stand-in shell's task toolbar as plain data, and the plan that turns the
// toolbar's current buttons into the wanted ones with the fewest toolbar calls. Buttons keep
// their identity (the command id) across updates, so a button that another program moved
// with TB_MOVEBUTTON stays where it was put.
#include <cstdint>
#include <string>
#include <vector>

namespace standin {

// fsState and fsStyle bits of the common-controls toolbar.
constexpr std::uint8_t kStateChecked = 0x01;
constexpr std::uint8_t kStatePressed = 0x02;
constexpr std::uint8_t kStateEnabled = 0x04;
constexpr std::uint8_t kStateHidden = 0x08;
constexpr std::uint8_t kStateWrap = 0x20;
constexpr std::uint8_t kStyleDropDown = 0x08;
// The state bits the shell decides; the toolbar itself sets the others (pressed, wrap).
constexpr std::uint8_t kManagedStates = kStateChecked | kStateEnabled | kStateHidden;

using WindowKey = std::uint64_t; // a window handle as a number; 0 for none

struct ButtonPlan {
    int id = 0;          // idCommand: unique among the buttons
    bool header = false; // group header (BTNS_DROPDOWN) rather than a window's button
    WindowKey wnd = 0;   // the button's window; 0 for a header
    std::uint8_t style = 0;
    std::uint8_t state = kStateEnabled;
    std::string text;
    int image = -1; // iBitmap
    int width = 0;  // cx; 0 leaves the width to the toolbar
};

struct ToolbarOp {
    enum Kind { Delete, Insert, Move, Update };
    Kind kind = Update;
    int index = 0;     // Delete, Insert, Update: the position; Move: the new position
    int from = -1;     // Move: the position the button is taken from
    ButtonPlan button; // Insert, Update: the wanted button
    // Update: what differs.
    bool style = false, state = false, text = false, image = false, width = false;
};

// The operations that turn `current` into `wanted`, to be carried out in order, each on the
// toolbar as the previous ones left it: first the buttons that are no longer wanted are
// deleted (from the back), then position by position the wanted button is moved in from
// further back, inserted, or updated in place. State bits outside kManagedStates are not
// compared.
std::vector<ToolbarOp> PlanToolbarUpdate(const std::vector<ButtonPlan>& current,
                                         const std::vector<ButtonPlan>& wanted);

// Carries out a plan on a list of buttons as the toolbar would (for tests and for keeping a
// mirror of the toolbar).
void ApplyToolbarPlan(std::vector<ButtonPlan>& buttons, const std::vector<ToolbarOp>& ops);

} // namespace standin
