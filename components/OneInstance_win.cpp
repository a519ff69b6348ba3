#include "components/OneInstance_win.h"

#include <windows.h>

#include "toolkit/Dialogs.h"
#include "toolkit/Forms.h"
#include "toolkit/SysUtils.h"
#include "toolkit/WinErrors.h"

namespace {
// Raises the guard's error and hands it to the application's error handling at once.
void Report(TObject* Sender, const std::string& Text) {
    try {
        throw EOneInstance(Text);
    } catch (...) {
        HandleException(Sender);
    }
}

// The mutex name, with the letters beyond ASCII folded as well, as the file system folds them
// in the system's code page.
std::string MutexName() {
    std::string name = InstanceMutexName(ExePath());
    if (!name.empty())
        ::CharLowerBuffA(&name[0], static_cast<DWORD>(name.size()));
    return name;
}

void RestoreAndRaise(HWND Wnd) {
    if (::IsIconic(Wnd))
        ::ShowWindow(Wnd, SW_RESTORE);
    ::BringWindowToTop(Wnd);
}
} // namespace

TOneInstance::TOneInstance(TComponent* Owner, std::string Name)
    : TComponent(Owner, std::move(Name)) {
    if (Owner)
        for (int i = 0; i < Owner->ComponentCount(); ++i)
            if (dynamic_cast<TOneInstance*>(Owner->Components(i)))
                throw EOneInstance("OneInstance component duplicated in " + Owner->Name());
}

TOneInstance::~TOneInstance() {
    if (!OwnsMutex_ && RaisePriorInstance && !Title_.empty())
        RaisePriorWindow();
    if (Mutex_ && !::CloseHandle(Mutex_.release()))
        Report(this,
               OneInstanceErrorText("Unable to close Mutex!", SysErrorMessage(::GetLastError())));
}

void TOneInstance::Loaded() {
    if (Application)
        Title_ = Application->Title();
    // CreateMutex both tests and creates: the one instance that creates the mutex runs.
    ::SetLastError(ERROR_SUCCESS);
    HANDLE h = ::CreateMutexA(nullptr, FALSE, MutexName().c_str());
    const DWORD error = ::GetLastError();
    bool exists = false;
    if (h && error == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(h);
        exists = true;
    } else if (h) {
        Mutex_.reset(h);
        OwnsMutex_ = true;
    } else if (error == ERROR_ACCESS_DENIED) {
        exists = true; // held by an instance of another user's rights
    } else {
        // Without a mutex this instance runs, and later starts are not refused.
        Report(this, OneInstanceErrorText("Unable to create Mutex!", SysErrorMessage(error)));
        return;
    }
    if (!exists)
        return;
    OwnsMutex_ = false;
    Fire(ApplicationExists, this);
    if (Terminate) {
        if (InformUser)
            Report(this, kOneInstanceRunning);
        if (Application)
            Application->Terminate();
    } else if (InformUser) {
        MessageDlg(nullptr, kOneInstanceRunningOn, TMsgDlgType::mtWarning, TMsgDlgButtons::mbOK);
    }
}

void TOneInstance::RaisePriorWindow() {
    if (Application)
        Application->SetTitle(""); // so that the search cannot find this instance
    HWND wnd = ::FindWindowA(nullptr, Title_.c_str());
    if (!wnd)
        return;
    HWND popup = ::GetLastActivePopup(wnd);
    RestoreAndRaise(wnd);
    if (popup) {
        RestoreAndRaise(popup);
        ::SetForegroundWindow(popup);
    }
}
