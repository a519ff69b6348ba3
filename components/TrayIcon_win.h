#pragma once
// TTrayIcon: one icon in the notification area, with a tooltip, mouse events, a popup menu
// at the pointer and an optional animation through an image list. The icon comes back when
// the shell restarts ("TaskbarCreated"). The component watches two windows of its process:
// the application's hidden window (minimising to the tray, the shell's restart) and its
// owner form (the focus on activation; showing the form brings the application forward).
#include <windows.h>

#include <shellapi.h>

#include <memory>
#include <string>

#include "components/TrayIcon.h"
#include "toolkit/Classes.h"
#include "toolkit/ScopedWin.h"

class TImageList;
class TPopupMenu;
class TTimer;
class TForm;
class TWindowHook;

// The callback message of the icon: wParam is the icon's id, lParam the mouse message.
constexpr UINT kTrayCallbackMessage = 0x800;
// The icon's id with the shell.
constexpr UINT kTrayIconId = 1;
// A refused add is tried again this often: often enough that the icon shows soon after the
// shell is ready at logon, seldom enough to cost nothing meanwhile.
constexpr UINT kAddRetryMs = 1000;

// The notify data handed to Shell_NotifyIconA: NOTIFYICONDATAA as Windows XP knows it, up to
// and without guidItem (the shell's "version 2" form). Its cbSize is the size of that form for
// the width of the build: 488 bytes on 32-bit Windows; the 64-bit structure, with 8-byte
// hWnd and hIcon and the padding they bring, is 504 bytes.
constexpr DWORD kTrayIconDataSize = NOTIFYICONDATAA_V2_SIZE;
#if defined(_WIN64)
static_assert(kTrayIconDataSize == 504, "XP's notify data on x86_64");
#else
static_assert(kTrayIconDataSize == 488, "XP's notify data on x86");
#endif

using TTrayMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TTrayMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TTrayCycleEvent = std::function<void(TObject* Sender, int NextIndex)>;

class TTrayIcon : public TComponent {
public:
    explicit TTrayIcon(TComponent* Owner, std::string Name = {});
    ~TTrayIcon() override;
    // The form has its components: the icon goes into the notification area (IconVisible),
    // unless the application is ending already.
    void Loaded() override;

    bool DesignPreview = false; // no effect at run time
    TImageList* IconList() const { return IconList_; }
    // Stores the list and selects its first image (IconIndex 0).
    void SetIconList(TImageList* Value);
    bool CycleIcons() const { return CycleIcons_; }
    // On: the icon steps through IconList from its first image every CycleInterval ms.
    void SetCycleIcons(bool Value);
    unsigned CycleInterval() const;
    void SetCycleInterval(unsigned Value);
    bool Enabled = true; // off: mouse actions on the icon are swallowed
    const std::string& Hint() const { return Hint_; }
    void SetHint(const std::string& Value);
    bool ShowHint() const { return ShowHint_; }
    void SetShowHint(bool Value);
    HICON Icon() const { return Icon_.get(); }
    // Shows a copy of Value.
    void SetIcon(HICON Value);
    bool IconVisible() const { return IconVisible_; }
    // True adds the icon to the notification area (ShowIcon), false removes it (HideIcon).
    void SetIconVisible(bool Value);
    int IconIndex() const { return IconIndex_; }
    // Shows image N of IconList, the last one when N is beyond the list; without a list the
    // index is 0 and the icon stays.
    void SetIconIndex(int N);
    TPopupMenu* PopupMenu = nullptr; // opened by a right press (and a left one with LeftPopup)
    bool LeftPopup = false;
    bool StartMinimized = false; // the application starts with its main form hidden
    bool MinimizeToTray = false; // minimising the application hides its main form

    TNotifyEvent OnClick; // a single left click, never one of a double click
    TNotifyEvent OnDblClick;
    TTrayMouseEvent OnMouseDown; // X, Y: the pointer on the screen
    TTrayMouseEvent OnMouseUp;
    TTrayMouseMoveEvent OnMouseMove;
    TTrayCycleEvent OnCycle;

    // NIM_ADD, NIM_DELETE and NIM_MODIFY with the current icon and tip; each returns
    // Shell_NotifyIconA's result. A refused NIM_ADD is tried again every kAddRetryMs until
    // the shell holds the icon or it is hidden.
    bool ShowIcon();
    bool HideIcon();
    bool ModifyIcon();
    // Opens PopupMenu (when it pops up automatically) at the pointer.
    void PopupAtCursor();

    // The hidden window that receives the icon's callback message.
    HWND Handle() const;
    // The notify data of the last Shell_NotifyIconA call.
    const NOTIFYICONDATAA& IconData() const { return IconData_; }
    unsigned ClickInterval() const;

private:
    class TTrayWindow;
    friend class TTrayWindow;

    void FillIconData();
    bool Notify(DWORD Message);
    void CallbackMessage(UINT MouseMessage);
    void Perform(const TTrayActions& Actions);
    void ClickTimerTimer(TObject* Sender);
    void CycleTimerTimer(TObject* Sender);
    void AddRetryTimerTimer(TObject* Sender);
    void ApplicationMessage(UINT Msg, WPARAM WParam, LPARAM LParam);
    void OwnerFormMessage(UINT Msg, WPARAM WParam, LPARAM LParam);
    TForm* OwnerForm() const;
    // Shows image IconIndex_ of IconList_.
    void CopyListIcon();

    TImageList* IconList_ = nullptr;
    bool CycleIcons_ = false;
    std::string Hint_;
    bool ShowHint_ = true;
    ScopedIcon Icon_;
    bool IconVisible_ = true;
    int IconIndex_ = 0;
    NOTIFYICONDATAA IconData_{};
    const UINT TaskbarCreated_;
    TTrayClicks Clicks_;
    bool FirstChange_ = true; // the application's first window-position change is to come
    TTrayWindow* Window_ = nullptr;
    TTimer* ClickTimer_ = nullptr;
    TTimer* CycleTimer_ = nullptr;
    TTimer* AddRetryTimer_ = nullptr;
    std::unique_ptr<TWindowHook> ApplicationHook_;
    std::unique_ptr<TWindowHook> OwnerFormHook_;
};
