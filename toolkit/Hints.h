#pragma once
// The hint of a control: a comctl32 tooltip that shows a text while the pointer rests on the
// control, wrapped when it is long. Owned by the control; it goes with the control's window.
#include <windows.h>

#include <string>

#include "toolkit/ScopedWin.h"

class TControlHint {
public:
    // Control's window must exist. Without a tooltip window (it could not be made) the
    // control simply has no hint.
    TControlHint(HWND Control, std::string Text, bool Active);
    TControlHint(const TControlHint&) = delete;
    TControlHint& operator=(const TControlHint&) = delete;

    const std::string& Text() const { return Text_; }
    void SetText(const std::string& Value);
    bool Active() const { return Active_; }
    // An inactive hint never shows.
    void SetActive(bool Value);
    // Hides the hint if it shows; it comes again when the pointer rests anew.
    void Pop();
    // The tooltip window; 0 when there is none.
    HWND Handle() const { return Tooltip_.get(); }

private:
    HWND Control_;
    std::string Text_;
    bool Active_;
    ScopedWindow Tooltip_;
};
