#include "app/LastingOrder_win.h"

#include <commctrl.h>
#include <psapi.h>

#include <cwchar>

#include "app/TaskRows.h"
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
    ScopedKernelHandle process(
        ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    wchar_t path[MAX_PATH + 1] = {};
    if (process && ::GetModuleFileNameExW(process.get(), nullptr, path, MAX_PATH))
        w.Program = ProgramKey(Utf8Text(path, wcsnlen(path, MAX_PATH)));
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

uint32_t ReadLastingNumber(const char* Name, uint32_t Default) {
    ScopedKey key = OpenLastingKey(false);
    DWORD type = 0, value = 0, size = sizeof value;
    if (!key ||
        ::RegQueryValueExA(key.get(), Name, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                           &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return Default;
    return value;
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
}

void TLastingOrder::SetEnabled(bool Value) {
    Enabled_ = Value;
    WriteLastingNumber("KeepOrder", Value ? 1 : 0);
    Count_ = -1; // switched on: the taskbar is looked at again at the next tick
}

void TLastingOrder::Remember(const TGroupList& Groups) {
    if (!Enabled_ || Groups.empty())
        return;
    Order_ = MergeOrder(Order_, GroupPrograms(Groups));
    WriteLastingString("Order", OrderText(Order_));
}

void TLastingOrder::Forget() {
    Order_.clear();
    WriteLastingString("Order", "");
}

void TLastingOrder::Watch() {
    const HWND toolbar = FindTaskbarToolbar();
    const int count =
        toolbar ? static_cast<int>(::SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0)) : -1;
    const bool grew = toolbar != Toolbar_ || count > Count_;
    Toolbar_ = toolbar;
    Count_ = count;
    if (grew && toolbar && Enabled_ && Order_.size() > 1)
        Apply();
}

int TLastingOrder::Apply() {
    int moves = 0;
    // One move per group at most brings them in order; the bound guards against a taskbar
    // that changes under the moves.
    for (int round = 0; round < 64; ++round) {
        TGroupListHolder snapshot;
        HWND active = nullptr;
        ReadTaskbarButtons(false, snapshot.Groups, active);
        if (round > static_cast<int>(snapshot.Groups.size()))
            break;
        const std::optional<TPlacement> p = NextPlacement(GroupPrograms(snapshot.Groups), Order_);
        if (!p || !MoveTaskButton(p->From, p->To, snapshot.Groups))
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
    Left = MoveKeyFromValue(ReadLastingNumber("MoveLeftKey", 0), kDefaultMoveLeft);
    Right = MoveKeyFromValue(ReadLastingNumber("MoveRightKey", 0), kDefaultMoveRight);
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
