#pragma once
// Toolbar buttons as the shell's toolbar may hand them back, read from a fuzzer's input.
#include <memory>

#include "taskbar/taskbuttons.h"
#include "tests/fuzz/FuzzInput.h"

namespace zvfuzz {

// Values that are usual for a toolbar most of the time, anything now and then.
inline int32_t Coordinate(TFuzzInput& In) {
    return In.Bool() ? In.Int32() : In.Small(-50, 200);
}

// One button: a flags byte (header, hidden, checked, pressed, any index, no window, any
// rectangle), then its index, image, window, rectangle and caption. Id names it in checks.
inline std::unique_ptr<TTaskButton> ReadButton(TFuzzInput& In, int32_t Id) {
    auto b = std::make_unique<TTaskButton>();
    const uint8_t flags = In.Byte();
    b->SetStyleState((flags & 1) ? kBtnsDropDown : 0, ((flags & 2) ? kTbStateHidden : 0) |
                                                          ((flags & 4) ? kTbStateChecked : 0) |
                                                          ((flags & 8) ? kTbStatePressed : 0));
    b->Index = (flags & 16) ? In.Int32() : In.Small(-2, 60);
    b->CommandId = Id;
    b->ImageIndex = In.Small(-2, 5);
    b->Wnd = (flags & 32) ? 0 : In.Small(1, 255) * 16;
    if (flags & 64) {
        const int32_t left = Coordinate(In);
        const int32_t top = Coordinate(In);
        const int32_t right = Coordinate(In);
        const int32_t bottom = Coordinate(In);
        b->Rect = {left, top, right, bottom};
    } else {
        b->Rect = {In.Small(0, 100), 2, In.Small(100, 200), 24};
    }
    b->Caption = In.Text(8);
    return b;
}

// Up to MaxCount buttons (a count byte first), ids 0, 1, ...
inline TButtonList ReadButtons(TFuzzInput& In, int MaxCount) {
    TButtonList buttons;
    for (int i = In.Small(0, MaxCount); i > 0; --i)
        buttons.push_back(ReadButton(In, static_cast<int32_t>(buttons.size())));
    return buttons;
}

} // namespace zvfuzz
