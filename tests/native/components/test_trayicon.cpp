// The tray icon's click state machine and its plain rules.
#include "components/TrayIcon.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
using testing::ElementsAre;
using testing::IsEmpty;

// One input of a sequence: a mouse message, or 0 for a tick of the click timer.
constexpr uint32_t kTick = 0;

// The actions of a sequence as words, for readable expectations.
std::vector<std::string> Feed(TTrayClicks& Clicks, const std::vector<uint32_t>& Inputs,
                              const TTrayMouseContext& Context = {}) {
    static const char* const kNames[] = {"timer on", "timer off", "move",  "down",   "up",
                                         "click",    "dblclick",  "popup", "default"};
    static const char* const kButtons[] = {" left", " right", " middle"};
    std::vector<std::string> out;
    for (uint32_t input : Inputs) {
        const TTrayActions actions =
            input == kTick ? Clicks.ClickTimerTick() : Clicks.MouseMessage(input, Context);
        for (const TTrayAction& a : actions) {
            std::string word = kNames[a.Kind];
            if (a.Kind == TTrayAction::MouseDown || a.Kind == TTrayAction::MouseUp)
                word += kButtons[static_cast<int>(a.Button)];
            out.push_back(word);
        }
    }
    return out;
}
} // namespace

// The shell reports a double click as press, release, double click, release; the timer runs
// out after all of it.
TEST(TrayClicks, ADoubleClickFiresOnlyTheDoubleClick) {
    TTrayClicks clicks;
    EXPECT_THAT(
        Feed(clicks, {kTrayLButtonDown, kTrayLButtonUp, kTrayLButtonDblClk, kTrayLButtonUp, kTick}),
        ElementsAre("timer on", "down left", "up left", "dblclick", "up left", "timer off"));
    EXPECT_FALSE(clicks.ClickTimerRunning());
    // Nothing is left over for the next click.
    EXPECT_THAT(Feed(clicks, {kTrayLButtonDown, kTrayLButtonUp, kTick}),
                ElementsAre("timer on", "down left", "up left", "timer off", "click"));
}

TEST(TrayClicks, ASingleClickFiresWhenTheTimerRunsOutOrAtALateRelease) {
    TTrayClicks clicks;
    // Released within the double-click time: the click comes with the timer.
    EXPECT_THAT(Feed(clicks, {kTrayLButtonDown, kTrayLButtonUp}),
                ElementsAre("timer on", "down left", "up left"));
    EXPECT_TRUE(clicks.ClickTimerRunning());
    EXPECT_THAT(Feed(clicks, {kTick}), ElementsAre("timer off", "click"));
    // Held past it: the click comes at the release.
    EXPECT_THAT(Feed(clicks, {kTrayLButtonDown, kTick, kTrayLButtonUp}),
                ElementsAre("timer on", "down left", "timer off", "click", "up left"));
    // A release without a press on the icon is no click.
    EXPECT_THAT(Feed(clicks, {kTrayLButtonUp, kTick}), ElementsAre("up left"));
}

TEST(TrayClicks, RightAndMiddleButtonsAndTheMenu) {
    TTrayClicks clicks;
    EXPECT_THAT(Feed(clicks, {kTrayRButtonDown, kTrayRButtonUp, kTrayMButtonDown, kTrayMButtonUp,
                              kTrayMouseMove, 0x0206 /* right double click */}),
                ElementsAre("down right", "popup", "up right", "down middle", "up middle", "move"));
    // LeftPopup: a left press opens the menu too, and a double click leaves the default item.
    TTrayMouseContext left{.Enabled = true, .LeftPopup = true, .MenuAutoPopup = true};
    EXPECT_THAT(Feed(clicks, {kTrayLButtonDown, kTrayLButtonDblClk}, left),
                ElementsAre("timer on", "down left", "popup", "dblclick"));
    // A menu that pops up by itself: its default item answers a double click.
    TTrayMouseContext menu{.Enabled = true, .LeftPopup = false, .MenuAutoPopup = true};
    EXPECT_THAT(Feed(clicks, {kTrayLButtonDblClk}, menu), ElementsAre("dblclick", "default"));
}

TEST(TrayClicks, WhileDisabledEverythingIsSwallowed) {
    TTrayClicks clicks;
    TTrayMouseContext off{.Enabled = false};
    EXPECT_THAT(Feed(clicks,
                     {kTrayMouseMove, kTrayLButtonDown, kTrayLButtonUp, kTrayLButtonDblClk,
                      kTrayRButtonDown, kTrayRButtonUp, kTrayMButtonDown},
                     off),
                IsEmpty());
    EXPECT_FALSE(clicks.ClickTimerRunning());
}

TEST(TrayIconRules, TheTipIsTheHintCutTo127Characters) {
    const std::string longHint(200, 'h');
    EXPECT_EQ(TrayTip(longHint, true), std::string(127, 'h'));
    EXPECT_EQ(TrayTip(std::string(127, 'x'), true).size(), 127u);
    EXPECT_EQ(TrayTip("Zorvane", false), "");
    EXPECT_EQ(TrayTip("two\nlines", true), "two\nlines");
}

TEST(TrayIconRules, TheIndexStaysWithinTheListAndTheAnimationWraps) {
    EXPECT_EQ(TrayIconIndex(5, 2), 1);
    EXPECT_EQ(TrayIconIndex(1, 2), 1);
    EXPECT_EQ(TrayIconIndex(-3, 2), 0);
    EXPECT_EQ(TrayIconIndex(4, 0), 0); // no images
    EXPECT_EQ(TrayCycleNext(0, 2), 1);
    EXPECT_EQ(TrayCycleNext(1, 2), 0);
    EXPECT_EQ(TrayCycleNext(0, 1), 0);
}
