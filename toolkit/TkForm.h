#pragma once
// TTkForm: the window-frame component of a form. It holds the form's window state, one of
// five: normal, maximized, minimized, rolled up and in tray. Setting it on a hidden form
// takes effect without showing the form: the form shows in that state when it is shown.
// Rolled up and in tray have no look of their own here; they show as normal.
#include <cstdint>
#include <string>

#include "toolkit/Classes.h"

class TForm;

enum TTkWindowState : uint8_t { kwsNormal, kwsMaximized, kwsMinimized, kwsRollup, kwsTray };

class TTkForm : public TComponent {
public:
    // Owner: the form whose frame this is.
    TTkForm(TComponent* Owner, std::string Name);

    TForm* Form() const { return Form_; }
    TTkWindowState WindowState() const;
    void SetWindowState(TTkWindowState Value);

private:
    TForm* Form_;
    TTkWindowState State_ = kwsNormal;
};
