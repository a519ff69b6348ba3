#pragma once
// Starts the stand-in shell for a test program and sends it commands; the shell is closed
// (or ended) when the client goes.
#include <windows.h>

#include <string>

#include "standin/ControlChannel.h"

class TStandinClient {
public:
    TStandinClient() = default;
    ~TStandinClient() { Quit(); }
    TStandinClient(const TStandinClient&) = delete;
    TStandinClient& operator=(const TStandinClient&) = delete;

    // Starts standin.exe from this program's folder and waits until it answers "sync".
    bool Start();
    // Sends one command; false when it failed or was not delivered. Reply gets the answer.
    bool Command(const std::string& text, std::string* Reply = nullptr);
    void Quit();

private:
    standin::ControlClient FClient;
    HANDLE FProcess = nullptr;
};
