#pragma once
// The application windows the stand-in taskbar gives buttons to, and what it shows of them.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace standin {

// Every top-level window, in z-order; every descendant of Parent.
std::vector<HWND> AllTopLevelWindows();
std::vector<HWND> AllChildWindows(HWND Parent);

// A window gets a button when it is a visible top-level window that is unowned or has
// WS_EX_APPWINDOW, is not a tool window and does not belong to the shell's own process.
bool IsAppWindow(HWND wnd);
// Every such window, in z-order (top first). Between, when given, runs after each window
// looked at.
std::vector<HWND> FindAppWindows(const std::function<void()>& Between = nullptr);

std::string WindowTitle(HWND wnd);
// The window's class name; its text asked with WM_GETTEXT, which also reaches other
// processes' controls (GetWindowText does not), "" when it does not answer within 5 s.
std::string ClassOf(HWND Wnd);
std::string TextOf(HWND Wnd);

struct AppIdentity {
    std::string key;  // windows with the same key form one taskbar group
    std::string name; // shown on the group's header button
};
// A sample application is known by its name (kAppNameProperty), any other program by its
// executable.
AppIdentity IdentifyApp(HWND wnd);

// The window's 16 x 16 icon as an icon of this process (the caller destroys it): the sample
// application's icon drawn again from its kIconProperty, the window's own icon where this
// process can use it, otherwise a letter icon made from the title.
HICON WindowIcon(HWND wnd);

} // namespace standin
