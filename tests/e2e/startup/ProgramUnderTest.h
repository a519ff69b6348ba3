#pragma once
// Test equipment for running the real Zorvane.exe (a zvtest::ChildProcess, killed at the
// end): the Windows version Wine reports to it, and looking at its windows from outside.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "standin/AppWindows.h"
#include "tests/support/TestSupport.h"
#include "toolkit/ScopedWin.h"

// Sets the Windows version Wine reports to Zorvane.exe ("win2k", "winxp", "win7") for the
// processes started while this lives; the key is removed again at the end.
class TScopedWineVersion {
public:
    explicit TScopedWineVersion(const char* Version);
    ~TScopedWineVersion();
    TScopedWineVersion(const TScopedWineVersion&) = delete;
    TScopedWineVersion& operator=(const TScopedWineVersion&) = delete;
};

using standin::ClassOf;
using standin::TextOf;
// The top-level windows of a process, in z-order.
std::vector<HWND> TopLevelWindowsOf(DWORD Pid);
// The first top-level window of the process with this class (and caption, unless null), once
// the child waits for input; 0 if there is none by then.
HWND WaitForTopLevelWindow(const zvtest::ChildProcess& Child, const char* Class,
                           const char* Caption, DWORD TimeoutMs);
// The program's main window once start-up is over: it hides itself when its mouse hook runs,
// and is shown again here as a person brings it back. 0 if it never came up.
HWND WaitForMainWindowBack(const zvtest::ChildProcess& Child, DWORD TimeoutMs);
// A descendant window with this class and text; 0 if none.
HWND FindDescendant(HWND Parent, const char* Class, const char* Text);
// Every descendant window.
std::vector<HWND> DescendantsOf(HWND Parent);

// A message sent to the child and answered; false when it did not answer within 5 s.
bool SendAndWait(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT* Result = nullptr);
// Round trips to the window until Condition holds (true) or TimeoutMs has passed (false). Each
// round trip lets the child take its queued messages.
template <typename Pred> bool RoundTripUntil(HWND Wnd, DWORD TimeoutMs, Pred Condition) {
    const DWORD start = ::GetTickCount();
    while (!Condition()) {
        if (::GetTickCount() - start > TimeoutMs || !SendAndWait(Wnd, WM_NULL, 0, 0))
            return false;
    }
    return true;
}

// A wait for something that must not happen: round trips to the program's window for Ms
// milliseconds while Happened stays false. It passes only when the whole time passed
// quietly and the program still runs and answers afterwards; a program that ended or stopped
// answering meanwhile is a failure, not a quiet wait.
template <typename Pred>
::testing::AssertionResult NothingHappensWithin(const zvtest::ChildProcess& Child, HWND Wnd,
                                                DWORD Ms, Pred Happened) {
    const DWORD start = ::GetTickCount();
    bool answering = true;
    while (answering && ::GetTickCount() - start <= Ms) {
        if (Happened())
            return ::testing::AssertionFailure()
                   << "it happened after " << (::GetTickCount() - start) << " ms";
        answering = SendAndWait(Wnd, WM_NULL, 0, 0);
        ::Sleep(20);
    }
    if (!Child.Running())
        return ::testing::AssertionFailure()
               << "the program ended meanwhile (exit code " << Child.ExitCode() << ")";
    if (!answering || !SendAndWait(Wnd, WM_NULL, 0, 0))
        return ::testing::AssertionFailure() << "the program stopped answering";
    if (Happened())
        return ::testing::AssertionFailure() << "it happened at the end of the wait";
    return ::testing::AssertionSuccess();
}

// Everything under HKEY_CURRENT_USER\Path as text (names, types and data); "" if it is missing.
std::string DumpRegistryKey(HKEY Root, const std::string& Path);
