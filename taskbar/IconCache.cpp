// The kept group icons.
#include "taskbar/IconCache.h"

#include <unordered_set>

TIconCache::TKey TIconCache::KeyOf(const TGrupButtons& Group, int32_t ImageIndex) {
    const TWndHandle wnd = Group.Windows.size() > 1 ? Group.Windows[1] : 0;
    return {wnd, ImageIndex};
}

bool TIconCache::Take(TGrupButtons& Group, int32_t ImageIndex) const {
    const TKey key = KeyOf(Group, ImageIndex);
    if (key.first == 0)
        return false; // no window to tell this picture from another group's
    const auto found = Icons_.find(key);
    if (found == Icons_.end())
        return false;
    Group.Icon = found->second;
    return true;
}

void TIconCache::Keep(const TGrupButtons& Group, int32_t ImageIndex) {
    const TKey key = KeyOf(Group, ImageIndex);
    if (key.first != 0)
        Icons_[key] = Group.Icon;
}

void TIconCache::Prune(const TGroupList& Groups) {
    std::unordered_set<TWndHandle> present;
    for (const TGroupListItem& item : Groups)
        for (TWndHandle w : item.Group->Windows)
            present.insert(w);
    for (auto it = Icons_.begin(); it != Icons_.end();)
        it = present.count(it->first.first) ? std::next(it) : Icons_.erase(it);
}
