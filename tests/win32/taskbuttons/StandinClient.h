#pragma once
// A minimal client of the stand-in shell's control channel, used until the shared test
// support library is available.
#include <windows.h>

#include <string>
#include <vector>

class TStandinClient {
public:
    TStandinClient();
    ~TStandinClient();
    TStandinClient(const TStandinClient&) = delete;
    TStandinClient& operator=(const TStandinClient&) = delete;

    // Starts standin.exe from this program's folder; false when its control window does not
    // appear within the time limit.
    bool Start();
    // Sends one command; false when it failed. Reply gets the shell's answer.
    bool Command(const std::string& text, std::string* Reply = nullptr);
    void Quit();

private:
    static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM);
    HWND FWnd = nullptr;
    HANDLE FProcess = nullptr;
    std::string FReply;
};
