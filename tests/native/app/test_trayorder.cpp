// The notification-area icons' order: an icon is its program and its id, and the lasting
// order's placement puts each in its place with the toolbar's own moves.
#include "app/TrayOrder.h"

#include <gtest/gtest.h>

namespace {

TEST(TrayOrder, IconsOfOneProgramKeepPlacesOfTheirOwn) {
    EXPECT_EQ(TrayIconKey("mail.exe", 7), "mail.exe#7");
    EXPECT_EQ(TrayIconKey("", 7), "") << "an unknown program is no icon of the order";
    const std::vector<std::string> remembered = {"mail.exe#2", "clock.exe#1", "mail.exe#1"};
    EXPECT_EQ(ParseOrder(OrderText(remembered)), remembered) << "the keys survive the registry";

    // The shell came back with the icons in the order their programs added them.
    std::vector<std::string> bar = {"mail.exe#1", "mail.exe#2", "", "clock.exe#1"};
    for (int moves = 0; moves < 4; ++moves) {
        const std::optional<TPlacement> p = NextPlacement(bar, remembered);
        if (!p)
            break;
        // Carried out as TB_MOVEBUTTON does it: out, then in at the target.
        const std::string icon = bar[std::size_t(p->From)];
        bar.erase(bar.begin() + p->From);
        bar.insert(bar.begin() + TrayMoveTarget(*p), icon);
    }
    EXPECT_EQ(bar, (std::vector<std::string>{"mail.exe#2", "clock.exe#1", "mail.exe#1", ""}));
}

} // namespace
