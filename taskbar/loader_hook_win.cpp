// Loading images.dll, and the main window's requests and replies of the icon channel.
#include "taskbar/loader_hook_win.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "taskbar/taskbuttons_win.h"
#include "toolkit/Forms.h"
#include "toolkit/SysUtils.h"

UINT IconReplyMsg() {
    static const UINT id = RegisterWindowMessageA(kIconReplyMessageName);
    return id;
}

namespace {

// A 16 x 16 top-down 32-bit DIB section; Bits points at its pixels.
ScopedGdiObject MakeDib16(void*& Bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = TBitmap16::Width;
    info.bmiHeader.biHeight = -TBitmap16::Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    Bits = nullptr;
    return ScopedGdiObject(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &Bits, nullptr, 0));
}

// The pixels the library keeps for the reply to ReplyWnd that carries Icon, if there are any.
bool ReadHandedOverPixels(HWND ReplyWnd, HICON Icon, TIconPixels& Pixels) {
    ScopedKernelHandle section(
        OpenFileMappingA(FILE_MAP_READ, FALSE, IconPixelsSectionName(FromHWND(ReplyWnd)).c_str()));
    if (!section)
        return false;
    // A section smaller than the block cannot be mapped at the block's size.
    ScopedView view(MapViewOfFile(section.get(), FILE_MAP_READ, 0, 0, sizeof(TIconPixels)));
    if (!view)
        return false;
    std::memcpy(&Pixels, view.get(), sizeof Pixels);
    return IconPixelsFor(Pixels, reinterpret_cast<uintptr_t>(Icon));
}

} // namespace

// ---- TIconHookLoader

TIconHookLoader::TIconHookLoader() : TIconHookLoader(ExtractFilePath(ExePath())) {}

TIconHookLoader::TIconHookLoader(std::string Folder) : FFolder(std::move(Folder)) {}

TIconHookLoader::~TIconHookLoader() {
    if (FIconHookActive && !StopIconHook())
        FLibrary.release(); // the shell may still call into it: it stays loaded
}

bool TIconHookLoader::LoadIconHookLibrary() {
    ScopedLibrary library(LoadLibraryA((FFolder + "images.dll").c_str()));
    if (!library)
        return false;
    FStartHook = reinterpret_cast<TStartHook>(GetProcAddress(library.get(), "StartHook"));
    FStopHook = reinterpret_cast<TStopHook>(GetProcAddress(library.get(), "StopHook"));
    if (FStartHook == nullptr || FStopHook == nullptr) {
        FStartHook = nullptr;
        FStopHook = nullptr;
        return false;
    }
    FLibrary = std::move(library);
    return true;
}

bool TIconHookLoader::StartIconHook() {
    if (!FIconHookLoaded)
        FIconHookLoaded = LoadIconHookLibrary();
    if (!FIconHookLoaded)
        return false;
    FIconHookResult = FStartHook();
    FIconHookActive = FIconHookResult != 0;
    return FIconHookActive;
}

bool TIconHookLoader::StopIconHook() {
    if (!FIconHookLoaded)
        return true;
    const bool stopped = IconHookStopped(static_cast<uint32_t>(FStopHook()));
    FIconHookActive = !stopped;
    if (stopped) {
        FIconHookResult = 0;
        FStartHook = nullptr;
        FStopHook = nullptr;
        FLibrary.reset();
        FIconHookLoaded = false;
    }
    return stopped;
}

// ---- TIconChannel

TIconChannel::~TIconChannel() {
    SetPendingIconGroup(nullptr);
}

void TIconChannel::SetPendingIconGroup(TGrupButtons* Group) {
    if (FPendingIconGroup != nullptr)
        FPendingIconGroup->OnDestroy = nullptr;
    FPendingIconGroup = Group;
    if (Group != nullptr)
        // A group list cleared while the request waits takes the group with it.
        Group->OnDestroy = [this](TGrupButtons&) { FPendingIconGroup = nullptr; };
}

bool TIconChannel::RequestIcon(HWND Toolbar, TGrupButtons& Group, int32_t ImageIndex,
                               HWND ReplyWnd) {
    SetPendingIconGroup(&Group);
    FDrawn = false;
    // The reply comes while this waits; a reply that comes later finds no group.
    struct TForget {
        TIconChannel& Channel;
        ~TForget() { Channel.SetPendingIconGroup(nullptr); }
    } forget{*this};
    SendIconRequest(Toolbar, ImageIndex, ReplyWnd);
    return FDrawn && FPendingIconGroup == &Group;
}

void TIconChannel::IconReply(HICON Icon, HWND ReplyWnd) {
    // Destroyed whatever happens. Under Wine, and on Windows for an icon of another process,
    // this does not reach the icon; the library that made it destroys it once the reply
    // has returned.
    ScopedIcon icon(Icon);
    if (FPendingIconGroup == nullptr || !icon)
        return;
    TBitmap16& bitmap = FPendingIconGroup->Icon;
    if (!DrawIconOnto(bitmap, icon.get())) {
        TIconPixels pixels;
        if (!ReadHandedOverPixels(ReplyWnd, icon.get(), pixels))
            return;
        ScopedIcon local = IconFromPixels(pixels);
        if (!local || !DrawIconOnto(bitmap, local.get()))
            return;
    }
    bitmap.Transparent = true;
    FDrawn = true;
}

bool DrawIconOnto(TBitmap16& Bitmap, HICON Icon) {
    void* bits = nullptr;
    ScopedGdiObject dib = MakeDib16(bits);
    ScopedDc dc(CreateCompatibleDC(nullptr));
    if (!dib || !dc)
        return false;
    auto* pixels = static_cast<uint32_t*>(bits);
    // Drawn once on black and once on white: a pixel that stays the background both times is
    // see-through, whether the icon says so by its mask or by its alpha. Nothing is taken from
    // the colours themselves, so an icon may use its corner's colour anywhere.
    std::array<uint32_t, TBitmap16::Width * TBitmap16::Height> onBlack{};
    for (const uint32_t background : {0u, TBitmap16::White}) {
        std::fill(pixels, pixels + Bitmap.Pixels.size(), background);
        bool drawn = false;
        {
            ScopedSelectObject selected(dc.get(), dib.get());
            // Width and height 0: the icon's own size.
            drawn = DrawIconEx(dc.get(), 0, 0, Icon, 0, 0, 0, nullptr, DI_NORMAL) != FALSE;
        }
        GdiFlush();
        if (!drawn)
            return false;
        if (background == 0)
            std::memcpy(onBlack.data(), pixels, sizeof onBlack);
    }
    std::array<uint8_t, TBitmap16::Width * TBitmap16::Height> clear{};
    for (std::size_t i = 0; i < Bitmap.Pixels.size(); ++i) {
        const uint32_t onWhite = pixels[i] & 0x00FFFFFF;
        Bitmap.Pixels[i] = onWhite;
        clear[i] = (onBlack[i] & 0x00FFFFFF) == 0 && onWhite == TBitmap16::White ? 1 : 0;
    }
    Bitmap.SetMask(clear);
    return true;
}

ScopedIcon IconFromPixels(const TIconPixels& Pixels) {
    const std::string rows = IconMaskRows(Pixels);
    ScopedGdiObject mask(CreateBitmap(TIconPixels::Side, TIconPixels::Side, 1, 1, rows.data()));
    void* bits = nullptr;
    ScopedGdiObject colour = MakeDib16(bits);
    if (!mask || !colour)
        return ScopedIcon();
    std::memcpy(bits, Pixels.Colour, sizeof Pixels.Colour);
    GdiFlush();
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = static_cast<HBITMAP>(mask.get());
    info.hbmColor = static_cast<HBITMAP>(colour.get());
    return ScopedIcon(CreateIconIndirect(&info)); // copies both bitmaps
}
