#pragma once
// Both ends of the control channel of standin/StandinProtocol.h: the client that sends one
// command and collects the reply, and the server helpers that read a command out of
// WM_COPYDATA and send the reply back before the WM_COPYDATA returns.
#include <windows.h>

#include <memory>
#include <string>

namespace standin {

// The shell's control window, or 0 when no shell runs.
HWND FindShellControl();
// The control window of the sample application called `name`, or 0.
HWND FindSampleControl(const std::string& name);

struct ControlReply {
    bool delivered = false; // the command reached the window and a reply came back
    bool ok = false;        // the command succeeded
    std::string text;       // the reply, or why the command failed or was not delivered
};

// Sends commands from the calling thread. Replies arrive at a message-only window of the
// client while SendMessageTimeout waits, so the thread needs no message loop of its own.
class ControlClient {
public:
    ControlClient();
    ~ControlClient();
    ControlClient(const ControlClient&) = delete;
    ControlClient& operator=(const ControlClient&) = delete;

    ControlReply Send(HWND target, const std::string& command, unsigned timeoutMs = 30000);

private:
    static LRESULT CALLBACK ReplyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND wnd_ = nullptr;
    std::string reply_;
    bool gotReply_ = false;
};

// Server side, inside WM_COPYDATA: true when the message carries a command (then `command`
// holds its text).
bool ReadCommand(LPARAM lParam, std::string& command);
// Sends the reply to the client's window (WM_COPYDATA's wParam).
void SendReply(HWND self, HWND client, const std::string& reply);

} // namespace standin
