// The rebuild decision of the list's refresh.
#include "taskbar/RefreshCheck.h"

#include <unordered_set>

bool TRefreshCheck::NeedsRebuild(const TToolbarLook& Look, const TWindowTitles& Titles) {
    const bool retitled = Titles != Titles_;
    const bool rebuild = !Known_ || Settling_ || retitled || Look != Look_;
    Settling_ = Known_ && retitled;
    return rebuild;
}

void TRefreshCheck::Remember(TToolbarLook Look, TWindowTitles Titles) {
    Look_ = std::move(Look);
    Titles_ = std::move(Titles);
    Known_ = true;
}

std::vector<TWndHandle> TRefreshCheck::ListedWindows() const {
    std::vector<TWndHandle> windows;
    windows.reserve(Titles_.size());
    for (const auto& t : Titles_)
        windows.push_back(t.first);
    return windows;
}

TWindowTitles WindowsOf(const TGroupList& Groups) {
    TWindowTitles windows;
    std::unordered_set<TWndHandle> seen;
    for (const TGroupListItem& item : Groups)
        for (TWndHandle w : item.Group->Windows)
            if (w != 0 && seen.insert(w).second)
                windows.emplace_back(w, std::string());
    return windows;
}
