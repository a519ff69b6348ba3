// The taskbar snapshot against the stand-in shell in scripted mode: the buttons are laid out
// exactly, read back through the shell's process, and grouped.
#include "taskbar/taskbuttons_win.h"

#include <commctrl.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>

#include "taskbar/uProcessMemMgr.h"
#include "tests/support/TestSupport.h"
#include "toolkit/WinErrors.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr unsigned kEnabled = 0x04;
constexpr unsigned kHidden = 0x08;
constexpr unsigned kChecked = 0x01;
constexpr unsigned kHeader = 0x08;

// Visible top-level windows of this process that the scripted buttons stand for.
class TTestWindows {
public:
    explicit TTestWindows(int n) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ZvSnapshotTestApp";
        RegisterClassA(&wc);
        for (int i = 0; i < n; ++i)
            FWnds.push_back(CreateWindowExA(0, wc.lpszClassName, "app",
                                            WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 100, 100,
                                            nullptr, nullptr, wc.hInstance, nullptr));
    }
    ~TTestWindows() {
        for (HWND w : FWnds)
            DestroyWindow(w);
    }
    HWND operator[](std::size_t i) const { return FWnds[i]; }

private:
    std::vector<HWND> FWnds;
};

struct Btn {
    unsigned style;
    unsigned state;
    int img;
    std::string target; // "hwnd=..." or "dwdata=..."
    std::string text;
};

std::string HwndField(HWND w) {
    return "hwnd=" + std::to_string(FromHWND(w));
}

class Snapshot : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        try {
            Shell = new zvtest::StandinShell;
            Started = true;
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
        }
    }
    static void TearDownTestSuite() {
        delete Shell;
        Shell = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(Started) << "the stand-in shell did not start";
        OnIconRequest = nullptr;
        ASSERT_TRUE(Command("edge bottom"));
    }
    void TearDown() override {
        OnIconRequest = nullptr;
        ProcessMemMgrFactory = [](HWND w) { return CreateProcessMemMgrForWindow(w); };
        ClearGroupList(Groups);
        Command("countflap off");
        Command("textfail 0");
    }

    void Script(const std::vector<Btn>& buttons) {
        std::string cmd = "script";
        for (const Btn& b : buttons)
            cmd += "\nbtn style=" + std::to_string(b.style) + " state=" + std::to_string(b.state) +
                   " img=" + std::to_string(b.img) + " " + b.target + " text=" + b.text;
        std::string reply;
        ASSERT_TRUE(Command(cmd, &reply)) << reply;
        ASSERT_TRUE(Command("sync"));
    }

    // idCommand of every button, in toolbar order, from the shell's own dump.
    std::vector<int> CommandIds() {
        std::string dump;
        EXPECT_TRUE(Command("dump", &dump));
        std::vector<int> ids;
        std::istringstream lines(dump);
        for (std::string line; std::getline(lines, line);) {
            int index = 0, id = 0;
            if (std::sscanf(line.c_str(), "%d id=%d", &index, &id) == 2)
                ids.push_back(id);
        }
        return ids;
    }

    // Captions of every button, group by group.
    std::vector<std::vector<std::string>> Shape() const {
        std::vector<std::vector<std::string>> shape;
        for (const TGroupListItem& g : Groups) {
            shape.emplace_back();
            for (const TGrupButtons::TItem& b : g.Group->Items)
                shape.back().push_back(b.Button->Caption);
        }
        return shape;
    }

    HWND Read(bool Light) {
        HWND active = reinterpret_cast<HWND>(1);
        ReadTaskbarButtons(Light, Groups, active);
        EXPECT_FALSE(ReadingButtons);
        return active;
    }

    // A list that a snapshot must leave alone.
    void FillWithMarker() {
        ClearGroupList(Groups);
        auto g = std::make_unique<TGrupButtons>();
        g->Caption = "marker";
        AddGroup(Groups, std::move(g));
    }
    bool StillMarker() const { return Groups.size() == 1 && Groups[0].Group->Caption == "marker"; }

    static zvtest::StandinShell* Shell;
    // Sends one command; false when it failed (Reply then says why).
    static bool Command(const std::string& text, std::string* Reply = nullptr) {
        standin::ControlReply r = Shell->TryCommand(text);
        if (Reply)
            *Reply = r.text;
        return r.ok;
    }
    static bool Started;
    TGroupList Groups;
};

zvtest::StandinShell* Snapshot::Shell = nullptr;
bool Snapshot::Started = false;

struct TRequest {
    std::string caption;
    int32_t image;
    bool operator==(const TRequest& o) const { return caption == o.caption && image == o.image; }
};
void PrintTo(const TRequest& r, std::ostream* os) {
    *os << r.caption << ":" << r.image;
}

TEST_F(Snapshot, EightButtonToolbarFullAndLight) {
    TTestWindows w(8);
    Script({{kHeader, kEnabled | kHidden, 0, HwndField(w[0]), "A"},
            {0, kEnabled, 1, HwndField(w[1]), "A1"},
            {kHeader, kEnabled | kHidden, 2, HwndField(w[2]), "B"},
            {0, kEnabled, 3, HwndField(w[3]), "B1"},
            {0, kEnabled | kChecked, 4, HwndField(w[4]), "B2"},
            {kHeader, kEnabled, 5, HwndField(w[5]), "C"},
            {0, kEnabled | kHidden, 6, HwndField(w[6]), "C1"},
            {0, kEnabled | kHidden, 7, HwndField(w[7]), "C2"}});
    std::vector<TRequest> requests;
    OnIconRequest = [&](HWND Toolbar, TGrupButtons& G, int32_t Image) {
        EXPECT_EQ(Toolbar, FindTaskbarToolbar());
        EXPECT_TRUE(ReadingButtons);
        requests.push_back({G.Caption, Image});
    };

    EXPECT_EQ(Read(false), w[4]);
    EXPECT_THAT(Shape(), ElementsAre(ElementsAre("A", "A1"), ElementsAre("B", "B1"),
                                     ElementsAre("B2"), ElementsAre("C", "C1", "C2")));
    struct Expect {
        int32_t index;
        bool alternate;
        std::vector<HWND> windows;
    };
    const Expect expect[] = {{1, false, {w[0], w[1]}},
                             {3, false, {w[2], w[3]}},
                             {4, true, {w[4]}},
                             {5, true, {w[5], w[6], w[7]}}};
    std::vector<TRect> rects;
    for (std::size_t i = 0; i < Groups.size(); ++i) {
        SCOPED_TRACE(i);
        const TGrupButtons& g = *Groups[i].Group;
        EXPECT_EQ(g.Index, expect[i].index);
        EXPECT_EQ(g.NeedsAlternateMove, expect[i].alternate);
        std::vector<HWND> windows;
        for (TWndHandle h : g.Windows)
            windows.push_back(ToHWND(h));
        EXPECT_EQ(windows, expect[i].windows);
        EXPECT_TRUE(g.HasVisible);
        EXPECT_EQ(g.Active, i == 2);
        rects.push_back(g.Rect);
    }
    EXPECT_THAT(requests, ElementsAre(TRequest{"A1", 1}, TRequest{"B1", 3}, TRequest{"C", 6}));

    requests.clear();
    EXPECT_EQ(Read(true), nullptr);
    EXPECT_THAT(Shape(), ElementsAre(ElementsAre("A", "A1"), ElementsAre("B", "B1"),
                                     ElementsAre("B2"), ElementsAre("C", "C1", "C2")));
    for (std::size_t i = 0; i < Groups.size(); ++i) {
        SCOPED_TRACE(i);
        const TGrupButtons& g = *Groups[i].Group;
        EXPECT_EQ(g.Rect, rects[i]);
        EXPECT_FALSE(g.NeedsAlternateMove);
        EXPECT_THAT(g.Windows, IsEmpty());
        for (const TGrupButtons::TItem& b : g.Items)
            EXPECT_EQ(b.Button->Wnd, 0);
    }
    EXPECT_THAT(requests, IsEmpty());
}

TEST_F(Snapshot, CollapsedGroupAndFirstHiddenNonHeader) {
    TTestWindows w(5);
    Script({{0, kEnabled | kHidden, 0, HwndField(w[0]), "lone"},
            {0, kEnabled | kHidden, 0, HwndField(w[1]), "lone2"},
            {kHeader, kEnabled, 1, HwndField(w[2]), "Hdr"},
            {0, kEnabled | kHidden, 2, HwndField(w[3]), "M1"},
            {0, kEnabled | kHidden, 3, HwndField(w[4]), "M2"}});
    std::vector<TRequest> requests;
    OnIconRequest = [&](HWND, TGrupButtons& G, int32_t Image) {
        requests.push_back({G.Caption, Image});
    };
    Read(false);
    EXPECT_THAT(Shape(), ElementsAre(ElementsAre("lone", "lone2"), ElementsAre("Hdr", "M1", "M2")));
    const TGrupButtons& hidden = *Groups[0].Group;
    EXPECT_FALSE(hidden.HasVisible);
    EXPECT_EQ(hidden.Rect, (TRect{-100, -100, -100, -100}));
    EXPECT_EQ(hidden.Caption, "");
    EXPECT_THAT(hidden.Windows, IsEmpty());
    const TGrupButtons& collapsed = *Groups[1].Group;
    EXPECT_EQ(collapsed.Index, 2);
    EXPECT_TRUE(collapsed.NeedsAlternateMove);
    EXPECT_EQ(collapsed.Caption, "Hdr");
    EXPECT_EQ(collapsed.Windows.size(), 3u);
    EXPECT_THAT(requests, ElementsAre(TRequest{"Hdr", 2}));
}

// The oracle for a button's rectangle: TB_GETRECT asked by the test itself.
TRect ButtonRect(HWND Toolbar, int CommandId) {
    std::unique_ptr<TProcessMemMgr> mem = CreateProcessMemMgrForWindow(Toolbar);
    void* remote = mem->AllocMem(sizeof(RECT));
    RECT r{};
    mem->WriteMem(&r, remote, sizeof r);
    SendMessageA(Toolbar, TB_GETRECT, static_cast<WPARAM>(CommandId),
                 reinterpret_cast<LPARAM>(remote));
    mem->ReadMem(remote, &r, sizeof r);
    return {r.left, r.top, r.right, r.bottom};
}

TEST_F(Snapshot, EdgesAndGroupRectanglesOnTheScreen) {
    TTestWindows w(3);
    Script({{0, kEnabled, 0, HwndField(w[0]), "one"},
            {kHeader, kEnabled | kHidden, 0, HwndField(w[1]), "hdr"},
            {0, kEnabled, 0, HwndField(w[2]), "two"}});
    const std::vector<int> ids = CommandIds();
    ASSERT_EQ(ids.size(), 3u);
    const struct {
        const char* name;
        int edge;
    } edges[] = {
        {"top", EdgeTop}, {"left", EdgeLeft}, {"right", EdgeRight}, {"bottom", EdgeBottom}};
    for (const auto& e : edges) {
        SCOPED_TRACE(e.name);
        ASSERT_TRUE(Command(std::string("edge ") + e.name));
        ASSERT_TRUE(Command("sync"));
        EXPECT_EQ(GetTaskbarEdge(), e.edge);
        RECT tray{};
        GetWindowRect(FindWindowA("Shell_TrayWnd", nullptr), &tray);
        EXPECT_EQ(GetTaskbarRect(), (TRect{tray.left, tray.top, tray.right, tray.bottom}));

        Read(true);
        ASSERT_EQ(Groups.size(), 2u);
        HWND toolbar = FindTaskbarToolbar();
        RECT t{};
        GetWindowRect(toolbar, &t);
        const int visible[] = {ids[0], ids[2]};
        for (std::size_t g = 0; g < 2; ++g) {
            TRect b = ButtonRect(toolbar, visible[g]);
            EXPECT_EQ(Groups[g].Group->Rect, (TRect{b.Left + t.left, b.Top + t.top,
                                                    b.Right + t.left + 5, b.Bottom + t.top + 5}));
        }
    }
}

TEST_F(Snapshot, TwoPressedButtonsAndWindowsThatAreNone) {
    TTestWindows w(3);
    ShowWindow(w[2], SW_HIDE);
    Script({{0, kEnabled | kChecked, 0, HwndField(w[0]), "first"},
            {0, kEnabled | kChecked, 0, HwndField(w[1]), "second"},
            {0, kEnabled | kChecked, 0, HwndField(w[2]), "hidden window"},
            {kHeader, kEnabled | kHidden, 0, "hwnd=0x12345678", "hdr"},
            {0, kEnabled, 0, "hwnd=0", "no window"}});
    EXPECT_EQ(Read(false), w[1]); // the later pressed button with a visible window
    ASSERT_EQ(Groups.size(), 4u);
    EXPECT_EQ(Groups[2].Group->Windows, std::vector<TWndHandle>{0});
    EXPECT_EQ(Groups[3].Group->Windows, (std::vector<TWndHandle>{0, 0}));
}

TEST_F(Snapshot, NestedSnapshotReturnsAtOnce) {
    TTestWindows w(2);
    Script({{kHeader, kEnabled | kHidden, 0, HwndField(w[0]), "H"},
            {0, kEnabled | kChecked, 4, HwndField(w[1]), "V"}});
    int calls = 0;
    OnIconRequest = [&](HWND, TGrupButtons& G, int32_t) {
        ++calls;
        HWND nested = reinterpret_cast<HWND>(1);
        ReadTaskbarButtons(false, Groups, nested);
        EXPECT_EQ(nested, nullptr);
        EXPECT_TRUE(ReadingButtons);
        ASSERT_EQ(Groups.size(), 1u);
        EXPECT_EQ(Groups[0].Group.get(), &G);
    };
    EXPECT_EQ(Read(false), w[1]);
    EXPECT_EQ(calls, 1);
}

TEST_F(Snapshot, CountThatNeverSettlesLeavesGroups) {
    Script({{0, kEnabled, 0, "hwnd=0", "x"}});
    ASSERT_TRUE(Command("countflap on"));
    FillWithMarker();
    EXPECT_EQ(Read(false), nullptr);
    EXPECT_TRUE(StillMarker());
    ASSERT_TRUE(Command("countflap off"));
    Read(false);
    EXPECT_THAT(Shape(), ElementsAre(ElementsAre("x")));
}

TEST_F(Snapshot, CaptionThatCannotBeFetched) {
    Script({{0, kEnabled, 0, "hwnd=0", "good"}, {0, kEnabled, 0, "hwnd=0", "bad"}});
    const std::vector<int> ids = CommandIds();
    ASSERT_EQ(ids.size(), 2u);
    ASSERT_TRUE(Command("textfail " + std::to_string(ids[1])));
    Read(true);
    EXPECT_THAT(Shape(), ElementsAre(ElementsAre("good"), ElementsAre("?")));
}

TEST_F(Snapshot, UnreadableDwDataEndsTheReading) {
    TTestWindows w(3);
    Script({{0, kEnabled, 0, HwndField(w[0]), "one"},
            {0, kEnabled, 0, HwndField(w[1]), "two"},
            {0, kEnabled, 0, "dwdata=0", "broken"},
            {0, kEnabled, 0, HwndField(w[2]), "three"}});
    EXPECT_EQ(Read(false), nullptr);
    EXPECT_THAT(Shape(), ElementsAre(ElementsAre("one"), ElementsAre("two")));
    Read(true); // a light snapshot does not look at dwData
    EXPECT_EQ(Groups.size(), 4u);
}

TEST_F(Snapshot, ShellProcessThatCannotBeOpened) {
    Script({{0, kEnabled, 0, "hwnd=0", "x"}});
    ProcessMemMgrFactory = [](HWND) -> std::unique_ptr<TProcessMemMgr> {
        RaiseOSError(ERROR_ACCESS_DENIED);
    };
    FillWithMarker();
    EXPECT_EQ(Read(false), nullptr);
    EXPECT_THAT(Groups, IsEmpty());
}

// A manager that puts a guard of known bytes behind every block it hands out and, when it is
// destroyed, counts the guards that the shell's process wrote into.
class TGuardedMemMgr : public TProcessMemMgr {
public:
    static constexpr uint32_t kGuard = 64;
    TGuardedMemMgr(std::unique_ptr<TProcessMemMgr> Inner, int& Overruns)
        : FInner(std::move(Inner)), FOverruns(Overruns) {}
    ~TGuardedMemMgr() override {
        for (const auto& [block, size] : FBlocks) {
            char guard[kGuard];
            FInner->ReadMem(static_cast<char*>(block) + size, guard, kGuard);
            if (std::string(guard, kGuard) != std::string(kGuard, '\xA5'))
                ++FOverruns;
        }
    }
    void* AllocMem(uint32_t Size) override {
        void* p = FInner->AllocMem(Size + kGuard);
        const std::string guard(kGuard, '\xA5');
        FInner->WriteMem(guard.data(), static_cast<char*>(p) + Size, kGuard);
        FBlocks.emplace_back(p, Size);
        return p;
    }
    void FreeMem(void* P) override {
        FInner->FreeMem(P);
        FBlocks.erase(std::remove_if(FBlocks.begin(), FBlocks.end(),
                                     [P](const auto& b) { return b.first == P; }),
                      FBlocks.end());
    }
    void ReadMem(const void* S, void* D, uint32_t C) override { FInner->ReadMem(S, D, C); }
    std::string ReadText(const void* S) override { return FInner->ReadText(S); }
    void WriteMem(const void* S, void* D, uint32_t C) override { FInner->WriteMem(S, D, C); }
    void WriteText(const std::string& T, void* D) override { FInner->WriteText(T, D); }

private:
    std::unique_ptr<TProcessMemMgr> FInner;
    int& FOverruns;
    std::vector<std::pair<void*, uint32_t>> FBlocks;
};

TEST_F(Snapshot, LongCaptionsComeBackWholeWithoutOverrunningTheShellsBuffers) {
    const std::string fits(1023, 'a'), edge(1024, 'b'), huge(5000, 'c'), longer(20000, 'd');
    Script({{0, kEnabled, 0, "hwnd=0", fits},
            {0, kEnabled, 0, "hwnd=0", huge},
            {0, kEnabled, 0, "hwnd=0", edge},
            {0, kEnabled, 0, "hwnd=0", longer},
            {0, kEnabled, 0, "hwnd=0", "short"}});
    int overruns = 0;
    ProcessMemMgrFactory = [&overruns](HWND w) -> std::unique_ptr<TProcessMemMgr> {
        return std::make_unique<TGuardedMemMgr>(CreateProcessMemMgrForWindow(w), overruns);
    };
    Read(true);
    EXPECT_EQ(overruns, 0);
    EXPECT_THAT(Shape(), ElementsAre(ElementsAre(fits), ElementsAre(huge), ElementsAre(edge),
                                     ElementsAre(longer), ElementsAre("short")));
    EXPECT_TRUE(Command("sync")); // the shell is still there
    EXPECT_EQ(CommandIds().size(), 5u);
}

TEST(SnapshotWithoutShell, NoToolbarLeavesGroups) {
    if (FindTaskbarToolbar() != nullptr)
        GTEST_SKIP() << "a taskbar toolbar is running";
    TGroupList groups;
    AddGroup(groups, std::make_unique<TGrupButtons>());
    HWND active = reinterpret_cast<HWND>(1);
    ReadTaskbarButtons(false, groups, active);
    EXPECT_EQ(active, nullptr);
    EXPECT_EQ(groups.size(), 1u);
}

} // namespace
