#pragma once
// Forms (top-level windows) and the application object.
//
// The application owns a hidden window that owns every form, so no form gets a taskbar
// button of its own, and it runs the one message loop. Forms are made with
// Application->CreateForm, which builds the form with its components, runs Loaded on the
// components and then the form's OnCreate. The first form made is the main form: it is
// shown when the loop starts, and closing it ends the loop.
#include <windows.h>

#include <string>
#include <utility>

#include "toolkit/Controls.h"
#include "toolkit/Dialogs.h"
#include "toolkit/SysUtils.h"

class TButton;

enum class TBorderStyle {
    Dialog, // fixed-size dialog frame whose only caption button is Close
    None    // no frame, no caption
};

enum class TPosition {
    Designed,    // at Left, Top
    ScreenCenter // centred on the work area of the screen, again at each modal showing
};

struct TFormParams {
    std::string ClassName; // window class, also how other programs find the window
    std::string Name;
    std::string Caption;
    int ClientWidth = 0;
    int ClientHeight = 0;
    int Left = 0;
    int Top = 0;
    TPosition Position = TPosition::ScreenCenter;
    TBorderStyle BorderStyle = TBorderStyle::Dialog;
    bool StayOnTop = false;
    TFontDef Font;
    DWORD ExStyle = 0; // extended styles beyond those of the frame and StayOnTop
};

class TForm : public TWindow {
public:
    TForm(TComponent* Owner, TFormParams Params);
    ~TForm() override;

    TFontDef Font() const { return Font_; }
    // Where the form was placed when it was created.
    TPosition Position() const { return Position_; }

    // Shows the form and brings it to the front.
    void Show();
    void BringToFront();
    // Shows the form and handles messages until it is closed; meanwhile the other windows of
    // the thread that were visible take no input (timers and sent messages still reach
    // them), and a showing main form cannot come in front of it. The form closes when ModalResult
    // is set (a button with a ModalResult, or a close request: mrCancel) and is hidden again; the
    // result is returned. When the application's message loop is asked to end meanwhile, the form
    // closes with mrCancel and the request is left for that loop.
    int ShowModal();
    bool Modal() const { return Modal_; }
    // Moves the form to the middle of the work area of the screen.
    void CenterOnScreen();
    // A close request: CloseQuery decides; an allowed request on a modal form ends its showing
    // with mrCancel, on the main form ends the application, on any other form hides it.
    void Close();
    // OnCloseQuery when set, starting from CanClose = true.
    bool CloseQuery();

    // Runs the components' Loaded and then OnCreate (an error of OnCreate goes to the
    // application's error handler). Called once by TApplication::CreateForm.
    void AfterCreation();

    // Keyboard handling of the message loop for a message to this form or to one of its
    // controls: key preview, Enter and Escape, Tab. True when the message was used up.
    bool IsFormMessage(MSG& Msg);

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TCloseQueryEvent OnCloseQuery;
    bool KeyPreview = false; // OnKeyDown / OnKeyUp see keys before the focused control
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TButton* DefaultButton = nullptr; // set by the button itself
    TButton* CancelButton = nullptr;
    // The result of a modal showing (mrOk, mrCancel, ...); setting it while the form is modal
    // closes it.
    int ModalResult = mrNone;

protected:
    // A close request (the close box, SC_CLOSE, Alt+F4): Close.
    bool OnClose() override;
    // The session may end when the form may close (CloseQuery).
    bool OnQueryEndSession(LRESULT& Result) override;
    void OnShowWindow(bool Show) override;
    // The focus goes back to the control that had it when the form was last active, else to
    // the first control.
    bool OnActivate(UINT State) override;
    bool OnSetFocus() override;

private:
    bool DialogKey(uint16_t Key, TShiftState Shift);
    // The control after From in the Tab order (before it when Backwards), wrapping around;
    // the first (last) one when From is none of them.
    HWND NextTabStop(HWND From, bool Backwards) const;

    TFontDef Font_;
    TPosition Position_;
    HWND SavedFocus_ = nullptr;
    bool Modal_ = false;
};

struct TScrollBoxParams {
    std::string Name;
    TWinControl* Parent = nullptr;
    TBounds Bounds;
};

// A sunken box whose content (its child controls) may reach below it, moved up and down with
// a vertical scroll bar: dragging the thumb moves the content along (tracking), the arrows
// and the mouse wheel by small steps.
class TScrollBox : public TWindow {
public:
    TScrollBox(TComponent* Owner, TScrollBoxParams Params);

    // How far the content is scrolled up, in pixels (0: its top shows).
    int ScrollPos() const { return Pos_; }
    void ScrollTo(int Pos);
    // Fits the scroll range to the children as they lie now; call once they are all placed.
    void UpdateScrollRange();

protected:
    void WndProc(TMessage& Message) override;

private:
    int ClientHeight() const;

    int ContentHeight_ = 0; // from the top of the content to the bottom of its lowest child
    int Pos_ = 0;
};

class TApplication : public TComponent, public IDispatchErrors {
public:
    // Sets the process-wide Application; one at a time.
    TApplication();
    ~TApplication() override;

    // Loads the common controls.
    void Initialize();

    const std::string& Title() const { return Title_; }
    void SetTitle(const std::string& Value);
    // The hidden window that owns every form.
    HWND Handle() const;
    TForm* MainForm() const { return MainForm_; }

    // Creates a form owned by the application. Reference is set before the form's OnCreate
    // runs, as other forms' handlers may use it from there on.
    // Args follow the owner into F's constructor.
    template <typename F, typename... Args> void CreateForm(F*& Reference, Args&&... args) {
        Reference = Create<F>(std::forward<Args>(args)...);
        if (!MainForm_)
            MainForm_ = Reference;
        Reference->AfterCreation();
    }

    // Shows the main form (unless the application is already terminating) and runs the
    // message loop until the application terminates.
    void Run();
    // Asks the message loop to end; the request is taken when the loop next looks for a
    // message.
    void Terminate();
    bool Terminated() const { return Terminated_; }
    // Processes the messages waiting in the queue, then returns.
    void ProcessMessages();
    // Handles one message as the loop does.
    void ProcessMessage(MSG& Msg);

    // Call from a catch block: reports the exception being handled through OnException, or
    // with ShowException when that is not set. Never throws.
    void HandleException(TObject* Sender) noexcept override;
    void ShowException(const Exception& E);

    TExceptionEvent OnException;

private:
    class TAppWindow;
    void Report(TObject* Sender, const Exception& E) noexcept;

    std::string Title_;
    TAppWindow* Window_ = nullptr;
    TForm* MainForm_ = nullptr;
    bool Terminated_ = false;
};

extern TApplication* Application;

// The folder of the running program's file, with a trailing backslash.
std::wstring ExeFolder();
// The running program's file, in the system's code page.
std::string ExePath();

// The error handling of every dispatch point: the application's HandleException, or a plain
// message box when there is no application. Call from a catch block.
void HandleException(TObject* Sender) noexcept;
