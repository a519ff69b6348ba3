// A middle click on a taskbar button: which window, if any, it closes.
#include "dragdrop/MiddleClick.h"

#include <gtest/gtest.h>

namespace {

// A toolbar row: a collapsed group's header (shown, members hidden) at 0..50, then two window
// buttons at 50..100 and 100..150; a hidden button (an expanded group's header) lies over all.
TButtonList Toolbar() {
    TButtonList list;
    auto add = [&](int32_t id, TWndHandle wnd, int32_t left, bool header, bool visible) {
        auto b = std::make_unique<TTaskButton>();
        b->CommandId = id;
        b->Wnd = wnd;
        b->Rect = {left, 0, left + 50, 24};
        b->IsGroupHeader = header;
        b->Visible = visible;
        list.push_back(std::move(b));
    };
    add(1, 0, 0, true, true);
    add(2, 0x2000, 0, false, false); // a member of the collapsed group
    add(3, 0, 0, true, false);
    add(4, 0x4000, 50, false, true);
    add(5, 0x5000, 100, false, true);
    return list;
}

TEST(MiddleClick, HitsTheVisibleButtonUnderThePoint) {
    const TButtonList b = Toolbar();
    EXPECT_EQ(TaskButtonAt(b, {10, 10}), b[0].get()) << "hidden buttons under it are skipped";
    EXPECT_EQ(TaskButtonAt(b, {50, 0}), b[3].get()) << "left and top edges belong to it";
    EXPECT_EQ(TaskButtonAt(b, {149, 23}), b[4].get());
    EXPECT_EQ(TaskButtonAt(b, {150, 10}), nullptr) << "right edge does not";
    EXPECT_EQ(TaskButtonAt(b, {60, 24}), nullptr) << "bottom edge does not";
    EXPECT_EQ(TaskButtonAt({}, {60, 10}), nullptr);
}

TEST(MiddleClick, ClosesOnlyWhenPressAndReleaseMeetOnOneWindowButton) {
    const TButtonList b = Toolbar();
    TMiddleClick click;
    click.Press(b[3].get());
    EXPECT_EQ(click.Release(b[3].get(), true), 0x4000);
    EXPECT_EQ(click.Release(b[3].get(), true), 0) << "one release per press";

    click.Press(b[3].get());
    EXPECT_EQ(click.Release(b[4].get(), true), 0) << "released on another button";
    click.Press(b[3].get());
    EXPECT_EQ(click.Release(nullptr, true), 0) << "released off the taskbar";
    EXPECT_EQ(click.Release(b[3].get(), true), 0) << "the earlier press is spent";
    click.Press(nullptr);
    EXPECT_EQ(click.Release(b[3].get(), true), 0) << "pressed off the taskbar";

    click.Press(b[3].get());
    click.Cancel(); // another button went down meanwhile
    EXPECT_EQ(click.Release(b[3].get(), true), 0);

    click.Press(b[3].get());
    EXPECT_EQ(click.Release(b[3].get(), false), 0) << "the option is off";
}

TEST(MiddleClick, NeverClosesAWholeGroupOrAButtonWithoutWindow) {
    const TButtonList b = Toolbar();
    TMiddleClick click;
    click.Press(b[0].get());
    EXPECT_EQ(click.Release(b[0].get(), true), 0) << "a collapsed group's header";

    TTaskButton gone = *b[4];
    gone.Wnd = 0; // the window was hidden or closed
    click.Press(&gone);
    EXPECT_EQ(click.Release(&gone, true), 0);

    // The toolbar changed between press and release: another window's button took the place.
    TTaskButton other = *b[4];
    other.Wnd = 0x6000;
    click.Press(b[4].get());
    EXPECT_EQ(click.Release(&other, true), 0);
}

} // namespace
