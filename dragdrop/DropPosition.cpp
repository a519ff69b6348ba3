#include "dragdrop/DropPosition.h"

#include <algorithm>
#include <limits>

namespace {
constexpr int32_t kArrow = TBalloonGeometry::kArrowSize;
constexpr int32_t kShapeWidth = 200;
constexpr int32_t kShapeMinHeight = 110;
constexpr int32_t kIconSize = 20;
constexpr int32_t kCaptionHeight = 17;
constexpr int32_t kHelpHeight = 13;

TRect Bounds(int32_t Left, int32_t Top, int32_t Width, int32_t Height) {
    return {Left, Top, Left + Width, Top + Height};
}

TRect Shifted(const TRect& R, int32_t dx, int32_t dy) {
    return {R.Left + dx, R.Top + dy, R.Right + dx, R.Bottom + dy};
}

// Coordinates are worked out in 64 bits, so that no rectangle the taskbar reports, however
// absurd, can overflow; results that leave the 32-bit range are held at its ends.
int32_t Saturated(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

struct TZone {
    int64_t Left, Top, Right, Bottom;
    bool Holds(const TPoint& P) const {
        return Left <= P.X && P.X < Right && Top <= P.Y && P.Y < Bottom;
    }
};

bool Horizontal(int Edge) {
    return Edge == EdgeBottom || Edge == EdgeTop;
}

// Half the length of a group's rectangle along a taskbar docked at Edge.
int64_t HalfLength(const TRect& R, int Edge) {
    return Horizontal(Edge) ? (int64_t{R.Right} - R.Left) / 2 : (int64_t{R.Bottom} - R.Top) / 2;
}

// The group's drop zone: its rectangle reaching across the taskbar towards the middle of the
// screen, from the middle of the group before (PreviousHalf: half that group's length) to its
// own middle, so that the leading half of a group and the trailing half of the one before drop
// in front of it. Groups of several buttons are longer than others: the zones still meet.
TZone DropZone(const TRect& R, std::size_t i, std::size_t n, int64_t PreviousHalf,
               const TDropContext& C) {
    TZone z{R.Left, R.Top, R.Right, R.Bottom};
    const int64_t halfW = C.ScreenWidth / 2;
    const int64_t halfH = C.ScreenHeight / 2;
    switch (C.Edge) {
    case EdgeBottom:
        z.Top = halfH;
        break;
    case EdgeTop: // only the last row of a taskbar of several rows reaches down
        if (z.Bottom + 10 > C.TaskbarRect.Bottom)
            z.Bottom = halfH;
        break;
    case EdgeLeft:
        z.Right = halfW;
        break;
    case EdgeRight: // only groups beyond the first column reach left
        if (z.Left - 10 > C.TaskbarRect.Left)
            z.Left = halfW;
        break;
    }
    int64_t& lead = Horizontal(C.Edge) ? z.Left : z.Top;
    int64_t& trail = Horizontal(C.Edge) ? z.Right : z.Bottom;
    const int64_t d = (trail - lead) / 2;
    if (i > 0)
        lead -= PreviousHalf;
    if (C.SourceIndex >= 0 && i == static_cast<std::size_t>(C.SourceIndex))
        trail += 2 * d;
    if (i + 1 < n)
        trail -= d;
    return z;
}
} // namespace

bool TBalloonGeometry::LayOut(int Edge) {
    if (Edge < EdgeBottom || Edge > EdgeRight || Edge == LastEdge_)
        return false;
    LastEdge_ = static_cast<uint8_t>(Edge);

    TBalloonParts p;
    switch (Edge) {
    case EdgeBottom:
        p.Picture = ArrowDown;
        p.Shape = Bounds(0, 0, kShapeWidth, std::max(kShapeMinHeight, kArrow));
        p.Arrow =
            Bounds((kShapeWidth - kArrow) / 2 - 3, p.Shape.Bottom - kArrow / 2, kArrow, kArrow);
        HotSpotX_ = (p.Shape.Left + kShapeWidth) / 2;
        break;
    case EdgeTop:
        p.Picture = ArrowUp;
        p.Shape = Bounds(0, kArrow / 2 - 30, kShapeWidth, std::max(kShapeMinHeight, kArrow + 20));
        p.Arrow = Bounds((kShapeWidth - kArrow) / 2, -10, kArrow, kArrow);
        HotSpotX_ = (p.Shape.Left + kShapeWidth) / 2;
        break;
    case EdgeLeft: {
        p.Picture = ArrowLeft;
        const int32_t height = std::max(kShapeMinHeight, kArrow + 20);
        p.Shape = Bounds(kArrow / 2 - 30, 0, kShapeWidth, height);
        p.Arrow = Bounds(-10, (height - kArrow) / 2, kArrow, kArrow);
        HotSpotY_ = (p.Shape.Top + height) / 2;
        break;
    }
    case EdgeRight: {
        p.Picture = ArrowRight;
        const int32_t height = std::max(kShapeMinHeight, kArrow);
        p.Shape = Bounds(0, 0, kShapeWidth, height);
        p.Arrow = Bounds(kShapeWidth - kArrow / 2 - 20, (height - kArrow) / 2, kArrow, kArrow);
        HotSpotY_ = (p.Shape.Top + height) / 2;
        break;
    }
    }

    // The window fits itself to its visible parts: the icon and the labels lie inside the
    // shape, so the shape and the arrow bound it. The shift is always across the hot spot's
    // axis, so the hot spot keeps pointing at the shape's middle.
    const int32_t left = std::min(p.Shape.Left, p.Arrow.Left);
    const int32_t top = std::min(p.Shape.Top, p.Arrow.Top);
    p.Shape = Shifted(p.Shape, -left, -top);
    p.Arrow = Shifted(p.Arrow, -left, -top);
    p.Width = std::max(p.Shape.Right, p.Arrow.Right);
    p.Height = std::max(p.Shape.Bottom, p.Arrow.Bottom);

    // The inner layout follows the shape.
    const TRect& s = p.Shape;
    const int32_t sw = s.Right - s.Left;
    const int32_t sh = s.Bottom - s.Top;
    p.Icon = Bounds((s.Left + sw - kIconSize) / 2, s.Top + 28, kIconSize, kIconSize);
    p.Caption = Bounds(s.Left + 5, s.Top + 53, sw - 10, kCaptionHeight);
    p.Help = Bounds(s.Left + 5, sh - 38, sw - 10, kHelpHeight);
    Parts_ = p;
    return true;
}

bool ComputeDropPosition(TPoint& P, std::string& Caption, int32_t& Index, const TGroupList& Groups,
                         bool AtPress, const TDropContext& Context, TBalloonGeometry& Geometry) {
    const int edge = Context.Edge;
    if (edge < EdgeBottom || edge > EdgeRight)
        return false;
    Geometry.LayOut(edge);
    const std::size_t n = Groups.size();

    const TGrupButtons* hit = nullptr;
    std::size_t at = 0;
    int64_t previousHalf = -1; // no visible group before: the group's own half
    for (std::size_t i = 0; i < n && !hit; ++i) {
        const TGrupButtons* g = Groups[i].Group.get();
        if (!g || !g->HasVisible)
            continue;
        const TRect& r = g->Rect;
        const TZone z =
            AtPress ? TZone{r.Left, r.Top, r.Right, r.Bottom}
                    : DropZone(r, i, n, previousHalf >= 0 ? previousHalf : HalfLength(r, edge),
                               Context);
        previousHalf = HalfLength(r, edge);
        if (z.Holds(P)) {
            hit = g;
            at = i;
        }
    }
    if (!hit)
        return false;

    // Where the arrow points: the dragged group's middle, else the leading or the trailing
    // edge of the hit group, whichever half the cursor is over; the trailing half of the
    // last group drops after it.
    const TRect& r = hit->Rect;
    const bool horizontal = Horizontal(edge);
    const int64_t lead = horizontal ? r.Left : r.Top;
    const int64_t trail = horizontal ? r.Right : r.Bottom;
    const int64_t d = (trail - lead) / 2;
    int64_t index = static_cast<int64_t>(at);
    int64_t along;
    if (index == Context.SourceIndex) {
        along = lead + d;
    } else if ((horizontal ? P.X : P.Y) > lead + d) {
        along = trail;
        if (at + 1 == n && !AtPress)
            index = static_cast<int64_t>(n);
    } else {
        along = lead;
    }

    const TBalloonParts& parts = Geometry.Parts();
    int64_t left, top;
    switch (edge) {
    case EdgeBottom:
        left = along - Geometry.HotSpotX();
        top = int64_t{r.Top} - (int64_t{parts.Height} + 2);
        break;
    case EdgeTop:
        left = along - Geometry.HotSpotX();
        top = r.Bottom;
        break;
    case EdgeLeft:
        left = r.Right;
        top = along - Geometry.HotSpotY();
        break;
    default:
        left = int64_t{r.Left} - parts.Width;
        top = along - Geometry.HotSpotY();
        break;
    }
    Caption = hit->Caption;
    Index = Saturated(index);
    P = {Saturated(left), Saturated(top)};
    return true;
}
