#pragma once
// The single-instance guard's plain parts: the mutex name and the texts of its errors.
// Platform-free.
#include <string>

#include "toolkit/SysUtils.h"

// The guard's own errors, reported through the application's error handling.
class EOneInstance : public Exception {
public:
    using Exception::Exception;
};

// The mutex is named after the executable's file name, without its folder, in lower case
// ("C:\Apps\Zorvane.EXE" gives "zorvane.exe"): Windows file names ignore letter case, so
// "zorvane.exe" started beside a running "Zorvane.exe" is the same program. A copy under
// another name is another program to the guard.
std::string InstanceMutexName(const std::string& ExePath);

// The text of a failed step ("Unable to create Mutex!", ...) with the underlying error.
std::string OneInstanceErrorText(const std::string& Step, const std::string& Cause);

extern const char kOneInstanceRunning[];   // InformUser, with Terminate
extern const char kOneInstanceRunningOn[]; // InformUser, without Terminate
