#include "toolkit/MoviePlayer.h"

#include <commctrl.h>

TMoviePlayer::TMoviePlayer(TComponent* Owner, TMoviePlayerParams Params)
    : TWinControl(Owner, std::move(Params.Name), Params.Parent) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_ANIMATE_CLASS};
    ::InitCommonControlsEx(&icc);
    // ACS_CENTER keeps the control's size whatever the clip's; ACS_TIMER plays on this thread
    // from timer messages rather than on a thread of the control's own.
    CreateHandle({.ClassName = ANIMATE_CLASSA,
                  .Style = WS_CHILD | WS_VISIBLE | ACS_CENTER | ACS_TIMER,
                  .Bounds = Params.Bounds});
}

void TMoviePlayer::SetMovie(const std::wstring& Path) {
    Movie_ = Path;
    HWND h = Handle();
    ::SendMessageW(h, ACM_STOP, 0, 0);
    // Opening closes the clip before; a failed open leaves none.
    Playing_ = ::SendMessageW(h, ACM_OPENW, 0, reinterpret_cast<LPARAM>(Path.c_str())) != 0;
    if (Playing_) {
        // The first frame at once (a play from one frame to the same one is a seek), then
        // every frame from the first to the last (0xFFFF), repeated without end (-1).
        ::SendMessageW(h, ACM_PLAY, 1, MAKELPARAM(0, 0));
        Playing_ = ::SendMessageW(h, ACM_PLAY, static_cast<WPARAM>(-1), MAKELPARAM(0, 0xFFFF)) != 0;
    }
    if (!Playing_)
        ::InvalidateRect(h, nullptr, TRUE);
}
