// Mouse input on a window of a running program, as a person makes it (SendInput), for the
// desktop tour:
//
//   zvclick [--right | --double | --press | --move | --release] <top-level class>
//           <child class> <child text> <x> <y>
//
// The child is the first descendant of the first visible top-level window of that class whose
// class and text match ("*" as the text matches any); "-" as the child class means the
// top-level window itself. x, y are in the child's client area; "c" for either means its middle.
// Without an option it clicks the left button there; --right clicks the right button, --double
// double-clicks the left one. --press moves there and presses the left button, --move only
// moves there, --release moves there and lets go: a drag, one step at a time.
// Exits 0 once the input is sent, 1 when the window is not there.
//
//   zvclick --screen press|move|release <x> <y>
//
// The same steps of a drag at a point of the screen.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>
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

int Usage() {
    std::fprintf(stderr, "usage: zvclick [--right|--double|--press|--move|--release] <top class> "
                         "<child class|-> <child text|*> <x|c> <y|c>\n"
                         "       zvclick --screen press|move|release <x> <y>\n");
    return 2;
}

// The drag steps by name: the button event after the move.
const std::map<std::string, DWORD> kDragSteps = {
    {"press", MOUSEEVENTF_LEFTDOWN}, {"move", 0}, {"release", MOUSEEVENTF_LEFTUP}};

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--screen") {
        const auto step = kDragSteps.find(argv[2]);
        if (step == kDragSteps.end())
            return Usage();
        standin::MouseAt({std::atoi(argv[3]), std::atoi(argv[4])}, step->second);
        return 0;
    }
    std::string mode = "click";
    if (argc > 1 && std::string(argv[1]).rfind("--", 0) == 0) {
        mode = argv[1] + 2;
        --argc;
        ++argv;
    }
    const bool drag = kDragSteps.count(mode) != 0;
    if (argc != 6 || (!drag && mode != "click" && mode != "right" && mode != "double"))
        return Usage();
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
    if (drag)
        standin::MouseAt(p, kDragSteps.at(mode));
    else if (mode == "right")
        standin::RightClickAt(p);
    else if (mode == "double")
        standin::DoubleClickAt(p);
    else
        standin::ClickAt(p);
    return 0;
}
