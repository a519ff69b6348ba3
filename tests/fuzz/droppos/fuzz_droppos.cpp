// The drop position and the balloon's place on every edge, for any groups the snapshot may
// give (any rectangles, groups without a visible button), any cursor point and any screen.
#include <algorithm>
#include <cstdint>
#include <string>

#include "dragdrop/DropPosition.h"
#include "tests/fuzz/FuzzButtons.h"

namespace {

using zvfuzz::Coordinate;
using zvfuzz::TFuzzInput;

bool Inside(const TRect& Inner, const TRect& Outer) {
    return Outer.Left <= Inner.Left && Inner.Right <= Outer.Right && Outer.Top <= Inner.Top &&
           Inner.Bottom <= Outer.Bottom;
}

// Far from the ends of the 32-bit range, where no coordinate is held at a limit.
bool Ordinary(int64_t V) {
    return V > -(int64_t{1} << 30) && V < (int64_t{1} << 30);
}

void CheckLayout(const TBalloonGeometry& G, int Edge) {
    ZV_FUZZ_CHECK(G.LastEdge() == Edge);
    const TBalloonParts& p = G.Parts();
    ZV_FUZZ_CHECK(static_cast<int>(p.Picture) == Edge);
    const TRect window{0, 0, p.Width, p.Height};
    ZV_FUZZ_CHECK(p.Width > 0 && p.Height > 0);
    ZV_FUZZ_CHECK(Inside(p.Shape, window) && Inside(p.Arrow, window));
    ZV_FUZZ_CHECK(p.Arrow.Right - p.Arrow.Left == TBalloonGeometry::kArrowSize &&
                  p.Arrow.Bottom - p.Arrow.Top == TBalloonGeometry::kArrowSize);
    ZV_FUZZ_CHECK(Inside(p.Icon, p.Shape) && Inside(p.Caption, p.Shape) && Inside(p.Help, p.Shape));
    if (Edge == EdgeBottom || Edge == EdgeTop)
        ZV_FUZZ_CHECK(G.HotSpotX() >= 0 && G.HotSpotX() <= p.Width);
    else
        ZV_FUZZ_CHECK(G.HotSpotY() >= 0 && G.HotSpotY() <= p.Height);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, std::size_t Size) {
    TFuzzInput In(Data, Size);
    TGroupList groups;
    const TRect toolbar{In.Small(-10, 900), In.Small(-10, 740), In.Small(0, 1030),
                        In.Small(0, 770)};
    BuildSnapshot(true, zvfuzz::ReadButtons(In, 24), toolbar, groups);
    // A list may also hold an empty entry.
    if (!groups.empty() && In.Small(0, 7) == 0)
        groups[In.Byte() % groups.size()].Group.reset();
    const int32_t n = static_cast<int32_t>(groups.size());

    TBalloonGeometry geometry;
    for (int round = 0; round < 4 && !In.Empty(); ++round) {
        TDropContext c;
        c.Edge = In.Small(-1, 4);
        c.TaskbarRect = toolbar;
        c.ScreenWidth = In.Bool() ? 1024 : Coordinate(In);
        c.ScreenHeight = In.Bool() ? 768 : Coordinate(In);
        c.SourceIndex = In.Small(-1, 25);
        const bool atPress = In.Bool();
        const int32_t x = Coordinate(In);
        const int32_t y = Coordinate(In);
        TPoint p{x, y};
        std::string caption = "before";
        int32_t index = -7;
        const bool hit = ComputeDropPosition(p, caption, index, groups, atPress, c, geometry);
        if (c.Edge < EdgeBottom || c.Edge > EdgeRight)
            ZV_FUZZ_CHECK(!hit);
        else
            CheckLayout(geometry, c.Edge);
        if (!hit) {
            ZV_FUZZ_CHECK(p == (TPoint{x, y}) && caption == "before" && index == -7);
            continue;
        }
        // A drop position inside the list, or its end; a press names the group pressed on.
        ZV_FUZZ_CHECK(index >= 0 && index <= n);
        if (atPress) {
            ZV_FUZZ_CHECK(index < n);
            const TGrupButtons* g = groups[static_cast<std::size_t>(index)].Group.get();
            ZV_FUZZ_CHECK(g != nullptr && g->HasVisible && caption == g->Caption);
            ZV_FUZZ_CHECK(g->Rect.Left <= x && x < g->Rect.Right && g->Rect.Top <= y &&
                          y < g->Rect.Bottom);
        }
        // The balloon stands beside the group on the screen's side of the taskbar, its arrow
        // pointing at the group (the end of the list is the last group's trailing edge).
        const TGrupButtons* g =
            groups[static_cast<std::size_t>(std::min(index, n - 1))].Group.get();
        ZV_FUZZ_CHECK(g != nullptr && g->HasVisible && caption == g->Caption);
        const TRect& r = g->Rect;
        const TBalloonParts& parts = geometry.Parts();
        if (!Ordinary(r.Left) || !Ordinary(r.Top) || !Ordinary(r.Right) || !Ordinary(r.Bottom) ||
            r.Left > r.Right || r.Top > r.Bottom)
            continue;
        switch (c.Edge) {
        case EdgeBottom:
            ZV_FUZZ_CHECK(int64_t{p.Y} + parts.Height < r.Top);
            break;
        case EdgeTop:
            ZV_FUZZ_CHECK(p.Y >= r.Bottom);
            break;
        case EdgeLeft:
            ZV_FUZZ_CHECK(p.X >= r.Right);
            break;
        case EdgeRight:
            ZV_FUZZ_CHECK(int64_t{p.X} + parts.Width <= r.Left);
            break;
        }
        if (c.Edge == EdgeBottom || c.Edge == EdgeTop)
            ZV_FUZZ_CHECK(r.Left <= p.X + geometry.HotSpotX() &&
                          p.X + geometry.HotSpotX() <= r.Right);
        else
            ZV_FUZZ_CHECK(r.Top <= p.Y + geometry.HotSpotY() &&
                          p.Y + geometry.HotSpotY() <= r.Bottom);
    }
    ClearGroupList(groups);
    return 0;
}
