#pragma once
// Where a notification-area icon dragged along the shell's tray toolbar lands, on plain data:
// the toolbar position it moves to and the insertion line that marks the place meanwhile.
#include <cstdint>
#include <optional>
#include <vector>

#include "dragdrop/DropPosition.h"

// One button of the tray toolbar: its position in the toolbar and, when shown, its rectangle
// (toolbar client coordinates).
struct TTrayIconPlace {
    int32_t Index = 0;
    bool Visible = false;
    TRect Rect;
};

struct TTrayDrop {
    int32_t Before = 0; // the icon goes in front of the button at this position (count: the end)
    int32_t MoveTo = 0; // TB_MOVEBUTTON's target for it: the position once it is taken out
    TRect Mark;         // the insertion line, 2 pixels wide, beside the icons it falls between
};

// The drop for the icon at position From, the mouse at P: on the shown icon whose row (its
// top to bottom) holds P and which is nearest to it across, in front of that icon when P lies
// on its leading half, else behind it. None when no shown icon's row holds P (the mouse left
// the tray) or the icon at From is not among Icons. Icons are in toolbar order.
std::optional<TTrayDrop> TrayDropAt(const std::vector<TTrayIconPlace>& Icons, int32_t From,
                                    TPoint P);
