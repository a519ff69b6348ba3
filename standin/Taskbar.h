#pragma once
// The stand-in taskbar's window tree, as programs find it on Windows XP:
//   Shell_TrayWnd (top-most tool window docked at a screen edge; paints the start button)
//     ReBarWindow32 (our own class of that name; paints the band's gripper)
//       MSTaskSwWClass
//         ToolbarWindow32 (the real comctl32 toolbar, see TaskToolbar)
//     TrayNotifyWnd (the clock; tooltips of the tray icons)
//       SysPager
//         ToolbarWindow32 (a real comctl32 toolbar, one button per tray icon)
// The tree only shows and reports; the shell (TaskbarHost) decides.
#include "standin/TaskToolbar.h"
#include "standin/TaskbarLayout.h"
#include "standin/Window.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace standin {

class TaskbarHost {
public:
    virtual ~TaskbarHost() = default;
    // Shell_NotifyIcon's WM_COPYDATA to Shell_TrayWnd; the result is the call's result.
    virtual LRESULT OnTrayCopyData(const COPYDATASTRUCT& data) = 0;
    // A task button was clicked; `dropDown` for the drop-down of a group header.
    virtual void OnTaskButton(int id, bool dropDown) = 0;
    // A mouse message over the tray icon of this owner window and id.
    virtual void OnTrayMouse(std::uint32_t wnd, std::uint32_t uid, UINT mouseMessage) = 0;
};

// One tray icon as the notification area shows it.
struct TrayIconView {
    std::uint32_t wnd = 0, uid = 0; // the icon: its owner window and id
    std::uint32_t callbackMessage = 0;
    HICON icon = nullptr; // owned by the shell
    std::wstring tip;
};

class Taskbar {
public:
    Taskbar(TaskbarHost& host, Edge edge, int screenWidth, int screenHeight);
    ~Taskbar();

    HWND TrayWnd() const;
    HWND Rebar() const;
    HWND TaskSw() const;
    HWND Notify() const;
    TaskToolbar& Toolbar() { return *toolbar_; }
    const TaskbarGeometry& Geometry() const { return geometry_; }
    Edge GetEdge() const { return edge_; }

    // Docks at `edge` and lays the tree out for the given number of tray icons.
    void Dock(Edge edge, int trayIcons);
    // Shows these tray icons (in order) and lays the bar out again if their number changed.
    void SetTrayIcons(std::vector<TrayIconView> icons);
    // Repaints the clock when the minute has changed.
    void TickClock();

private:
    class BarPart;
    class TrayWindow;
    class PagerWindow;
    class RebarWindow;
    class TaskSwWindow;
    class NotifyWindow;
    void PlaceChildren();

    TaskbarHost& host_;
    Edge edge_;
    int screenWidth_, screenHeight_;
    TaskbarGeometry geometry_;
    std::unique_ptr<TrayWindow> tray_;
    std::unique_ptr<RebarWindow> rebar_;
    std::unique_ptr<TaskSwWindow> taskSw_;
    std::unique_ptr<TaskToolbar> toolbar_;
    std::unique_ptr<NotifyWindow> notify_;
};

} // namespace standin
