#pragma once
// TMoviePlayer: plays a silent movie clip inside a form, over and over. The clip is an AVI
// file of the kind the common controls' animation control plays on every Windows since 95
// with no add-on: uncompressed or RLE8-compressed frames, no sound.
#include <string>

#include "toolkit/Controls.h"

struct TMoviePlayerParams {
    std::string Name;
    TWinControl* Parent = nullptr;
    TBounds Bounds; // the clip plays in the middle of this area
};

class TMoviePlayer : public TWinControl {
public:
    TMoviePlayer(TComponent* Owner, TMoviePlayerParams Params);

    // The clip's file, as last assigned.
    const std::wstring& Movie() const { return Movie_; }
    // Loads the clip and plays it from its first frame (shown at once), repeating it without
    // end; assigning the same file again starts it over. A file that is missing or that the
    // control cannot play leaves the area empty, and nothing is reported.
    void SetMovie(const std::wstring& Path);
    // A clip is loaded and playing.
    bool Playing() const { return Playing_; }

private:
    std::wstring Movie_;
    bool Playing_ = false;
};
