#include "app/Help.h"

TFHelp* FHelp = nullptr;

namespace {
const TFontDef kText{"Tahoma", -13};
const TFontDef kBold{"Tahoma", -13, true};
const TFontDef kHeading{"Tahoma", -13, true, true};
const char kHeadingText[] = "How to arrange taskbar buttons using drag and drop";

struct TText {
    TBounds Bounds;
    const TFontDef& Font;
    const char* Text;
    bool WordWrap = true;
};

// Positions in the scroll box's content. The trailing spaces and the double space are the
// texts' own.
const TText kTexts[] = {
    {{5, 5, 461, 21}, kHeading, kHeadingText, false},
    {{5, 295, 630, 54},
     kText,
     "Zorvane is a program which helps you arrange your task bar buttons the way you want them. "
     "You can simply use drag and drop to arrange the buttons.  Here is how to move a taskbar "
     "button using drag and drop:"},
    {{32, 350, 600, 21}, kText, "- Move your mouse inside the taskbar button"},
    {{32, 370, 600, 21}, kText, "- Press the left mouse button, and keep it pressed"},
    {{32, 390, 584, 37},
     kText,
     "- While keeping the left mouse button pressed, move the mouse to the place where you want "
     "to put the button"},
    {{32, 425, 600, 21}, kText, "- Release the mouse button"},
    {{5, 445, 600, 21},
     kText,
     "The taskbar button will be dropped into the new location (where you have released the "
     "mouse button). "},
    {{5, 475, 630, 21}, kBold, "Note:"},
    {{5, 495, 630, 53},
     kText,
     "While moving the mouse you will see a blue bubble which informs you about the place where "
     "the button will be dropped. Please note that the bubble doesn't always appear - it appears "
     "only when you perform the operation slowly. "},
    {{5, 550, 630, 41},
     kText,
     "If you drag and drop the taskbar buttons quickly, the taskbar buttons will be moved "
     "according to your drag-and-drop, but the blue information bubble will NOT appear."},
    {{5, 590, 630, 21},
     kText,
     "This feature is designed for expert users who want to quickly rearrange the buttons "
     "without visual noise. "},
    {{5, 650, 461, 21}, kHeading, kHeadingText, false},
    {{5, 675, 630, 41},
     kText,
     "If you double-click the Zorvane icon in the system tray, the Zorvane window will appear. "
     "This is an alternate way to move taskbar buttons. "},
    {{5, 715, 630, 41},
     kText,
     "The window contains a list of taskbar buttons. You can select any taskbar button and press "
     "the green up and down buttons to move that taskbar button. "},
    {{5, 760, 630, 41},
     kText,
     "Each taskbar button has a checkbox which is by default checked. If you uncheck the "
     "checkbox of a taskbar button, that taskbar button along with the program window of that "
     "taskbar button will be hidden. "},
    {{5, 815, 630, 41},
     kText,
     "Without the mouse: press the Windows key, Shift and the Left arrow to move the button of "
     "the window you are working in one place to the left (up on a vertical taskbar), or the "
     "Windows key, Shift and the Right arrow to move it one place to the right (down)."},
    {{5, 860, 630, 41},
     kText,
     "Zorvane remembers the order you give the buttons and puts a program's button back in its "
     "place when you start the program again. The Settings tab changes the keys, turns this "
     "off and forgets your order."},
};
} // namespace

TFHelp::TFHelp(TComponent* Owner)
    : TForm(Owner, {.ClassName = "TFHelp",
                    .Name = "FHelp",
                    .Caption = "Help",
                    .ClientWidth = 742,
                    .ClientHeight = 523,
                    .Position = TPosition::ScreenCenter}) {
    TkScrollBox1 = Create<TScrollBox>(
        TScrollBoxParams{.Name = "TkScrollBox1", .Parent = this, .Bounds = {5, 5, 726, 476}});
    for (const TText& t : kTexts) {
        Labels.push_back(Create<TLabel>(TLabelParams{.Parent = TkScrollBox1,
                                                     .Bounds = t.Bounds,
                                                     .Caption = t.Text,
                                                     .WordWrap = t.WordWrap,
                                                     .Font = t.Font}));
        if (Labels.size() == 1)
            ShockwaveFlashEx1 = Create<TMoviePlayer>(TMoviePlayerParams{
                .Name = "ShockwaveFlashEx1", .Parent = TkScrollBox1, .Bounds = {5, 30, 691, 246}});
    }
    TkScrollBox1->UpdateScrollRange();
    TkButton1 = Create<TButton>(TButtonParams{.Name = "TkButton1",
                                              .Parent = this,
                                              .Bounds = {660, 495, 75, 25},
                                              .Caption = "OK",
                                              .Default = true,
                                              .ModalResult = mrOk});
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

TFHelp::~TFHelp() {
    FHelp = nullptr;
}

void TFHelp::FormShow(TObject*) {
    ShockwaveFlashEx1->SetMovie(ExeFolder() + kDemoMovieFile);
}

int TFHelp::ShowHelp() {
    if (!Modal())
        return ShowModal();
    BringToFront();
    ::SetForegroundWindow(Handle());
    return mrNone;
}

void TFHelp::WndProc(TMessage& Message) {
    if (Message.Msg == WM_MOUSEWHEEL) {
        Message.Result =
            ::SendMessageW(TkScrollBox1->Handle(), Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    TForm::WndProc(Message);
}
