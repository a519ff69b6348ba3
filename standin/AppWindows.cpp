#include "standin/AppWindows.h"

#include "standin/LetterIcon.h"
#include "standin/StandinProtocol.h"
#include "toolkit/ScopedWin.h"
#include "toolkit/Utf8_win.h"

#include <psapi.h>

#include <algorithm>
#include <cctype>
#include <cwchar>

namespace standin {

namespace {

// The checks of IsAppWindow for a window known to be top-level, cheapest and most telling first:
// most top-level windows are hidden, and each check is a request to the window server.
bool IsAppTopLevelWindow(HWND wnd) {
    if (!::IsWindowVisible(wnd))
        return false;
    LONG_PTR ex = ::GetWindowLongPtrA(wnd, GWL_EXSTYLE);
    if (ex & WS_EX_TOOLWINDOW)
        return false;
    if (::GetWindow(wnd, GW_OWNER) && !(ex & WS_EX_APPWINDOW))
        return false;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    return pid != ::GetCurrentProcessId();
}

} // namespace

bool IsAppWindow(HWND wnd) {
    return ::IsWindow(wnd) && ::GetAncestor(wnd, GA_PARENT) == ::GetDesktopWindow() &&
           IsAppTopLevelWindow(wnd);
}

namespace {
BOOL CALLBACK CollectWindow(HWND wnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(wnd);
    return TRUE;
}
} // namespace

std::vector<HWND> AllTopLevelWindows() {
    std::vector<HWND> all;
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&all));
    return all;
}

std::vector<HWND> AllChildWindows(HWND Parent) {
    std::vector<HWND> all;
    ::EnumChildWindows(Parent, CollectWindow, reinterpret_cast<LPARAM>(&all));
    return all;
}

std::vector<HWND> FindAppWindows(const std::function<void()>& Between) {
    std::vector<HWND> out;
    for (HWND wnd : AllTopLevelWindows()) {
        if (IsAppTopLevelWindow(wnd))
            out.push_back(wnd);
        if (Between)
            Between();
    }
    return out;
}

std::string ClassOf(HWND Wnd) {
    char name[256] = {};
    ::GetClassNameA(Wnd, name, sizeof(name));
    return name;
}

std::string TextOf(HWND Wnd) {
    wchar_t text[1024] = {};
    ::SendMessageTimeoutW(Wnd, WM_GETTEXT, sizeof(text) / sizeof(text[0]),
                          reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
    return Utf8Text(text, wcsnlen(text, sizeof(text) / sizeof(text[0])));
}

std::string WindowTitle(HWND wnd) {
    // GetWindowTextW takes another program's title from the system without a message to that
    // program (GetWindowTextLength would send one): the shell polls hundreds of windows. The
    // buffer grows until the title fits.
    std::wstring text(256, L'\0');
    for (;;) {
        int got = ::GetWindowTextW(wnd, &text[0], int(text.size()));
        if (got < int(text.size()) - 1 || text.size() >= (1u << 20)) {
            text.resize(std::size_t(std::max(got, 0)));
            return Utf8Text(text);
        }
        text.assign(text.size() * 4, L'\0');
    }
}

namespace {

DWORD ProcessOf(HWND wnd) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    return pid;
}

std::string SampleAppName(HWND wnd) {
    auto atom = ATOM(reinterpret_cast<std::uintptr_t>(::GetPropA(wnd, kAppNameProperty)));
    char name[256] = {};
    if (!atom || !::GlobalGetAtomNameA(atom, name, sizeof name))
        return {};
    return name;
}

std::string ExecutablePath(DWORD pid) {
    ScopedKernelHandle process(
        ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    if (!process)
        return {};
    char path[MAX_PATH] = {};
    DWORD n = ::GetModuleFileNameExA(process.get(), nullptr, path, MAX_PATH);
    return std::string(path, n);
}

} // namespace

AppIdentity IdentifyApp(HWND wnd) {
    std::string sample = SampleAppName(wnd);
    if (!sample.empty())
        return {"app:" + sample, sample};
    DWORD pid = ProcessOf(wnd);
    std::string path = ExecutablePath(pid);
    if (path.empty())
        return {"pid:" + std::to_string(pid), "Program"};
    std::string name = path.substr(path.find_last_of("\\/") + 1);
    std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name.resize(dot);
    std::string key = path;
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return {"exe:" + key, name};
}

HICON WindowIcon(HWND wnd) {
    if (HANDLE prop = ::GetPropA(wnd, kIconProperty)) {
        auto value = reinterpret_cast<std::uintptr_t>(prop);
        return MakeLetterIcon(16, IconPropertyColour(value), IconPropertyLetter(value));
    }
    DWORD_PTR icon = 0;
    // SMTO_BLOCK: while it waits, the shell takes no other sent message (no re-entrancy).
    if (!::SendMessageTimeoutA(wnd, WM_GETICON, ICON_SMALL, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, 200,
                               &icon) ||
        !icon)
        icon = ::GetClassLongPtrA(wnd, GCLP_HICONSM);
    if (icon) {
        // Under Wine another process's icon cannot be copied; CopyIcon then fails.
        if (HICON copy = ::CopyIcon(reinterpret_cast<HICON>(icon)))
            return copy;
    }
    std::string title = WindowTitle(wnd);
    char letter = title.empty() ? '?' : char(std::toupper(static_cast<unsigned char>(title[0])));
    unsigned hash = 0;
    for (char c : IdentifyApp(wnd).key)
        hash = hash * 31 + static_cast<unsigned char>(c);
    return MakeLetterIcon(16, PaletteColour(hash), letter);
}

} // namespace standin
