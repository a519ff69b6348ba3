#pragma once
// Test equipment for Win32 and end-to-end tests: child processes, the stand-in shell and the
// sample application. Link `zv_test_support`; include "tests/support/TestSupport.h".
//
// Usage (all calls on the test's thread; failures throw std::runtime_error, which GoogleTest
// reports as a failed test):
//
//   // Once per suite: a fresh shell (a stale one of an earlier run is closed first).
//   static std::unique_ptr<zvtest::StandinShell> shell;
//   static void SetUpTestSuite() { shell = std::make_unique<zvtest::StandinShell>(); }
//   static void TearDownTestSuite() { shell.reset(); }
//
//   zvtest::SampleApp notepad("Notepad", {"Notepad 1", "Notepad 2"});
//   shell->Sync();                                   // the shell has caught up: no sleeping
//   std::vector<zvtest::ButtonRecord> b = shell->Dump();
//   notepad.Hide(0); notepad.Show(0);                // the shell learns of these at once
//
//   // An exact toolbar for a unit that reads the taskbar:
//   using zvtest::ScriptedButton;
//   shell->Script({ScriptedButton::Header("1 A", /*hidden*/ true, 0),
//                  ScriptedButton::Window("A1", someHwnd, 0)});
//   HWND toolbar = shell->Toolbar();                 // FindWindow chain, as the program does
//   ...
//   shell->Unscript();
//
// In scripted mode the toolbar's image list holds 8 images (letter icons "0".."7" in the
// colours of standin::PaletteColour); img= indexes them. Scripted ids default to 1000 +
// the button's position. Other programs: zvtest::ChildProcess("Zorvane.exe" path, args).
#include "standin/ControlChannel.h"

#include <windows.h>

#include "toolkit/ScopedWin.h"

#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zvtest {

// The folder of the running test program, with a trailing backslash; the programs of the
// build (standin.exe, sampleapp.exe, Zorvane.exe, ...) lie there.
std::string ProgramFolder();

// The program's settings under HKEY_CURRENT_USER\Software\Kestrelan\Zorvane are removed.
void DeleteProgramSettings();
// The program's settings as after a first run that kept nothing: no stored control or window
// state, and the Default key there, so that no first-run question is asked.
void ResetProgramSettings();
// Removes a registry key with everything under it; true when it is gone.
bool DeleteRegistryTree(HKEY Root, const std::string& Path);

// A child process that is ended (TerminateProcess, then waited for) when the object goes,
// unless it has ended already.
class ChildProcess {
public:
    // Starts `exePath` with `arguments` (a command line tail); throws when it cannot start.
    ChildProcess(const std::string& exePath, const std::string& arguments);
    ~ChildProcess();
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&&) = delete;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Waits until `find` returns a window, the process ends (throws) or `timeoutMs` passes
    // (throws). Messages of the calling thread are handled meanwhile.
    HWND WaitForWindow(const std::function<HWND()>& find, DWORD timeoutMs = 30000) const;
    // True when the process ended within the time.
    bool WaitForExit(DWORD timeoutMs) const;
    bool Running() const;
    DWORD ExitCode() const;
    DWORD Pid() const { return pid_; }
    HANDLE Handle() const { return process_.get(); }
    // Ends the process now (TerminateProcess) and waits for it.
    void Kill();

private:
    ScopedKernelHandle process_;
    DWORD pid_ = 0;
    std::string name_;
};

// Handles the calling thread's messages until one for `wnd` (0: any window of the thread)
// with message `msg` arrives (returned in `out`) or the time is up.
bool WaitForMessage(HWND wnd, UINT msg, MSG* out, DWORD timeoutMs = 5000);

// Runs the application's message loop (Application->ProcessMessages) until `condition` holds
// (true) or `timeoutMs` has passed (false); it waits for messages in between.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);

// One toolbar button as the shell's dump reports it.
struct ButtonRecord {
    int index = 0;
    int id = 0;
    unsigned style = 0;
    unsigned state = 0;
    int image = -1;
    HWND hwnd = nullptr; // the first four bytes of the dwData block; 0 for headers and raw data
    std::string text;
    bool Hidden() const { return (state & TBSTATE_HIDDEN) != 0; }
    bool Checked() const { return (state & TBSTATE_CHECKED) != 0; }
    bool Header() const { return (style & BTNS_DROPDOWN) != 0; }
};

// One button of a scripted toolbar.
struct ScriptedButton {
    BYTE style = BTNS_BUTTON;
    BYTE state = TBSTATE_ENABLED;
    std::string text;
    HWND hwnd = nullptr;             // becomes the first four bytes of the dwData block
    std::optional<ULONG_PTR> dwData; // raw dwData instead of a block (for faults)
    int img = -1;
    std::optional<int> id; // idCommand; default 1000 + position

    // A group header (BTNS_DROPDOWN), hidden or shown.
    static ScriptedButton Header(const std::string& text, bool hidden, int img = 0);
    // A window's button; `hidden` as the members of a collapsed group, `checked` as the
    // active window's button.
    static ScriptedButton Window(const std::string& text, HWND hwnd, int img = 0,
                                 bool hidden = false, bool checked = false);
};

struct TrayIconRecord {
    HWND hwnd = nullptr;
    UINT uid = 0;
    UINT callbackMessage = 0;
    int iconWidth = 0, iconHeight = 0; // 0 when the icon has none
    bool hidden = false;
    std::string tip;
};

// The stand-in shell (standin.exe from the test's folder), started for the object's life.
class StandinShell {
public:
    struct Options {
        std::string edge = "bottom";
        bool grouping = true;
        DWORD startTimeoutMs = 30000;
        // Milliseconds after which the shell learns of shown and hidden windows (standin.exe
        // --async); 0: at once. Defaults to the environment's ZV_STANDIN_ASYNC_MS, so that a
        // whole test program can run against the late-learning shell.
        DWORD asyncDelayMs = DefaultAsyncDelay();
    };
    static DWORD DefaultAsyncDelay();
    StandinShell();
    explicit StandinShell(const Options& options);
    // Asks the shell to quit; ends it if it does not.
    ~StandinShell();
    StandinShell(const StandinShell&) = delete;
    StandinShell& operator=(const StandinShell&) = delete;

    // Closes a shell left over from an earlier run, if any.
    static void CloseStale();

    // Sends a command; returns the reply, throws when the command fails.
    std::string Command(const std::string& text);
    // Sends a command; returns the reply as it is, failure included.
    standin::ControlReply TryCommand(const std::string& text);

    void Sync();
    std::vector<ButtonRecord> Dump();
    std::vector<ButtonRecord> SyncAndDump();
    void Script(const std::vector<ScriptedButton>& buttons);
    void Unscript();
    void SetEdge(const std::string& edge);
    void SetGrouping(bool on);
    void Collapse(HWND member);
    void Expand(HWND member);
    void Restart();
    void CountFlap(bool on);
    void TextFail(int id); // 0: none
    std::vector<TrayIconRecord> Tray();
    void TrayClick(HWND owner, UINT uid, UINT mouseMessage);
    // The next `adds` NIM_ADD calls are refused, as by a shell still starting at logon.
    void TrayRefuse(int adds);
    // Every NIM_ADD the shell received: "pid=<n> hwnd=0x<h> uid=<n> ok=<0|1>" each.
    std::vector<std::string> TrayAdds();
    void Foreground(HWND wnd);
    RECT ToolbarRect();
    // The screen rectangles of the toolbar's shown buttons, in toolbar order, as the shell
    // lays them out.
    std::vector<RECT> ShownButtonRects();

    // Found as the program finds them.
    static HWND TrayWnd();
    static HWND Toolbar();
    DWORD Pid() const { return process_.Pid(); }
    ChildProcess& Process() { return process_; }

private:
    ChildProcess process_;
    standin::ControlClient client_;
};

// Copies sampleapp.exe to `exeName` (UTF-8, any script) in the test's folder (once), so that a
// sample application runs from a program file of its own.
void CopySampleApp(const std::string& exeName);

// A sample application (sampleapp.exe from the test's folder) with its windows.
class SampleApp {
public:
    struct WindowInfo {
        int index = 0;
        HWND hwnd = nullptr;
        bool visible = false;
        std::string title;
    };
    // Starts it and waits until all its windows are open. `extraArgs` are more command-line
    // options (for example "--tray Tip").
    // `exeName`: another copy of sampleapp.exe in the test's folder, for a program file of its
    // own (see CopySampleApp).
    SampleApp(const std::string& name, const std::vector<std::string>& titles,
              const std::string& extraArgs = "", const std::string& exeName = "sampleapp.exe");
    ~SampleApp();
    SampleApp(const SampleApp&) = delete;
    SampleApp& operator=(const SampleApp&) = delete;

    std::string Command(const std::string& text);
    standin::ControlReply TryCommand(const std::string& text);

    std::vector<WindowInfo> List();
    // The windows that still exist, in the order they were opened.
    std::vector<HWND> Windows();
    HWND Window(int index);
    void Hide(int index);
    void Show(int index);
    void SetTitle(int index, const std::string& title);
    void Close(int index);
    int Open(const std::string& title);
    void Activate(int index);
    void AddTrayIcon(UINT uid, const std::string& tip);
    void RemoveTrayIcon(UINT uid);
    // The tray callbacks the application received: "uid=<n> msg=0x<m>" each.
    std::vector<std::string> TrayLog();

    const std::string& Name() const { return name_; }
    DWORD Pid() const { return process_.Pid(); }
    HWND ControlWindow() const { return control_; }

private:
    std::string name_;
    ChildProcess process_;
    HWND control_ = nullptr;
    standin::ControlClient client_;
};

} // namespace zvtest
