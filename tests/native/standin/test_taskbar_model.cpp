// Grouping rules of the stand-in taskbar and the toolbar updates that carry them out.
#include "standin/TaskbarModel.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace standin;

namespace {

AppWindow Win(WindowKey wnd, const std::string& app, const std::string& title, int image = 0) {
    return AppWindow{wnd, app, app, title, image};
}

// The toolbar as a compact picture: "H" a hidden header, "h" a shown header, "w<title>" a
// window button, upper case "W" when hidden; "*" marks a checked button.
std::string Shape(const std::vector<ButtonPlan>& buttons) {
    std::string out;
    for (const auto& b : buttons) {
        if (!out.empty())
            out += ' ';
        bool hidden = b.state & kStateHidden;
        if (b.header)
            out += hidden ? "H" : "h";
        else
            out += (hidden ? "W" : "w") + b.text;
        if (b.state & kStateChecked)
            out += '*';
    }
    return out;
}

} // namespace

TEST(TaskbarModel, WindowsJoinTheEndOfTheirApplicationsGroupOrStartOneAtTheEnd) {
    TaskbarModel m;
    m.AddWindow(Win(1, "notepad", "n1"));
    m.AddWindow(Win(2, "paint", "p1"));
    m.AddWindow(Win(3, "notepad", "n2"));
    m.AddWindow(Win(4, "calc", "c1"));
    m.AddWindow(Win(5, "paint", "p2"));
    EXPECT_EQ(Shape(m.Buttons()), "H wn1 wn2 H wp1 wp2 H wc1");
    EXPECT_FALSE(m.AddWindow(Win(3, "notepad", "again")));
    EXPECT_EQ((std::vector<WindowKey>{1, 3, 2, 5, 4}), m.Windows());
}

TEST(TaskbarModel, AWindowThatGoesLosesItsButtonAndAnEmptyGroupItsHeader) {
    TaskbarModel m;
    m.AddWindow(Win(1, "a", "a1"));
    m.AddWindow(Win(2, "b", "b1"));
    m.AddWindow(Win(3, "a", "a2"));
    ASSERT_TRUE(m.RemoveWindow(1));
    EXPECT_EQ(Shape(m.Buttons()), "H wa2 H wb1");
    ASSERT_TRUE(m.RemoveWindow(3));
    EXPECT_EQ(Shape(m.Buttons()), "H wb1");
    EXPECT_FALSE(m.RemoveWindow(3));
    // Shown again, the window starts a new group at the end.
    m.AddWindow(Win(1, "a", "a1"));
    EXPECT_EQ(Shape(m.Buttons()), "H wb1 H wa1");
}

TEST(TaskbarModel, CollapsedGroupShowsItsHeaderAndHidesItsWindows) {
    TaskbarModel m;
    m.AddWindow(Win(1, "a", "a1"));
    m.AddWindow(Win(2, "a", "a2"));
    m.AddWindow(Win(3, "b", "b1"));
    ASSERT_TRUE(m.SetCollapsed(2, true));
    auto buttons = m.Buttons();
    EXPECT_EQ(Shape(buttons), "h Wa1 Wa2 H wb1");
    EXPECT_EQ(buttons[0].text, "2 a");
    EXPECT_EQ(buttons[0].style, kStyleDropDown);
    EXPECT_EQ(buttons[1].style, 0);
    // A collapsed group takes in its new windows hidden; the header counts them.
    m.AddWindow(Win(4, "a", "a3"));
    buttons = m.Buttons();
    EXPECT_EQ(Shape(buttons), "h Wa1 Wa2 Wa3 H wb1");
    EXPECT_EQ(buttons[0].text, "3 a");
    // The header's drop-down lists the group's windows.
    EXPECT_EQ((std::vector<WindowKey>{1, 2, 4}), m.GroupWindows(buttons[0].id));
    EXPECT_EQ((std::vector<WindowKey>{3}), m.GroupWindows(buttons[5].id));
    EXPECT_TRUE(m.GroupWindows(-5).empty());
    ASSERT_TRUE(m.SetCollapsed(1, false));
    EXPECT_EQ(Shape(m.Buttons()), "H wa1 wa2 wa3 H wb1");
    EXPECT_FALSE(m.SetCollapsed(99, true));
}

TEST(TaskbarModel, ForegroundWindowIsCheckedAndSoIsItsCollapsedHeader) {
    TaskbarModel m;
    m.AddWindow(Win(1, "a", "a1"));
    m.AddWindow(Win(2, "a", "a2"));
    m.AddWindow(Win(3, "b", "b1"));
    m.SetForeground(2);
    EXPECT_EQ(Shape(m.Buttons()), "H wa1 wa2* H wb1");
    m.SetCollapsed(1, true);
    EXPECT_EQ(Shape(m.Buttons()), "h* Wa1 Wa2* H wb1");
    m.SetForeground(3);
    EXPECT_EQ(Shape(m.Buttons()), "h Wa1 Wa2 H wb1*");
    m.RemoveWindow(3);
    EXPECT_EQ(m.Foreground(), 0u);
}

TEST(TaskbarModel, HeaderTakesTheImageOfItsFirstWindow) {
    TaskbarModel m;
    m.AddWindow(Win(1, "a", "a1", 5));
    m.AddWindow(Win(2, "a", "a2", 6));
    EXPECT_EQ(m.Buttons()[0].image, 5);
    m.RemoveWindow(1);
    EXPECT_EQ(m.Buttons()[0].image, 6);
}

TEST(TaskbarModel, WithGroupingOffEveryWindowIsAGroupOfItsOwn) {
    TaskbarModel m(false);
    m.AddWindow(Win(1, "a", "a1"));
    m.AddWindow(Win(2, "b", "b1"));
    m.AddWindow(Win(3, "a", "a2"));
    EXPECT_EQ(Shape(m.Buttons()), "H wa1 H wb1 H wa2");
    EXPECT_EQ(m.Buttons()[4].text, "1 a");
    // Switching grouping on gathers an application where its first window stands...
    m.SetGrouping(true);
    EXPECT_EQ(Shape(m.Buttons()), "H wa1 wa2 H wb1");
    // ...and off again keeps that order.
    m.SetGrouping(false);
    EXPECT_EQ(Shape(m.Buttons()), "H wa1 H wa2 H wb1");
}

TEST(TaskbarModel, TitlesAndImagesReportWhetherTheyChanged) {
    TaskbarModel m;
    m.AddWindow(Win(1, "a", "old"));
    EXPECT_TRUE(m.SetTitle(1, "new"));
    EXPECT_FALSE(m.SetTitle(1, "new"));
    EXPECT_FALSE(m.SetTitle(2, "x"));
    EXPECT_TRUE(m.SetImage(1, 3));
    EXPECT_EQ(m.Buttons()[1].text, "new");
    EXPECT_EQ(m.Buttons()[1].image, 3);
}

TEST(TaskbarModel, AdoptsTheOrderGivenToTheToolbarFromOutside) {
    TaskbarModel m;
    m.AddWindow(Win(1, "a", "a1"));
    m.AddWindow(Win(2, "b", "b1"));
    m.AddWindow(Win(3, "c", "c1"));
    auto buttons = m.Buttons(); // H a1 H b1 H c1
    // Another program moves the pair of c in front of the pair of a.
    std::vector<int> ids = {buttons[4].id, buttons[5].id, buttons[0].id,
                            buttons[1].id, buttons[2].id, buttons[3].id};
    m.AdoptOrder(ids);
    EXPECT_EQ(Shape(m.Buttons()), "H wc1 H wa1 H wb1");
    // A new window of a still joins a's group, wherever that now is.
    m.AddWindow(Win(4, "a", "a2"));
    EXPECT_EQ(Shape(m.Buttons()), "H wc1 H wa1 wa2 H wb1");
}

TEST(TaskbarModel, AdoptOrderKeepsButtonsTheToolbarLacksInTheirPlaces) {
    TaskbarModel m;
    m.AddWindow(Win(1, "a", "a1"));
    m.AddWindow(Win(2, "b", "b1"));
    auto buttons = m.Buttons();
    // Only b's two buttons are listed (swapped), twice, plus an unknown id.
    m.AdoptOrder({buttons[3].id, buttons[2].id, buttons[3].id, 999});
    auto now = m.Buttons();
    EXPECT_EQ(now[0].id, buttons[0].id);
    EXPECT_EQ(now[1].id, buttons[1].id);
    EXPECT_EQ(now[2].id, buttons[3].id);
    EXPECT_EQ(now[3].id, buttons[2].id);
}

// ---- the toolbar plan --------------------------------------------------------------------

namespace {
ButtonPlan B(int id, const std::string& text, std::uint8_t state = kStateEnabled) {
    ButtonPlan b;
    b.id = id;
    b.text = text;
    b.state = state;
    return b;
}
std::string Ids(const std::vector<ButtonPlan>& buttons) {
    std::string out;
    for (const auto& b : buttons)
        out += std::to_string(b.id) + b.text + " ";
    return out;
}
} // namespace

TEST(ToolbarPlan, TurnsTheCurrentButtonsIntoTheWantedOnes) {
    struct Case {
        int line;
        std::vector<ButtonPlan> current, wanted;
        std::size_t maxOps;
    };
    const std::vector<Case> cases = {
        {__LINE__, {}, {B(1, "a"), B(2, "b")}, 2},
        {__LINE__, {B(1, "a"), B(2, "b")}, {}, 2},
        {__LINE__, {B(1, "a"), B(2, "b"), B(3, "c")}, {B(1, "a"), B(3, "c")}, 1},
        {__LINE__, {B(1, "a"), B(3, "c")}, {B(1, "a"), B(2, "b"), B(3, "c")}, 1},
        {__LINE__, {B(1, "a"), B(2, "b")}, {B(1, "a"), B(2, "B")}, 1},
        {__LINE__, {B(1, "a"), B(2, "b"), B(3, "c")}, {B(3, "c"), B(1, "a"), B(2, "b")}, 2},
        {__LINE__, {B(1, "a"), B(2, "b"), B(3, "c")}, {B(4, "d"), B(3, "c"), B(1, "x")}, 5},
        {__LINE__, {B(1, "a")}, {B(1, "a")}, 0},
    };
    for (const auto& c : cases) {
        auto ops = PlanToolbarUpdate(c.current, c.wanted);
        auto result = c.current;
        ApplyToolbarPlan(result, ops);
        EXPECT_EQ(Ids(result), Ids(c.wanted)) << "line " << c.line;
        EXPECT_LE(ops.size(), c.maxOps) << "line " << c.line;
    }
}

TEST(ToolbarPlan, LeavesTheToolbarsOwnStateBitsAlone) {
    // The toolbar sets TBSTATE_WRAP on a vertical bar and TBSTATE_PRESSED under the mouse;
    // they are no reason for an update, and an update keeps them.
    std::vector<ButtonPlan> current = {B(1, "a", kStateEnabled | kStateWrap | kStatePressed)};
    EXPECT_TRUE(PlanToolbarUpdate(current, {B(1, "a")}).empty());
    auto ops = PlanToolbarUpdate(current, {B(1, "a", kStateEnabled | kStateChecked)});
    ASSERT_EQ(ops.size(), 1u);
    EXPECT_TRUE(ops[0].state);
    EXPECT_FALSE(ops[0].text);
    ApplyToolbarPlan(current, ops);
    EXPECT_EQ(current[0].state, kStateEnabled | kStateWrap | kStatePressed | kStateChecked);
}

TEST(ToolbarPlan, ModelAndPlanTogetherKeepAButtonMovedFromOutside) {
    TaskbarModel m;
    m.AddWindow(Win(1, "a", "a1"));
    m.AddWindow(Win(2, "b", "b1"));
    std::vector<ButtonPlan> toolbar;
    ApplyToolbarPlan(toolbar, PlanToolbarUpdate(toolbar, m.Buttons()));
    // b's pair is moved to the front on the toolbar, then a window of a appears.
    std::rotate(toolbar.begin(), toolbar.begin() + 2, toolbar.end());
    std::vector<int> ids;
    for (const auto& b : toolbar)
        ids.push_back(b.id);
    m.AdoptOrder(ids);
    m.AddWindow(Win(3, "a", "a2"));
    auto ops = PlanToolbarUpdate(toolbar, m.Buttons());
    // One insertion, and the header's count goes up; nothing is moved back.
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_EQ(ops[0].kind, ToolbarOp::Update);
    EXPECT_TRUE(ops[0].text);
    EXPECT_EQ(ops[1].kind, ToolbarOp::Insert);
    ApplyToolbarPlan(toolbar, ops);
    EXPECT_EQ(Shape(toolbar), "H wb1 H wa1 wa2");
}
