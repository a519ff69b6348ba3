#pragma once
// Windowed controls. TWinControl wraps one window and its C++ object; TWindow is a window of
// one of our own classes, whose single static window procedure attaches the object at
// WM_NCCREATE and forwards every message to the virtual WndProc and its OnXxx handlers.
// Standard controls (buttons, tab controls) are plain TWinControls: their notifications
// (WM_COMMAND, WM_NOTIFY) reach the parent, which is always one of our windows, and the
// parent passes them on to the control's object.
//
// Any exception that escapes a handler is caught where the message was dispatched and given
// to the error handler among the window's owners (the application is one, see
// IDispatchErrors); the program goes on.
#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/Classes.h"
#include "toolkit/ScopedWin.h"

// Takes the errors raised while a window handles a message. The window's owner, or the
// nearest one up its owner chain, that offers this handles them (the application does);
// with none, a plain message box shows the error.
class IDispatchErrors {
public:
    // Called from a catch block.
    virtual void HandleException(TObject* Sender) noexcept = 0;

protected:
    ~IDispatchErrors() = default;
};
// Called from a catch block: the error goes to Sender's handler as above.
void DispatchError(TComponent* Sender) noexcept;
// A plain message box with the text of the error being handled (call from a catch block).
void ShowPlainError() noexcept;

// A timer whose ticks come to its owner's window as WM_TIMER with its id.
class ITimerTick {
public:
    virtual UINT_PTR TimerId() const = 0;
    virtual void Tick() = 0;

protected:
    ~ITimerTick() = default;
};

// One window message on its way through WndProc; Result is what the window procedure returns.
struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};

// Position and size in pixels, relative to the parent's client area.
struct TBounds {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

// A font by face name and height (negative: character height, as LOGFONT's lfHeight).
struct TFontDef {
    std::string Name = "Tahoma";
    int Height = -11;
    bool Bold = false;
    bool Underline = false;
};
// One font per definition for the whole process, created on first use.
HFONT SharedFont(const TFontDef& Def);

class TWinControl : public TComponent {
public:
    ~TWinControl() override;

    HWND Handle() const { return Handle_.get(); }
    // The object of one of our windows; null for any other window.
    static TWinControl* FromHandle(HWND Wnd);

    TWinControl* Parent() const { return Parent_; }

    bool Visible() const;
    void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and so are all its parents.
    bool Showing() const;
    bool Enabled() const;
    void SetEnabled(bool Value);
    std::string Caption() const;
    void SetCaption(const std::string& Value);
    TBounds Bounds() const;
    void SetBounds(const TBounds& B);
    void SetFocus();
    bool Focused() const;

    // A notification of WM_COMMAND (its code) or WM_NOTIFY, handed on by the parent window.
    virtual void CommandNotify(UINT Code);
    virtual bool Notify(const NMHDR& Header, LRESULT& Result);
    // WM_DRAWITEM of an owner-drawn control, handed on by the parent; true when drawn.
    virtual bool DrawItem(const DRAWITEMSTRUCT& Item);

protected:
    TWinControl(TComponent* Owner, std::string Name, TWinControl* Parent);

    struct TCreateArgs {
        const char* ClassName = nullptr;
        std::string Caption;
        DWORD Style = 0;
        DWORD ExStyle = 0;
        HWND ParentWnd = nullptr; // default: the parent control's window
        TBounds Bounds;
        TFontDef Font;
        void* Param = nullptr; // lpCreateParams
    };
    // Creates the window of a standard control (raises EOSError on failure) and attaches
    // this object to it.
    void CreateHandle(const TCreateArgs& Args);
    void AttachHandle(HWND Wnd);
    // Forgets the window without destroying it (it is being destroyed).
    HWND DetachHandle();

private:
    TWinControl* Parent_;
    ScopedWindow Handle_;
};

// A window of our own class (forms, tab sheets).
class TWindow : public TWinControl {
public:
    ~TWindow() override;

    // Timers deliver their ticks to the window of their owner.
    void AttachTimer(ITimerTick* Timer);
    void DetachTimer(ITimerTick* Timer);
    UINT_PTR NewTimerId() { return ++LastTimerId_; }

protected:
    TWindow(TComponent* Owner, std::string Name, TWinControl* Parent);

    // Registers the class (once per name) and creates the window with this object attached.
    void CreateWindowHandle(TCreateArgs Args);

    // Every message of the window passes here: the messages below go to their OnXxx handler,
    // and whatever no handler takes goes to DefWindowProc. Messages sent while the window is
    // being created reach this class's own handlers (the derived object is not complete yet).
    virtual void WndProc(TMessage& Message);
    void DefaultHandler(TMessage& Message);

    // Each returns true when it has handled the message (the window procedure then answers
    // 0, or the Result it set); false leaves the message to DefWindowProc.
    // WM_COMMAND and WM_NOTIFY of a child control go on to the control by default.
    virtual bool OnCommand(UINT Code, UINT Id, HWND Control);
    virtual bool OnNotify(const NMHDR& Header, LRESULT& Result);
    // WM_DRAWITEM of an owner-drawn child control goes on to the control by default.
    virtual bool OnDrawItem(const DRAWITEMSTRUCT& Item);
    // WM_TIMER: the tick of one of this window's timers by default.
    virtual bool OnTimer(UINT_PTR Id);
    virtual bool OnClose() { return false; }
    virtual bool OnQueryEndSession(LRESULT&) { return false; }
    virtual bool OnActivate(UINT) { return false; }
    virtual bool OnSetFocus() { return false; }
    // WM_SHOWWINDOW; the default processing follows in any case.
    virtual void OnShowWindow(bool) {}

private:
    static LRESULT CALLBACK WindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

    std::vector<ITimerTick*> Timers_;
    UINT_PTR LastTimerId_ = 0;
};

// The modifier keys as the calling thread sees them now.
TShiftState KeyboardShiftState();
// The modifier keys as they are held down at this moment.
TShiftState AsyncShiftState();
