#pragma once
// The icon channel between the program and the icon library images.dll, as plain data: the
// two registered message names, what a StopHook result means, and the blocks the library
// shares through named sections. The loader and the reply handling are in loader_hook_win.h;
// the library itself is libs/images.cpp.
//
// How an icon crosses from the shell to the program: the program sends the request message to
// the taskbar toolbar (wParam the image index, lParam its reply window). The library, hooked
// into the toolbar's thread, makes an icon of that image of the toolbar's image list and sends
// the reply message (wParam the icon handle) to the reply window before the request returns.
// On Windows the receiver draws that handle. Under Wine an icon handle of another process
// cannot be drawn, so while the reply is being handled the library also keeps the icon's
// pixels in a section named after the reply window (TIconPixels); a receiver that cannot draw
// the handle rebuilds the icon from them. After the reply returns the library destroys the
// icon itself when the receiver lives in another process, since a receiver cannot destroy an
// icon that another process owns.
#include <cstdint>
#include <string>

#include "taskbar/taskbuttons.h"

// The registered messages; their names are used byte for byte.
constexpr const char* kIconRequestMessageName =
    "Primesc de la Aplicatie cererea de interogare image_list";
constexpr const char* kIconReplyMessageName = "Trimit catre aplicatie id-ul iconului";

// StopHook's result: the hook has stopped when its low byte is 1.
bool IconHookStopped(uint32_t StopHookResult);

// The pixels of one 16 x 16 icon handed over with a reply. Fixed-size fields only, so that the
// layout is the same for 32-bit and 64-bit code.
struct TIconPixels {
    static constexpr uint32_t kMagic = 0x5A564943; // "ZVIC"
    static constexpr int Side = 16;
    uint32_t Magic = 0;
    uint32_t Size = 0; // sizeof(TIconPixels)
    uint64_t Icon = 0; // the icon handle of the reply these pixels belong to
    // 0xAARRGGBB, rows from the top: the colour bits as a 32-bit DIB holds them (alpha 0
    // everywhere for an icon without an alpha channel).
    uint32_t Colour[Side * Side] = {};
    // 1 where the icon's AND mask is set (the background shows through), else 0.
    uint8_t Mask[Side * Side] = {};
};
// The pixels belong to the reply that carried IconHandle and are complete.
bool IconPixelsFor(const TIconPixels& Pixels, uint64_t IconHandle);
// The mask as a monochrome bitmap's bits: 16 rows of two bytes, the leftmost pixel in the
// highest bit.
std::string IconMaskRows(const TIconPixels& Pixels);

// The section that holds the pixels while the reply to ReplyWnd is being handled.
std::string IconPixelsSectionName(TWndHandle ReplyWnd);
