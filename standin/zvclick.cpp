// Clicks the left mouse button on a window of a running program, as a person does (SendInput),
// for the desktop tour:
//
//   zvclick <top-level class> <child class> <child text> <x> <y>
//
// The child is the first descendant of the first visible top-level window of that class whose
// class and text match ("*" as the text matches any); "-" as the child class means the
// top-level window itself. x, y are in the child's client area; "c" for either means its middle.
// Exits 0 once the click is sent, 1 when the window is not there.
//
//   zvclick --screen press|move|release <x> <y>
//
// One step of a drag with the left button, at a point of the screen: the mouse moves there
// and presses the button, only moves, or releases it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "standin/AppWindows.h"
#include "standin/MouseInput.h"

namespace {
using standin::ClassOf;
using standin::TextOf;

HWND FindTarget(const std::string& Top, const std::string& Child, const std::string& Text) {
    for (HWND top : standin::AllTopLevelWindows()) {
        if (ClassOf(top) != Top || !::IsWindowVisible(top))
            continue;
        if (Child == "-")
            return top;
        for (HWND w : standin::AllChildWindows(top))
            if (ClassOf(w) == Child && (Text == "*" || TextOf(w) == Text))
                return w;
    }
    return nullptr;
}

int DragStep(const std::string& Step, int X, int Y) {
    DWORD flags = 0;
    if (Step == "press")
        flags = MOUSEEVENTF_LEFTDOWN;
    else if (Step == "release")
        flags = MOUSEEVENTF_LEFTUP;
    else if (Step != "move")
        return 2;
    standin::MouseAt({X, Y}, flags);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--screen")
        return DragStep(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    if (argc != 6) {
        std::fprintf(stderr,
                     "usage: zvclick <top class> <child class|-> <child text|*> <x|c> <y|c>\n"
                     "       zvclick --screen press|move|release <x> <y>\n");
        return 2;
    }
    HWND target = FindTarget(argv[1], argv[2], argv[3]);
    if (!target) {
        std::fprintf(stderr, "zvclick: no such window\n");
        return 1;
    }
    RECT r{};
    ::GetClientRect(target, &r);
    POINT p{std::string(argv[4]) == "c" ? r.right / 2 : std::atoi(argv[4]),
            std::string(argv[5]) == "c" ? r.bottom / 2 : std::atoi(argv[5])};
    ::ClientToScreen(target, &p);
    standin::ClickAt(p);
    return 0;
}
