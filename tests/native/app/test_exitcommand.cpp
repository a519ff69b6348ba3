#include "app/ExitCommand.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
// Records each step with the value Exiting has while it runs.
class TRecorder : public TExitSteps {
public:
    explicit TRecorder(const bool& exiting) : Exiting(exiting) {}
    void RemoveTrayIcon() override { Log("tray"); }
    void ShowHiddenWindow(TWndHandle Wnd) override { Log("show " + std::to_string(Wnd)); }
    void SaveControlStates() override { Log("controls"); }
    void SaveWindowState() override { Log("window"); }
    void StopMouseHook() override { Log("hook"); }
    void StopIconHook() override { Log("icons"); }
    void CloseMainWindow() override { Log("close"); }

    std::vector<std::string> Steps;

private:
    void Log(const std::string& step) { Steps.push_back(step + (Exiting ? " [exiting]" : "")); }
    const bool& Exiting;
};

std::unique_ptr<TGrupButtons> GroupOf(std::vector<TWndHandle> windows) {
    auto g = std::make_unique<TGrupButtons>();
    g->Windows = std::move(windows);
    return g;
}
} // namespace

using testing::ElementsAre;

TEST(ExitCommand, ShowsHiddenWindowsGroupByGroupThenSavesBeforeItEnds) {
    TGroupList hidden;
    AddGroup(hidden, GroupOf({0x10, 0x11}));
    AddGroup(hidden, GroupOf({0x20}));
    bool exiting = false;
    bool done = false;
    TRecorder steps(exiting);

    RunExitCommand(hidden, exiting, done, steps);

    EXPECT_TRUE(exiting);
    EXPECT_TRUE(done);
    EXPECT_THAT(steps.Steps,
                ElementsAre("tray", "show 16", "show 17", "show 32", "controls", "window",
                            "hook [exiting]", "icons [exiting]", "close [exiting]"));
    EXPECT_EQ(hidden.size(), 2u); // the groups stay in the list
}

TEST(ExitCommand, ASecondExitOnlyRemovesTheIconAndShowsTheWindows) {
    TGroupList hidden;
    AddGroup(hidden, GroupOf({0x10}));
    bool exiting = false;
    bool done = false;
    TRecorder first(exiting);
    RunExitCommand(hidden, exiting, done, first);

    TRecorder second(exiting);
    RunExitCommand(hidden, exiting, done, second);

    EXPECT_THAT(second.Steps, ElementsAre("tray [exiting]", "show 16 [exiting]"));
    ClearGroupList(hidden);
}

// A logoff that another program cancelled leaves Exiting set: Exit still ends the program,
// with the settings written and the hook and icon channel stopped.
TEST(ExitCommand, AfterACancelledLogoffStillEndsTheProgram) {
    TGroupList hidden;
    AddGroup(hidden, GroupOf({0x10}));
    bool exiting = true;
    bool done = false;
    TRecorder steps(exiting);

    RunExitCommand(hidden, exiting, done, steps);

    EXPECT_THAT(steps.Steps, ElementsAre("tray [exiting]", "show 16 [exiting]",
                                         "controls [exiting]", "window [exiting]", "hook [exiting]",
                                         "icons [exiting]", "close [exiting]"));
    EXPECT_TRUE(done);
    ClearGroupList(hidden);
}

TEST(ExitCommand, WithNoHiddenGroupsGoesStraightToTheSettings) {
    TGroupList hidden;
    bool exiting = false;
    bool done = false;
    TRecorder steps(exiting);

    RunExitCommand(hidden, exiting, done, steps);

    EXPECT_THAT(steps.Steps, ElementsAre("tray", "controls", "window", "hook [exiting]",
                                         "icons [exiting]", "close [exiting]"));
}
