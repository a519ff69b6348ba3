// standin.exe: the stand-in Windows XP shell. It plays the taskbar (window tree, task buttons
// grouped as XP groups them, notification area) for the program and its tests, and takes
// commands on its control channel (standin/StandinProtocol.h).
//
//   standin.exe [--edge bottom|top|left|right] [--nogroup] [--async MS]
//
// --async MS: the shell learns of windows being shown or hidden as a real shell does, after
// the fact: the programs' reports are queued and carried out, in the order they came, MS
// milliseconds later (or at a `sync`), never before the ShowWindow call that caused them has
// returned. The poll leaves the windows with a report in the queue to the report.
#include "standin/AppWindows.h"
#include "standin/Commands.h"
#include "standin/ControlChannel.h"
#include "standin/StandinProtocol.h"
#include "standin/StandinText.h"
#include "standin/Taskbar.h"
#include "standin/TaskbarModel.h"
#include "standin/TrayData.h"
#include "standin/Window.h"
#include "toolkit/ScopedWin.h"
#include "toolkit/SysUtils.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>

namespace standin {

namespace {

// Windows of other programs are found by polling; 250 ms keeps the bar current for a person
// watching without costing much. Tests never wait for it: `sync` polls at once.
constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollIntervalMs = 250;
// With --async: carries out the window reports that have waited their delay.
constexpr UINT_PTR kLateEventTimer = 2;

// Handles the messages other threads have sent to this one and that wait for an answer.
void AnswerSentMessages() {
    if (HIWORD(::GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) {
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

WindowKey KeyOf(HWND wnd) {
    return WindowKey(reinterpret_cast<std::uintptr_t>(wnd));
}
HWND HwndOf(WindowKey key) {
    return reinterpret_cast<HWND>(std::uintptr_t(key));
}
// A handle given as a number on the control channel or stored in 32 bits.
HWND HwndFrom32(std::uint64_t value) {
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<LONG>(value)));
}

// The icons that live in this process. Wine numbers its USER handles by a table index in the
// low word and takes a handle with a high word of 0 for any generation of that entry, so each
// entry can be asked whether it is an icon of this process. A scan that misses an icon made
// for the purpose finds nothing it can be trusted with: no count then.
std::optional<int> CountOwnIcons() {
    constexpr std::uintptr_t kFirstHandle = 0x20, kLastHandle = 0xFFFE;
    const auto scan = [] {
        int icons = 0;
        for (std::uintptr_t h = kFirstHandle; h <= kLastHandle; h += 2) {
            ICONINFO info = {};
            if (::GetIconInfo(reinterpret_cast<HICON>(h), &info)) {
                ScopedGdiObject mask(info.hbmMask), colour(info.hbmColor);
                ++icons;
            }
        }
        return icons;
    };
    const BYTE andBits[4 * 4] = {}, xorBits[4 * 4] = {};
    ScopedIcon marker(::CreateIcon(nullptr, 4, 4, 1, 1, andBits, xorBits));
    if (!marker)
        return std::nullopt;
    const int withMarker = scan();
    marker.reset();
    const int without = scan();
    if (withMarker != without + 1)
        return std::nullopt;
    return without;
}

struct Options {
    Edge edge = Edge::Bottom;
    bool grouping = true;
    UINT eventDelayMs = 0; // 0: window reports are carried out at once
};

// A program's report that one of its windows was shown, hidden or retitled.
struct WindowEvent {
    HWND wnd;
    long kind;
    DWORD due; // GetTickCount() when it is to be carried out
};

} // namespace

class Shell : public TaskbarHost {
public:
    explicit Shell(const Options& options);
    ~Shell() override;
    int Run();

private:
    // TaskbarHost
    LRESULT OnTrayCopyData(const COPYDATASTRUCT& data) override;
    void OnTaskButton(int id, bool dropDown) override;
    void OnTrayMouse(std::uint32_t wnd, std::uint32_t uid, UINT mouseMessage) override;

    LRESULT OnControlMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    bool Execute(const std::string& text, std::string& reply);
    bool ExecuteCommand(const ShellCommand& cmd, std::string& reply);
    void OnWindowEvent(HWND wnd, long kind);
    void ApplyWindowEvent(HWND wnd, long kind);
    // Carries out the queued window reports, all or only those that are due.
    void ApplyLateEvents(bool all);

    // Following windows: every change runs through Update, which first takes over the order
    // others gave the toolbar, then changes the model, then brings the toolbar up to date.
    // A change that arrives while one runs (a message sent to the shell while it waits on
    // another program) is queued behind it, so changes apply in call order.
    void Update(std::function<void()> change);
    void Poll();
    void AddToModel(HWND wnd);
    void RemoveFromModel(WindowKey key);
    int ButtonWidth(int visibleButtons) const;
    int ScriptButtonWidth() const;
    void Refresh();
    void RefreshScript();
    void RefreshTray();
    void BuildTaskbar();
    void Restart();
    void Activate(HWND wnd);
    void ShowGroupMenu(int headerId);

    Options options_;
    TaskbarModel model_;
    TrayIconList tray_;
    struct CachedIcon {
        unsigned serial = 0;
        ScopedIcon icon;
    };
    std::map<std::pair<std::uint32_t, std::uint32_t>, CachedIcon> trayIcons_;
    std::unique_ptr<Taskbar> bar_;
    MessageWindow control_;
    bool scripted_ = false;
    std::vector<ScriptLine> script_;
    int trayRefusals_ = 0;              // NIM_ADD calls still to refuse
    std::vector<std::string> trayAdds_; // every NIM_ADD received, as the reply lists it
    bool countFlap_ = false;
    int textFail_ = 0;
    bool updating_ = false;
    UINT pollIntervalMs_ = kPollIntervalMs;
    std::deque<std::function<void()>> pending_;
    std::deque<WindowEvent> lateEvents_;
    UINT taskbarCreated_;
    UINT windowEvent_;
    int screenWidth_, screenHeight_;
};

Shell::Shell(const Options& options)
    : options_(options), model_(options.grouping),
      control_([this](UINT msg, WPARAM wParam, LPARAM lParam) {
          return OnControlMessage(msg, wParam, lParam);
      }),
      taskbarCreated_(::RegisterWindowMessageA("TaskbarCreated")),
      windowEvent_(::RegisterWindowMessageA(kWindowEventMessage)),
      screenWidth_(::GetSystemMetrics(SM_CXSCREEN)),
      screenHeight_(::GetSystemMetrics(SM_CYSCREEN)) {
    BuildTaskbar();
    Poll();
    // The control window last: a client that finds it finds the whole taskbar.
    Window::Register(kControlClass);
    Window::CreateArgs args;
    args.className = kControlClass;
    args.title = kControlClass;
    args.style = WS_POPUP; // hidden: never an application window
    control_.Create(args);
    ::SetTimer(control_.Hwnd(), kPollTimer, kPollIntervalMs, nullptr);
    ::PostMessageA(HWND_BROADCAST, taskbarCreated_, 0, 0);
}

Shell::~Shell() {
    bar_.reset();
    trayIcons_.clear();
}

int Shell::Run() {
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return 0;
}

void Shell::BuildTaskbar() {
    bar_ = std::make_unique<Taskbar>(*this, options_.edge, screenWidth_, screenHeight_);
    bar_->Toolbar().SetCountFlap(countFlap_);
    bar_->Toolbar().SetTextFail(textFail_);
}

// ---- following windows ----------------------------------------------------------------------

void Shell::Update(std::function<void()> change) {
    pending_.push_back(std::move(change));
    if (updating_)
        return;
    updating_ = true;
    while (!pending_.empty()) {
        auto next = std::move(pending_.front());
        pending_.pop_front();
        if (scripted_)
            continue; // the script holds the toolbar
        model_.AdoptOrder(bar_->Toolbar().Ids());
        next();
        Refresh();
    }
    updating_ = false;
}

void Shell::AddToModel(HWND wnd) {
    AppIdentity app = IdentifyApp(wnd);
    ScopedIcon icon(WindowIcon(wnd));
    AppWindow w;
    w.wnd = KeyOf(wnd);
    w.appKey = app.key;
    w.appName = app.name;
    w.title = WindowTitle(wnd);
    w.image = bar_->Toolbar().AddImage(icon.get());
    if (!model_.AddWindow(w))
        bar_->Toolbar().RemoveImage(w.image);
}

void Shell::RemoveFromModel(WindowKey key) {
    if (const AppWindow* w = model_.Find(key)) {
        int image = w->image;
        model_.RemoveWindow(key);
        bar_->Toolbar().RemoveImage(image);
    }
}

void Shell::Poll() {
    const DWORD start = ::GetTickCount();
    // What the poll finds is read first, answering the messages sent to the shell meanwhile:
    // with hundreds of windows the reading takes long, and a real shell, which learns of
    // windows from the system, never keeps a program waiting that long. The model and the
    // toolbar change only afterwards, in one step; whatever changed while the poll read (a
    // report, a nested poll) is looked at again there. The change holds its own copy of what
    // was found: a poll called while a change runs is carried out after it has returned.
    std::vector<HWND> windows = FindAppWindows([] { AnswerSentMessages(); });
    std::set<HWND> found(windows.begin(), windows.end());
    std::vector<std::pair<WindowKey, std::string>> titles;
    for (WindowKey key : model_.Windows()) {
        titles.emplace_back(key, WindowTitle(HwndOf(key)));
        AnswerSentMessages();
    }
    Update(
        [this, windows = std::move(windows), found = std::move(found), titles = std::move(titles)] {
            // A window with a report still queued is the report's: a poll finds windows only in
            // z-order, the reports keep the order the programs showed them in.
            std::set<HWND> reported;
            for (const WindowEvent& event : lateEvents_)
                reported.insert(event.wnd);
            for (WindowKey key : model_.Windows()) {
                const HWND wnd = HwndOf(key);
                if (!reported.count(wnd) && !found.count(wnd) && !IsAppWindow(wnd))
                    RemoveFromModel(key);
            }
            // New windows bottom of the z-order first: roughly the order they appeared in.
            // A window found while reports wait may be one being shown right now, its report
            // on its way: it takes its turn behind the waiting reports, not ahead of them.
            for (auto it = windows.rbegin(); it != windows.rend(); ++it)
                if (!reported.count(*it) && !model_.Contains(KeyOf(*it)) && IsAppWindow(*it)) {
                    if (lateEvents_.empty())
                        AddToModel(*it);
                    else
                        OnWindowEvent(*it, kWindowShown);
                }
            for (const auto& [key, title] : titles)
                if (model_.Contains(key))
                    model_.SetTitle(key, title);
            model_.SetForeground(KeyOf(::GetForegroundWindow()));
        });
    // Tray icons stay until their owner deletes them, also when the owner window is gone, as
    // in a real shell: an icon left behind shows that a program did not delete its own.

    // A poll that takes long comes less often, so that the shell stays mostly idle.
    const UINT interval = std::max<UINT>(kPollIntervalMs, 4 * (::GetTickCount() - start));
    if (interval != pollIntervalMs_ && control_.Hwnd()) {
        pollIntervalMs_ = interval;
        ::SetTimer(control_.Hwnd(), kPollTimer, interval, nullptr);
    }
}

void Shell::OnWindowEvent(HWND wnd, long kind) {
    if (options_.eventDelayMs == 0) {
        ApplyWindowEvent(wnd, kind);
        return;
    }
    lateEvents_.push_back({wnd, kind, ::GetTickCount() + options_.eventDelayMs});
    if (lateEvents_.size() == 1)
        ::SetTimer(control_.Hwnd(), kLateEventTimer, options_.eventDelayMs, nullptr);
}

void Shell::ApplyLateEvents(bool all) {
    ::KillTimer(control_.Hwnd(), kLateEventTimer);
    const DWORD now = ::GetTickCount();
    while (!lateEvents_.empty() && (all || LONG(now - lateEvents_.front().due) >= 0)) {
        const WindowEvent event = lateEvents_.front();
        lateEvents_.pop_front();
        ApplyWindowEvent(event.wnd, event.kind);
    }
    if (!lateEvents_.empty())
        ::SetTimer(control_.Hwnd(), kLateEventTimer,
                   std::max<LONG>(1, LONG(lateEvents_.front().due - now)), nullptr);
}

void Shell::ApplyWindowEvent(HWND wnd, long kind) {
    Update([this, wnd, kind] {
        const WindowKey key = KeyOf(wnd);
        // A late report of a hide counts even when the window has been shown again since:
        // the show's own report follows it and puts the button back at the end.
        if (kind == kWindowShown && IsAppWindow(wnd) && !model_.Contains(key))
            AddToModel(wnd);
        else if (kind == kWindowHidden && model_.Contains(key) &&
                 (options_.eventDelayMs != 0 || !IsAppWindow(wnd)))
            RemoveFromModel(key);
        else if (kind == kWindowRetitled)
            model_.SetTitle(key, WindowTitle(wnd));
    });
}

int Shell::ButtonWidth(int visibleButtons) const {
    return ComputeButtonSize(bar_->GetEdge(), bar_->Geometry().toolbar.Width(), visibleButtons).cx;
}

void Shell::Refresh() {
    std::vector<ButtonPlan> wanted = model_.Buttons();
    int visible = 0;
    for (const auto& b : wanted)
        visible += (b.state & kStateHidden) ? 0 : 1;
    const int width = ButtonWidth(visible);
    for (auto& b : wanted)
        b.width = width;
    bar_->Toolbar().Apply(wanted);
}

int Shell::ScriptButtonWidth() const {
    int visible = 0;
    for (const auto& line : script_)
        visible += (line.state & kStateHidden) ? 0 : 1;
    return ButtonWidth(visible);
}

void Shell::RefreshScript() {
    bar_->Toolbar().LoadScriptImages();
    bar_->Toolbar().Script(script_, ScriptButtonWidth());
}

// ---- the notification area ------------------------------------------------------------------

LRESULT Shell::OnTrayCopyData(const COPYDATASTRUCT& data) {
    if (data.dwData > ULONG_PTR(TrayCommand::SetVersion))
        return FALSE;
    auto record = DecodeTrayRecord(static_cast<const std::uint8_t*>(data.lpData),
                                   data.lpData ? data.cbData : 0);
    if (!record)
        return FALSE;
    const bool add = data.dwData == ULONG_PTR(TrayCommand::Add);
    const bool refused = add && trayRefusals_ > 0;
    if (refused)
        --trayRefusals_;
    const bool ok = !refused && tray_.Apply(std::uint32_t(data.dwData), *record);
    if (add) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(HwndFrom32(record->wnd), &pid);
        trayAdds_.push_back(Format("pid=%lu hwnd=", static_cast<unsigned long>(pid)) +
                            Hex(record->wnd) + Format(" uid=%u ok=%d", record->uid, ok ? 1 : 0));
    }
    if (ok)
        RefreshTray();
    return ok;
}

void Shell::RefreshTray() {
    std::vector<TrayIconView> views;
    std::map<std::pair<std::uint32_t, std::uint32_t>, CachedIcon> kept;
    for (const TrayIcon* icon : tray_.Shown()) {
        auto key = std::make_pair(icon->wnd, icon->uid);
        CachedIcon cached;
        auto found = trayIcons_.find(key);
        if (found != trayIcons_.end() && found->second.serial == icon->iconSerial)
            cached = std::move(found->second);
        else if (icon->icon)
            cached.icon.reset(::CreateIcon(nullptr, int(icon->icon->width), int(icon->icon->height),
                                           BYTE(icon->icon->planes), BYTE(icon->icon->bpp),
                                           icon->icon->mask.data(), icon->icon->colour.data()));
        cached.serial = icon->iconSerial;
        views.push_back({icon->wnd, icon->uid, icon->callbackMessage, cached.icon.get(),
                         std::wstring(icon->tip.begin(), icon->tip.end())});
        kept[key] = std::move(cached);
    }
    bar_->SetTrayIcons(std::move(views));
    trayIcons_ = std::move(kept);
}

void Shell::OnTrayMouse(std::uint32_t wnd, std::uint32_t uid, UINT mouseMessage) {
    const TrayIcon* icon = tray_.Find(wnd, uid);
    if (!icon || icon->hidden || !icon->callbackMessage)
        return;
    ::PostMessageA(HwndFrom32(icon->wnd), icon->callbackMessage, icon->uid, mouseMessage);
}

// ---- clicks on task buttons -----------------------------------------------------------------

void Shell::Activate(HWND wnd) {
    if (!::IsWindow(wnd))
        return;
    if (::GetForegroundWindow() == wnd && !::IsIconic(wnd)) {
        ::ShowWindow(wnd, SW_MINIMIZE);
    } else {
        if (::IsIconic(wnd))
            ::ShowWindow(wnd, SW_RESTORE);
        ::SetForegroundWindow(wnd);
    }
    Poll();
}

void Shell::ShowGroupMenu(int headerId) {
    std::vector<WindowKey> windows = model_.GroupWindows(headerId);
    if (windows.empty())
        return;
    HMENU menu = ::CreatePopupMenu();
    for (std::size_t i = 0; i < windows.size(); ++i) {
        std::string title = WindowTitle(HwndOf(windows[i]));
        if (title.size() > 60)
            title = title.substr(0, 57) + "...";
        ::AppendMenuA(menu, MF_STRING, i + 1, title.c_str());
    }
    POINT pt;
    ::GetCursorPos(&pt);
    ::SetForegroundWindow(control_.Hwnd());
    int chosen = ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, pt.x, pt.y, 0,
                                  control_.Hwnd(), nullptr);
    ::DestroyMenu(menu);
    if (chosen > 0 && std::size_t(chosen) <= windows.size())
        Activate(HwndOf(windows[chosen - 1]));
}

void Shell::OnTaskButton(int id, bool dropDown) {
    if (scripted_)
        return;
    HWND wnd = bar_->Toolbar().WindowOf(id);
    if (wnd)
        Activate(wnd);
    else if (dropDown)
        ShowGroupMenu(id);
}

// ---- restart --------------------------------------------------------------------------------

void Shell::Restart() {
    // As when Explorer restarts: a new taskbar with new windows, the tray empty until the
    // programs add their icons again on "TaskbarCreated".
    bar_.reset();
    tray_.Clear();
    trayIcons_.clear();
    BuildTaskbar();
    if (scripted_) {
        RefreshScript();
    } else {
        for (WindowKey key : model_.Windows()) {
            ScopedIcon icon(WindowIcon(HwndOf(key)));
            model_.SetImage(key, bar_->Toolbar().AddImage(icon.get()));
        }
        Poll();
    }
    ::PostMessageA(HWND_BROADCAST, taskbarCreated_, 0, 0);
}

// ---- the control channel --------------------------------------------------------------------

LRESULT Shell::OnControlMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == windowEvent_) {
        OnWindowEvent(reinterpret_cast<HWND>(wParam), long(lParam));
        return TRUE;
    }
    switch (msg) {
    case WM_COPYDATA: {
        std::string command;
        if (!ReadCommand(lParam, command))
            return FALSE;
        std::string reply;
        bool ok = Execute(command, reply);
        SendReply(control_.Hwnd(), reinterpret_cast<HWND>(wParam), reply);
        return ok;
    }
    case WM_TIMER:
        if (wParam == kPollTimer) {
            Poll();
            bar_->TickClock();
        } else if (wParam == kLateEventTimer) {
            ApplyLateEvents(false);
        }
        return 0;
    default:
        return ::DefWindowProcW(control_.Hwnd(), msg, wParam, lParam);
    }
}

bool Shell::Execute(const std::string& text, std::string& reply) {
    std::string error;
    auto cmd = ParseShellCommand(text, &error);
    if (!cmd) {
        reply = "error: " + error;
        return false;
    }
    try {
        return ExecuteCommand(*cmd, reply);
    } catch (const std::exception& e) {
        reply = std::string("error: ") + e.what();
        return false;
    }
}

bool Shell::ExecuteCommand(const ShellCommand& cmd, std::string& reply) {
    reply = "ok";
    TaskToolbar& toolbar = bar_->Toolbar();
    switch (cmd.kind) {
    case ShellCommand::Sync:
        ApplyLateEvents(true);
        Poll();
        ApplyLateEvents(true); // what the poll found behind reports that came meanwhile
        // Painted too, for screenshots taken right after.
        ::RedrawWindow(bar_->TrayWnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        return true;
    case ShellCommand::Dump: {
        std::vector<std::string> lines;
        for (const auto& line : toolbar.Dump())
            lines.push_back(FormatDumpLine(line));
        reply = JoinLines(lines);
        return true;
    }
    case ShellCommand::Rect: {
        RECT r = {};
        ::GetWindowRect(toolbar.Hwnd(), &r);
        reply = Format("%ld %ld %ld %ld", long(r.left), long(r.top), long(r.right), long(r.bottom));
        return true;
    }
    case ShellCommand::ButtonRects: {
        std::vector<std::string> lines;
        const int count = int(toolbar.Dump().size()); // the count the toolbar really holds
        for (int i = 0; i < count; ++i) {
            RECT r = {};
            if (::SendMessageA(toolbar.Hwnd(), TB_GETITEMRECT, WPARAM(i), LPARAM(&r)))
                ::MapWindowPoints(toolbar.Hwnd(), nullptr, reinterpret_cast<POINT*>(&r), 2);
            else
                r = RECT{};
            lines.push_back(Format("%d %ld %ld %ld %ld", i, long(r.left), long(r.top),
                                   long(r.right), long(r.bottom)));
        }
        reply = JoinLines(lines);
        return true;
    }
    case ShellCommand::SetEdge:
        options_.edge = cmd.edge;
        bar_->Dock(cmd.edge, int(tray_.Shown().size()));
        if (scripted_) {
            toolbar.SetWidths(ScriptButtonWidth());
        } else {
            Update([] {});
        }
        return true;
    case ShellCommand::Grouping:
        options_.grouping = cmd.on;
        Update([this, on = cmd.on] { model_.SetGrouping(on); });
        return true;
    case ShellCommand::Collapse:
    case ShellCommand::Expand: {
        if (scripted_) {
            reply = "error: the toolbar is scripted";
            return false;
        }
        const WindowKey key = KeyOf(HwndFrom32(cmd.wnd));
        if (!model_.Contains(key)) {
            reply = "error: no button for window " + Hex(cmd.wnd);
            return false;
        }
        Update([this, key, collapse = cmd.kind == ShellCommand::Collapse] {
            model_.SetCollapsed(key, collapse);
        });
        return true;
    }
    case ShellCommand::Restart:
        Restart();
        return true;
    case ShellCommand::Script:
        scripted_ = true;
        script_ = cmd.script;
        model_.Clear();
        RefreshScript();
        return true;
    case ShellCommand::Unscript:
        if (scripted_) {
            scripted_ = false;
            script_.clear();
            toolbar.RemoveAll();
            toolbar.ClearImages();
            model_ = TaskbarModel(options_.grouping);
            Poll();
        }
        return true;
    case ShellCommand::CountFlap:
        countFlap_ = cmd.on;
        toolbar.SetCountFlap(cmd.on);
        return true;
    case ShellCommand::TextFail:
        textFail_ = int(cmd.number);
        toolbar.SetTextFail(textFail_);
        return true;
    case ShellCommand::TextGrow:
        toolbar.SetTextGrowth(int(cmd.number), std::size_t(cmd.count));
        return true;
    case ShellCommand::SlowAnswer:
        toolbar.SetAnswerDelay(int(cmd.number));
        return true;
    case ShellCommand::Tray: {
        std::vector<std::string> lines;
        for (const auto& icon : tray_.Icons())
            lines.push_back(FormatTrayLine(icon));
        reply = JoinLines(lines);
        return true;
    }
    case ShellCommand::TrayClick: {
        const TrayIcon* icon = tray_.Find(std::uint32_t(cmd.wnd), std::uint32_t(cmd.number));
        if (!icon) {
            reply = "error: no tray icon " + Hex(cmd.wnd) + " " + std::to_string(cmd.number);
            return false;
        }
        if (!icon->callbackMessage) {
            reply = "error: the tray icon has no callback message";
            return false;
        }
        ::PostMessageA(HwndFrom32(icon->wnd), icon->callbackMessage, icon->uid, cmd.message);
        return true;
    }
    case ShellCommand::TrayRefuse:
        trayRefusals_ = int(cmd.number);
        return true;
    case ShellCommand::TrayAdds:
        reply = JoinLines(trayAdds_);
        return true;
    case ShellCommand::Foreground: {
        HWND wnd = HwndFrom32(cmd.wnd);
        if (!::IsWindow(wnd)) {
            reply = "error: no window " + Hex(cmd.wnd);
            return false;
        }
        // The window's thread may still be handling activations of its own (a program that
        // has just started): let it finish them and try again, a bounded number of times.
        for (int attempt = 0; attempt < 20 && ::GetForegroundWindow() != wnd; ++attempt) {
            ::SetForegroundWindow(wnd);
            DWORD_PTR ignored = 0;
            ::SendMessageTimeoutA(wnd, WM_NULL, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, 1000,
                                  &ignored);
        }
        Poll();
        if (::GetForegroundWindow() != wnd) {
            reply = "error: the window did not come to the foreground";
            return false;
        }
        return true;
    }
    case ShellCommand::Handles:
        reply = "tray=" + Hex(KeyOf(bar_->TrayWnd())) + " rebar=" + Hex(KeyOf(bar_->Rebar())) +
                " tasksw=" + Hex(KeyOf(bar_->TaskSw())) + " toolbar=" + Hex(KeyOf(toolbar.Hwnd())) +
                " notify=" + Hex(KeyOf(bar_->Notify())) +
                " control=" + Hex(KeyOf(control_.Hwnd())) +
                " pid=" + std::to_string(::GetCurrentProcessId());
        return true;
    case ShellCommand::IsIcon: {
        // Asked in this process: under Wine another process cannot look at the shell's icons.
        ICONINFO info = {};
        const bool icon = ::GetIconInfo(reinterpret_cast<HICON>(std::uintptr_t(cmd.wnd)), &info);
        ScopedGdiObject mask(info.hbmMask), colour(info.hbmColor);
        reply = icon ? "1" : "0";
        return true;
    }
    case ShellCommand::Icons: {
        const std::optional<int> icons = CountOwnIcons();
        if (!icons) {
            reply = "error: the icons of this process cannot be counted here";
            return false;
        }
        reply = std::to_string(*icons);
        return true;
    }
    case ShellCommand::Quit:
        ::PostQuitMessage(0);
        return true;
    }
    reply = "error: command not carried out";
    return false;
}

} // namespace standin

int main(int argc, char** argv) {
    using namespace standin;
    Options options;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--edge") && i + 1 < argc) {
            auto edge = ParseEdge(argv[++i]);
            if (!edge) {
                std::fprintf(stderr, "standin: unknown edge %s\n", argv[i]);
                return 2;
            }
            options.edge = *edge;
        } else if (!std::strcmp(argv[i], "--nogroup")) {
            options.grouping = false;
        } else if (!std::strcmp(argv[i], "--async") && i + 1 < argc) {
            char* end = nullptr;
            const unsigned long ms = std::strtoul(argv[++i], &end, 10);
            if (*end || ms == 0 || ms > 10000) {
                std::fprintf(stderr, "standin: --async takes 1 to 10000 milliseconds\n");
                return 2;
            }
            options.eventDelayMs = UINT(ms);
        } else {
            std::fprintf(stderr, "usage: standin.exe [--edge bottom|top|left|right] [--nogroup] "
                                 "[--async MS]\n");
            return 2;
        }
    }
    if (FindShellControl()) {
        std::fprintf(stderr, "standin: a stand-in shell already runs\n");
        return 3;
    }
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    try {
        Shell shell(options);
        return shell.Run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "standin: %s\n", e.what());
        return 1;
    }
}
