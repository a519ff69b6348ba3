#pragma once
// Tray icons as the stand-in shell receives them: Wine's Shell_NotifyIcon sends the tray
// window WM_COPYDATA with dwData = the NIM_ code and a platform-independent record (below),
// followed by the icon's bits when NIF_ICON is set. This unit decodes that record and keeps
// the list of icons; the shell builds the icon handles and draws them.
//
// Record layout (byte offsets, little-endian): 0 hWnd, 4 uID, 8 uFlags, 12 uCallbackMessage,
// 16 szTip (128 UTF-16 units), 272 dwState, 276 dwStateMask, 280 szInfo (256 units),
// 792 uTimeout/uVersion, 796 szInfoTitle (64 units), 924 dwInfoFlags, 928 guidItem (16),
// 944 icon width, 948 height, 952 planes, 956 bits per pixel; 960 the icon bits: the mask,
// then the colour bits, each (planes * width * height * bpp + 15) / 16 * 2 bytes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace standin {

constexpr std::size_t kTrayRecordSize = 960;
constexpr std::uint32_t kNifMessage = 0x01, kNifIcon = 0x02, kNifTip = 0x04, kNifState = 0x08,
                        kNifInfo = 0x10;
constexpr std::uint32_t kNisHidden = 0x01;
enum class TrayCommand : std::uint32_t {
    Add = 0,
    Modify = 1,
    Delete = 2,
    SetFocus = 3,
    SetVersion = 4
};

struct TrayIconBits {
    std::uint32_t width = 0, height = 0, planes = 0, bpp = 0;
    std::vector<std::uint8_t> mask, colour;
};

struct TrayRecord {
    std::uint32_t wnd = 0, uid = 0, flags = 0, callbackMessage = 0;
    std::u16string tip;
    std::uint32_t state = 0, stateMask = 0;
    std::u16string info;
    std::uint32_t timeoutOrVersion = 0;
    std::u16string infoTitle;
    std::uint32_t infoFlags = 0;
    std::optional<TrayIconBits> icon; // present with NIF_ICON
};

// Decodes one WM_COPYDATA of the tray. Fails (nullopt, with the reason in `error`) on a record
// that is too short, icon bits that do not fit, or absurd icon dimensions.
std::optional<TrayRecord> DecodeTrayRecord(const std::uint8_t* data, std::size_t size,
                                           std::string* error = nullptr);
// The byte size of one icon plane (mask or colour) as Wine computes it; 0 on overflow.
std::size_t TrayIconPlaneBytes(std::uint32_t width, std::uint32_t height, std::uint32_t planes,
                               std::uint32_t bpp);

struct TrayIcon {
    std::uint32_t wnd = 0, uid = 0;
    std::uint32_t callbackMessage = 0;
    std::u16string tip;
    bool hidden = false;
    std::uint32_t version = 0;
    std::optional<TrayIconBits> icon;
    unsigned iconSerial = 0; // changes whenever the icon's bits change
};

// The notification area's icons in the order they were added.
class TrayIconList {
public:
    // Carries out one Shell_NotifyIcon call; its result is the call's result: adding a known
    // icon, or changing or deleting an unknown one, fails.
    bool Apply(std::uint32_t command, const TrayRecord& record);
    const std::vector<TrayIcon>& Icons() const { return icons_; }
    // The icons that are drawn (not hidden), in order.
    std::vector<const TrayIcon*> Shown() const;
    const TrayIcon* Find(std::uint32_t wnd, std::uint32_t uid) const;
    void Clear() { icons_.clear(); }

private:
    void Change(TrayIcon& icon, const TrayRecord& record);
    std::vector<TrayIcon> icons_;
    unsigned nextSerial_ = 1;
};

// "hwnd=0x<h> uid=<n> cb=0x<msg> icon=<w>x<h>|none hidden=<0|1> tip=<text>" (the tip in
// UTF-8, escaped with EscapeLine).
std::string FormatTrayLine(const TrayIcon& icon);

} // namespace standin
