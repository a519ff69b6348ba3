#include "dragdrop/TrayDrop.h"

#include <algorithm>
#include <cstdlib>

namespace {
constexpr int32_t kMarkWidth = 2;

// How far P lies from R across its row; 0 inside it.
int64_t Across(const TRect& R, TPoint P) {
    if (P.X < R.Left)
        return int64_t{R.Left} - P.X;
    if (P.X >= R.Right)
        return int64_t{P.X} - R.Right + 1;
    return 0;
}
} // namespace

std::optional<TTrayDrop> TrayDropAt(const std::vector<TTrayIconPlace>& Icons, int32_t From,
                                    TPoint P) {
    if (std::none_of(Icons.begin(), Icons.end(),
                     [&](const TTrayIconPlace& i) { return i.Index == From; }))
        return std::nullopt;
    const TTrayIconPlace* nearest = nullptr;
    for (const TTrayIconPlace& i : Icons) {
        if (!i.Visible || P.Y < i.Rect.Top || P.Y >= i.Rect.Bottom)
            continue;
        if (nearest == nullptr || Across(i.Rect, P) < Across(nearest->Rect, P))
            nearest = &i;
    }
    if (nearest == nullptr)
        return std::nullopt;
    const TRect& r = nearest->Rect;
    const bool leading = int64_t{P.X} * 2 < int64_t{r.Left} + r.Right;
    TTrayDrop drop;
    if (leading) {
        drop.Before = nearest->Index;
        drop.Mark = {r.Left - kMarkWidth / 2, r.Top, r.Left + kMarkWidth / 2, r.Bottom};
    } else {
        // Behind it: in front of whatever button follows it in the toolbar.
        drop.Before = nearest->Index + 1;
        drop.Mark = {r.Right - kMarkWidth / 2, r.Top, r.Right + kMarkWidth / 2, r.Bottom};
    }
    drop.MoveTo = drop.Before > From ? drop.Before - 1 : drop.Before;
    return drop;
}
