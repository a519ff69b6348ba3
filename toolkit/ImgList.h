#pragma once
// TImageList: a non-visual component holding 16 x 16 pictures for controls (picture buttons,
// tabs). The comctl32 image list that controls take is made on first use and follows every
// picture added later; each picture is masked by its transparent colour when Transparent is
// set. Create the image list before the controls that show its pictures, so that it outlives
// them.
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "toolkit/Bitmap16.h"
#include "toolkit/Classes.h"
#include "toolkit/ScopedWin.h"

namespace scoped_detail {
struct DestroyImageList {
    void operator()(HIMAGELIST h) const { ::ImageList_Destroy(h); }
};
} // namespace scoped_detail
using ScopedImageList = ScopedHandle<HIMAGELIST, nullptr, scoped_detail::DestroyImageList>;

class TImageList : public TComponent {
public:
    static constexpr int Width = TBitmap16::Width;
    static constexpr int Height = TBitmap16::Height;

    explicit TImageList(TComponent* Owner, std::string Name = {});

    // Appends a picture; returns its index.
    int Add(const TBitmap16& Picture);
    int Count() const { return static_cast<int>(Pictures_.size()); }
    // Raises EListError outside 0 .. Count - 1.
    const TBitmap16& Picture(int Index) const;

    // The comctl32 image list (ILC_COLOR32 | ILC_MASK), made on the first call; raises
    // EOSError when it cannot be made. It belongs to this object.
    HIMAGELIST Handle();
    // Draws picture Index with its top-left corner at X, Y; a disabled control's picture is
    // the greyed one. Raises EListError outside 0 .. Count - 1.
    void Draw(HDC Dc, int X, int Y, int Index, bool Enabled = true);

private:
    // A new comctl32 list holding the given pictures.
    static ScopedImageList MakeList(const std::vector<TBitmap16>& Pictures);
    static void AddToList(HIMAGELIST List, const TBitmap16& Picture);
    void CheckIndex(int Index) const;

    std::vector<TBitmap16> Pictures_;
    ScopedImageList Handle_;
    ScopedImageList Disabled_; // the greyed pictures, made on the first disabled draw
};
