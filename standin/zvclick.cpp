// Clicks the left mouse button on a window of a running program, as a person does (SendInput),
// for the desktop tour:
//
//   zvclick [--right|--double] <top-level class> <child class> <child text> <x> <y>
//
// The child is the first descendant of the first visible top-level window of that class whose
// class and text match ("*" as the text matches any); "-" as the child class means the
// top-level window itself. x, y are in the child's client area; "c" for either means its middle.
// --right clicks the right button, --double double-clicks the left one. Exits 0 once the
// click is sent, 1 when the window is not there.
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

} // namespace

int main(int argc, char** argv) {
    void (*click)(POINT) = &standin::ClickAt;
    if (argc > 1 && std::string(argv[1]) == "--right") {
        click = &standin::RightClickAt;
        --argc, ++argv;
    } else if (argc > 1 && std::string(argv[1]) == "--double") {
        click = &standin::DoubleClickAt;
        --argc, ++argv;
    }
    if (argc != 6) {
        std::fprintf(stderr, "usage: zvclick [--right|--double] <top class> <child class|-> "
                             "<child text|*> <x|c> <y|c>\n");
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
    click(p);
    return 0;
}
