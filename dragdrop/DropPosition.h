#pragma once
// Where a drag along the taskbar would drop its group, and how the balloon that points there
// is laid out, on plain data. The balloon window (TaskBallon) gathers the taskbar's geometry,
// calls ComputeDropPosition and moves its parts to where TBalloonGeometry puts them.
#include <cstdint>
#include <string>

#include "taskbar/taskbuttons.h"

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
    friend bool operator==(const TPoint& a, const TPoint& b) { return a.X == b.X && a.Y == b.Y; }
};

// The four arrow pictures, by the edge the taskbar is docked to.
enum TArrowPicture : int { ArrowDown = 0, ArrowUp = 1, ArrowLeft = 2, ArrowRight = 3 };

// Rectangles here are left, top, right, bottom in the balloon window's client coordinates,
// after the window has fitted itself to its visible parts (the shape and the arrow; the icon
// and the labels lie inside the shape).
struct TBalloonParts {
    TRect Shape;   // the rounded rectangle
    TRect Arrow;   // the arrow picture, 50 x 50
    TRect Icon;    // the dragged group's icon, 20 x 20
    TRect Caption; // the dragged group's caption, 17 high
    TRect Help;    // "Release mouse to drop the button here", 13 high
    TArrowPicture Picture = ArrowDown;
    int32_t Width = 0; // the window's size: the bounding rectangle of its visible parts
    int32_t Height = 0;
};

// The balloon's layout, laid out again whenever the taskbar is found on another edge.
class TBalloonGeometry {
public:
    static constexpr int kArrowSize = 50;
    static constexpr uint8_t kNoEdge = 4; // before the first layout

    // Lays the parts out for Edge (0 bottom, 1 top, 2 left, 3 right) when it differs from the
    // last one; true when it did. Any other Edge changes nothing.
    bool LayOut(int Edge);
    const TBalloonParts& Parts() const { return Parts_; }
    uint8_t LastEdge() const { return LastEdge_; }
    // The point of the window that is placed on the drop position: HotSpotX (from the window's
    // left edge) for a taskbar at the bottom or top, HotSpotY (from its top edge) for one at
    // the left or right. -1 until the first layout that uses it.
    int32_t HotSpotX() const { return HotSpotX_; }
    int32_t HotSpotY() const { return HotSpotY_; }

private:
    TBalloonParts Parts_;
    uint8_t LastEdge_ = kNoEdge;
    int32_t HotSpotX_ = -1;
    int32_t HotSpotY_ = -1;
};

// What ComputeDropPosition reads of the screen and of the drag.
struct TDropContext {
    int Edge = 0;      // GetTaskbarEdge
    TRect TaskbarRect; // GetTaskbarRect
    int32_t ScreenWidth = 0;
    int32_t ScreenHeight = 0;
    int32_t SourceIndex = -1; // the dragged group's position; -1 when none
};

// For the cursor at P (screen coordinates): lays the balloon out for Context.Edge, then looks
// for the first visible group whose zone holds P. When one does, Caption is its caption, Index
// the drop position (AtPress: the pressed group's own position) and P the balloon window's new
// top-left corner, and the result is true; otherwise P, Caption and Index stay as they are.
// Groups without a visible button (or without a group) are passed over. At a press only a
// point on a group's own rectangle hits, and the trailing half of the last group still gives
// that group's position. An edge outside 0 to 3 finds nothing. Coordinates beyond the 32-bit
// range (from absurd rectangles) are held at its ends. Geometry's parts are the layout to give
// the balloon after every call, whether or not something was hit.
bool ComputeDropPosition(TPoint& P, std::string& Caption, int32_t& Index, const TGroupList& Groups,
                         bool AtPress, const TDropContext& Context, TBalloonGeometry& Geometry);
