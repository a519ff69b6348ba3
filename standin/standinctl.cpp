// standinctl.exe: sends one command to the stand-in shell (or to a sample application) and
// prints the reply. For scripts.
//
//   standinctl.exe [--app NAME] [--wait SECONDS] [--timeout MS] [--stdin] <command words...>
//
// The words are joined with single spaces into one command line; with --stdin the command
// (several lines, for `script`) is read from standard input instead. --wait waits up to that
// long for the control window to appear. Exit code 0 when the command succeeded, 1 when it
// failed (the reply says why), 2 when it could not be delivered, 3 on bad usage.
#include "standin/ControlChannel.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    std::string app, command;
    unsigned waitSeconds = 0, timeoutMs = 30000;
    bool fromStdin = false;
    int i = 1;
    for (; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--app" && i + 1 < argc)
            app = argv[++i];
        else if (arg == "--wait" && i + 1 < argc)
            waitSeconds = unsigned(std::strtoul(argv[++i], nullptr, 10));
        else if (arg == "--timeout" && i + 1 < argc)
            timeoutMs = unsigned(std::strtoul(argv[++i], nullptr, 10));
        else if (arg == "--stdin")
            fromStdin = true;
        else
            break;
    }
    for (; i < argc; ++i)
        command += (command.empty() ? "" : " ") + std::string(argv[i]);
    if (fromStdin)
        command.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    if (command.empty()) {
        std::fprintf(stderr, "usage: standinctl.exe [--app NAME] [--wait SECONDS] "
                             "[--timeout MS] [--stdin] <command...>\n");
        return 3;
    }
    auto find = [&] {
        return app.empty() ? standin::FindShellControl() : standin::FindSampleControl(app);
    };
    HWND target = find();
    for (DWORD start = ::GetTickCount(); !target && ::GetTickCount() - start < waitSeconds * 1000;
         target = find())
        ::Sleep(100); // polling for a process that is starting: nothing to wait on
    if (!target) {
        std::fprintf(stderr, "standinctl: %s is not running\n",
                     app.empty() ? "the stand-in shell" : app.c_str());
        return 2;
    }
    try {
        standin::ControlClient client;
        standin::ControlReply reply = client.Send(target, command, timeoutMs);
        if (!reply.delivered) {
            std::fprintf(stderr, "standinctl: %s\n", reply.text.c_str());
            return 2;
        }
        std::fwrite(reply.text.data(), 1, reply.text.size(), stdout);
        std::fputc('\n', stdout);
        return reply.ok ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "standinctl: %s\n", e.what());
        return 2;
    }
}
