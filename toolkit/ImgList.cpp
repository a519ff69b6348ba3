#include "toolkit/ImgList.h"

#include <array>
#include <cstring>

#include "toolkit/Glyphs.h"
#include "toolkit/SysUtils.h"
#include "toolkit/WinErrors.h"

namespace {
// A top-down 32-bit DIB section with the picture's pixels; transparent pixels are black,
// as the image list wants them beside a mask.
ScopedGdiObject ColorBitmap(const TBitmap16& Picture) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = TBitmap16::Width;
    bi.bmiHeader.biHeight = -TBitmap16::Height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    ScopedGdiObject bmp(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bmp || !bits)
        RaiseLastOSError();
    auto* px = static_cast<uint32_t*>(bits);
    for (std::size_t i = 0; i < Picture.Pixels.size(); ++i)
        px[i] = Picture.SeeThrough(i) ? 0 : Picture.Pixels[i];
    ::GdiFlush();
    return bmp;
}

// The monochrome mask: a set bit is a transparent pixel. Rows of a monochrome bitmap are
// padded to 16 bits, which a 16-pixel row fills exactly.
ScopedGdiObject MaskBitmap(const TBitmap16& Picture) {
    std::array<uint8_t, TBitmap16::Height * 2> rows{};
    for (int y = 0; y < TBitmap16::Height; ++y)
        for (int x = 0; x < TBitmap16::Width; ++x)
            if (Picture.SeeThrough(static_cast<std::size_t>(y * TBitmap16::Width + x)))
                rows[static_cast<std::size_t>(y * 2 + x / 8)] |=
                    static_cast<uint8_t>(0x80u >> (x % 8));
    ScopedGdiObject bmp(::CreateBitmap(TBitmap16::Width, TBitmap16::Height, 1, 1, rows.data()));
    if (!bmp)
        RaiseLastOSError();
    return bmp;
}
} // namespace

TImageList::TImageList(TComponent* Owner, std::string Name) : TComponent(Owner, std::move(Name)) {}

int TImageList::Add(const TBitmap16& Picture) {
    if (Handle_)
        AddToList(Handle_.get(), Picture);
    if (Disabled_)
        AddToList(Disabled_.get(), DisabledPicture(Picture));
    Pictures_.push_back(Picture);
    return Count() - 1;
}

const TBitmap16& TImageList::Picture(int Index) const {
    CheckIndex(Index);
    return Pictures_[static_cast<std::size_t>(Index)];
}

HIMAGELIST TImageList::Handle() {
    if (!Handle_)
        Handle_ = MakeList(Pictures_);
    return Handle_.get();
}

void TImageList::Draw(HDC Dc, int X, int Y, int Index, bool Enabled) {
    CheckIndex(Index);
    HIMAGELIST list = Handle();
    if (!Enabled) {
        if (!Disabled_) {
            std::vector<TBitmap16> greyed;
            for (const TBitmap16& p : Pictures_)
                greyed.push_back(DisabledPicture(p));
            Disabled_ = MakeList(greyed);
        }
        list = Disabled_.get();
    }
    ::ImageList_Draw(list, Index, Dc, X, Y, ILD_TRANSPARENT);
}

ScopedImageList TImageList::MakeList(const std::vector<TBitmap16>& Pictures) {
    ScopedImageList list(::ImageList_Create(Width, Height, ILC_COLOR32 | ILC_MASK,
                                            static_cast<int>(Pictures.size()), 4));
    if (!list)
        RaiseLastOSError();
    for (const TBitmap16& p : Pictures)
        AddToList(list.get(), p);
    return list;
}

void TImageList::AddToList(HIMAGELIST List, const TBitmap16& Picture) {
    ScopedGdiObject color = ColorBitmap(Picture);
    ScopedGdiObject mask = MaskBitmap(Picture);
    if (::ImageList_Add(List, static_cast<HBITMAP>(color.get()), static_cast<HBITMAP>(mask.get())) <
        0)
        RaiseLastOSError();
}

void TImageList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError(Index);
}
