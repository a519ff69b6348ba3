// The help window: its texts at their places and in their fonts inside the scroll box, the OK
// button, its modal showing in the middle of the screen, and the movie, which starts over at
// each showing and leaves its area empty when the file beside the program is missing.
#include "app/Help.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "tests/support/TestSupport.h"
#include "tests/support/WindowCapture.h"

namespace {
struct THelpTest : ::testing::Test {
    THelpTest() { App.CreateForm(FHelp); }

    zvtest::TCapture Movie() const {
        return zvtest::Capture(FHelp->ShockwaveFlashEx1->Handle(), true);
    }
    TBounds InBox(const TWinControl* C) const {
        TBounds b = C->Bounds();
        b.Top += FHelp->TkScrollBox1->ScrollPos();
        return b;
    }

    TApplication App;
};

LOGFONTA FontOf(const TWinControl* C) {
    LOGFONTA lf{};
    auto font = reinterpret_cast<HGDIOBJ>(::SendMessageA(C->Handle(), WM_GETFONT, 0, 0));
    ::GetObjectA(font, sizeof(lf), &lf);
    return lf;
}

bool SameBounds(const TBounds& A, const TBounds& B) {
    return A.Left == B.Left && A.Top == B.Top && A.Width == B.Width && A.Height == B.Height;
}

// The movie file beside the program, put aside while this lives.
struct TMovieAside {
    TMovieAside() : Path(ExeFolder() + kDemoMovieFile), Aside(Path + L".aside") {
        Moved = ::MoveFileW(Path.c_str(), Aside.c_str()) != FALSE;
    }
    ~TMovieAside() {
        if (Moved)
            ::MoveFileW(Aside.c_str(), Path.c_str());
    }
    std::wstring Path, Aside;
    bool Moved = false;
};
} // namespace

TEST_F(THelpTest, TheTextsLieInTheScrollBoxAtTheirPlacesInTahoma13) {
    TFHelp& h = *FHelp;
    EXPECT_EQ(::GetWindowTextLengthA(h.Handle()), 4); // "Help"
    RECT client{};
    ::GetClientRect(h.Handle(), &client);
    EXPECT_EQ(client.right, 742);
    EXPECT_EQ(client.bottom, 523);
    EXPECT_TRUE(SameBounds(h.TkScrollBox1->Bounds(), {5, 5, 726, 476}));
    EXPECT_TRUE(SameBounds(h.TkButton1->Bounds(), {660, 495, 75, 25}));
    EXPECT_EQ(h.TkButton1->Caption(), "OK");
    EXPECT_EQ(h.DefaultButton, h.TkButton1);
    EXPECT_EQ(h.ShockwaveFlashEx1->Parent(), h.TkScrollBox1);
    EXPECT_TRUE(SameBounds(InBox(h.ShockwaveFlashEx1), {5, 30, 691, 246}));

    ASSERT_EQ(h.Labels.size(), 17u); // the last two name the move keys and the lasting order
    for (const TLabel* l : h.Labels) {
        EXPECT_EQ(l->Parent(), h.TkScrollBox1);
        const LOGFONTA f = FontOf(l);
        EXPECT_STREQ(f.lfFaceName, "Tahoma") << l->Caption();
        EXPECT_EQ(f.lfHeight, -13) << l->Caption();
    }
    struct {
        size_t Index;
        TBounds Bounds;
        bool Bold, Underline, Wraps;
        const char* Text;
    } samples[] = {
        {0,
         {5, 5, 461, 21},
         true,
         true,
         false,
         "How to arrange taskbar buttons using drag and drop"},
        {1,
         {5, 295, 630, 54},
         false,
         false,
         true,
         "Zorvane is a program which helps you arrange your task bar buttons the way you want "
         "them. You can simply use drag and drop to arrange the buttons.  Here is how to move a "
         "taskbar button using drag and drop:"},
        {4,
         {32, 390, 584, 37},
         false,
         false,
         true,
         "- While keeping the left mouse button pressed, move the mouse to the place where you "
         "want to put the button"},
        {7, {5, 475, 630, 21}, true, false, true, "Note:"},
        {10,
         {5, 590, 630, 21},
         false,
         false,
         true,
         "This feature is designed for expert users who want to quickly rearrange the buttons "
         "without visual noise. "},
        {11,
         {5, 650, 461, 21},
         true,
         true,
         false,
         "How to arrange taskbar buttons using drag and drop"},
        {14,
         {5, 760, 630, 41},
         false,
         false,
         true,
         "Each taskbar button has a checkbox which is by default checked. If you uncheck the "
         "checkbox of a taskbar button, that taskbar button along with the program window of "
         "that taskbar button will be hidden. "},
    };
    for (const auto& s : samples) {
        const TLabel* l = h.Labels[s.Index];
        EXPECT_EQ(l->Caption(), s.Text);
        EXPECT_TRUE(SameBounds(InBox(l), s.Bounds)) << s.Text;
        const LOGFONTA f = FontOf(l);
        EXPECT_EQ(f.lfWeight >= FW_BOLD, s.Bold) << s.Text;
        EXPECT_EQ(f.lfUnderline != 0, s.Underline) << s.Text;
        const auto style = ::GetWindowLongPtrA(l->Handle(), GWL_STYLE) & SS_TYPEMASK;
        EXPECT_EQ(style, s.Wraps ? SS_LEFT : SS_LEFTNOWORDWRAP) << s.Text;
    }
}

TEST_F(THelpTest, TheScrollBarReachesTheLastText) {
    TScrollBox& box = *FHelp->TkScrollBox1;
    RECT client{};
    ::GetClientRect(box.Handle(), &client);
    const TLabel* last = FHelp->Labels.back();
    EXPECT_GT(last->Bounds().Top + last->Bounds().Height, client.bottom); // below, at first
    ::SendMessageA(box.Handle(), WM_VSCROLL, SB_BOTTOM, 0);
    const TBounds b = last->Bounds();
    EXPECT_GT(box.ScrollPos(), 0);
    EXPECT_LE(b.Top + b.Height, client.bottom);
    EXPECT_EQ(b.Top + box.ScrollPos(), 860); // the content moved, not the text in it
    ::SendMessageA(box.Handle(), WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(box.ScrollPos(), 0);
    EXPECT_EQ(last->Bounds().Top, 860);
}

TEST_F(THelpTest, OkClosesTheModalWindowWhichOpensInTheMiddleOfTheScreen) {
    TFHelp& h = *FHelp;
    const TBounds before = h.Bounds();
    h.SetBounds({0, 0, before.Width, before.Height});
    ::PostMessageA(h.Handle(), WM_KEYDOWN, VK_RETURN, 1); // Enter: the default button, OK
    EXPECT_EQ(h.ShowModal(), mrOk);
    EXPECT_FALSE(h.Visible());
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const TBounds b = h.Bounds();
    EXPECT_LE(std::abs(b.Left + b.Width / 2 - (work.left + work.right) / 2), 1);
    EXPECT_LE(std::abs(b.Top + b.Height / 2 - (work.top + work.bottom) / 2), 1);
}

TEST_F(THelpTest, EachShowingPlaysTheMovieBesideTheProgramFromItsStart) {
    TMoviePlayer& player = *FHelp->ShockwaveFlashEx1;
    FHelp->Show();
    EXPECT_EQ(player.Movie(), ExeFolder() + L"Help\\drag-and-drop-demo.avi");
    ASSERT_TRUE(player.Playing()) << "the shipped movie does not play";
    const zvtest::TCapture first = Movie();
    ASSERT_TRUE(zvtest::PumpUntil([&] { return Movie().Pixels != first.Pixels; }, 10000))
        << "the movie does not move on";
    FHelp->Hide();
    FHelp->Show();
    EXPECT_EQ(Movie().Pixels, first.Pixels);
    FHelp->Hide();
}

TEST_F(THelpTest, WithoutTheMovieTheAreaStaysEmpty) {
    TMovieAside aside;
    ASSERT_TRUE(aside.Moved);
    FHelp->Show();
    EXPECT_FALSE(FHelp->ShockwaveFlashEx1->Playing());
    EXPECT_TRUE(zvtest::AllPixelsAre(Movie(), zvtest::Pixel(::GetSysColor(COLOR_BTNFACE))));
    FHelp->Hide();
}

namespace {
// A second Help while the window is open, as the tray menu or the demonstration timer asks
// for it from inside the modal loop; then Enter closes the window.
std::string g_SecondHelp;
void CALLBACK HelpAgain(HWND, UINT, UINT_PTR Id, DWORD) {
    ::KillTimer(nullptr, Id);
    try {
        g_SecondHelp = FHelp->ShowHelp() == mrNone ? "brought forward" : "shown again";
    } catch (const std::exception& e) {
        g_SecondHelp = e.what();
    }
    ::PostMessageA(FHelp->Handle(), WM_KEYDOWN, VK_RETURN, 1);
}
} // namespace

TEST_F(THelpTest, HelpAskedForWhileTheWindowIsOpenBringsItForward) {
    g_SecondHelp.clear();
    ::SetTimer(nullptr, 0, 50, &HelpAgain);
    EXPECT_EQ(FHelp->ShowHelp(), mrOk);
    EXPECT_EQ(g_SecondHelp, "brought forward");
    EXPECT_FALSE(FHelp->Visible());
}
