// The framework against the real window manager: the error handler at every dispatch point,
// keyboard handling of forms, check boxes, page controls, close requests, image lists and
// picture buttons.
#include "standin/MouseInput.h"
#include "tests/support/TestSupport.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Dialogs.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/ImgList.h"
#include "toolkit/StdCtrls.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

using zvtest::PumpUntil;

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
template <typename F = TTestForm> struct TTestApp {
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
    F* Form = nullptr;
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

namespace {
// A test picture: a square of Color in the middle of a transparent picture.
TBitmap16 Square(uint32_t Color) {
    TBitmap16 b;
    b.Pixels.fill(0x00FF00FF);
    b.Transparent = true;
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x)
            b.At(x, y) = Color;
    return b;
}

constexpr uint32_t kBlue = 0x002050C0;
constexpr uint32_t kGreen = 0x0030A030;
constexpr uint32_t kRed = 0x00C03020;

// A 32-bit memory surface to draw on, its pixels readable as 0x00RRGGBB.
class TSurface {
public:
    TSurface(int Width, int Height, uint32_t Background) : Width_(Width) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = Width;
        bi.bmiHeader.biHeight = -Height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        Bitmap_.reset(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        Bits_ = static_cast<uint32_t*>(bits);
        Dc_.reset(::CreateCompatibleDC(nullptr));
        Old_ = ::SelectObject(Dc_.get(), Bitmap_.get());
        for (int i = 0; i < Width * Height; ++i)
            Bits_[i] = Background;
    }
    ~TSurface() { ::SelectObject(Dc_.get(), Old_); }
    HDC Dc() const { return Dc_.get(); }
    uint32_t At(int X, int Y) const {
        ::GdiFlush();
        return Bits_[Y * Width_ + X] & 0x00FFFFFF;
    }

private:
    int Width_;
    ScopedGdiObject Bitmap_;
    ScopedDc Dc_;
    HGDIOBJ Old_ = nullptr;
    uint32_t* Bits_ = nullptr;
};

bool IsGrey(uint32_t P) {
    return (P >> 16) == (P & 0xFF) && ((P >> 8) & 0xFF) == (P & 0xFF);
}

// Picture buttons on a page and on the form, and a page control with pictures on its tabs.
class TPictureForm : public TForm {
public:
    explicit TPictureForm(TComponent* Owner)
        : TForm(Owner, TFormParams{.ClassName = "TPictureForm",
                                   .Name = "PictureForm",
                                   .Caption = "Pictures",
                                   .ClientWidth = 300,
                                   .ClientHeight = 250}) {
        Images = Create<TImageList>("Images");
        for (uint32_t c : {kBlue, kGreen, kRed})
            Images->Add(Square(c));
        Pages = Create<TPageControl>(TPageControlParams{
            .Name = "Pages", .Parent = this, .Bounds = {0, 0, 300, 190}, .Images = Images});
        One = Create<TTabSheet>(TTabSheetParams{
            .Name = "One", .PageControl = Pages, .Caption = "One", .ImageIndex = 0});
        Two = Create<TTabSheet>(TTabSheetParams{
            .Name = "Two", .PageControl = Pages, .Caption = "Two", .ImageIndex = 1});
        Up = Create<TButton>(
            TButtonParams{.Name = "Up",
                          .Parent = One,
                          .Bounds = {5, 5, 33, 150},
                          .Images = Images,
                          .ImageIndex = 0,
                          .OnClick = [this](TObject*) { Presses.push_back("Up"); }});
        Help = Create<TButton>(
            TButtonParams{.Name = "Help",
                          .Parent = this,
                          .Bounds = {10, 205, 80, 30},
                          .Caption = "Help",
                          .Images = Images,
                          .ImageIndex = 1,
                          .Default = true,
                          .OnClick = [this](TObject*) { Presses.push_back("Help"); }});
        Quit = Create<TButton>(
            TButtonParams{.Name = "Quit",
                          .Parent = this,
                          .Bounds = {100, 205, 80, 30},
                          .Caption = "Quit",
                          .Images = Images,
                          .ImageIndex = 2,
                          .Cancel = true,
                          .OnClick = [this](TObject*) { Presses.push_back("Quit"); }});
        Msg = Create<TMessageBox>("Msg");
    }

    TImageList* Images;
    TPageControl* Pages;
    TTabSheet* One;
    TTabSheet* Two;
    TButton* Up;
    TButton* Help;
    TButton* Quit;
    TMessageBox* Msg;
    std::vector<std::string> Presses;
};

using TPictureApp = TTestApp<TPictureForm>;

// Draws the button as its parent would have it drawn for WM_DRAWITEM.
void DrawButton(TButton* Button, const TSurface& Surface, UINT State) {
    const TBounds b = Button->Bounds();
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = State;
    item.hwndItem = Button->Handle();
    item.hDC = Surface.Dc();
    item.rcItem = {0, 0, b.Width, b.Height};
    ASSERT_TRUE(Button->DrawItem(item));
}

// Counts the mouse button releases the thread takes from its input queue.
class TMouseUpCounter {
public:
    TMouseUpCounter() {
        Ups = 0;
        Hook_.reset(::SetWindowsHookExA(WH_MOUSE, &Proc, nullptr, ::GetCurrentThreadId()));
    }
    static int Ups;

private:
    static LRESULT CALLBACK Proc(int Code, WPARAM WParam, LPARAM LParam) {
        if (Code == HC_ACTION && WParam == WM_LBUTTONUP)
            ++Ups;
        return ::CallNextHookEx(nullptr, Code, WParam, LParam);
    }
    ScopedHook Hook_;
};
int TMouseUpCounter::Ups = 0;

// A click of the real (injected) mouse at the middle of Wnd.
void ClickWithTheMouse(HWND Wnd) {
    RECT r{};
    ::GetWindowRect(Wnd, &r);
    standin::ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}
} // namespace

TEST(ImageList, TheComctlListHoldsThePicturesAddedBeforeAndAfterItWasMade) {
    TComponent owner(nullptr);
    auto* list = owner.Create<TImageList>("List");
    EXPECT_EQ(list->Add(Square(kBlue)), 0);
    HIMAGELIST h = list->Handle();
    ASSERT_TRUE(h);
    EXPECT_EQ(list->Add(Square(kRed)), 1);
    EXPECT_EQ(list->Handle(), h); // controls that hold it see the new picture too
    EXPECT_EQ(::ImageList_GetImageCount(h), 2);
    int w = 0, hgt = 0;
    ASSERT_TRUE(::ImageList_GetIconSize(h, &w, &hgt));
    EXPECT_EQ(w, 16);
    EXPECT_EQ(hgt, 16);
    EXPECT_EQ(list->Picture(1).At(8, 8), kRed);
    EXPECT_THROW(list->Picture(2), EListError);
}

TEST(ImageList, DrawingPaintsTheOpaquePixelsOnlyAndGreysThemWhenDisabled) {
    TComponent owner(nullptr);
    auto* list = owner.Create<TImageList>("List");
    list->Add(Square(kBlue));
    const uint32_t background = 0x00123456;
    TSurface enabled(20, 20, background);
    list->Draw(enabled.Dc(), 2, 2, 0);
    EXPECT_EQ(enabled.At(2 + 8, 2 + 8), kBlue);
    EXPECT_EQ(enabled.At(2 + 1, 2 + 1), background);
    EXPECT_EQ(enabled.At(0, 0), background);
    TSurface disabled(20, 20, background);
    list->Draw(disabled.Dc(), 2, 2, 0, false);
    EXPECT_TRUE(IsGrey(disabled.At(2 + 8, 2 + 8)));
    EXPECT_NE(disabled.At(2 + 8, 2 + 8), background);
    EXPECT_EQ(disabled.At(2 + 1, 2 + 1), background);
    EXPECT_THROW(list->Draw(enabled.Dc(), 0, 0, 1), EListError);
}

TEST(PictureButton, ThePictureIsDrawnInTheMiddleOfATallButtonPressedAndDisabled) {
    TPictureApp t;
    TButton* up = t.Form->Up;
    EXPECT_EQ(::GetWindowLongPtrA(up->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    // The 8 x 8 square of picture 0 in the middle of 33 x 150: columns 12 to 19, rows 71 to 78.
    TSurface normal(33, 150, 0);
    DrawButton(up, normal, 0);
    EXPECT_EQ(normal.At(16, 75), kBlue);
    EXPECT_EQ(normal.At(12, 71), kBlue);
    EXPECT_NE(normal.At(11, 70), kBlue);
    TSurface pressed(33, 150, 0);
    DrawButton(up, pressed, ODS_SELECTED);
    EXPECT_NE(pressed.At(12, 71), kBlue); // one pixel down and right
    EXPECT_EQ(pressed.At(13, 72), kBlue);
    TSurface greyed(33, 150, 0);
    DrawButton(up, greyed, ODS_DISABLED);
    EXPECT_TRUE(IsGrey(greyed.At(16, 75)));
    // Another picture on the same button.
    up->SetImageIndex(2);
    TSurface red(33, 150, 0);
    DrawButton(up, red, 0);
    EXPECT_EQ(red.At(16, 75), kRed);
}

TEST(PictureButton, AMouseClickAndAQuickSecondClickEachPressIt) {
    TPictureApp t;
    HWND up = t.Form->Up->Handle();
    const LPARAM middle = MAKELPARAM(16, 75);
    ::SendMessageA(up, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    ::SendMessageA(up, WM_LBUTTONUP, 0, middle);
    // The second click of a double click.
    ::SendMessageA(up, WM_LBUTTONDBLCLK, MK_LBUTTON, middle);
    ::SendMessageA(up, WM_LBUTTONUP, 0, middle);
    // Pressed, but released outside: no click.
    ::SendMessageA(up, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    ::SendMessageA(up, WM_LBUTTONUP, 0, MAKELPARAM(200, 75));
    EXPECT_EQ(t.Form->Presses, (std::vector<std::string>{"Up", "Up"}));
}

TEST(PictureButton, SpaceAndEnterPressTheFocusedPictureButton) {
    TPictureApp t;
    t.Form->Up->SetFocus();
    ::PostMessageA(t.Form->Up->Handle(), WM_KEYDOWN, VK_SPACE, 1);
    ::PostMessageA(t.Form->Up->Handle(), WM_KEYUP, VK_SPACE, 0xC0000001);
    t.App.ProcessMessages();
    t.PressKey(VK_RETURN);
    EXPECT_EQ(t.Form->Presses, (std::vector<std::string>{"Up", "Up"}));
}

TEST(PictureButton, DefaultAndCancelPictureButtonsTakeEnterAndEscape) {
    TPictureApp t;
    EXPECT_EQ(t.Form->DefaultButton, t.Form->Help);
    EXPECT_EQ(t.Form->CancelButton, t.Form->Quit);
    t.Form->Pages->SetFocus();
    t.PressKey(VK_RETURN);
    t.PressKey(VK_ESCAPE);
    EXPECT_EQ(t.Form->Presses, (std::vector<std::string>{"Help", "Quit"}));
    // The classic look of a default button: a frame of the window-frame colour around the
    // usual one, as the standard default button has.
    const COLORREF c = ::GetSysColor(COLOR_WINDOWFRAME);
    const uint32_t frame = GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
    TSurface s(80, 30, 0x00FF00FF);
    DrawButton(t.Form->Help, s, 0);
    EXPECT_EQ(s.At(0, 0), frame);
    EXPECT_EQ(s.At(40, 29), frame);
    TSurface plain(80, 30, 0x00FF00FF);
    DrawButton(t.Form->Quit, plain, 0);
    EXPECT_NE(plain.At(0, 0), frame);
}

TEST(PictureButton, ADisabledPictureButtonIsNotPressed) {
    TPictureApp t;
    t.Form->Help->SetEnabled(false);
    t.Form->Pages->SetFocus();
    t.PressKey(VK_RETURN);
    EXPECT_TRUE(t.Form->Presses.empty());

    // The real mouse: a click on the disabled button, then one on the enabled button.
    TMouseUpCounter ups;
    ::SetForegroundWindow(t.Form->Handle());
    t.Form->Up->SetEnabled(false);
    ClickWithTheMouse(t.Form->Up->Handle());
    ASSERT_TRUE(PumpUntil([] { return TMouseUpCounter::Ups >= 1; }));
    t.Form->Up->SetEnabled(true);
    ClickWithTheMouse(t.Form->Up->Handle());
    ASSERT_TRUE(PumpUntil([&] { return !t.Form->Presses.empty(); }));
    EXPECT_EQ(t.Form->Presses, (std::vector<std::string>{"Up"}));
}

TEST(PageControl, TheTabsShowThePicturesOfTheImageList) {
    TPictureApp t;
    HWND tabs = t.Form->Pages->Handle();
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(::SendMessageA(tabs, TCM_GETIMAGELIST, 0, 0)),
              t.Form->Images->Handle());
    EXPECT_EQ(t.Form->One->ImageIndex(), 0);
    EXPECT_EQ(t.Form->Two->ImageIndex(), 1);
    t.Form->Two->SetImageIndex(2);
    EXPECT_EQ(t.Form->Two->ImageIndex(), 2);
    // The pages still lie below the tabs, which the pictures may have made taller.
    RECT tab{};
    ::SendMessageA(tabs, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tab));
    EXPECT_GE(t.Form->One->Bounds().Top, tab.bottom);
}

namespace {
// A form shown modally over the test form, with a button that closes it with mrOk.
class TDialogForm : public TForm {
public:
    explicit TDialogForm(TComponent* Owner)
        : TForm(Owner, {.ClassName = "TDialogForm",
                        .Caption = "Dialog",
                        .ClientWidth = 200,
                        .ClientHeight = 100}) {
        Ok = Create<TButton>(TButtonParams{.Name = "Ok",
                                           .Parent = this,
                                           .Bounds = {10, 10, 75, 25},
                                           .Caption = "OK",
                                           .Default = true,
                                           .ModalResult = mrOk,
                                           .OnClick = [this](TObject*) { ++Clicks; }});
    }
    TButton* Ok;
    int Clicks = 0;
};
} // namespace

TEST(ModalForm, OtherFormsTakeNoInputUntilAButtonOrACloseRequestEndsIt) {
    TTestApp t;
    auto* dialog = t.App.Create<TDialogForm>();
    bool mainEnabled = true;
    HWND owner = nullptr;
    dialog->Ok->OnClick = [&](TObject*) {
        mainEnabled = t.Form->Enabled();
        owner = ::GetWindow(dialog->Handle(), GW_OWNER);
    };
    ::PostMessageA(dialog->Ok->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_FALSE(mainEnabled);
    // Owned by the main form meanwhile, so that the main form cannot cover it.
    EXPECT_EQ(owner, t.Form->Handle());
    EXPECT_EQ(::GetWindow(dialog->Handle(), GW_OWNER), t.App.Handle());
    EXPECT_TRUE(t.Form->Enabled());
    EXPECT_FALSE(dialog->Visible());
    EXPECT_FALSE(dialog->Modal());

    ::PostMessageA(dialog->Handle(), WM_CLOSE, 0, 0); // the close box
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    EXPECT_TRUE(::IsWindow(dialog->Handle()));
    ::PostMessageA(dialog->Handle(), WM_KEYDOWN, VK_RETURN, 1); // Enter: the default button
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_TRUE(t.Form->Enabled());
}

TEST(ModalForm, ItOpensInTheMiddleOfTheScreenWhereverItWasBefore) {
    TTestApp t;
    auto* dialog = t.App.Create<TDialogForm>();
    const TBounds b = dialog->Bounds();
    dialog->SetBounds({3, 4, b.Width, b.Height});
    ::PostMessageA(dialog->Handle(), WM_CLOSE, 0, 0);
    dialog->ShowModal();
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const TBounds c = dialog->Bounds();
    EXPECT_EQ(c.Width, b.Width);
    EXPECT_LE(std::abs(c.Left + c.Width / 2 - (work.left + work.right) / 2), 1);
    EXPECT_LE(std::abs(c.Top + c.Height / 2 - (work.top + work.bottom) / 2), 1);
}

TEST(ModalForm, AQuitRequestEndsItAndIsLeftForTheApplicationsLoop) {
    TTestApp t;
    auto* dialog = t.App.Create<TDialogForm>();
    ::PostQuitMessage(3);
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    MSG msg{};
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
}
