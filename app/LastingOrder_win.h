#pragma once
// The Win32 halves of the lasting order, the record of hidden windows and the move keys: the
// program of a window, the registry key of their own that holds them, and the objects the main
// window owns for each.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/LastingOrder.h"
#include "app/ListCommands.h"
#include "app/MoveHotKeys.h"
#include "taskbar/Taskbar.h"

// Under HKEY_CURRENT_USER; the control states of the Settings tab live beside it, in its
// parent, and know nothing of it.
constexpr const char* kLastingKey = "Software\\Kestrelan\\Zorvane\\Lasting";

// The window with its process id, program and the process's start time (OpenProcess with the
// query right only, GetProcessImageFileNameW, GetProcessTimes); Pid 0 and no program when the
// window is gone, program "" and start 0 when the process cannot be queried.
THiddenWindow WindowProgram(TWndHandle Wnd);
// The program of each group of a full snapshot (its first window's); "" when unknown.
std::vector<std::string> GroupPrograms(const TGroupList& Groups);

// The shell's registered "TaskbarCreated" message, broadcast when a shell (re)starts.
UINT TaskbarCreatedMsg();

// Values of kLastingKey; reading a value that is missing or of another type gives Default.
std::string ReadLastingString(const char* Name);
uint32_t ReadLastingNumber(const char* Name, uint32_t Default);
// None when the value is missing or is no four-byte number.
std::optional<uint32_t> ReadLastingNumber(const char* Name);
// Writing creates the key; failures leave the registry as it was and are not reported (the
// program goes on with what it holds).
void WriteLastingString(const char* Name, const std::string& Value);
void WriteLastingNumber(const char* Name, uint32_t Value);

// The order the user gave the taskbar, by program, kept in the registry ("Order") while the
// option "KeepOrder" is on. The main window tells it of each move of the user's, and asks it
// once per refresh tick to look at the taskbar: one button-count query to the toolbar and the
// list of top-level windows, and a full snapshot with the moves only when the toolbar is new,
// holds more buttons than before, or a window with a button is new.
class TLastingOrder {
public:
    explicit TLastingOrder(ITaskbar& Taskbar) : Taskbar_(Taskbar) {}
    // Reads the option and the order.
    void Load();
    bool Enabled() const { return Enabled_; }
    void SetEnabled(bool Value);
    const std::vector<std::string>& Order() const { return Order_; }
    // The user moved a group: the taskbar's order of programs (Groups: a full snapshot taken
    // after the move) joins the remembered order.
    void Remember(const TGroupList& Groups);
    // Forgets the whole order.
    void Forget();
    // The shell came back: the next Watch looks at the whole taskbar.
    void Recheck() { Count_ = -1; }
    // The refresh tick: puts returning programs in their place when the toolbar changed.
    void Watch();
    // Brings the remembered programs on the taskbar into their order now; the moves made.
    int Apply();

private:
    // Bar (the programs of the taskbar's groups) was on the taskbar just now: the order keeps
    // kOrderCap programs at most, dropping those longest off the taskbar ("Recent").
    void Seen(const std::vector<std::string>& Bar);

    ITaskbar& Taskbar_;
    bool Enabled_ = true;
    std::vector<std::string> Order_;
    std::vector<std::string> Recent_; // the programs of Order_, last seen first
    HWND Toolbar_ = nullptr; // the toolbar, its button count and the top-level windows when
    int Count_ = -1;         // last looked at
    std::vector<TWndHandle> Windows_;
};

// The windows the user hid through the list, recorded in the registry ("HiddenWindows") from
// the moment they are hidden until they are shown, so that a start after a crash, a kill or a
// power loss can show them again.
class THiddenRecord : public IHiddenRecord {
public:
    void Add(const std::vector<TWndHandle>& Windows) override;
    void Remove(const std::vector<TWndHandle>& Windows) override;
    // Everything shown again by the program itself (the Exit command).
    void Clear();
    // Shows every recorded window that is still the window it was (SW_SHOWNA, no activation)
    // and empties the record; the number shown. Needs nothing but the registry, so that a
    // fault handler can call it.
    static int ShowRecorded();

private:
    std::vector<THiddenWindow> Windows_;
    void Write() const;
};

// The two move keys, registered for the main window (ids kMoveLeftId, kMoveRightId; WM_HOTKEY
// carries the id). A key another program holds is kept in Taken for the Settings tab.
constexpr int kMoveLeftId = 1;
constexpr int kMoveRightId = 2;
class TMoveHotKeys {
public:
    ~TMoveHotKeys();
    // Reads "MoveLeftKey" and "MoveRightKey": the defaults when missing, no key when stored
    // as none or as a key that is not allowed.
    void Load();
    void Save() const;
    TMoveKey Left = kDefaultMoveLeft;
    TMoveKey Right = kDefaultMoveRight;
    // (Re)registers both keys for Wnd; the names of those that could not be registered.
    std::vector<std::string> Register(HWND Wnd);
    void Unregister();

private:
    HWND Wnd_ = nullptr;
    bool Registered_[2] = {false, false};
};
