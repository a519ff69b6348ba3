#pragma once
// Operating-system errors as exceptions.
#include <windows.h>

#include "toolkit/SysUtils.h"

// The system's text for an error code, without the trailing line break.
std::string SysErrorMessage(DWORD code);
// Raises EOSError for the calling thread's last error code.
[[noreturn]] void RaiseLastOSError();
[[noreturn]] void RaiseOSError(DWORD code);
