#pragma once
// TOneInstance: keeps a program to one running instance per logon session. When the owner
// form has loaded, it creates the mutex named after the executable's file name (in one letter
// case); if the mutex
// exists already, another instance runs: ApplicationExists fires and, with Terminate, the
// application is asked to end. Creating and testing are one step, so of two instances
// started at the same moment exactly one runs.
//     OneInstance1 = Create<TOneInstance>("OneInstance1");
//     OneInstance1->ApplicationExists = [this](TObject* s) { OneInstance1ApplicationExists(s); };
#include <string>

#include "components/OneInstance.h"
#include "toolkit/Classes.h"
#include "toolkit/ScopedWin.h"

class TOneInstance : public TComponent {
public:
    // Raises EOneInstance "OneInstance component duplicated in <owner>" when the owner has one.
    TOneInstance(TComponent* Owner, std::string Name);
    // Closes the mutex of the first instance; a later instance may raise the first one.
    ~TOneInstance() override;

    bool Terminate = true;           // end the new instance when another one runs
    bool InformUser = false;         // tell the user about the other instance
    bool RaisePriorInstance = false; // bring the running instance to the front at the end
    TNotifyEvent ApplicationExists;

    void Loaded() override;
    bool OwnsMutex() const { return OwnsMutex_; }

private:
    void RaisePriorWindow();

    ScopedKernelHandle Mutex_;
    bool OwnsMutex_ = false;
    std::string Title_;
};
