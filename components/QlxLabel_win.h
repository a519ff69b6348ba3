#pragma once
// TQlxLabel: a label drawn by the window it lies on (it has no window of its own), with
// DrawText on its area. With a transparent background it paints nothing but its text.
#include <windows.h>

#include <string>

#include "components/QlxLabel.h"
#include "toolkit/Controls.h"

class TQlxLabel {
public:
    std::string Caption;
    TShowtype Showtype = shNormal;
    TAlignment Alignment = taLeftJustify;
    bool UsePrefix = true;
    bool Transparent = true;
    COLORREF Color = RGB(255, 255, 255); // the background, when not Transparent
    COLORREF FontColor = RGB(0, 0, 0);
    TFontDef Font;
    RECT Bounds{}; // in the client coordinates of the window it lies on
    bool Visible = true;

    void Paint(HDC Dc) const;
};
