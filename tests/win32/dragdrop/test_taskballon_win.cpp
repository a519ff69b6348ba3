// The balloon window in this process with the main window and the real mouse hook, against
// the stand-in taskbar: what it draws, and a drag carried by real mouse input whose release
// the hook does not report, so that the main window's mouse poll ends it.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "app/Program.h"
#include "app/TaskMain.h"
#include "dragdrop/TaskBallon.h"
#include "standin/MouseInput.h"
#include "taskbar/taskbuttons_win.h"
#include "tests/support/BenchSupport.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WindowCapture.h"

namespace {

constexpr DWORD kWaitMs = 10000;

POINT Middle(const TRect& R) {
    return {(R.Left + R.Right - 5) / 2, (R.Top + R.Bottom - 5) / 2};
}

class BalloonWindow : public ::testing::Test {
protected:
    BalloonWindow() {
        zvtest::ResetProgramSettings(); // no first-run question
        App.SetTitle("Zorvane");
        Program.CreateForms(App, false);
        Main = Program.Main;
        Balloon = Program.Balloon;
    }

    // Handles this thread's messages (the hook's among them) until Condition holds.
    bool PumpUntil(const std::function<bool()>& Condition) {
        const DWORD start = ::GetTickCount();
        while (!Condition()) {
            if (::GetTickCount() - start > kWaitMs)
                return false;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            App.ProcessMessages();
        }
        return true;
    }

    std::vector<TRect> Groups() { return zvtest::GroupRects(); }

    std::vector<std::string> Order() {
        std::vector<std::string> order;
        for (const zvtest::ButtonRecord& b : Shell.SyncAndDump())
            if (!b.Hidden())
                order.push_back(b.text);
        return order;
    }

    zvtest::StandinShell Shell;
    TProgram Program; // outlives the windows, which use it
    TApplication App;
    TfTaskBarMain* Main = nullptr;
    TFTaskBarBallon* Balloon = nullptr;
};

TEST_F(BalloonWindow, StartsTheHookAndDrawsItsPartsOverTheColourKey) {
    ASSERT_TRUE(Balloon->QLX_MouseHook1->Active());
    EXPECT_TRUE(Main->TimerHide->Enabled());
    EXPECT_TRUE(Main->TimerForce->Enabled());
    Main->TimerHide->SetEnabled(false);
    // The events below are the test's own: no real mouse move, posted by the hook's thread at
    // any time, may be taken along with them.
    Balloon->StopMouseHook();
    // A right click completed before the drag, still on record, does not end it at its first
    // move.
    standin::MoveMouseTo({2, 2});
    standin::PressButton(MOUSEEVENTF_RIGHTDOWN);
    standin::PressButton(MOUSEEVENTF_RIGHTUP);

    zvtest::TBenchToolbar bar(Shell, 3);
    const std::vector<TRect> groups = Groups();
    const POINT press = Middle(groups[1]);
    Balloon->QLX_MouseHook1MouseClick(nullptr, FromHWND(bar.Toolbar()), press.x, press.y,
                                      TMouseButton::Right, bmDown);
    ASSERT_TRUE(Balloon->Dragging()) << "a press of any button starts a drag";
    EXPECT_EQ(Balloon->SourceIndex(), 1);
    EXPECT_EQ(Balloon->Caption(), "Window 1");
    EXPECT_FALSE(Main->TimerRefresh->Enabled());

    // Laid out for the bottom edge: 200 x 135, the arrow below the shape.
    RECT client{};
    ::GetClientRect(Balloon->Handle(), &client);
    EXPECT_EQ(client.right, 200);
    EXPECT_EQ(client.bottom, 135);
    const zvtest::TCapture picture = zvtest::Capture(Balloon->Handle());
    ASSERT_EQ(picture.Width, 200);
    EXPECT_EQ(picture.At(0, 0), 0x808080u) << "outside the rounded corner: see-through";
    EXPECT_EQ(picture.At(199, 134), 0x808080u);
    EXPECT_EQ(picture.At(30, 20), 0xDEDEEFu) << "the shape's fill";
    EXPECT_EQ(picture.At(72 + 24, 85 + 42), 0xD40138u) << "the arrow's tip";

    // A move over the first group, then presses: one on another window changes nothing; one on
    // the third group starts the drag again from there, with no target.
    const POINT over = Middle(groups[0]);
    Balloon->QLX_MouseHook1MouseMove(nullptr, FromHWND(bar.Toolbar()), over.x, over.y);
    EXPECT_EQ(Balloon->TargetIndex(), 0);
    Balloon->QLX_MouseHook1MouseClick(nullptr, FromHWND(Balloon->Handle()), over.x, over.y,
                                      TMouseButton::Left, bmDown);
    EXPECT_EQ(Balloon->SourceIndex(), 1);
    EXPECT_EQ(Balloon->TargetIndex(), 0);
    const POINT again = Middle(groups[2]);
    Balloon->QLX_MouseHook1MouseClick(nullptr, FromHWND(bar.Toolbar()), again.x, again.y,
                                      TMouseButton::Left, bmDown);
    ASSERT_TRUE(Balloon->Dragging());
    EXPECT_EQ(Balloon->SourceIndex(), 2);
    EXPECT_EQ(Balloon->TargetIndex(), -1);
    EXPECT_FALSE(Main->TimerRefresh->Enabled());
}

TEST_F(BalloonWindow, TheMousePollEndsADragWhoseReleaseTheHookMissed) {
    Main->TimerHide->SetEnabled(false);
    zvtest::TBenchToolbar bar(Shell, 4);
    const std::vector<TRect> groups = Groups();
    ASSERT_EQ(groups.size(), 4u);

    standin::MoveMouseTo(Middle(groups[0]));
    standin::PressButton(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(PumpUntil([&] { return Balloon->Dragging(); }));
    EXPECT_FALSE(Main->TimerRefresh->Enabled()) << "the list pauses during a drag";

    POINT target = Middle(groups[2]);
    target.x = groups[2].Left + 3;
    standin::MoveMouseTo(target);
    ASSERT_TRUE(PumpUntil([&] { return Balloon->TargetIndex() == 2; }));
    EXPECT_TRUE(::IsWindowVisible(Balloon->Handle()));

    // The release never reaches the balloon.
    Balloon->QLX_MouseHook1->OnUnfiltered = [](TObject*, int32_t Code, int32_t, int32_t,
                                               bool& Handled) { Handled = (Code & 0xF) == 2; };
    standin::PressButton(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil([&] { return !Balloon->Dragging(); })) << "the poll never ended it";
    EXPECT_FALSE(::IsWindowVisible(Balloon->Handle()));
    EXPECT_TRUE(Main->TimerRefresh->Enabled()) << "the list refreshes again";
    EXPECT_EQ(Order(), (std::vector<std::string>{"Window 1", "Window 0", "Window 2", "Window 3"}));
}

} // namespace
