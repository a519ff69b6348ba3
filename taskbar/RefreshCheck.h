#pragma once
// Whether the list's rows must be rebuilt, decided on a cheap look at the taskbar: one
// TB_GETBUTTON per button (command id, image, state, style and data block) and the titles of
// the windows the last rebuild listed, read locally. Only when either differs from what the
// last rebuild saw does the expensive reading (rectangles, captions, windows, icons) run.
// Platform-free; taskbar/RefreshCheck_win.h reads the look.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "taskbar/taskbuttons.h"

// What TB_GETBUTTON tells of one button.
struct TButtonLook {
    int32_t CommandId = 0;
    int32_t ImageIndex = 0;
    uint8_t State = 0;
    uint8_t Style = 0;
    uint64_t Data = 0; // dwData: the shell's block of the button's window

    friend bool operator==(const TButtonLook& a, const TButtonLook& b) {
        return a.CommandId == b.CommandId && a.ImageIndex == b.ImageIndex && a.State == b.State &&
               a.Style == b.Style && a.Data == b.Data;
    }
    friend bool operator!=(const TButtonLook& a, const TButtonLook& b) { return !(a == b); }
};
using TToolbarLook = std::vector<TButtonLook>;
using TWindowTitles = std::vector<std::pair<TWndHandle, std::string>>;

class TRefreshCheck {
public:
    // True when the rows must be rebuilt: nothing was remembered yet, a rebuild was asked for,
    // the look differs from the remembered one, or a listed window's title changed. A title
    // change also asks for one more rebuild at the next check, since the shell may take a
    // while to show the new title on its button.
    bool NeedsRebuild(const TToolbarLook& Look, const TWindowTitles& Titles);
    // The rows were rebuilt from a reading that came after Look and Titles were taken.
    void Remember(TToolbarLook Look, TWindowTitles Titles);
    // The next check asks for a rebuild whatever it sees (after a command of our own, or when
    // a rebuild failed).
    void Forget() { Known_ = false; }
    // The windows whose titles the next check compares.
    std::vector<TWndHandle> ListedWindows() const;

private:
    bool Known_ = false;
    bool Settling_ = false; // a title changed at the last check
    TToolbarLook Look_;
    TWindowTitles Titles_;
};

// Every window of Groups (each once, in group order), with no title yet.
TWindowTitles WindowsOf(const TGroupList& Groups);
