#include "components/SaveState.h"

#include <algorithm>
#include <cstdint>
#include <memory>

namespace {
int Clamp64(int64_t V, int64_t Low, int64_t High) {
    return static_cast<int>(std::max(Low, std::min(V, High)));
}
} // namespace

TFormBounds FitToWorkArea(TFormBounds B, const TWorkArea& Work) {
    const int64_t workWidth = std::max<int64_t>(int64_t{Work.Right} - Work.Left, 100);
    const int64_t workHeight = std::max<int64_t>(int64_t{Work.Bottom} - Work.Top, 100);
    B.Width = Clamp64(B.Width, 100, workWidth);
    B.Height = Clamp64(B.Height, 100, workHeight);
    // Each edge in turn; the size fits, so the left and top edges stay on the area.
    B.Left = Clamp64(B.Left, Work.Left, int64_t{Work.Left} + workWidth - B.Width);
    B.Top = Clamp64(B.Top, Work.Top, int64_t{Work.Top} + workHeight - B.Height);
    return B;
}

TFormBounds CenterOnWorkArea(TFormBounds B, const TWorkArea& Work) {
    B.Left = static_cast<int>(Work.Left + (int64_t{Work.Right} - Work.Left - B.Width) / 2);
    B.Top = static_cast<int>(Work.Top + (int64_t{Work.Bottom} - Work.Top - B.Height) / 2);
    return FitToWorkArea(B, Work);
}

TSaveStateCore::TSaveStateCore(const std::string& OwnerName) {
    SetKeyName("SaveState\\" + OwnerName);
}

void TSaveStateCore::SetKeyName(const std::string& Value) {
    std::string s = Value;
    // One pass, as a replace-all does: "///" becomes "//".
    for (size_t at = s.find("//"); at != std::string::npos; at = s.find("//", at + 1))
        s.replace(at, 2, "/");
    if (s.size() > 1 && s.front() == '\\')
        s.erase(0, 1);
    KeyName_ = s;
}

std::string TSaveStateCore::KeyPath(const std::string& ExePath) const {
    if (KeyName_.rfind("SaveState\\", 0) != 0)
        return KeyName_;
    std::string file = ExePath.substr(ExePath.find_last_of("\\/") + 1);
    if (const size_t dot = file.rfind('.'); dot != std::string::npos)
        file.erase(dot);
    return file + "\\" + KeyName_;
}

template <typename Body> void TSaveStateCore::WithKey(const std::string& ExePath, Body body) {
    try {
        std::unique_ptr<TRegistry> reg = Registry(TRegRoot::CurrentUser, kKeyRead | kKeyWrite);
        const std::string path = KeyPath(ExePath);
        if (!reg || !reg->OpenKey(path, true))
            throw ERegistryException("Unable to open/create key:" + path);
        TOpenedKey opened(*reg);
        body(*reg);
    } catch (const std::exception& e) {
        if (OnError)
            OnError(e.what());
    }
}

void TSaveStateCore::Load(ISavedWindow& Window, const std::string& ExePath) {
    WithKey(ExePath, [&](TRegistry& reg) {
        if (reg.ValueExists("Left") && reg.ValueExists("Top") && reg.ValueExists("Width") &&
            reg.ValueExists("Height")) {
            const int state = reg.ValueExists("WindowState") ? reg.ReadInteger("WindowState") : 0;
            Window.SetWindowState(swsNormal);
            // One bound after the other: a bad value stops with the ones before it applied.
            TFormBounds b = Window.Bounds();
            for (auto [name, field] :
                 {std::pair{"Left", &TFormBounds::Left}, std::pair{"Top", &TFormBounds::Top},
                  std::pair{"Width", &TFormBounds::Width},
                  std::pair{"Height", &TFormBounds::Height}}) {
                b.*field = reg.ReadInteger(name);
                Window.SetBounds(b);
            }
            FitToWorkArea(Window);
            if ((state & 0xFF) == swsMaximized)
                Window.SetWindowState(swsMaximized);
        } else if (CenterOnFirstRun) {
            Center(Window);
        }
    });
}

void TSaveStateCore::Save(ISavedWindow& Window, const std::string& ExePath) {
    WithKey(ExePath, [&](TRegistry& reg) {
        const TSavedWindowState state = Window.WindowState();
        reg.WriteInteger("WindowState", state);
        if (state == swsMaximized)
            return; // the bounds saved before the window was maximized stay
        const TFormBounds b = Window.Bounds();
        reg.WriteInteger("Left", b.Left);
        reg.WriteInteger("Top", b.Top);
        reg.WriteInteger("Width", b.Width);
        reg.WriteInteger("Height", b.Height);
    });
}

void TSaveStateCore::Center(ISavedWindow& Window) {
    Window.SetWindowState(swsNormal);
    const TFormBounds b = Window.Bounds();
    Window.SetBounds(CenterOnWorkArea(b, Window.WorkArea(b)));
}

void TSaveStateCore::FitToWorkArea(ISavedWindow& Window) {
    Window.SetWindowState(swsNormal);
    const TFormBounds b = Window.Bounds();
    Window.SetBounds(::FitToWorkArea(b, Window.WorkArea(b)));
}
