#pragma once
// memchild.exe (next to the running program) as a second process with one window, for as
// long as the object lives.
#include <windows.h>

#include <string>

#include "toolkit/ScopedWin.h"

class TChildProcess {
public:
    // Starts the child and waits (at most 20 s) until its window exists. Raises Exception
    // when it does not start.
    TChildProcess();
    // Kills the child and waits for it to end.
    ~TChildProcess();
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;

    DWORD Id() const { return FId; }
    // Full access, for checking the child's memory independently of the managers.
    HANDLE Process() const { return FProcess.get(); }
    HWND Window() const { return FWindow; }

private:
    ScopedKernelHandle FProcess;
    DWORD FId = 0;
    HWND FWindow = nullptr;
};
