#pragma once
// memchild.exe (next to the running program) as a second process with one window, for as
// long as the object lives.
#include <windows.h>

#include <string>

#include "tests/support/TestSupport.h"

class TChildProcess {
public:
    // Starts the child and waits (at most 20 s) until its window exists. Raises an error
    // when it does not come up.
    TChildProcess() : TChildProcess(UniqueTitle()) {}

    DWORD Id() const { return FChild.Pid(); }
    // Full access, for checking the child's memory independently of the managers.
    HANDLE Process() const { return FChild.Handle(); }
    HWND Window() const { return FWindow; }

private:
    explicit TChildProcess(const std::string& Title);
    // A window title that no other child of any test run shares.
    static std::string UniqueTitle();

    zvtest::ChildProcess FChild; // killed and waited for when the object goes
    HWND FWindow = nullptr;
};
