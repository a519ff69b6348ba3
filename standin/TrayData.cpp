#include "standin/TrayData.h"

#include "standin/StandinText.h"

#include <limits>

namespace standin {

namespace {
constexpr std::uint32_t kMaxIconSide = 256;
constexpr std::uint32_t kMaxBpp = 32;

std::uint32_t U32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

// A NUL-terminated UTF-16 field of `units` code units.
std::u16string Text16(const std::uint8_t* p, std::size_t units) {
    std::u16string out;
    for (std::size_t i = 0; i < units; ++i) {
        char16_t c = char16_t(p[2 * i] | p[2 * i + 1] << 8);
        if (!c)
            break;
        out += c;
    }
    return out;
}

bool Fail(std::string* error, const char* why) {
    if (error)
        *error = why;
    return false;
}
} // namespace

std::size_t TrayIconPlaneBytes(std::uint32_t width, std::uint32_t height, std::uint32_t planes,
                               std::uint32_t bpp) {
    unsigned long long bits = 1ull * planes * width * height * bpp;
    if (bits > std::numeric_limits<std::size_t>::max() / 2)
        return 0;
    return std::size_t((bits + 15) / 16 * 2);
}

std::optional<TrayRecord> DecodeTrayRecord(const std::uint8_t* data, std::size_t size,
                                           std::string* error) {
    if (!data || size < kTrayRecordSize) {
        Fail(error, "tray record shorter than 960 bytes");
        return std::nullopt;
    }
    TrayRecord r;
    r.wnd = U32(data + 0);
    r.uid = U32(data + 4);
    r.flags = U32(data + 8);
    r.callbackMessage = U32(data + 12);
    r.tip = Text16(data + 16, 128);
    r.state = U32(data + 272);
    r.stateMask = U32(data + 276);
    r.info = Text16(data + 280, 256);
    r.timeoutOrVersion = U32(data + 792);
    r.infoTitle = Text16(data + 796, 64);
    r.infoFlags = U32(data + 924);
    if (r.flags & kNifIcon) {
        TrayIconBits bits;
        bits.width = U32(data + 944);
        bits.height = U32(data + 948);
        bits.planes = U32(data + 952);
        bits.bpp = U32(data + 956);
        if (!bits.width || !bits.height || bits.width > kMaxIconSide ||
            bits.height > kMaxIconSide || bits.planes != 1 || !bits.bpp || bits.bpp > kMaxBpp) {
            Fail(error, "tray icon with impossible dimensions");
            return std::nullopt;
        }
        std::size_t plane = TrayIconPlaneBytes(bits.width, bits.height, bits.planes, 1);
        std::size_t colour = TrayIconPlaneBytes(bits.width, bits.height, bits.planes, bits.bpp);
        if (size - kTrayRecordSize < plane || size - kTrayRecordSize - plane < colour) {
            Fail(error, "tray icon bits shorter than the icon");
            return std::nullopt;
        }
        const std::uint8_t* p = data + kTrayRecordSize;
        bits.mask.assign(p, p + plane);
        bits.colour.assign(p + plane, p + plane + colour);
        r.icon = std::move(bits);
    }
    return r;
}

void TrayIconList::Change(TrayIcon& icon, const TrayRecord& record) {
    if (record.flags & kNifMessage)
        icon.callbackMessage = record.callbackMessage;
    if (record.flags & kNifTip)
        icon.tip = record.tip;
    if ((record.flags & kNifState) && (record.stateMask & kNisHidden))
        icon.hidden = (record.state & kNisHidden) != 0;
    if ((record.flags & kNifIcon) && record.icon) {
        icon.icon = record.icon;
        icon.iconSerial = nextSerial_++;
    }
}

bool TrayIconList::Apply(std::uint32_t command, const TrayRecord& record) {
    TrayIcon* found = nullptr;
    std::size_t at = 0;
    for (; at < icons_.size(); ++at)
        if (icons_[at].wnd == record.wnd && icons_[at].uid == record.uid) {
            found = &icons_[at];
            break;
        }
    switch (TrayCommand(command)) {
    case TrayCommand::Add: {
        if (found)
            return false;
        TrayIcon icon;
        icon.wnd = record.wnd;
        icon.uid = record.uid;
        Change(icon, record);
        icons_.push_back(std::move(icon));
        return true;
    }
    case TrayCommand::Modify:
        if (!found)
            return false;
        Change(*found, record);
        return true;
    case TrayCommand::Delete:
        if (!found)
            return false;
        icons_.erase(icons_.begin() + at);
        return true;
    case TrayCommand::SetVersion:
        if (!found)
            return false;
        found->version = record.timeoutOrVersion;
        return true;
    case TrayCommand::SetFocus:
        return found != nullptr;
    }
    return false;
}

std::vector<const TrayIcon*> TrayIconList::Shown() const {
    std::vector<const TrayIcon*> out;
    for (const auto& icon : icons_)
        if (!icon.hidden)
            out.push_back(&icon);
    return out;
}

const TrayIcon* TrayIconList::Find(std::uint32_t wnd, std::uint32_t uid) const {
    for (const auto& icon : icons_)
        if (icon.wnd == wnd && icon.uid == uid)
            return &icon;
    return nullptr;
}

std::string FormatTrayLine(const TrayIcon& icon) {
    std::string line = "hwnd=" + Hex(icon.wnd) + " uid=" + std::to_string(icon.uid) +
                       " cb=" + Hex(icon.callbackMessage) + " icon=";
    if (icon.icon)
        line += std::to_string(icon.icon->width) + "x" + std::to_string(icon.icon->height);
    else
        line += "none";
    line += std::string(" hidden=") + (icon.hidden ? "1" : "0");
    line += " tip=" + EscapeLine(Utf16ToUtf8(icon.tip));
    return line;
}

} // namespace standin
