#include "components/QlxLabel_win.h"

#include "toolkit/Utf8_win.h"

void TQlxLabel::Paint(HDC Dc) const {
    if (!Visible)
        return;
    RECT r = Bounds;
    if (!Transparent) {
        ::SetBkColor(Dc, Color);
        ::ExtTextOutA(Dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    }
    ScopedSelectObject font(Dc, SharedFont(Font));
    ::SetBkMode(Dc, TRANSPARENT);
    ::SetTextColor(Dc, FontColor);
    const std::wstring text = WideText(Caption);
    ::DrawTextW(Dc, text.c_str(), static_cast<int>(text.size()), &r,
                QlxLabelDrawFlags(Showtype, Alignment, UsePrefix));
}
