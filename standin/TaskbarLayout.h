#pragma once
// Geometry of the stand-in taskbar: where the bar docks, where its start button, task band
// and notification area go, how wide the task buttons are and where tray icons and the
// clock sit. Plain arithmetic on the screen size.
#include <optional>
#include <string>
#include <vector>

namespace standin {

enum class Edge { Bottom = 0, Top = 1, Left = 2, Right = 3 };
std::optional<Edge> ParseEdge(const std::string& word);
const char* EdgeName(Edge edge);
inline bool IsVertical(Edge edge) {
    return edge == Edge::Left || edge == Edge::Right;
}

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

constexpr int kBarThickness = 30;     // height of a bar at the bottom or top
constexpr int kVerticalBarWidth = 96; // width of a bar at the left or right
constexpr int kTrayIconStep = 20;     // one 16 x 16 tray icon with its spacing
constexpr int kClockWidth = 52;
constexpr int kMaxButtonWidth = 160;
constexpr int kMinButtonWidth = 24;
constexpr int kButtonHeight = 24;

struct TaskbarGeometry {
    Rect bar;      // Shell_TrayWnd on the screen
    Rect start;    // the start button, in the bar's client coordinates
    Rect rebar;    // ReBarWindow32, in the bar's client coordinates
    Rect taskSw;   // MSTaskSwWClass, in the rebar's client coordinates
    Rect toolbar;  // ToolbarWindow32, in MSTaskSwWClass's client coordinates
    Rect notify;   // TrayNotifyWnd, in the bar's client coordinates
    Rect workArea; // the screen without the bar
};
TaskbarGeometry ComputeTaskbarGeometry(Edge edge, int screenWidth, int screenHeight, int trayIcons);

// Inside the notification area (its client coordinates): one rectangle per tray icon, in
// order, and the clock.
struct NotifyLayout {
    std::vector<Rect> icons;
    Rect clock;
};
NotifyLayout ComputeNotifyLayout(Edge edge, int width, int height, int trayIcons);
// The icon under a point of the notification area, or -1.
int TrayIconAt(const NotifyLayout& layout, int x, int y);

struct ButtonSize {
    int cx, cy;
};
// Task buttons share the toolbar's length evenly up to kMaxButtonWidth (horizontal bar);
// on a vertical bar every button is as wide as the toolbar and stands on its own row.
ButtonSize ComputeButtonSize(Edge edge, int toolbarWidth, int visibleButtons);

} // namespace standin
