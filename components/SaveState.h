#pragma once
// The window state and outer bounds of a form in the registry (HKEY_CURRENT_USER), and the
// placing of a form on the work area. TSaveStateCore does the reading, writing and fitting
// on plain data through ISavedWindow; the component TSaveState (SaveState_win.h) links it to
// the form's frame. Platform-free.
#include <cstdint>
#include <functional>
#include <string>

#include "toolkit/Registry.h"

// A form's window state, stored as its number.
enum TSavedWindowState : uint8_t { swsNormal, swsMaximized, swsMinimized, swsRollup, swsTray };

// A form's outer bounds in screen pixels.
struct TFormBounds {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const TFormBounds& o) const {
        return Left == o.Left && Top == o.Top && Width == o.Width && Height == o.Height;
    }
};

// A monitor's work area in screen pixels (right and bottom exclusive).
struct TWorkArea {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

// Puts a form wholly on the work area, whatever its stored bounds: at least 100 x 100 and at
// most the work area's size, then pulled in from the left, top, right and bottom edges. The
// sums are taken in 64 bits, so that no stored number can overflow them.
TFormBounds FitToWorkArea(TFormBounds B, const TWorkArea& Work);
// Centred on the work area (halves rounded toward zero), then fitted.
TFormBounds CenterOnWorkArea(TFormBounds B, const TWorkArea& Work);

// What the saving needs of the form and its frame.
class ISavedWindow {
public:
    virtual TSavedWindowState WindowState() const = 0;
    virtual void SetWindowState(TSavedWindowState Value) = 0;
    virtual TFormBounds Bounds() const = 0;
    virtual void SetBounds(const TFormBounds& Value) = 0;
    // The work area of the monitor nearest to the bounds (of any monitor, were they on none).
    virtual TWorkArea WorkArea(const TFormBounds& Near) const = 0;

protected:
    ~ISavedWindow() = default;
};

class TSaveStateCore {
public:
    // OwnerName makes the default key "SaveState\" + OwnerName.
    explicit TSaveStateCore(const std::string& OwnerName);

    const std::string& KeyName() const { return KeyName_; }
    // Every "//" becomes "/"; a leading backslash goes when more than that one character is
    // left.
    void SetKeyName(const std::string& Value);
    bool CenterOnFirstRun = true;

    // The key opened: KeyName, or for a KeyName that begins with "SaveState\" the
    // executable's file name without folder and extension, a backslash and KeyName.
    std::string KeyPath(const std::string& ExePath) const;

    // Restore the window state and bounds (centring the window when no bounds are stored),
    // and store them. A registry error is handed to OnError with its text; whatever was
    // applied before it stays.
    void Load(ISavedWindow& Window, const std::string& ExePath);
    void Save(ISavedWindow& Window, const std::string& ExePath);
    static void Center(ISavedWindow& Window);
    static void FitToWorkArea(ISavedWindow& Window);

    std::function<void(const std::string& Message)> OnError;
    // The registry the values go to (HKEY_CURRENT_USER); the real one unless a test sets it.
    TRegistryFactory Registry;

private:
    template <typename Body> void WithKey(const std::string& ExePath, Body body);

    std::string KeyName_;
};
