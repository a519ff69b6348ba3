#include "tests/e2e/startup/ProgramUnderTest.h"

#include <stdexcept>

#include "standin/AppWindows.h"
#include "toolkit/SysUtils.h"

namespace {
const char kAppDefaultsKey[] = "Software\\Wine\\AppDefaults\\Zorvane.exe";
} // namespace

TScopedWineVersion::TScopedWineVersion(const char* Version) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, kAppDefaultsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                          &key, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create the AppDefaults key");
    ScopedKey holder(key);
    ::RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(Version),
                     static_cast<DWORD>(strlen(Version) + 1));
}

TScopedWineVersion::~TScopedWineVersion() {
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kAppDefaultsKey);
}

std::vector<HWND> TopLevelWindowsOf(DWORD Pid) {
    std::vector<HWND> found;
    for (HWND w : standin::AllTopLevelWindows()) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(w, &pid);
        if (pid == Pid)
            found.push_back(w);
    }
    return found;
}

HWND WaitForTopLevelWindow(const zvtest::ChildProcess& Child, const char* Class,
                           const char* Caption, DWORD TimeoutMs) {
    // The child waits for input once it has made its windows (or shows a message box).
    if (::WaitForInputIdle(Child.Handle(), TimeoutMs) != 0)
        return nullptr;
    for (HWND w : TopLevelWindowsOf(Child.Pid()))
        if (ClassOf(w) == Class && (!Caption || TextOf(w) == Caption))
            return w;
    return nullptr;
}

HWND WaitForMainWindowBack(const zvtest::ChildProcess& Child, DWORD TimeoutMs) {
    HWND main = WaitForTopLevelWindow(Child, "TfTaskBarMain", nullptr, TimeoutMs);
    if (!main)
        return nullptr;
    // Start-up ends with the window hidden (100 ms after it showed, once the mouse hook
    // runs), or with the warning that the hook could not start, the window staying up. Wait for
    // one of the two, however long a loaded machine takes.
    const auto hookWarning = [&] {
        for (HWND w : TopLevelWindowsOf(Child.Pid()))
            if (ClassOf(w) == "#32770" && TextOf(w) == "Warning" && ::IsWindowVisible(w))
                return true;
        return false;
    };
    if (!RoundTripUntil(main, TimeoutMs, [&] { return !::IsWindowVisible(main) || hookWarning(); }))
        return nullptr;
    if (::IsWindowVisible(main))
        return main;
    // A double click on the tray icon, as the shell reports it to the icon's window.
    constexpr UINT kTrayCallback = 0x800;
    for (HWND w : TopLevelWindowsOf(Child.Pid()))
        if (ClassOf(w) == "TTrayIconWindow")
            for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
                ::PostMessageA(w, kTrayCallback, 1, m);
    RoundTripUntil(main, TimeoutMs, [&] { return ::IsWindowVisible(main) != FALSE; });
    return main;
}

std::vector<HWND> DescendantsOf(HWND Parent) {
    return standin::AllChildWindows(Parent);
}

HWND FindDescendant(HWND Parent, const char* Class, const char* Text) {
    for (HWND w : DescendantsOf(Parent))
        if (ClassOf(w) == Class && TextOf(w) == Text)
            return w;
    return nullptr;
}

bool SendAndWait(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT* Result) {
    DWORD_PTR answer = 0;
    const bool ok =
        ::SendMessageTimeoutA(Wnd, Msg, WParam, LParam, SMTO_NORMAL, 5000, &answer) != 0;
    if (Result)
        *Result = static_cast<LRESULT>(answer);
    return ok;
}

std::string DumpRegistryKey(HKEY Root, const std::string& Path) {
    HKEY raw = nullptr;
    if (::RegOpenKeyExA(Root, Path.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS)
        return "";
    ScopedKey key(raw);
    std::string out = "[" + Path + "]\n";
    for (DWORD i = 0;; ++i) {
        char name[16384];
        DWORD nameLen = sizeof(name);
        BYTE data[16384];
        DWORD dataLen = sizeof(data);
        DWORD type = 0;
        if (::RegEnumValueA(raw, i, name, &nameLen, nullptr, &type, data, &dataLen) !=
            ERROR_SUCCESS)
            break;
        out += Format("%s (%lu) = ", name, static_cast<unsigned long>(type));
        for (DWORD b = 0; b < dataLen; ++b)
            out += Format("%02x", data[b]);
        out += "\n";
    }
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameLen = sizeof(name);
        if (::RegEnumKeyExA(raw, i, name, &nameLen, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        out += DumpRegistryKey(Root, Path + "\\" + name);
    }
    return out;
}
