#include "app/LastingOrder_win.h"

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cwchar>

#include "taskbar/taskbuttons_win.h"
#include "toolkit/ScopedWin.h"
#include "toolkit/Utf8_win.h"

namespace {
ScopedKey OpenLastingKey(bool Write) {
    HKEY key = nullptr;
    const LONG r = Write ? ::RegCreateKeyExA(HKEY_CURRENT_USER, kLastingKey, 0, nullptr, 0,
                                             KEY_READ | KEY_WRITE, nullptr, &key, nullptr)
                         : ::RegOpenKeyExA(HKEY_CURRENT_USER, kLastingKey, 0, KEY_READ, &key);
    return ScopedKey(r == ERROR_SUCCESS ? key : nullptr);
}
} // namespace

UINT TaskbarCreatedMsg() {
    static const UINT msg = ::RegisterWindowMessageA("TaskbarCreated");
    return msg;
}

THiddenWindow WindowProgram(TWndHandle Wnd) {
    THiddenWindow w;
    w.Wnd = Wnd;
    DWORD pid = 0;
    if (!::IsWindow(ToHWND(Wnd)) || !::GetWindowThreadProcessId(ToHWND(Wnd), &pid))
        return w;
    w.Pid = pid;
    // Only the right to query: the processes of other users and elevated ones grant it where
    // they refuse reading their memory. Windows before Vista know only the full query right.
    constexpr DWORD kQueryLimitedInformation = 0x1000; // PROCESS_QUERY_LIMITED_INFORMATION
    ScopedKernelHandle process(::OpenProcess(kQueryLimitedInformation, FALSE, pid));
    if (!process)
        process.reset(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid));
    if (!process)
        return w;
    // A device path, in UTF-16 so that a name in any script is kept; only its file name counts.
    wchar_t path[MAX_PATH + 1] = {};
    if (::GetProcessImageFileNameW(process.get(), path, MAX_PATH))
        w.Program = ProgramKey(Utf8Text(path, wcsnlen(path, MAX_PATH)));
    FILETIME created{}, exited{}, kernel{}, user{};
    if (::GetProcessTimes(process.get(), &created, &exited, &kernel, &user))
        w.Started = uint64_t{created.dwHighDateTime} << 32 | created.dwLowDateTime;
    return w;
}

std::vector<std::string> GroupPrograms(const TGroupList& Groups) {
    std::vector<std::string> programs;
    for (const TGroupListItem& item : Groups) {
        std::string program;
        for (TWndHandle w : item.Group->Windows)
            if (w != 0) {
                program = WindowProgram(w).Program;
                break;
            }
        programs.push_back(program);
    }
    return programs;
}

// The texts are read and written as UTF-16, so that program names in any script are kept
// exactly; a value an earlier version wrote with the code page's calls reads the same way, as
// the registry holds every text in UTF-16.
std::string ReadLastingString(const char* Name) {
    ScopedKey key = OpenLastingKey(false);
    const std::wstring name = WideText(Name);
    DWORD type = 0, size = 0;
    if (!key ||
        ::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
    if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type,
                           reinterpret_cast<BYTE*>(&data[0]), &size) != ERROR_SUCCESS)
        return {};
    data.resize(::wcsnlen(data.c_str(), size / sizeof(wchar_t)));
    return Utf8Text(data);
}

std::optional<uint32_t> ReadLastingNumber(const char* Name) {
    ScopedKey key = OpenLastingKey(false);
    DWORD type = 0, value = 0, size = sizeof value;
    if (!key ||
        ::RegQueryValueExA(key.get(), Name, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                           &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return std::nullopt;
    return value;
}

uint32_t ReadLastingNumber(const char* Name, uint32_t Default) {
    return ReadLastingNumber(Name).value_or(Default);
}

void WriteLastingString(const char* Name, const std::string& Value) {
    const std::wstring value = WideText(Value);
    if (ScopedKey key = OpenLastingKey(true))
        ::RegSetValueExW(key.get(), WideText(Name).c_str(), 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void WriteLastingNumber(const char* Name, uint32_t Value) {
    const DWORD v = Value;
    if (ScopedKey key = OpenLastingKey(true))
        ::RegSetValueExA(key.get(), Name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v),
                         sizeof v);
}

// ---- The lasting order

void TLastingOrder::Load() {
    Enabled_ = ReadLastingNumber("KeepOrder", 1) != 0;
    Order_ = ParseOrder(ReadLastingString("Order"));
    Recent_ = ParseOrder(ReadLastingString("Recent"));
}

void TLastingOrder::SetEnabled(bool Value) {
    Enabled_ = Value;
    WriteLastingNumber("KeepOrder", Value ? 1 : 0);
    Count_ = -1; // switched on: the taskbar is looked at again at the next tick
}

void TLastingOrder::Remember(const TGroupList& Groups) {
    if (!Enabled_ || Groups.empty())
        return;
    const std::vector<std::string> bar = GroupPrograms(Groups);
    Order_ = MergeOrder(Order_, bar);
    Seen(bar);
}

void TLastingOrder::Seen(const std::vector<std::string>& Bar) {
    Recent_ = SeenOnTaskbar(Recent_, Bar, Order_);
    Order_ = CapOrder(Order_, Recent_, kOrderCap);
    Recent_ = SeenOnTaskbar(Recent_, {}, Order_);
    WriteLastingString("Order", OrderText(Order_));
    WriteLastingString("Recent", OrderText(Recent_));
}

void TLastingOrder::Forget() {
    Order_.clear();
    Recent_.clear();
    WriteLastingString("Order", "");
    WriteLastingString("Recent", "");
}

namespace {
BOOL CALLBACK AddWindow(HWND Wnd, LPARAM Windows) noexcept {
    try {
        reinterpret_cast<std::vector<TWndHandle>*>(Windows)->push_back(FromHWND(Wnd));
        return TRUE;
    } catch (...) {
        return FALSE; // no memory: the list ends here
    }
}

// Every top-level window, sorted: one call for the whole list.
std::vector<TWndHandle> TopLevelWindows() {
    std::vector<TWndHandle> windows;
    ::EnumWindows(&AddWindow, reinterpret_cast<LPARAM>(&windows));
    std::sort(windows.begin(), windows.end());
    return windows;
}

// A window the shell gives a button: visible, not a tool window, unowned or an app window.
bool HasTaskbarButton(TWndHandle Wnd) {
    const HWND w = ToHWND(Wnd);
    const LONG_PTR ex = ::GetWindowLongPtrA(w, GWL_EXSTYLE);
    return ::IsWindowVisible(w) && !(ex & WS_EX_TOOLWINDOW) &&
           (!::GetWindow(w, GW_OWNER) || (ex & WS_EX_APPWINDOW));
}
} // namespace

void TLastingOrder::Watch() {
    const HWND toolbar = FindTaskbarToolbar();
    const int count =
        toolbar ? static_cast<int>(::SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0)) : -1;
    // Only the windows that are new since the last look are asked about.
    std::vector<TWndHandle> windows = TopLevelWindows();
    const std::vector<TWndHandle> added = AddedWindows(Windows_, windows);
    const bool newButton = std::any_of(added.begin(), added.end(), &HasTaskbarButton);
    const bool grew = toolbar != Toolbar_ || count > Count_ || newButton;
    Toolbar_ = toolbar;
    Count_ = count;
    Windows_ = std::move(windows);
    if (grew && toolbar && Enabled_ && Order_.size() > 1)
        Apply();
}

int TLastingOrder::Apply() {
    int moves = 0;
    // One move per group at most brings them in order; the bound guards against a taskbar
    // that changes under the moves.
    for (int round = 0; round < 64; ++round) {
        const TGroupList snapshot = Taskbar_.Snapshot(false);
        if (round == 0 && snapshot.empty())
            Recheck(); // nothing could be read (a taskbar in the middle of a change): next tick
        if (round > static_cast<int>(snapshot.size()))
            break;
        const std::vector<std::string> bar = GroupPrograms(snapshot);
        if (round == 0 && SeenOnTaskbar(Recent_, bar, Order_) != Recent_)
            Seen(bar);
        const std::optional<TPlacement> p = NextPlacement(bar, Order_);
        if (!p || p->From < 0 || static_cast<std::size_t>(p->From) >= snapshot.size())
            break;
        std::optional<TGroupId> before;
        if (p->To >= 0 && static_cast<std::size_t>(p->To) < snapshot.size())
            before = GroupIdOf(*snapshot[static_cast<std::size_t>(p->To)].Group);
        if (!Taskbar_.MoveGroup(GroupIdOf(*snapshot[static_cast<std::size_t>(p->From)].Group),
                                before))
            break;
        ++moves;
    }
    return moves;
}

// ---- The record of hidden windows

void THiddenRecord::Add(const std::vector<TWndHandle>& Windows) {
    for (TWndHandle w : Windows)
        if (w != 0)
            Windows_.push_back(WindowProgram(w));
    Write();
}

void THiddenRecord::Remove(const std::vector<TWndHandle>& Windows) {
    for (TWndHandle w : Windows)
        for (auto it = Windows_.begin(); it != Windows_.end(); ++it)
            if (it->Wnd == w) {
                Windows_.erase(it);
                break;
            }
    Write();
}

void THiddenRecord::Clear() {
    Windows_.clear();
    Write();
}

void THiddenRecord::Write() const {
    WriteLastingString("HiddenWindows", HiddenWindowsText(Windows_));
}

int THiddenRecord::ShowRecorded() {
    int shown = 0;
    for (const THiddenWindow& w : ParseHiddenWindows(ReadLastingString("HiddenWindows")))
        if (SameHiddenWindow(w, WindowProgram(w.Wnd))) {
            ::ShowWindow(ToHWND(w.Wnd), SW_SHOWNA);
            ++shown;
        }
    WriteLastingString("HiddenWindows", "");
    return shown;
}

// ---- The move keys

TMoveHotKeys::~TMoveHotKeys() {
    Unregister();
}

void TMoveHotKeys::Load() {
    Left = MoveKeyFromValue(ReadLastingNumber("MoveLeftKey"), kDefaultMoveLeft);
    Right = MoveKeyFromValue(ReadLastingNumber("MoveRightKey"), kDefaultMoveRight);
    if (Right == Left)
        Right = {}; // one key cannot move both ways
}

void TMoveHotKeys::Save() const {
    WriteLastingNumber("MoveLeftKey", MoveKeyValue(Left));
    WriteLastingNumber("MoveRightKey", MoveKeyValue(Right));
}

std::vector<std::string> TMoveHotKeys::Register(HWND Wnd) {
    Unregister();
    Wnd_ = Wnd;
    std::vector<std::string> taken;
    const TMoveKey keys[2] = {Left, Right};
    const int ids[2] = {kMoveLeftId, kMoveRightId};
    for (int i = 0; i < 2; ++i) {
        if (keys[i].Vk == 0)
            continue; // no key chosen
        Registered_[i] = ::RegisterHotKey(Wnd, ids[i], keys[i].Modifiers, keys[i].Vk) != FALSE;
        if (!Registered_[i])
            taken.push_back(MoveKeyName(keys[i]));
    }
    return taken;
}

void TMoveHotKeys::Unregister() {
    const int ids[2] = {kMoveLeftId, kMoveRightId};
    for (int i = 0; i < 2; ++i)
        if (Registered_[i]) {
            ::UnregisterHotKey(Wnd_, ids[i]);
            Registered_[i] = false;
        }
}
