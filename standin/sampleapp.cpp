// sampleapp.exe: a small application for the stand-in desktop and the tests. It opens N
// top-level windows with the given titles and icons of their own, tells the stand-in shell
// synchronously when one of them is shown, hidden or retitled, and takes commands on its own
// control channel (standin/StandinProtocol.h).
//
//   sampleapp.exe --name NAME [--titles "Title 1|Title 2"] [--count N [--prefix TEXT]]
//                 [--at X,Y] [--colour INDEX] [--tray TIP]
#include "standin/AppWindows.h"
#include "standin/Commands.h"
#include "standin/ControlChannel.h"
#include "standin/Gdi.h"
#include "standin/LetterIcon.h"
#include "standin/StandinProtocol.h"
#include "standin/StandinText.h"
#include "standin/Window.h"
#include "toolkit/ScopedWin.h"
#include "toolkit/Utf8_win.h"

#include <windows.h>

#include <shellapi.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace standin {

namespace {

constexpr const char* kWindowClass = "ZvSampleWindow";
constexpr UINT kTrayCallback = WM_APP + 1;
constexpr int kWindowWidth = 380, kWindowHeight = 250, kCascade = 28;

struct Options {
    std::string name;
    std::vector<std::string> titles;
    int x = 60, y = 40;
    unsigned colour = 0;
    bool colourGiven = false;
    std::string trayTip;
};

char IconLetter(const std::string& title, const std::string& fallback) {
    const std::string& from = title.empty() ? fallback : title;
    return from.empty() ? '?' : char(std::toupper(static_cast<unsigned char>(from[0])));
}

} // namespace

class SampleApp;

// One application window.
class AppWindowView : public Window {
public:
    AppWindowView(SampleApp& app, int index, COLORREF colour)
        : app_(app), index_(index), colour_(colour) {}
    int Index() const { return index_; }
    COLORREF Colour() const { return colour_; }
    void SetIcons(char letter);

protected:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc, const RECT& client);
    SampleApp& app_;
    int index_;
    COLORREF colour_;
    ScopedIcon small_, big_;
};

class SampleApp {
public:
    explicit SampleApp(const Options& options);
    ~SampleApp();
    int Run();
    ATOM AppAtom() const { return appAtom_; }
    void Notify(HWND wnd, long kind);

private:
    LRESULT OnControlMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void HandlePostedShellMessages();
    bool Execute(const std::string& text, std::string& reply);
    int Open(const std::string& title, int showCommand);
    // The window `index` while it exists (a closed window keeps its number).
    AppWindowView* At(int index);
    bool TrayIcon(DWORD message, UINT uid, const std::string& tip);

    Options options_;
    MessageWindow control_;
    std::vector<std::unique_ptr<AppWindowView>> windows_;
    ScopedIcon trayIcon_;
    std::vector<std::pair<UINT, std::string>> trayIcons_; // uid, tip
    std::vector<std::string> trayLog_;
    UINT windowEvent_;
    UINT taskbarCreated_;
    ATOM appAtom_ = 0;
};

// ---- the application windows ----------------------------------------------------------------

void AppWindowView::SetIcons(char letter) {
    small_.reset(MakeLetterIcon(16, colour_, letter));
    big_.reset(MakeLetterIcon(32, colour_, letter));
    ::SendMessageA(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_.get()));
    ::SendMessageA(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_.get()));
    // The shell draws the same icon from this (it cannot use our icon handles under Wine)
    // and groups the windows by the application's name.
    ::SetPropA(Hwnd(), kIconProperty, reinterpret_cast<HANDLE>(IconPropertyValue(colour_, letter)));
    ::SetPropA(Hwnd(), kAppNameProperty, reinterpret_cast<HANDLE>(std::uintptr_t(app_.AppAtom())));
}

void AppWindowView::Paint(HDC dc, const RECT& client) {
    FillGradient(dc, client, RGB(255, 255, 255), Mix(colour_, RGB(255, 255, 255), 4, 5), true);
    RECT band = client;
    band.bottom = band.top + 36;
    FillSolid(dc, band, colour_);
    wchar_t title[512] = {};
    ::GetWindowTextW(Hwnd(), title, sizeof title / sizeof title[0]);
    static ScopedGdiObject titleFont(::CreateFontA(-15, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET,
                                                   0, 0, ANTIALIASED_QUALITY, 0, "Tahoma"));
    static ScopedGdiObject bodyFont(::CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                                                  0, 0, ANTIALIASED_QUALITY, 0, "Tahoma"));
    Selected font(dc, titleFont.get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(255, 255, 255));
    RECT text = band;
    text.left += 12;
    ::DrawTextW(dc, title, -1, &text,
                DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    ::SetTextColor(dc, RGB(60, 60, 60));
    RECT body = client;
    body.top = band.bottom + 16;
    body.left += 16;
    ::SelectObject(dc, bodyFont.get());
    std::string line = "Window " + std::to_string(index_) + " of a sample application";
    ::DrawTextA(dc, line.c_str(), -1, &body, DT_LEFT | DT_TOP | DT_NOPREFIX);
}

LRESULT AppWindowView::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_WINDOWPOSCHANGED: {
        // Tell the shell before returning, so that it learns of shows and hides in call order.
        auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (pos->flags & SWP_SHOWWINDOW)
            app_.Notify(Hwnd(), kWindowShown);
        else if (pos->flags & SWP_HIDEWINDOW)
            app_.Notify(Hwnd(), kWindowHidden);
        break;
    }
    case WM_SETTEXT: {
        LRESULT result = Window::OnMessage(msg, wParam, lParam);
        app_.Notify(Hwnd(), kWindowRetitled);
        return result;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        return PaintClient([this](HDC dc, const RECT& client) { Paint(dc, client); });
    default:
        break;
    }
    return Window::OnMessage(msg, wParam, lParam);
}

// ---- the application ------------------------------------------------------------------------

SampleApp::SampleApp(const Options& options)
    : options_(options), control_([this](UINT msg, WPARAM wParam, LPARAM lParam) {
          return OnControlMessage(msg, wParam, lParam);
      }),
      windowEvent_(::RegisterWindowMessageA(kWindowEventMessage)),
      taskbarCreated_(::RegisterWindowMessageA("TaskbarCreated")) {
    Window::Register(kSampleControlClass);
    Window::Register(kWindowClass, CS_HREDRAW | CS_VREDRAW);
    if (!options_.colourGiven) {
        unsigned hash = 0;
        for (char c : options_.name)
            hash = hash * 31 + static_cast<unsigned char>(c);
        options_.colour = hash;
    }
    appAtom_ = ::GlobalAddAtomA(options_.name.c_str());
    for (const auto& title : options_.titles)
        Open(title, SW_SHOWNORMAL);
    // The control window last: once a client finds it, every window is open.
    Window::CreateArgs args;
    args.className = kSampleControlClass;
    args.title = options_.name.c_str();
    args.style = WS_POPUP;
    control_.Create(args);
    if (!options_.trayTip.empty())
        TrayIcon(NIM_ADD, 1, options_.trayTip);
}

SampleApp::~SampleApp() {
    windows_.clear();
    if (appAtom_)
        ::GlobalDeleteAtom(appAtom_);
}

int SampleApp::Run() {
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    for (const auto& [uid, tip] : std::vector<std::pair<UINT, std::string>>(trayIcons_))
        TrayIcon(NIM_DELETE, uid, tip);
    return 0;
}

void SampleApp::Notify(HWND wnd, long kind) {
    HWND shell = FindShellControl();
    if (!shell)
        return;
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(shell, windowEvent_, reinterpret_cast<WPARAM>(wnd), LPARAM(kind),
                          SMTO_NORMAL, 5000, &ignored);
}

int SampleApp::Open(const std::string& title, int showCommand) {
    const int index = int(windows_.size());
    auto view = std::make_unique<AppWindowView>(*this, index,
                                                PaletteColour(options_.colour + unsigned(index)));
    Window::CreateArgs args;
    args.className = kWindowClass;
    args.title = title.c_str();
    args.style = WS_OVERLAPPEDWINDOW;
    args.x = options_.x + (index % 8) * kCascade;
    args.y = options_.y + (index % 8) * kCascade;
    args.width = kWindowWidth;
    args.height = kWindowHeight;
    view->Create(args);
    view->SetIcons(IconLetter(title, options_.name));
    HWND wnd = view->Hwnd();
    windows_.push_back(std::move(view));
    ::ShowWindow(wnd, showCommand);
    ::UpdateWindow(wnd);
    return index;
}

AppWindowView* SampleApp::At(int index) {
    if (index < 0 || std::size_t(index) >= windows_.size())
        return nullptr;
    AppWindowView* view = windows_[index].get();
    return view && view->Hwnd() ? view : nullptr;
}

bool SampleApp::TrayIcon(DWORD message, UINT uid, const std::string& tip) {
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof data;
    data.hWnd = control_.Hwnd();
    data.uID = uid;
    if (message != NIM_DELETE) {
        if (!trayIcon_)
            trayIcon_.reset(
                MakeLetterIcon(16, PaletteColour(options_.colour), IconLetter("", options_.name)));
        data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        data.uCallbackMessage = kTrayCallback;
        data.hIcon = trayIcon_.get();
        lstrcpynA(data.szTip, tip.c_str(), int(sizeof data.szTip));
    }
    bool ok = ::Shell_NotifyIconA(message, &data) != FALSE;
    for (auto it = trayIcons_.begin(); it != trayIcons_.end(); ++it)
        if (it->first == uid) {
            trayIcons_.erase(it);
            break;
        }
    if (message != NIM_DELETE && ok)
        trayIcons_.emplace_back(uid, tip);
    return ok;
}

LRESULT SampleApp::OnControlMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == taskbarCreated_) {
        // The shell was (re)started: put the tray icons back.
        for (const auto& [uid, tip] : std::vector<std::pair<UINT, std::string>>(trayIcons_))
            TrayIcon(NIM_ADD, uid, tip);
        return 0;
    }
    switch (msg) {
    case kTrayCallback:
        trayLog_.push_back("uid=" + std::to_string(wParam) + " msg=" + Hex(lParam));
        return 0;
    case WM_COPYDATA: {
        std::string command;
        if (!ReadCommand(lParam, command))
            return FALSE;
        HandlePostedShellMessages();
        std::string reply;
        bool ok = Execute(command, reply);
        SendReply(control_.Hwnd(), reinterpret_cast<HWND>(wParam), reply);
        return ok;
    }
    default:
        return ::DefWindowProcW(control_.Hwnd(), msg, wParam, lParam);
    }
}

void SampleApp::HandlePostedShellMessages() {
    // A command is a sent message and overtakes what the shell posted before it answered the
    // client (tray callbacks, "TaskbarCreated"); those are handled first, in their order.
    MSG msg;
    for (UINT posted : {kTrayCallback, taskbarCreated_})
        while (::PeekMessageA(&msg, control_.Hwnd(), posted, posted, PM_REMOVE))
            OnControlMessage(msg.message, msg.wParam, msg.lParam);
}

bool SampleApp::Execute(const std::string& text, std::string& reply) {
    std::string error;
    auto cmd = ParseSampleCommand(text, &error);
    if (!cmd) {
        reply = "error: " + error;
        return false;
    }
    reply = "ok";
    AppWindowView* view = nullptr;
    if (cmd->kind == SampleCommand::Hide || cmd->kind == SampleCommand::Show ||
        cmd->kind == SampleCommand::Title || cmd->kind == SampleCommand::Close ||
        cmd->kind == SampleCommand::Activate) {
        view = At(cmd->index);
        if (!view) {
            reply = "error: no window " + std::to_string(cmd->index);
            return false;
        }
    }
    switch (cmd->kind) {
    case SampleCommand::List: {
        std::vector<std::string> lines;
        for (std::size_t i = 0; i < windows_.size(); ++i) {
            AppWindowView* w = At(int(i));
            if (!w)
                continue;
            lines.push_back(std::to_string(i) +
                            " hwnd=" + Hex(reinterpret_cast<std::uintptr_t>(w->Hwnd())) +
                            " visible=" + (::IsWindowVisible(w->Hwnd()) ? "1" : "0") +
                            " text=" + EscapeLine(WindowTitle(w->Hwnd())));
        }
        reply = JoinLines(lines);
        return true;
    }
    case SampleCommand::Hide:
        ::ShowWindow(view->Hwnd(), SW_HIDE);
        return true;
    case SampleCommand::Show:
        ::ShowWindow(view->Hwnd(), SW_SHOWNA);
        return true;
    case SampleCommand::Title:
        ::SetWindowTextW(view->Hwnd(), WideText(cmd->text).c_str());
        ::InvalidateRect(view->Hwnd(), nullptr, TRUE);
        return true;
    case SampleCommand::Close:
        ::DestroyWindow(view->Hwnd());
        return true;
    case SampleCommand::Open: {
        int index = Open(cmd->text, SW_SHOWNA);
        reply = std::to_string(index) +
                " hwnd=" + Hex(reinterpret_cast<std::uintptr_t>(windows_[index]->Hwnd()));
        return true;
    }
    case SampleCommand::Activate:
        ::SetForegroundWindow(view->Hwnd());
        return ::GetForegroundWindow() == view->Hwnd();
    case SampleCommand::TrayAdd: {
        bool known = false;
        for (const auto& icon : trayIcons_)
            known = known || icon.first == cmd->uid;
        if (!TrayIcon(known ? NIM_MODIFY : NIM_ADD, cmd->uid, cmd->text)) {
            reply = "error: Shell_NotifyIcon failed";
            return false;
        }
        return true;
    }
    case SampleCommand::TrayRemove:
        if (!TrayIcon(NIM_DELETE, cmd->uid, "")) {
            reply = "error: Shell_NotifyIcon failed";
            return false;
        }
        return true;
    case SampleCommand::TrayLog:
        reply = JoinLines(trayLog_);
        return true;
    case SampleCommand::Quit:
        ::PostQuitMessage(0);
        return true;
    }
    return false;
}

} // namespace standin

// The command line's arguments as UTF-8, whatever the code page: titles may be in any script.
std::vector<std::string> Utf8Arguments() {
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 0; wide && i < count; ++i)
        args.push_back(Utf8Text(wide[i], wcslen(wide[i])));
    ::LocalFree(wide);
    return args;
}

int main() {
    using namespace standin;
    const std::vector<std::string> args = Utf8Arguments();
    const int argc = int(args.size());
    std::vector<const char*> argv;
    for (const std::string& a : args)
        argv.push_back(a.c_str());
    Options options;
    int count = -1;
    std::string prefix = "Window";
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--name" && hasValue) {
            options.name = argv[++i];
        } else if (arg == "--titles" && hasValue) {
            std::string all = argv[++i];
            std::size_t start = 0;
            for (;;) {
                std::size_t bar = all.find('|', start);
                options.titles.push_back(all.substr(start, bar - start));
                if (bar == std::string::npos)
                    break;
                start = bar + 1;
            }
        } else if (arg == "--count" && hasValue) {
            auto n = ParseNumber(argv[++i]);
            count = n && *n >= 0 && *n <= 1000 ? int(*n) : -1;
            if (count < 0) {
                std::fprintf(stderr, "sampleapp: bad --count\n");
                return 2;
            }
        } else if (arg == "--prefix" && hasValue) {
            prefix = argv[++i];
        } else if (arg == "--at" && hasValue) {
            if (std::sscanf(argv[++i], "%d,%d", &options.x, &options.y) != 2) {
                std::fprintf(stderr, "sampleapp: --at X,Y\n");
                return 2;
            }
        } else if (arg == "--colour" && hasValue) {
            auto n = ParseNumber(argv[++i]);
            options.colour = n ? unsigned(*n) : 0;
            options.colourGiven = true;
        } else if (arg == "--tray" && hasValue) {
            options.trayTip = argv[++i];
        } else {
            std::fprintf(stderr, "usage: sampleapp.exe --name NAME [--titles \"A|B\"] "
                                 "[--count N [--prefix TEXT]] [--at X,Y] [--colour N] "
                                 "[--tray TIP]\n");
            return 2;
        }
    }
    if (options.name.empty()) {
        std::fprintf(stderr, "sampleapp: --name is required\n");
        return 2;
    }
    if (FindSampleControl(options.name)) {
        std::fprintf(stderr, "sampleapp: %s already runs\n", options.name.c_str());
        return 3;
    }
    for (int i = 1; i <= count; ++i)
        options.titles.push_back(prefix + " " + std::to_string(i));
    try {
        SampleApp app(options);
        return app.Run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "sampleapp: %s\n", e.what());
        return 1;
    }
}
