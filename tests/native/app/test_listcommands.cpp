// The list's commands against a fake desktop: programs whose windows have buttons on a taskbar
// with XP's grouping (one hidden header, then every shown window of the program), the moves
// and the hiding and showing of a program's group, and the record of the hidden windows.
#include "app/ListCommands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

class TFakeDesktop : public ITaskbar, public IUserWindows, public IHiddenRecord {
public:
    // Programs in taskbar order; program p's windows are 100 * (p + 1) + 1, + 2, ...
    explicit TFakeDesktop(const std::vector<std::pair<std::string, int>>& Programs) {
        for (std::size_t p = 0; p < Programs.size(); ++p) {
            Order.push_back(Programs[p].first);
            for (int k = 1; k <= Programs[p].second; ++k) {
                const TWndHandle w = TWndHandle(100 * (p + 1) + k);
                Windows[Programs[p].first].push_back(w);
                Shown[w] = true;
            }
        }
    }

    // ITaskbar: a hidden header per program with a shown window, then its shown windows.
    TGroupList Snapshot(bool Light, TWndHandle* Active) override {
        TButtonList buttons;
        auto add = [&](bool header, TWndHandle w, const std::string& caption) {
            auto b = std::make_unique<TTaskButton>();
            b->SetStyleState(header ? kBtnsDropDown : 0,
                             (header ? kTbStateHidden : 0) | (w == Pressed ? kTbStateChecked : 0));
            b->Index = static_cast<int32_t>(buttons.size());
            b->CommandId = static_cast<int32_t>(w != 0 ? w : 5000 + buttons.size());
            b->Wnd = Light ? 0 : w;
            b->Caption = caption;
            buttons.push_back(std::move(b));
        };
        for (const std::string& program : Order) {
            const std::vector<TWndHandle>& ws = Windows[program];
            if (std::none_of(ws.begin(), ws.end(), [&](TWndHandle w) { return Shown[w]; }))
                continue;
            add(true, 0, program);
            for (TWndHandle w : ws)
                if (Shown[w])
                    add(false, w, program + " " + std::to_string(w));
        }
        if (Active)
            *Active = Light ? 0 : LastPressedWindow(buttons);
        TGroupList groups;
        BuildSnapshot(Light, std::move(buttons), {}, groups);
        ++Snapshots;
        return groups;
    }
    bool MoveGroup(const TGroupId& Moving, const std::optional<TGroupId>& Before) override {
        Moves.push_back({Moving, Before});
        const std::string moving = ProgramOf(Moving.Lead);
        if (moving.empty() || (Before && ProgramOf(Before->Lead).empty()))
            return false;
        Order.erase(std::find(Order.begin(), Order.end(), moving));
        Order.insert(Before ? std::find(Order.begin(), Order.end(), ProgramOf(Before->Lead))
                            : Order.end(),
                     moving);
        return true;
    }

    // IUserWindows
    bool IsShown(TWndHandle Wnd) override { return Shown[Wnd]; }
    void Hide(TWndHandle Wnd) override {
        Log.push_back("hide " + std::to_string(Wnd));
        Shown[Wnd] = false;
    }
    void Show(TWndHandle Wnd) override {
        Log.push_back("show " + std::to_string(Wnd));
        Shown[Wnd] = true;
    }
    TWndHandle Foreground() override { return Front; }
    void SetForeground(TWndHandle Wnd) override { Front = Wnd; }

    // IHiddenRecord
    void Add(const std::vector<TWndHandle>& W) override {
        Log.push_back("record");
        Record.insert(Record.end(), W.begin(), W.end());
    }
    void Remove(const std::vector<TWndHandle>& W) override {
        for (TWndHandle w : W)
            Record.erase(std::remove(Record.begin(), Record.end(), w), Record.end());
    }

    std::string ProgramOf(TWndHandle Wnd) const {
        for (const auto& [program, ws] : Windows)
            if (std::find(ws.begin(), ws.end(), Wnd) != ws.end())
                return program;
        return {};
    }
    // The taskbar as its rows show it: caption and check state.
    std::vector<std::string> Rows(TListCommands& Commands) {
        std::vector<std::string> out;
        for (const TListRow& r : Commands.Rows().Rows)
            out.push_back(r.Caption + (r.Checked ? "+" : "-"));
        return out;
    }

    std::vector<std::string> Order;
    std::map<std::string, std::vector<TWndHandle>> Windows;
    std::map<TWndHandle, bool> Shown;
    std::vector<TWndHandle> Record;
    std::vector<std::string> Log;
    std::vector<std::pair<TGroupId, std::optional<TGroupId>>> Moves;
    TWndHandle Pressed = 0;
    TWndHandle Front = 0;
    int Snapshots = 0;
};

struct ListCommands : ::testing::Test {
    TFakeDesktop Desk{{{"alpha", 1}, {"notes", 2}, {"bravo", 1}}};
    THiddenGroups Hidden{&Desk};
    TListCommands Commands{Desk, Hidden, Desk};
    int Moved = 0;
    void SetUp() override {
        Commands.OnMoved = [this] { ++Moved; };
    }
    TGroupId Notes() { return {201, 201}; }
};

// A program of two windows is one row; unchecked, both windows hide (recorded first) and the
// row stays, unchecked; checked again, both come back and leave the record.
TEST_F(ListCommands, AProgramsWindowsHideAndShowTogether) {
    EXPECT_THAT(Desk.Rows(Commands), ElementsAre("alpha 101+", "notes 201+", "bravo 301+"));
    Desk.Pressed = Desk.Front = 101;

    Commands.SetChecked(Notes(), false);
    EXPECT_THAT(Desk.Log, ElementsAre("record", "hide 201", "hide 202"));
    EXPECT_THAT(Desk.Record, ElementsAre(201, 202));
    EXPECT_THAT(Desk.Rows(Commands), ElementsAre("alpha 101+", "bravo 301+", "notes 201-"));
    EXPECT_EQ(Desk.Front, 101);

    Desk.Log.clear();
    Commands.SetChecked(Notes(), true);
    EXPECT_THAT(Desk.Log, ElementsAre("show 201", "show 202"));
    EXPECT_THAT(Desk.Record, IsEmpty());
    EXPECT_THAT(Hidden.Groups(), IsEmpty());
    EXPECT_EQ(Desk.Rows(Commands).size(), 3u);

    // A row whose group has gone does nothing, either way.
    Desk.Log.clear();
    Commands.SetChecked({999, 999}, false);
    Commands.SetChecked(Notes(), true);
    EXPECT_THAT(Desk.Log, IsEmpty());
}

// Up and Down move the row's whole group, named by its identity, past its neighbour.
TEST_F(ListCommands, UpAndDownMoveTheWholeGroup) {
    ASSERT_TRUE(Commands.Move(Notes(), 1));
    EXPECT_THAT(Desk.Order, ElementsAre("alpha", "bravo", "notes"));
    EXPECT_EQ(Desk.Moves.back().second, std::nullopt); // down past the last: the end
    ASSERT_TRUE(Commands.Move(Notes(), -1));
    ASSERT_TRUE(Commands.Move(Notes(), -1));
    EXPECT_THAT(Desk.Order, ElementsAre("notes", "alpha", "bravo"));
    EXPECT_EQ(Moved, 3);
    // Nothing above the first row; no group for an unknown row.
    EXPECT_FALSE(Commands.Move(Notes(), -1));
    EXPECT_FALSE(Commands.Move({999, 0}, 1));
    EXPECT_EQ(Moved, 3);
    EXPECT_EQ(Desk.Moves.size(), 3u);
}

// The move keys find the group of the foreground window, or of the window that owns it.
TEST_F(ListCommands, MoveKeysMoveTheForegroundWindowsGroup) {
    ASSERT_TRUE(Commands.MoveGroupOfWindow(202, 0, -1));
    EXPECT_THAT(Desk.Order, ElementsAre("notes", "alpha", "bravo"));
    ASSERT_TRUE(Commands.MoveGroupOfWindow(7777, 101, -1)); // a dialog owned by alpha's window
    EXPECT_THAT(Desk.Order, ElementsAre("alpha", "notes", "bravo"));
    EXPECT_FALSE(Commands.MoveGroupOfWindow(301, 0, 1)); // at the end already
    EXPECT_FALSE(Commands.MoveGroupOfWindow(7777, 0, 1));
    EXPECT_EQ(Moved, 2);
}

// A hidden window its program shows again by itself leaves the hidden group and the record at
// the next refresh: it has its button again and no second row. Hidden again by its program, it
// is nobody's to show at Exit.
TEST_F(ListCommands, AWindowShownByItsProgramLeavesTheHiddenGroup) {
    Commands.SetChecked(Notes(), false);
    Desk.Shown[202] = true; // the program shows its second window
    EXPECT_THAT(Desk.Rows(Commands),
                ElementsAre("alpha 101+", "notes 202+", "bravo 301+", "notes 201-"));
    EXPECT_THAT(Desk.Record, ElementsAre(201));
    ASSERT_EQ(Hidden.Groups().size(), 1u);
    EXPECT_THAT(Hidden.Groups()[0].Group->Windows, ElementsAre(0, 201));

    Desk.Shown[202] = false; // and hides it again (to its own tray, say)
    Desk.Shown[201] = true;  // the first one comes back too: the group is empty and goes
    EXPECT_THAT(Hidden.ForgetShownByTheirPrograms(Desk), ElementsAre(201));
    EXPECT_THAT(Hidden.Groups(), IsEmpty());
    EXPECT_THAT(Desk.Record, IsEmpty());
    EXPECT_THAT(Desk.Rows(Commands), ElementsAre("alpha 101+", "notes 201+", "bravo 301+"));
}

} // namespace
