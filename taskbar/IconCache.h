#pragma once
// The group icons already drawn, kept per window and image index, so that a snapshot asks the
// shell only for the icons of groups that are new or whose picture changed. Platform-free.
#include <cstdint>
#include <map>
#include <utility>

#include "taskbar/taskbuttons.h"

class TIconCache {
public:
    // The key of a group's icon: the window of the button the icon is asked for (the group's
    // second button) and its image index.
    using TKey = std::pair<TWndHandle, int32_t>;
    static TKey KeyOf(const TGrupButtons& Group, int32_t ImageIndex);

    // Draws the kept icon into Group.Icon; false (Group unchanged) when none is kept.
    bool Take(TGrupButtons& Group, int32_t ImageIndex) const;
    // Keeps Group.Icon, once a reply has drawn it.
    void Keep(const TGrupButtons& Group, int32_t ImageIndex);
    // Lets go of the icons of every window that is not in Groups any more.
    void Prune(const TGroupList& Groups);
    // A new shell: its image list is another, so no kept icon stands for its pictures.
    void Clear() { Icons_.clear(); }
    std::size_t Size() const { return Icons_.size(); }

private:
    std::map<TKey, TBitmap16> Icons_;
};
