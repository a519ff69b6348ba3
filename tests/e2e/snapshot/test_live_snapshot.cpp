// The snapshot of a live stand-in taskbar: windows of two other programs, grouped as XP groups
// them, read back through the shell's process with their captions, handles and the active
// window, while the user hides, shows and collapses them.
#include "taskbar/Taskbar_win.h"

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

namespace {

struct TGroupView {
    std::vector<std::string> Captions;
    std::vector<HWND> Windows;
    bool NeedsAlternateMove;
    std::string Caption;
};

std::vector<TGroupView> Snapshot(bool Light, HWND& Active) {
    TTaskbar taskbar;
    TWndHandle active = 0;
    const TGroupList groups = taskbar.Snapshot(Light, &active);
    Active = ToHWND(active);
    std::vector<TGroupView> view;
    for (const TGroupListItem& item : groups) {
        TGroupView g{{}, {}, item.Group->NeedsAlternateMove, item.Group->Caption};
        for (const TGrupButtons::TItem& b : item.Group->Items)
            g.Captions.push_back(b.Button->Caption);
        for (TWndHandle w : item.Group->Windows)
            g.Windows.push_back(ToHWND(w));
        view.push_back(std::move(g));
    }
    return view;
}

class LiveSnapshot : public ::testing::Test {
protected:
    zvtest::StandinShell Shell;
    zvtest::SampleApp Notepad{"Notepad", {"notes.txt", "todo.txt"}};
    zvtest::SampleApp Paint{"Paint", {"untitled"}};
};

TEST_F(LiveSnapshot, GroupsTheWindowsOfEachProgramBehindItsHeader) {
    Paint.Activate(0);
    Shell.Sync();
    HWND active = nullptr;
    std::vector<TGroupView> groups = Snapshot(false, active);

    // Expanded groups: Notepad's hidden header with both its windows, then Paint's hidden
    // header with its window; each can be moved button by button.
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].Captions.size(), 3u);
    EXPECT_EQ(groups[0].Caption, "notes.txt");
    EXPECT_EQ(groups[0].Windows,
              (std::vector<HWND>{nullptr, Notepad.Window(0), Notepad.Window(1)}));
    EXPECT_FALSE(groups[0].NeedsAlternateMove);
    EXPECT_EQ(groups[1].Caption, "untitled");
    EXPECT_EQ(groups[1].Windows, (std::vector<HWND>{nullptr, Paint.Window(0)}));
    EXPECT_FALSE(groups[1].NeedsAlternateMove);
    EXPECT_EQ(active, Paint.Window(0));

    // A light snapshot: the same groups, no captions, no windows.
    std::vector<TGroupView> light = Snapshot(true, active);
    ASSERT_EQ(light.size(), 2u);
    for (size_t i = 0; i < light.size(); ++i) {
        EXPECT_EQ(light[i].Captions, std::vector<std::string>(groups[i].Captions.size()));
        EXPECT_TRUE(light[i].Windows.empty());
    }
    EXPECT_EQ(active, nullptr);
}

TEST_F(LiveSnapshot, FollowsWindowsHiddenShownRetitledAndCollapsed) {
    HWND active = nullptr;
    // A window shown again comes back at the end of its program's group.
    Notepad.Hide(0);
    Notepad.Show(0);
    Notepad.SetTitle(1, "todo.txt - edited");
    Shell.Sync();
    std::vector<TGroupView> groups = Snapshot(false, active);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].Caption, "todo.txt - edited");
    EXPECT_EQ(groups[0].Windows,
              (std::vector<HWND>{nullptr, Notepad.Window(1), Notepad.Window(0)}));

    // Collapsed, Notepad is one group: its visible header and both hidden members.
    Shell.Collapse(Notepad.Window(0));
    Shell.Sync();
    groups = Snapshot(false, active);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].Captions.size(), 3u);
    EXPECT_TRUE(groups[0].NeedsAlternateMove);
    // The members' windows are still on the group's list, the header has none.
    EXPECT_EQ(groups[0].Windows.size(), 3u);
    EXPECT_EQ(groups[0].Windows[0], nullptr);
    EXPECT_EQ(groups[1].Windows, (std::vector<HWND>{nullptr, Paint.Window(0)}));
}

} // namespace
