// Tray records as Wine sends them, the tray's icon list, and the taskbar's geometry.
#include "standin/TaskbarLayout.h"
#include "standin/TrayData.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace standin;

namespace {

void Put32(std::vector<std::uint8_t>& d, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        d[at + i] = std::uint8_t(v >> (8 * i));
}
void PutText(std::vector<std::uint8_t>& d, std::size_t at, const std::u16string& s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        d[at + 2 * i] = std::uint8_t(s[i]);
        d[at + 2 * i + 1] = std::uint8_t(s[i] >> 8);
    }
}

// A record as Wine's Shell_NotifyIcon builds it; with an icon of w x h at 32 bpp.
std::vector<std::uint8_t> Record(std::uint32_t wnd, std::uint32_t uid, std::uint32_t flags,
                                 const std::u16string& tip = u"", std::uint32_t w = 16,
                                 std::uint32_t h = 16) {
    std::vector<std::uint8_t> d(kTrayRecordSize);
    Put32(d, 0, wnd);
    Put32(d, 4, uid);
    Put32(d, 8, flags);
    Put32(d, 12, 0x800);
    PutText(d, 16, tip);
    if (flags & kNifIcon) {
        Put32(d, 944, w);
        Put32(d, 948, h);
        Put32(d, 952, 1);
        Put32(d, 956, 32);
        std::size_t mask = TrayIconPlaneBytes(w, h, 1, 1);
        std::size_t colour = TrayIconPlaneBytes(w, h, 1, 32);
        d.resize(d.size() + mask + colour, 0xAB);
    }
    return d;
}

TrayRecord Decode(const std::vector<std::uint8_t>& d) {
    auto r = DecodeTrayRecord(d.data(), d.size());
    EXPECT_TRUE(r);
    return r ? *r : TrayRecord{};
}

} // namespace

TEST(TrayRecord, DecodesWinesLayout) {
    auto d = Record(0x10020, 7, kNifMessage | kNifIcon | kNifTip, u"Zorvane");
    auto r = Decode(d);
    EXPECT_EQ(r.wnd, 0x10020u);
    EXPECT_EQ(r.uid, 7u);
    EXPECT_EQ(r.callbackMessage, 0x800u);
    EXPECT_EQ(r.tip, u"Zorvane");
    ASSERT_TRUE(r.icon);
    EXPECT_EQ(r.icon->mask.size(), 32u);     // 16 x 16 x 1 bit
    EXPECT_EQ(r.icon->colour.size(), 1024u); // 16 x 16 x 32 bits
    // A tip that fills all 128 units has no terminator; it stops at the field's end.
    std::vector<std::uint8_t> full = Record(1, 1, kNifTip, std::u16string(128, u'x'));
    EXPECT_EQ(Decode(full).tip.size(), 128u);
}

TEST(TrayRecord, RefusesRecordsThatDoNotHoldTogether) {
    std::string error;
    std::vector<std::uint8_t> shortRecord(959);
    EXPECT_FALSE(DecodeTrayRecord(shortRecord.data(), shortRecord.size(), &error));
    auto cut = Record(1, 1, kNifIcon);
    cut.pop_back();
    EXPECT_FALSE(DecodeTrayRecord(cut.data(), cut.size(), &error));
    auto huge = Record(1, 1, kNifIcon);
    Put32(huge, 944, 0x10000);
    Put32(huge, 948, 0x10000);
    EXPECT_FALSE(DecodeTrayRecord(huge.data(), huge.size(), &error));
    auto zero = Record(1, 1, kNifIcon);
    Put32(zero, 956, 0);
    EXPECT_FALSE(DecodeTrayRecord(zero.data(), zero.size(), &error));
    // Without NIF_ICON the icon fields are not looked at.
    auto noIcon = Record(1, 1, kNifTip);
    Put32(noIcon, 944, 0xFFFFFFFF);
    EXPECT_TRUE(DecodeTrayRecord(noIcon.data(), noIcon.size(), &error));
}

TEST(TrayIconList, AddModifyDeleteAnswerAsShellNotifyIconDoes) {
    TrayIconList list;
    auto add = Decode(Record(5, 1, kNifMessage | kNifIcon | kNifTip, u"first"));
    EXPECT_TRUE(list.Apply(0, add));
    EXPECT_FALSE(list.Apply(0, add)); // already there
    ASSERT_EQ(list.Icons().size(), 1u);
    unsigned serial = list.Icons()[0].iconSerial;

    // A modify changes only the fields its flags name.
    EXPECT_TRUE(list.Apply(1, Decode(Record(5, 1, kNifTip, u"second"))));
    EXPECT_EQ(list.Icons()[0].tip, u"second");
    EXPECT_EQ(list.Icons()[0].callbackMessage, 0x800u);
    EXPECT_EQ(list.Icons()[0].iconSerial, serial);
    EXPECT_TRUE(list.Apply(1, Decode(Record(5, 1, kNifIcon))));
    EXPECT_NE(list.Icons()[0].iconSerial, serial);
    EXPECT_FALSE(list.Apply(1, Decode(Record(5, 2, kNifTip, u"other uid"))));

    auto setVersion = Decode(Record(5, 1, 0));
    setVersion.timeoutOrVersion = 3;
    EXPECT_TRUE(list.Apply(4, setVersion));
    EXPECT_EQ(list.Icons()[0].version, 3u);

    EXPECT_TRUE(list.Apply(2, Decode(Record(5, 1, 0))));
    EXPECT_FALSE(list.Apply(2, Decode(Record(5, 1, 0))));
    EXPECT_TRUE(list.Icons().empty());
    EXPECT_FALSE(list.Apply(99, add));
}

TEST(TrayIconList, HiddenStateAndDeletion) {
    TrayIconList list;
    list.Apply(0, Decode(Record(5, 1, kNifTip, u"a")));
    list.Apply(0, Decode(Record(6, 1, kNifTip, u"b")));
    auto hide = Decode(Record(5, 1, kNifState));
    hide.state = kNisHidden;
    hide.stateMask = kNisHidden;
    list.Apply(1, hide);
    ASSERT_EQ(list.Shown().size(), 1u);
    EXPECT_EQ(list.Shown()[0]->wnd, 6u);
    // A state change whose mask leaves out NIS_HIDDEN keeps the icon hidden.
    auto other = Decode(Record(5, 1, kNifState));
    other.stateMask = 0x02;
    list.Apply(1, other);
    EXPECT_EQ(list.Shown().size(), 1u);
    // Only a delete takes an icon away; deleting it twice fails.
    EXPECT_TRUE(list.Apply(2, Decode(Record(6, 1, 0))));
    EXPECT_FALSE(list.Apply(2, Decode(Record(6, 1, 0))));
    EXPECT_TRUE(list.Shown().empty());
    ASSERT_EQ(list.Icons().size(), 1u);
    EXPECT_EQ(FormatTrayLine(list.Icons()[0]), "hwnd=0x5 uid=1 cb=0x0 icon=none hidden=1 tip=a");
}

TEST(TaskbarGeometry, DocksAtEachEdgeWhereTheSnapshotsEdgeTestPlacesIt) {
    // The program tells the edge from the bar's rectangle: Left <= 5 and Top <= 5 and
    // Right > W - 100 is top; Right <= W - 100 left; Left > 5 and Top <= 5 right; else bottom.
    const int W = 1024, H = 768;
    auto edgeOf = [&](const Rect& r) {
        if (r.left <= 5 && r.top <= 5)
            return r.right > W - 100 ? Edge::Top : Edge::Left;
        if (r.left > 5 && r.top <= 5)
            return Edge::Right;
        return Edge::Bottom;
    };
    for (Edge e : {Edge::Bottom, Edge::Top, Edge::Left, Edge::Right}) {
        auto g = ComputeTaskbarGeometry(e, W, H, 2);
        EXPECT_EQ(edgeOf(g.bar), e) << EdgeName(e);
        // The parts stay inside the bar and do not overlap.
        EXPECT_LE(g.notify.right, g.bar.Width());
        EXPECT_LE(g.notify.bottom, g.bar.Height());
        if (IsVertical(e)) {
            EXPECT_EQ(g.bar.Width(), kVerticalBarWidth);
            EXPECT_LE(g.rebar.bottom, g.notify.top);
            EXPECT_GE(g.rebar.top, g.start.bottom);
        } else {
            EXPECT_EQ(g.bar.Height(), kBarThickness);
            EXPECT_LE(g.rebar.right, g.notify.left);
            EXPECT_GE(g.rebar.left, g.start.right);
        }
        EXPECT_GT(g.toolbar.Width(), 0);
        EXPECT_GT(g.toolbar.Height(), 0);
        // The work area is the screen without the bar.
        EXPECT_EQ(g.workArea.Width() * g.workArea.Height() + g.bar.Width() * g.bar.Height(), W * H);
    }
    EXPECT_EQ(ComputeTaskbarGeometry(Edge::Bottom, W, H, 0).bar, (Rect{0, 738, 1024, 768}));
}

TEST(TaskbarGeometry, NotificationAreaGrowsWithItsIcons) {
    auto none = ComputeTaskbarGeometry(Edge::Bottom, 1024, 768, 0);
    auto three = ComputeTaskbarGeometry(Edge::Bottom, 1024, 768, 3);
    EXPECT_EQ(three.notify.Width() - none.notify.Width(), 3 * kTrayIconStep);
    EXPECT_EQ(none.rebar.right - three.rebar.right, 3 * kTrayIconStep);

    auto layout = ComputeNotifyLayout(Edge::Bottom, three.notify.Width(), 30, 3);
    ASSERT_EQ(layout.icons.size(), 3u);
    EXPECT_LE(layout.icons[2].right, layout.clock.left);
    EXPECT_EQ(TrayIconAt(layout, layout.icons[1].left + 3, 15), 1);
    EXPECT_EQ(TrayIconAt(layout, layout.clock.left + 3, 15), -1);

    // On a vertical bar the icons wrap into rows above the clock.
    auto vertical = ComputeTaskbarGeometry(Edge::Left, 1024, 768, 6);
    auto vlayout =
        ComputeNotifyLayout(Edge::Left, vertical.notify.Width(), vertical.notify.Height(), 6);
    EXPECT_GT(vlayout.icons[5].top, vlayout.icons[0].top);
    EXPECT_LE(vlayout.icons[5].bottom, vlayout.clock.top);
    EXPECT_LE(vlayout.icons[3].right, vertical.notify.Width());
}

TEST(TaskbarGeometry, ButtonsShareTheToolbarUpToTheirMaximumWidth) {
    EXPECT_EQ(ComputeButtonSize(Edge::Bottom, 800, 2).cx, kMaxButtonWidth);
    EXPECT_EQ(ComputeButtonSize(Edge::Bottom, 800, 10).cx, 80);
    EXPECT_EQ(ComputeButtonSize(Edge::Bottom, 800, 0).cx, kMaxButtonWidth);
    EXPECT_EQ(ComputeButtonSize(Edge::Bottom, 800, 1000).cx, kMinButtonWidth);
    EXPECT_EQ(ComputeButtonSize(Edge::Left, 92, 3).cx, 92);
}
