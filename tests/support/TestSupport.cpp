#include "tests/support/TestSupport.h"

#include "standin/Commands.h"
#include "standin/StandinText.h"
#include "toolkit/Forms.h"
#include "toolkit/Utf8_win.h"

#include <cstdlib>
#include <stdexcept>

namespace zvtest {

namespace {

constexpr DWORD kQuitWaitMs = 10000;

std::runtime_error Failure(const std::string& what) {
    return std::runtime_error(what);
}

HWND HandleFrom(std::uint64_t value) {
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<LONG>(value)));
}

std::string HandleText(HWND wnd) {
    return standin::Hex(std::uint32_t(reinterpret_cast<std::uintptr_t>(wnd)));
}

std::string Quote(const std::string& arg) {
    std::string out = "\"";
    for (char c : arg)
        out += c == '"' ? std::string("\\\"") : std::string(1, c);
    return out + "\"";
}

// Ends the process that owns `wnd`: first by `quit` on its control channel, then by force.
void CloseOwnerOf(HWND wnd) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    ScopedKernelHandle process(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid));
    {
        standin::ControlClient client;
        client.Send(wnd, "quit", 5000);
    }
    if (process) {
        if (::WaitForSingleObject(process.get(), kQuitWaitMs) != WAIT_OBJECT_0) {
            ::TerminateProcess(process.get(), 1);
            ::WaitForSingleObject(process.get(), kQuitWaitMs);
        }
    }
}

std::string Checked(const standin::ControlReply& reply, const std::string& command) {
    if (!reply.delivered || !reply.ok)
        throw Failure("command '" + command.substr(0, command.find('\n')) +
                      "' failed: " + reply.text);
    return reply.text;
}

} // namespace

bool DeleteRegistryTree(HKEY Root, const std::string& Path) {
    HKEY raw = nullptr;
    if (::RegOpenKeyExA(Root, Path.c_str(), 0, KEY_READ | KEY_WRITE, &raw) == ERROR_SUCCESS) {
        ScopedKey key(raw);
        std::vector<std::string> children;
        for (DWORD i = 0;; ++i) {
            char name[256];
            DWORD n = sizeof(name);
            if (::RegEnumKeyExA(raw, i, name, &n, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                break;
            children.push_back(name);
        }
        for (const std::string& c : children)
            DeleteRegistryTree(Root, Path + "\\" + c);
    }
    const LONG rc = ::RegDeleteKeyA(Root, Path.c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

void DeleteProgramSettings() {
    DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\Kestrelan\\Zorvane");
}

void ResetProgramSettings() {
    DeleteProgramSettings();
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Kestrelan\\Zorvane\\Default", 0, nullptr, 0,
                          KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create the program's Default key");
    ::RegCloseKey(key);
}

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

// ---- ChildProcess ---------------------------------------------------------------------------

ChildProcess::ChildProcess(const std::string& exePath, const std::string& arguments)
    : name_(exePath.substr(exePath.find_last_of("\\/") + 1)) {
    std::string commandLine = Quote(exePath) + (arguments.empty() ? "" : " " + arguments);
    // Wide, so that paths and arguments in any script arrive as they are.
    std::wstring wideCommandLine = WideText(commandLine);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    // Wine, loaded heavily, now and then fails to start a process with ERROR_INTERNAL_ERROR;
    // the same start a moment later succeeds. Any other error fails at once.
    constexpr int kStartAttempts = 3;
    for (int attempt = 1;; ++attempt) {
        if (::CreateProcessW(WideText(exePath).c_str(), &wideCommandLine[0], nullptr, nullptr,
                             FALSE, 0, nullptr, nullptr, &si, &pi))
            break;
        const DWORD error = ::GetLastError();
        if (error != ERROR_INTERNAL_ERROR || attempt == kStartAttempts)
            throw Failure("cannot start " + exePath + " (error " + std::to_string(error) + ")");
        ::Sleep(200);
    }
    ::CloseHandle(pi.hThread);
    process_.reset(pi.hProcess);
    pid_ = pi.dwProcessId;
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : process_(std::move(other.process_)), pid_(other.pid_), name_(std::move(other.name_)) {
    other.pid_ = 0;
}

ChildProcess::~ChildProcess() {
    Kill();
}

void ChildProcess::Kill() {
    if (Running()) {
        ::TerminateProcess(process_.get(), 1);
        ::WaitForSingleObject(process_.get(), kQuitWaitMs);
    }
}

bool ChildProcess::Running() const {
    return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool ChildProcess::WaitForExit(DWORD timeoutMs) const {
    return !process_ || ::WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD ChildProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_)
        ::GetExitCodeProcess(process_.get(), &code);
    return code;
}

HWND ChildProcess::WaitForWindow(const std::function<HWND()>& find, DWORD timeoutMs) const {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (HWND wnd = find())
            return wnd;
        if (!Running())
            throw Failure(name_ + " ended (exit code " + std::to_string(ExitCode()) +
                          ") before its window appeared");
        DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs)
            throw Failure(name_ + ": its window did not appear within " +
                          std::to_string(timeoutMs) + " ms");
        // Wake when the process ends or a message arrives, at the latest after 20 ms.
        HANDLE process = process_.get();
        ::MsgWaitForMultipleObjects(1, &process, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

bool WaitForMessage(HWND wnd, UINT msg, MSG* out, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG m;
        while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == msg && (!wnd || m.hwnd == wnd)) {
                if (out)
                    *out = m;
                return true;
            }
            ::TranslateMessage(&m);
            ::DispatchMessageA(&m);
        }
        DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
    }
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        Application->ProcessMessages();
        if (condition())
            return true;
        const DWORD spent = ::GetTickCount() - start;
        if (spent >= timeoutMs)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - spent, QS_ALLINPUT);
    }
}

// ---- ScriptedButton -------------------------------------------------------------------------

ScriptedButton ScriptedButton::Header(const std::string& text, bool hidden, int img) {
    ScriptedButton b;
    b.style = BTNS_DROPDOWN;
    b.state = BYTE(TBSTATE_ENABLED | (hidden ? TBSTATE_HIDDEN : 0));
    b.text = text;
    b.img = img;
    return b;
}

ScriptedButton ScriptedButton::Window(const std::string& text, HWND hwnd, int img, bool hidden,
                                      bool checked) {
    ScriptedButton b;
    b.state =
        BYTE(TBSTATE_ENABLED | (hidden ? TBSTATE_HIDDEN : 0) | (checked ? TBSTATE_CHECKED : 0));
    b.text = text;
    b.hwnd = hwnd;
    b.img = img;
    return b;
}

// ---- StandinShell ---------------------------------------------------------------------------

void StandinShell::CloseStale() {
    while (HWND stale = standin::FindShellControl())
        CloseOwnerOf(stale);
}

StandinShell::StandinShell() : StandinShell(Options()) {}

DWORD StandinShell::DefaultAsyncDelay() {
    char value[16] = {};
    if (!::GetEnvironmentVariableA("ZV_STANDIN_ASYNC_MS", value, sizeof value))
        return 0;
    return DWORD(std::strtoul(value, nullptr, 10));
}

static std::string ShellArguments(const StandinShell::Options& options) {
    StandinShell::CloseStale();
    std::string args = "--edge " + options.edge;
    if (!options.grouping)
        args += " --nogroup";
    if (options.asyncDelayMs)
        args += " --async " + std::to_string(options.asyncDelayMs);
    return args;
}

StandinShell::StandinShell(const Options& options)
    : process_(ProgramFolder() + "standin.exe", ShellArguments(options)) {
    process_.WaitForWindow([] { return standin::FindShellControl(); }, options.startTimeoutMs);
}

StandinShell::~StandinShell() {
    if (process_.Running()) {
        client_.Send(standin::FindShellControl(), "quit", 5000);
        process_.WaitForExit(kQuitWaitMs);
    }
}

standin::ControlReply StandinShell::TryCommand(const std::string& text) {
    return client_.Send(standin::FindShellControl(), text);
}

std::string StandinShell::Command(const std::string& text) {
    return Checked(TryCommand(text), text);
}

void StandinShell::Sync() {
    Command("sync");
}

std::vector<ButtonRecord> StandinShell::Dump() {
    std::vector<ButtonRecord> out;
    for (const auto& line : standin::SplitLines(Command("dump"))) {
        auto parsed = standin::ParseDumpLine(line);
        if (!parsed)
            throw Failure("unreadable dump line: " + line);
        ButtonRecord b;
        b.index = parsed->index;
        b.id = parsed->id;
        b.style = parsed->style;
        b.state = parsed->state;
        b.image = parsed->image;
        b.hwnd = HandleFrom(parsed->hwnd);
        b.text = parsed->text;
        out.push_back(std::move(b));
    }
    return out;
}

std::vector<ButtonRecord> StandinShell::SyncAndDump() {
    Sync();
    return Dump();
}

void StandinShell::Script(const std::vector<ScriptedButton>& buttons) {
    std::string text = "script";
    for (const auto& b : buttons) {
        standin::ScriptLine line;
        line.style = b.style;
        line.state = b.state;
        line.image = b.img;
        line.hwnd = std::uint32_t(reinterpret_cast<std::uintptr_t>(b.hwnd));
        if (b.dwData)
            line.dwData = *b.dwData;
        line.id = b.id;
        line.text = b.text;
        text += "\n" + standin::FormatScriptLine(line);
    }
    Command(text);
}

void StandinShell::Unscript() {
    Command("unscript");
}
void StandinShell::SetEdge(const std::string& edge) {
    Command("edge " + edge);
}
void StandinShell::SetGrouping(bool on) {
    Command(std::string("grouping ") + (on ? "on" : "off"));
}
void StandinShell::Collapse(HWND member) {
    Command("collapse " + HandleText(member));
}
void StandinShell::Expand(HWND member) {
    Command("expand " + HandleText(member));
}
void StandinShell::Restart() {
    Command("restart");
}
void StandinShell::CountFlap(bool on) {
    Command(std::string("countflap ") + (on ? "on" : "off"));
}
void StandinShell::TextFail(int id) {
    Command("textfail " + std::to_string(id));
}
void StandinShell::Foreground(HWND wnd) {
    Command("foreground " + HandleText(wnd));
}

void StandinShell::TrayRefuse(int adds) {
    Command("trayrefuse " + std::to_string(adds));
}
std::vector<std::string> StandinShell::TrayAdds() {
    return standin::SplitLines(Command("trayadds"));
}

void StandinShell::TrayClick(HWND owner, UINT uid, UINT mouseMessage) {
    Command("trayclick " + HandleText(owner) + " " + std::to_string(uid) + " " +
            standin::Hex(mouseMessage));
}

std::vector<TrayIconRecord> StandinShell::Tray() {
    std::vector<TrayIconRecord> out;
    for (const auto& line : standin::SplitLines(Command("tray"))) {
        auto fields = standin::ParseFieldLine(line, 0, "tip");
        if (!fields || !fields->text)
            throw Failure("unreadable tray line: " + line);
        TrayIconRecord r;
        r.tip = standin::UnescapeLine(*fields->text);
        auto number = [&](const char* key) {
            const std::string* v = fields->Find(key);
            auto n = v ? standin::ParseNumber(*v) : std::nullopt;
            if (!n)
                throw Failure(std::string("tray line without ") + key + ": " + line);
            return *n;
        };
        r.hwnd = HandleFrom(std::uint64_t(number("hwnd")));
        r.uid = UINT(number("uid"));
        r.callbackMessage = UINT(number("cb"));
        r.hidden = number("hidden") != 0;
        if (const std::string* icon = fields->Find("icon"))
            std::sscanf(icon->c_str(), "%dx%d", &r.iconWidth, &r.iconHeight);
        out.push_back(std::move(r));
    }
    return out;
}

RECT StandinShell::ToolbarRect() {
    RECT r = {};
    std::string reply = Command("rect");
    long l = 0, t = 0, rr = 0, b = 0;
    if (std::sscanf(reply.c_str(), "%ld %ld %ld %ld", &l, &t, &rr, &b) != 4)
        throw Failure("unreadable rect: " + reply);
    r = RECT{l, t, rr, b};
    return r;
}

std::vector<RECT> StandinShell::ShownButtonRects() {
    std::vector<RECT> rects;
    for (const auto& line : standin::SplitLines(Command("buttonrects"))) {
        int index = 0;
        long l = 0, t = 0, r = 0, b = 0;
        if (std::sscanf(line.c_str(), "%d %ld %ld %ld %ld", &index, &l, &t, &r, &b) != 5)
            throw Failure("unreadable button rectangle: " + line);
        if (r > l && b > t)
            rects.push_back(RECT{l, t, r, b});
    }
    return rects;
}

HWND StandinShell::TrayWnd() {
    return ::FindWindowA("Shell_TrayWnd", nullptr);
}

HWND StandinShell::Toolbar() {
    HWND w = ::FindWindowExA(TrayWnd(), nullptr, "ReBarWindow32", nullptr);
    w = ::FindWindowExA(w, nullptr, "MSTaskSwWClass", nullptr);
    return ::FindWindowExA(w, nullptr, "ToolbarWindow32", nullptr);
}

// ---- SampleApp ------------------------------------------------------------------------------

static std::string SampleArguments(const std::string& name, const std::vector<std::string>& titles,
                                   const std::string& extraArgs) {
    if (HWND stale = standin::FindSampleControl(name))
        CloseOwnerOf(stale);
    std::string joined;
    for (std::size_t i = 0; i < titles.size(); ++i)
        joined += (i ? "|" : "") + titles[i];
    std::string args = "--name " + Quote(name);
    if (!titles.empty())
        args += " --titles " + Quote(joined);
    if (!extraArgs.empty())
        args += " " + extraArgs;
    return args;
}

void CopySampleApp(const std::string& exeName) {
    // A test in the other prefix may make the same copy at the same time: a copy that lost
    // that race finds the file there.
    const std::wstring target = WideText(ProgramFolder() + exeName);
    const auto exists = [&] {
        return ::GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES;
    };
    if (!exists() &&
        !::CopyFileW(WideText(ProgramFolder() + "sampleapp.exe").c_str(), target.c_str(), TRUE) &&
        !exists())
        throw std::runtime_error("cannot copy sampleapp.exe to " + exeName);
}

SampleApp::SampleApp(const std::string& name, const std::vector<std::string>& titles,
                     const std::string& extraArgs, const std::string& exeName)
    : name_(name), process_(ProgramFolder() + exeName, SampleArguments(name, titles, extraArgs)) {
    // The control window is made after every window is open.
    control_ = process_.WaitForWindow([this] { return standin::FindSampleControl(name_); });
    // ...and once it waits for input, it has handled the activations of its start.
    ::WaitForInputIdle(process_.Handle(), 10000);
}

SampleApp::~SampleApp() {
    if (process_.Running()) {
        client_.Send(control_, "quit", 5000);
        process_.WaitForExit(kQuitWaitMs);
    }
}

standin::ControlReply SampleApp::TryCommand(const std::string& text) {
    return client_.Send(control_, text);
}

std::string SampleApp::Command(const std::string& text) {
    return Checked(TryCommand(text), name_ + ": " + text);
}

std::vector<SampleApp::WindowInfo> SampleApp::List() {
    std::vector<WindowInfo> out;
    for (const auto& line : standin::SplitLines(Command("list"))) {
        auto words = standin::SplitWords(line);
        auto fields = standin::ParseFieldLine(line, 1);
        auto index = words.empty() ? std::nullopt : standin::ParseNumber(words[0]);
        const std::string* hwnd = fields ? fields->Find("hwnd") : nullptr;
        const std::string* visible = fields ? fields->Find("visible") : nullptr;
        auto h = hwnd ? standin::ParseNumber(*hwnd) : std::nullopt;
        if (!index || !h || !visible || !fields->text)
            throw Failure("unreadable list line: " + line);
        WindowInfo w;
        w.index = int(*index);
        w.hwnd = HandleFrom(std::uint64_t(*h));
        w.visible = *visible == "1";
        w.title = standin::UnescapeLine(*fields->text);
        out.push_back(std::move(w));
    }
    return out;
}

std::vector<HWND> SampleApp::Windows() {
    std::vector<HWND> out;
    for (const auto& w : List())
        out.push_back(w.hwnd);
    return out;
}

HWND SampleApp::Window(int index) {
    for (const auto& w : List())
        if (w.index == index)
            return w.hwnd;
    throw Failure(name_ + " has no window " + std::to_string(index));
}

void SampleApp::Hide(int index) {
    Command("hide " + std::to_string(index));
}
void SampleApp::Show(int index) {
    Command("show " + std::to_string(index));
}
void SampleApp::Close(int index) {
    Command("close " + std::to_string(index));
}
void SampleApp::Activate(int index) {
    Command("activate " + std::to_string(index));
}

void SampleApp::SetTitle(int index, const std::string& title) {
    Command("title " + std::to_string(index) + " " + title);
}

int SampleApp::Open(const std::string& title) {
    std::string reply = Command("open " + title);
    auto words = standin::SplitWords(reply);
    auto index = words.empty() ? std::nullopt : standin::ParseNumber(words[0]);
    if (!index)
        throw Failure("unreadable reply to open: " + reply);
    return int(*index);
}

void SampleApp::AddTrayIcon(UINT uid, const std::string& tip) {
    Command("trayicon " + std::to_string(uid) + " " + tip);
}

void SampleApp::RemoveTrayIcon(UINT uid) {
    Command("untrayicon " + std::to_string(uid));
}

std::vector<std::string> SampleApp::TrayLog() {
    return standin::SplitLines(Command("traylog"));
}

} // namespace zvtest
