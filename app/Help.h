#pragma once
// The help window FHelp: fixed texts on drag and drop on the taskbar and on the list window,
// below a movie of a drag on the taskbar. It is created hidden at start-up and shown modally
// by the Help commands; each showing plays the movie from its start.
#include <vector>

#include "toolkit/Forms.h"
#include "toolkit/MoviePlayer.h"
#include "toolkit/StdCtrls.h"

// The movie, in the folder of the program: an RLE8 AVI clip (the animation control of the
// common controls plays it on every Windows with no add-on).
inline constexpr wchar_t kDemoMovieFile[] = L"Help\\drag-and-drop-demo.avi";

class TFHelp : public TForm {
public:
    explicit TFHelp(TComponent* Owner);
    ~TFHelp() override;

    TButton* TkButton1;
    TScrollBox* TkScrollBox1;
    TMoviePlayer* ShockwaveFlashEx1;
    // The texts in the scroll box, from the top.
    std::vector<TLabel*> Labels;

    // Each showing gives the player the movie beside the program, so it starts over.
    void FormShow(TObject* Sender);
    // Shows the window modally and returns its result. When it is open already (Help from the
    // tray menu while it shows, or the demonstration timer after a second showing of the main
    // window) it only comes to the front, and the result is mrNone.
    int ShowHelp();

protected:
    // The mouse wheel scrolls the texts wherever the focus is.
    void WndProc(TMessage& Message) override;
};

extern TFHelp* FHelp;
