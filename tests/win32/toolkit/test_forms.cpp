// The framework against the real window manager: the error handler at every dispatch point,
// keyboard handling of forms, check boxes, page controls and close requests.
#include "toolkit/ComCtrls.h"
#include "toolkit/Dialogs.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {
std::string TextOf(HWND Wnd) {
    char text[512] = {};
    ::GetWindowTextA(Wnd, text, sizeof(text));
    return text;
}

// Catches the message boxes of this thread as they come up, keeps their title, text and
// buttons and answers each at once with Answer.
class TMessageBoxCatcher {
public:
    struct TBox {
        std::string Title;
        std::string Text;
        std::vector<std::string> Buttons;
    };

    TMessageBoxCatcher() {
        Instance = this;
        Hook_.reset(::SetWindowsHookExA(WH_CBT, &Proc, nullptr, ::GetCurrentThreadId()));
    }
    ~TMessageBoxCatcher() { Instance = nullptr; }

    std::vector<TBox> Boxes;
    int Answer = IDOK;

private:
    static LRESULT CALLBACK Proc(int Code, WPARAM WParam, LPARAM LParam) {
        if (Code == HCBT_ACTIVATE && Instance) {
            HWND box = reinterpret_cast<HWND>(WParam);
            char cls[64] = {};
            ::GetClassNameA(box, cls, sizeof(cls));
            if (std::string(cls) == "#32770") {
                TBox b{TextOf(box), TextOf(::GetDlgItem(box, 0xFFFF)), {}};
                for (HWND c = ::GetWindow(box, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
                    ::GetClassNameA(c, cls, sizeof(cls));
                    if (std::string(cls) == "Button")
                        b.Buttons.push_back(TextOf(c));
                }
                Instance->Boxes.push_back(b);
                ::PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(Instance->Answer), 0);
            }
        }
        return ::CallNextHookEx(nullptr, Code, WParam, LParam);
    }

    static TMessageBoxCatcher* Instance;
    ScopedHook Hook_;
};
TMessageBoxCatcher* TMessageBoxCatcher::Instance = nullptr;

// Runs the message loop until Condition holds; false after TimeoutMs.
bool PumpUntil(const std::function<bool()>& Condition, DWORD TimeoutMs = 5000) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        Application->ProcessMessages();
        if (Condition())
            return true;
        const DWORD spent = ::GetTickCount() - start;
        if (spent >= TimeoutMs)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, TimeoutMs - spent, QS_ALLINPUT);
    }
}

const TFormParams kTestForm{.ClassName = "TTestForm",
                            .Name = "TestForm",
                            .Caption = "Test",
                            .ClientWidth = 300,
                            .ClientHeight = 200};

// A form with the parts under test; each handler counts its calls and may be told to fail.
class TTestForm : public TForm {
public:
    explicit TTestForm(TComponent* Owner) : TForm(Owner, kTestForm) {
        Pages = Create<TPageControl>(
            TPageControlParams{.Name = "Pages", .Parent = this, .Bounds = {0, 0, 300, 150}});
        First = Create<TTabSheet>(
            TTabSheetParams{.Name = "First", .PageControl = Pages, .Caption = "First"});
        Check = Create<TCheckBox>(TCheckBoxParams{.Name = "Check",
                                                  .Parent = First,
                                                  .Bounds = {5, 5, 100, 20},
                                                  .Caption = "Check",
                                                  .OnClick = [this](TObject*) { ++CheckClicks; }});
        Second = Create<TTabSheet>(
            TTabSheetParams{.Name = "Second", .PageControl = Pages, .Caption = "Second"});
        OnSecond = Create<TButton>(TButtonParams{
            .Name = "OnSecond", .Parent = Second, .Bounds = {5, 5, 80, 25}, .Caption = "Hidden"});
        Go = Create<TButton>(TButtonParams{.Name = "Go",
                                           .Parent = this,
                                           .Bounds = {10, 160, 80, 25},
                                           .Caption = "Go",
                                           .Default = true,
                                           .OnClick = [this](TObject*) { Clicked("Go"); }});
        Other = Create<TButton>(TButtonParams{.Name = "Other",
                                              .Parent = this,
                                              .Bounds = {100, 160, 80, 25},
                                              .Caption = "Other",
                                              .OnClick = [this](TObject*) { Clicked("Other"); }});
        Stop = Create<TButton>(TButtonParams{.Name = "Stop",
                                             .Parent = this,
                                             .Bounds = {190, 160, 80, 25},
                                             .Caption = "Stop",
                                             .Cancel = true,
                                             .OnClick = [this](TObject*) { Clicked("Stop"); }});
        Ticker = Create<TTimer>(TTimerParams{"Ticker", 10, false, [this](TObject*) {
                                                 if (++Ticks == 1)
                                                     throw Exception("the timer failed");
                                             }});
        Msg = Create<TMessageBox>("Msg");
    }

    void Clicked(const std::string& Name) {
        Presses.push_back(Name);
        if (FailClicks)
            throw EOSError(5, "Access is denied.");
    }

    TPageControl* Pages;
    TTabSheet* First;
    TCheckBox* Check;
    TTabSheet* Second;
    TButton* OnSecond;
    TButton* Go;
    TButton* Other;
    TButton* Stop;
    TTimer* Ticker;
    TMessageBox* Msg;

    int CheckClicks = 0;
    int Ticks = 0;
    bool FailClicks = false;
    std::vector<std::string> Presses;
};

// An application with one test form, shown, whose errors go to the form's message box as the
// program's own handler does.
struct TTestApp {
    TTestApp() {
        App.SetTitle("ZvTest");
        App.CreateForm(Form);
        App.OnException = [this](TObject*, const Exception& E) {
            Form->Msg->Execute(E.Message, TMsgDlgType::mtWarning, TMsgDlgButtons::mbOK);
        };
        Form->Show();
        App.ProcessMessages();
    }

    // A key as the keyboard delivers it: posted to the control with the focus.
    void PressKey(WORD Vk) {
        HWND focus = ::GetFocus();
        ::PostMessageA(focus ? focus : Form->Handle(), WM_KEYDOWN, Vk, 1);
        App.ProcessMessages();
    }

    TApplication App;
    TTestForm* Form = nullptr;
};
} // namespace

TEST(ErrorHandler, AnErrorOfATimerIsShownAndTheTimerGoesOn) {
    TTestApp t;
    TMessageBoxCatcher boxes;
    t.Form->Ticker->SetEnabled(true);
    ASSERT_TRUE(PumpUntil([&] { return t.Form->Ticks >= 3; }));
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    EXPECT_EQ(boxes.Boxes[0].Title, "Warning");
    EXPECT_EQ(boxes.Boxes[0].Text, "the timer failed");
}

TEST(ErrorHandler, AnErrorOfAClickIsShownAndTheNextClickWorks) {
    TTestApp t;
    TMessageBoxCatcher boxes;
    t.Form->FailClicks = true;
    ::SendMessageA(t.Form->Go->Handle(), BM_CLICK, 0, 0);
    t.Form->FailClicks = false;
    ::SendMessageA(t.Form->Go->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(t.Form->Presses, (std::vector<std::string>{"Go", "Go"}));
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    EXPECT_EQ(boxes.Boxes[0].Text, "System Error.  Code: 5.\r\nAccess is denied.");
}

TEST(ErrorHandler, AnErrorOfAKeyHandlerIsShown) {
    TTestApp t;
    TMessageBoxCatcher boxes;
    t.Form->KeyPreview = true;
    t.Form->OnKeyDown = [](TObject*, uint16_t&, TShiftState) { throw Exception("no keys"); };
    t.PressKey('A');
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    EXPECT_EQ(boxes.Boxes[0].Text, "no keys");
}

TEST(ErrorHandler, WithoutAHandlerTheApplicationShowsTheErrorUnderItsTitle) {
    TTestApp t;
    TMessageBoxCatcher boxes;
    t.App.OnException = nullptr;
    t.Form->FailClicks = true;
    ::SendMessageA(t.Form->Go->Handle(), BM_CLICK, 0, 0);
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    EXPECT_EQ(boxes.Boxes[0].Title, "ZvTest");
}

TEST(ErrorHandler, AFormWhoseCreationHandlerFailsIsStillMade) {
    struct TFailingForm : TForm {
        explicit TFailingForm(TComponent* Owner) : TForm(Owner, kTestForm) {
            OnCreate = [](TObject*) { throw Exception("creation failed"); };
        }
    };
    TApplication app;
    TMessageBoxCatcher boxes;
    TFailingForm* form = nullptr;
    app.CreateForm(form);
    ASSERT_TRUE(form);
    EXPECT_TRUE(::IsWindow(form->Handle()));
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    EXPECT_EQ(boxes.Boxes[0].Text, "creation failed");
}

TEST(MsgBox, AConfirmationAsksYesOrNoAndReturnsTheAnswer) {
    TTestApp t;
    TMessageBoxCatcher boxes;
    boxes.Answer = IDYES;
    EXPECT_EQ(t.Form->Msg->Execute("Go on?", TMsgDlgType::mtConfirmation, TMsgDlgButtons::mbYesNo),
              6);
    boxes.Answer = IDNO;
    EXPECT_EQ(t.Form->Msg->Execute("Go on?", TMsgDlgType::mtConfirmation, TMsgDlgButtons::mbYesNo),
              mrNo);
    boxes.Answer = IDOK;
    EXPECT_EQ(t.Form->Msg->Execute("Careful", TMsgDlgType::mtWarning, TMsgDlgButtons::mbOK), mrOk);
    ASSERT_EQ(boxes.Boxes.size(), 3u);
    EXPECT_EQ(boxes.Boxes[0].Title, "Confirmation");
    EXPECT_EQ(boxes.Boxes[0].Text, "Go on?");
    EXPECT_EQ(boxes.Boxes[0].Buttons, (std::vector<std::string>{"&Yes", "&No"}));
    EXPECT_EQ(boxes.Boxes[2].Title, "Warning");
    EXPECT_EQ(boxes.Boxes[2].Buttons, (std::vector<std::string>{"OK"}));
}

TEST(FormKeys, EnterPressesTheDefaultButtonAndEscapeTheCancelButton) {
    TTestApp t;
    t.Form->Check->SetFocus();
    t.PressKey(VK_RETURN);
    t.PressKey(VK_ESCAPE);
    t.Form->Other->SetFocus(); // Enter presses the focused push button; Escape still cancels
    t.PressKey(VK_RETURN);
    t.PressKey(VK_ESCAPE);
    EXPECT_EQ(t.Form->Presses, (std::vector<std::string>{"Go", "Stop", "Other", "Stop"}));
}

TEST(FormKeys, EnterAndEscapeWithAModifierPressNothing) {
    TTestApp t;
    t.Form->Check->SetFocus();
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    for (BYTE modifier : {VK_SHIFT, VK_CONTROL, VK_MENU}) {
        keys[modifier] = 0x80;
        ::SetKeyboardState(keys);
        t.PressKey(VK_RETURN);
        t.PressKey(VK_ESCAPE);
        keys[modifier] = 0;
        ::SetKeyboardState(keys);
    }
    EXPECT_TRUE(t.Form->Presses.empty());
}

TEST(FormKeys, TabVisitsTheControlsOfTheShownPageOnly) {
    TTestApp t;
    EXPECT_EQ(::GetFocus(), t.Form->Pages->Handle()); // the first control has the focus
    std::vector<HWND> visited;
    for (int i = 0; i < 5; ++i) {
        t.PressKey(VK_TAB);
        visited.push_back(::GetFocus());
    }
    EXPECT_EQ(visited, (std::vector<HWND>{t.Form->Check->Handle(), t.Form->Go->Handle(),
                                          t.Form->Other->Handle(), t.Form->Stop->Handle(),
                                          t.Form->Pages->Handle()}));
}

TEST(CheckBox, AClickAndAChangeFromCodeRunTheHandlerOnce) {
    TTestApp t;
    TCheckBox* c = t.Form->Check;
    ::SendMessageA(c->Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(c->Checked());
    EXPECT_EQ(t.Form->CheckClicks, 1);
    c->SetChecked(true); // no change, no click
    EXPECT_EQ(t.Form->CheckClicks, 1);
    c->SetChecked(false);
    EXPECT_FALSE(c->Checked());
    EXPECT_EQ(t.Form->CheckClicks, 2);
}

TEST(PageControl, SelectingATabShowsItsPageAlone) {
    TTestApp t;
    EXPECT_EQ(t.Form->Pages->ActivePageIndex(), 0);
    EXPECT_TRUE(t.Form->Check->Showing());
    EXPECT_FALSE(t.Form->OnSecond->Showing());
    t.Form->Pages->SetActivePageIndex(1);
    EXPECT_FALSE(t.Form->Check->Showing());
    EXPECT_TRUE(t.Form->OnSecond->Showing());
}

TEST(CloseRequest, TheMainFormEndsTheApplicationOnlyWhenAllowed) {
    TTestApp t;
    bool allow = false;
    t.Form->OnCloseQuery = [&](TObject*, bool& CanClose) { CanClose = allow; };
    ::SendMessageA(t.Form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(t.App.Terminated());
    EXPECT_TRUE(::IsWindow(t.Form->Handle()));
    allow = true;
    ::SendMessageA(t.Form->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(t.App.Terminated());
    // The request to end is taken by the loop: it ends at once.
    t.App.Run();
}

TEST(CloseRequest, TheSessionMayEndWhenTheFormMayClose) {
    TTestApp t;
    EXPECT_EQ(::SendMessageA(t.Form->Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
    t.Form->OnCloseQuery = [](TObject*, bool& CanClose) { CanClose = false; };
    EXPECT_EQ(::SendMessageA(t.Form->Handle(), WM_QUERYENDSESSION, 0, 0), FALSE);
}
