#include "standin/ControlChannel.h"

#include "standin/StandinProtocol.h"
#include "toolkit/WinErrors.h"

namespace standin {

namespace {
constexpr const char* kReplyClass = "ZvControlReply";
// A reply is sent with a time limit so that a client that has gone cannot hang the server.
constexpr UINT kReplyTimeoutMs = 10000;
} // namespace

HWND FindShellControl() {
    return ::FindWindowA(kControlClass, kControlClass);
}

HWND FindSampleControl(const std::string& name) {
    return ::FindWindowA(kSampleControlClass, name.c_str());
}

ControlClient::ControlClient() {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    if (!::GetClassInfoExA(instance, kReplyClass, &wc)) {
        wc = WNDCLASSEXA{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = ReplyProc;
        wc.hInstance = instance;
        wc.lpszClassName = kReplyClass;
        if (!::RegisterClassExA(&wc))
            RaiseLastOSError();
    }
    wnd_ = ::CreateWindowExA(0, kReplyClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                             nullptr);
    if (!wnd_)
        RaiseLastOSError();
    ::SetWindowLongPtrA(wnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

ControlClient::~ControlClient() {
    if (wnd_)
        ::DestroyWindow(wnd_);
}

LRESULT CALLBACK ControlClient::ReplyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ControlClient*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg == WM_COPYDATA && self) {
        auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (cds->dwData != kReplyMagic)
            return FALSE;
        self->reply_.assign(static_cast<const char*>(cds->lpData), cds->cbData);
        self->gotReply_ = true;
        return TRUE;
    }
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

ControlReply ControlClient::Send(HWND target, const std::string& command, unsigned timeoutMs) {
    ControlReply out;
    if (!target || !::IsWindow(target)) {
        out.text = "no control window";
        return out;
    }
    reply_.clear();
    gotReply_ = false;
    COPYDATASTRUCT cds = {};
    cds.dwData = kCommandMagic;
    cds.cbData = DWORD(command.size());
    cds.lpData = const_cast<char*>(command.data());
    DWORD_PTR result = 0;
    // No SMTO_BLOCK: the reply is a message sent to this thread while it waits.
    LRESULT sent =
        ::SendMessageTimeoutA(target, WM_COPYDATA, reinterpret_cast<WPARAM>(wnd_),
                              reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL, timeoutMs, &result);
    if (!sent) {
        out.text = "the control window did not answer within " + std::to_string(timeoutMs) + " ms";
        return out;
    }
    if (!gotReply_) {
        out.text = "the control window sent no reply";
        return out;
    }
    out.delivered = true;
    out.ok = result != 0;
    out.text = reply_;
    return out;
}

bool ReadCommand(LPARAM lParam, std::string& command) {
    auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!cds || cds->dwData != kCommandMagic)
        return false;
    command.assign(static_cast<const char*>(cds->lpData), cds->lpData ? cds->cbData : 0);
    return true;
}

void SendReply(HWND self, HWND client, const std::string& reply) {
    COPYDATASTRUCT cds = {};
    cds.dwData = kReplyMagic;
    cds.cbData = DWORD(reply.size());
    cds.lpData = const_cast<char*>(reply.data());
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(client, WM_COPYDATA, reinterpret_cast<WPARAM>(self),
                          reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL, kReplyTimeoutMs, &ignored);
}

} // namespace standin
