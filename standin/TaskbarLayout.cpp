#include "standin/TaskbarLayout.h"

#include <algorithm>

namespace standin {

std::optional<Edge> ParseEdge(const std::string& word) {
    if (word == "bottom")
        return Edge::Bottom;
    if (word == "top")
        return Edge::Top;
    if (word == "left")
        return Edge::Left;
    if (word == "right")
        return Edge::Right;
    return std::nullopt;
}

const char* EdgeName(Edge edge) {
    switch (edge) {
    case Edge::Top:
        return "top";
    case Edge::Left:
        return "left";
    case Edge::Right:
        return "right";
    case Edge::Bottom:
        break;
    }
    return "bottom";
}

namespace {
constexpr int kStartWidth = 100;
constexpr int kGripper = 8; // room in front of the task band for its gripper
constexpr int kNotifyPadLeft = 8;
constexpr int kNotifyPadRight = 4;
constexpr int kVerticalIconsPerRow = (kVerticalBarWidth - 8) / kTrayIconStep;
constexpr int kVerticalClockHeight = 20;

int VerticalIconRows(int icons) {
    return (icons + kVerticalIconsPerRow - 1) / kVerticalIconsPerRow;
}
} // namespace

TaskbarGeometry ComputeTaskbarGeometry(Edge edge, int screenWidth, int screenHeight,
                                       int trayIcons) {
    TaskbarGeometry g;
    trayIcons = std::max(trayIcons, 0);
    if (!IsVertical(edge)) {
        const int h = kBarThickness;
        g.bar = edge == Edge::Bottom ? Rect{0, screenHeight - h, screenWidth, screenHeight}
                                     : Rect{0, 0, screenWidth, h};
        g.workArea = edge == Edge::Bottom ? Rect{0, 0, screenWidth, screenHeight - h}
                                          : Rect{0, h, screenWidth, screenHeight};
        g.start = {0, 0, kStartWidth, h};
        int notifyWidth =
            kNotifyPadLeft + trayIcons * kTrayIconStep + kClockWidth + kNotifyPadRight;
        g.notify = {screenWidth - notifyWidth, 0, screenWidth, h};
        g.rebar = {g.start.right + 4, 0, std::max(g.start.right + 4, g.notify.left - 2), h};
        g.taskSw = {kGripper, 0, std::max(kGripper, g.rebar.Width()), h};
        const int top = (h - kButtonHeight) / 2;
        g.toolbar = {0, top, g.taskSw.Width(), top + kButtonHeight};
    } else {
        const int w = kVerticalBarWidth;
        g.bar = edge == Edge::Left ? Rect{0, 0, w, screenHeight}
                                   : Rect{screenWidth - w, 0, screenWidth, screenHeight};
        g.workArea = edge == Edge::Left ? Rect{w, 0, screenWidth, screenHeight}
                                        : Rect{0, 0, screenWidth - w, screenHeight};
        g.start = {0, 0, w, kBarThickness};
        int notifyHeight =
            6 + VerticalIconRows(trayIcons) * kTrayIconStep + kVerticalClockHeight + 4;
        g.notify = {0, screenHeight - notifyHeight, w, screenHeight};
        g.rebar = {0, g.start.bottom + 4, w, std::max(g.start.bottom + 4, g.notify.top - 2)};
        g.taskSw = {0, kGripper, w, std::max(kGripper, g.rebar.Height())};
        g.toolbar = {2, 0, w - 2, g.taskSw.Height()};
    }
    return g;
}

NotifyLayout ComputeNotifyLayout(Edge edge, int width, int height, int trayIcons) {
    NotifyLayout layout;
    if (!IsVertical(edge)) {
        const int top = (height - kTrayIconStep) / 2;
        for (int i = 0; i < trayIcons; ++i) {
            int left = kNotifyPadLeft + i * kTrayIconStep;
            layout.icons.push_back({left, top, left + kTrayIconStep, top + kTrayIconStep});
        }
        layout.clock = {width - kNotifyPadRight - kClockWidth, 0, width - kNotifyPadRight, height};
    } else {
        const int rowWidth = kVerticalIconsPerRow * kTrayIconStep;
        const int left0 = (width - rowWidth) / 2;
        for (int i = 0; i < trayIcons; ++i) {
            int left = left0 + (i % kVerticalIconsPerRow) * kTrayIconStep;
            int top = 6 + (i / kVerticalIconsPerRow) * kTrayIconStep;
            layout.icons.push_back({left, top, left + kTrayIconStep, top + kTrayIconStep});
        }
        layout.clock = {0, height - 4 - kVerticalClockHeight, width, height - 4};
    }
    return layout;
}

int TrayIconAt(const NotifyLayout& layout, int x, int y) {
    for (std::size_t i = 0; i < layout.icons.size(); ++i)
        if (layout.icons[i].Contains(x, y))
            return int(i);
    return -1;
}

ButtonSize ComputeButtonSize(Edge edge, int toolbarWidth, int visibleButtons) {
    if (IsVertical(edge))
        return {std::max(toolbarWidth, kMinButtonWidth), kButtonHeight};
    int cx = kMaxButtonWidth;
    if (visibleButtons > 0)
        cx = std::min(kMaxButtonWidth, toolbarWidth / visibleButtons);
    return {std::max(cx, kMinButtonWidth), kButtonHeight};
}

} // namespace standin
