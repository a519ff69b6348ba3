// The taskbar snapshot against the stand-in shell in scripted mode: the buttons are laid out
// exactly, read back through the shell's process, and grouped.
#include "taskbar/Taskbar_win.h"

#include <commctrl.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <sstream>

#include "taskbar/RefreshCheck_win.h"
#include "taskbar/uProcessMemMgr.h"
#include "tests/support/TestSupport.h"
#include "toolkit/ScopedWin.h"
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
        ASSERT_TRUE(Command("edge bottom"));
    }
    void TearDown() override {
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
        TWndHandle active = 1;
        Groups = Taskbar.Snapshot(Light, &active);
        EXPECT_FALSE(Taskbar.Reading());
        return ToHWND(active);
    }

    static zvtest::StandinShell* Shell;
    // Sends one command; false when it failed (Reply then says why).
    static bool Command(const std::string& text, std::string* Reply = nullptr) {
        standin::ControlReply r = Shell->TryCommand(text);
        if (Reply)
            *Reply = r.text;
        return r.ok;
    }
    static bool Started;
    TTaskbar Taskbar;
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
    Taskbar.OnIconRequest = [&](HWND Toolbar, TGrupButtons& G, int32_t Image) {
        EXPECT_EQ(Toolbar, FindTaskbarToolbar());
        EXPECT_TRUE(Taskbar.Reading());
        requests.push_back({G.Caption, Image});
    };

    EXPECT_EQ(Read(false), w[4]);
    // B's two window buttons are one program's group.
    EXPECT_THAT(Shape(), ElementsAre(ElementsAre("A", "A1"), ElementsAre("B", "B1", "B2"),
                                     ElementsAre("C", "C1", "C2")));
    struct Expect {
        int32_t index;
        bool alternate;
        std::vector<HWND> windows;
    };
    const Expect expect[] = {
        {1, false, {w[0], w[1]}}, {3, false, {w[2], w[3], w[4]}}, {5, true, {w[5], w[6], w[7]}}};
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
        EXPECT_EQ(g.Active, i == 1); // B2's button is pressed
        rects.push_back(g.Rect);
    }
    EXPECT_THAT(requests, ElementsAre(TRequest{"A1", 1}, TRequest{"B1", 3}, TRequest{"C", 6}));

    requests.clear();
    EXPECT_EQ(Read(true), nullptr);
    // The same groups, without captions: a drag needs none.
    EXPECT_THAT(Shape(),
                ElementsAre(ElementsAre("", ""), ElementsAre("", "", ""), ElementsAre("", "", "")));
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

    // Taken in steps of two buttons, each step's time up at once: every step still gets on,
    // and the end is the full snapshot, its icons asked for once each.
    const std::unique_ptr<TSnapshotSteps> steps = Taskbar.BeginSnapshot(false, 2);
    ASSERT_TRUE(steps->Found());
    int runs = 1;
    for (; !steps->Run(TStepDeadline::After(0)); ++runs)
        ASSERT_LT(runs, 100) << "the steps do not get on";
    EXPECT_GE(runs, 4);
    EXPECT_EQ(steps->ActiveWnd(), w[4]);
    Groups = steps->TakeGroups();
    EXPECT_THAT(Shape(), ElementsAre(ElementsAre("A", "A1"), ElementsAre("B", "B1", "B2"),
                                     ElementsAre("C", "C1", "C2")));
    for (std::size_t i = 0; i < Groups.size(); ++i)
        EXPECT_EQ(Groups[i].Group->Rect, rects[i]) << i;
    EXPECT_THAT(requests, ElementsAre(TRequest{"A1", 1}, TRequest{"B1", 3}, TRequest{"C", 6}));
}

// A shell that answers slowly (80 ms a button): after the first part the steps read one button
// each, so that the window between them keeps answering; the snapshot still takes every button.
TEST_F(Snapshot, ASlowShellIsReadInSmallerParts) {
    TTestWindows w(20);
    std::vector<Btn> script;
    for (int i = 0; i < 20; ++i)
        script.push_back({0, kEnabled, i % 8, HwndField(w[i]), "w" + std::to_string(i)});
    Script(script);
    ASSERT_TRUE(Command("slowanswer 20"));
    Taskbar.OnIconRequest = [](HWND, TGrupButtons&, int32_t) {};
    const std::unique_ptr<TSnapshotSteps> steps = Taskbar.BeginSnapshot(false, 16);
    std::vector<uint32_t> calls; // per step
    for (bool over = false; !over;) {
        const uint32_t before = steps->Calls();
        over = steps->Run(TStepDeadline::After(50));
        calls.push_back(steps->Calls() - before);
    }
    EXPECT_TRUE(Command("slowanswer 0"));
    ASSERT_GE(calls.size(), 6u);
    EXPECT_GE(calls.front(), 16u * 4u); // the first part: 16 buttons, 4 messages each
    for (std::size_t i = 1; i + 1 < calls.size(); ++i)
        EXPECT_LE(calls[i], 12u) << "step " << i; // one button and its transfers
    Groups = steps->TakeGroups();
    std::size_t buttons = 0;
    for (const TGroupListItem& g : Groups)
        buttons += g.Group->Items.size();
    EXPECT_EQ(buttons, 20u);
}

// The cheap look of a toolbar longer than one batch, read a batch at a time: every button's
// command id, picture, state and style, in toolbar order.
TEST_F(Snapshot, TheLookOfEveryButtonBatchAfterBatch) {
    std::vector<Btn> script;
    for (int i = 0; i < 70; ++i)
        script.push_back(
            {0, kEnabled | (i % 3 == 0 ? kHidden : 0u), i % 9, "hwnd=0", "b" + std::to_string(i)});
    Script(script);
    const std::vector<int> ids = CommandIds();
    HWND toolbar = FindTaskbarToolbar();
    std::unique_ptr<TProcessMemMgr> mem = CreateProcessMemMgrForWindow(toolbar);
    TLookReading reading(toolbar, *mem);
    int steps = 1;
    while (reading.Step())
        ++steps;
    EXPECT_EQ(steps, 2);
    ASSERT_TRUE(reading.Ok());
    const TToolbarLook look = reading.TakeLook();
    ASSERT_EQ(look.size(), script.size());
    for (std::size_t i = 0; i < look.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(look[i].CommandId, ids[i]);
        EXPECT_EQ(look[i].ImageIndex, script[i].img);
        EXPECT_EQ(look[i].State, script[i].state);
        EXPECT_EQ(look[i].Style, script[i].style);
    }
    // One message a button, the count, and one transfer a batch.
    EXPECT_EQ(reading.Calls().Total(), 70u + 1u + 2u);
}

TEST_F(Snapshot, CollapsedGroupAndFirstHiddenNonHeader) {
    TTestWindows w(5);
    Script({{0, kEnabled | kHidden, 0, HwndField(w[0]), "lone"},
            {0, kEnabled | kHidden, 0, HwndField(w[1]), "lone2"},
            {kHeader, kEnabled, 1, HwndField(w[2]), "Hdr"},
            {0, kEnabled | kHidden, 2, HwndField(w[3]), "M1"},
            {0, kEnabled | kHidden, 3, HwndField(w[4]), "M2"}});
    std::vector<TRequest> requests;
    Taskbar.OnIconRequest = [&](HWND, TGrupButtons& G, int32_t Image) {
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
    Taskbar.OnIconRequest = [&](HWND, TGrupButtons& G, int32_t) {
        ++calls;
        TWndHandle nested = 1;
        EXPECT_THAT(Taskbar.Snapshot(false, &nested), IsEmpty());
        EXPECT_EQ(nested, 0);
        EXPECT_TRUE(Taskbar.Reading());
        EXPECT_EQ(G.Caption, "V");
    };
    EXPECT_EQ(Read(false), w[1]);
    EXPECT_EQ(calls, 1);
}

TEST_F(Snapshot, CountThatNeverSettlesGivesNothing) {
    Script({{0, kEnabled, 0, "hwnd=0", "x"}});
    ASSERT_TRUE(Command("countflap on"));
    EXPECT_EQ(Read(false), nullptr);
    EXPECT_THAT(Groups, IsEmpty());
    ASSERT_TRUE(Command("countflap off"));
    Read(false);
    EXPECT_THAT(Shape(), ElementsAre(ElementsAre("x")));
}

TEST_F(Snapshot, CaptionThatCannotBeFetched) {
    Script({{0, kEnabled, 0, "hwnd=0", "good"}, {0, kEnabled, 0, "hwnd=0", "bad"}});
    const std::vector<int> ids = CommandIds();
    ASSERT_EQ(ids.size(), 2u);
    ASSERT_TRUE(Command("textfail " + std::to_string(ids[1])));
    Read(false);
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
    Taskbar.MemMgrFactory = [](HWND) -> std::unique_ptr<TProcessMemMgr> {
        RaiseOSError(ERROR_ACCESS_DENIED);
    };
    EXPECT_EQ(Read(false), nullptr);
    EXPECT_THAT(Groups, IsEmpty());
}

// Passes every operation on to another manager; tests change what they look at.
class TForwardingMemMgr : public TProcessMemMgr {
public:
    explicit TForwardingMemMgr(std::unique_ptr<TProcessMemMgr> Inner) : FInner(std::move(Inner)) {}
    void* AllocMem(uint32_t Size) override { return FInner->AllocMem(Size); }
    void FreeMem(void* P) override { FInner->FreeMem(P); }
    void ReadMem(const void* S, void* D, uint32_t C) override { FInner->ReadMem(S, D, C); }
    std::string ReadText(const void* S) override { return FInner->ReadText(S); }
    void WriteMem(const void* S, void* D, uint32_t C) override { FInner->WriteMem(S, D, C); }
    void WriteText(const std::string& T, void* D) override { FInner->WriteText(T, D); }

protected:
    std::unique_ptr<TProcessMemMgr> FInner;
};

// Puts a guard of known bytes behind every block it hands out and counts the guards that the
// shell's process wrote into, checked when a block is given back and when it is destroyed.
class TGuardedMemMgr : public TForwardingMemMgr {
public:
    static constexpr uint32_t kGuard = 64;
    TGuardedMemMgr(std::unique_ptr<TProcessMemMgr> Inner, int& Overruns)
        : TForwardingMemMgr(std::move(Inner)), FOverruns(Overruns) {}
    ~TGuardedMemMgr() override {
        for (const auto& [block, size] : FBlocks)
            CheckGuard(block, size);
    }
    void* AllocMem(uint32_t Size) override {
        void* p = FInner->AllocMem(Size + kGuard);
        const std::string guard(kGuard, '\xA5');
        FInner->WriteMem(guard.data(), static_cast<char*>(p) + Size, kGuard);
        FBlocks.emplace_back(p, Size);
        return p;
    }
    void FreeMem(void* P) override {
        for (const auto& [block, size] : FBlocks)
            if (block == P)
                CheckGuard(block, size);
        FInner->FreeMem(P);
        FBlocks.erase(std::remove_if(FBlocks.begin(), FBlocks.end(),
                                     [P](const auto& b) { return b.first == P; }),
                      FBlocks.end());
    }

private:
    void CheckGuard(void* Block, uint32_t Size) {
        char guard[kGuard];
        FInner->ReadMem(static_cast<char*>(Block) + Size, guard, kGuard);
        if (std::string(guard, kGuard) != std::string(kGuard, '\xA5'))
            ++FOverruns;
    }

    int& FOverruns;
    std::vector<std::pair<void*, uint32_t>> FBlocks;
};

// Refuses every read of more than four bytes outside its own blocks, as when the shell's
// dwData blocks lie far apart or something between them cannot be read.
class TScatteredBlocksMemMgr : public TForwardingMemMgr {
public:
    using TForwardingMemMgr::TForwardingMemMgr;
    void* AllocMem(uint32_t Size) override {
        void* p = FInner->AllocMem(Size);
        FBlocks.emplace_back(static_cast<const char*>(p), Size);
        return p;
    }
    void ReadMem(const void* S, void* D, uint32_t C) override {
        const char* s = static_cast<const char*>(S);
        const bool own = std::any_of(FBlocks.begin(), FBlocks.end(), [&](const auto& b) {
            return s >= b.first && s + C <= b.first + b.second;
        });
        if (!own && C > 4)
            RaiseOSError(ERROR_PARTIAL_COPY);
        FInner->ReadMem(S, D, C);
    }

private:
    std::vector<std::pair<const char*, uint32_t>> FBlocks;
};

TEST_F(Snapshot, LongCaptionsComeBackWholeWithoutOverrunningTheShellsBuffers) {
    // In UTF-16 with its zero, 511 characters fill the 1024-byte caption buffer; 512 do not.
    const std::string fits(511, 'a'), edge(512, 'b'), huge(5000, 'c'), longer(20000, 'd');
    Script({{0, kEnabled, 0, "hwnd=0", fits},
            {0, kEnabled, 0, "hwnd=0", huge},
            {0, kEnabled, 0, "hwnd=0", edge},
            {0, kEnabled, 0, "hwnd=0", longer},
            {0, kEnabled, 0, "hwnd=0", "short"}});
    int overruns = 0;
    Taskbar.MemMgrFactory = [&overruns](HWND w) -> std::unique_ptr<TProcessMemMgr> {
        return std::make_unique<TGuardedMemMgr>(CreateProcessMemMgrForWindow(w), overruns);
    };
    Read(false);
    EXPECT_EQ(overruns, 0);
    EXPECT_THAT(Shape(), ElementsAre(ElementsAre(fits), ElementsAre(huge), ElementsAre(edge),
                                     ElementsAre(longer), ElementsAre("short")));
    EXPECT_TRUE(Command("sync")); // the shell is still there
    EXPECT_EQ(CommandIds().size(), 5u);
}

// The reading of every field against what the script laid out: styles, states and images as
// scripted, captions of every length (empty, 511 and 512 characters, long, unreadable), hidden
// buttons, windows that are none, a command id used twice (the messages by id answer for the
// first button with it), and positions past the end of the toolbar; light and full, with the
// windows read in one transfer and one block after the other.
TEST_F(Snapshot, ReadingGivesWhatTheScriptLaidOut) {
    TTestWindows w(4);
    ShowWindow(w[3], SW_HIDE);
    const std::string c511(511, 'm'), c512(512, 'n'), c5000(5000, 'o');
    constexpr unsigned kEllipses = 0x40, kPressed = 0x02, kNoPrefix = 0x20, kCheck = 0x02;
    const std::vector<Btn> script = {
        {kHeader, kEnabled | kHidden, 0, HwndField(w[0]), "Header"},
        {0, kEnabled | kChecked, 1, HwndField(w[1]), ""},
        {kNoPrefix, kEnabled | kPressed, -1, HwndField(w[2]), c511},
        {kHeader | kCheck, kEnabled, 7, "hwnd=0", c512},
        {0, kEnabled | kHidden, 2, HwndField(w[3]), "unreadable"},
        {0, kEnabled | kEllipses, 3, "hwnd=0x12345678", c5000},
        {0, kEnabled | kHidden, 4, HwndField(w[1]) + " id=1001", "twice"},
        {0, kEnabled, 5, HwndField(w[2]), "last"}};
    Script(script);
    const std::vector<int> ids = CommandIds();
    ASSERT_EQ(ids.size(), script.size());
    ASSERT_EQ(ids[6], ids[1]);
    ASSERT_TRUE(Command("textfail " + std::to_string(ids[4])));
    HWND toolbar = FindTaskbarToolbar();
    const HWND windows[] = {w[0], w[1], w[2], nullptr, nullptr, nullptr, w[1], w[2]};
    const int n = static_cast<int>(script.size());

    std::vector<std::function<std::unique_ptr<TProcessMemMgr>()>> managers = {
        [&] { return CreateProcessMemMgrForWindow(toolbar); },
        [&] {
            return std::make_unique<TScatteredBlocksMemMgr>(CreateProcessMemMgrForWindow(toolbar));
        }};
    for (bool light : {true, false}) {
        for (std::size_t m = 0; m < (light ? 1 : managers.size()); ++m) {
            SCOPED_TRACE(light ? "light" : m == 0 ? "full" : "full, blocks one by one");
            std::unique_ptr<TProcessMemMgr> mem = managers[m]();
            TToolbarCalls calls;
            const TButtonList read = ReadToolbarButtons(toolbar, n + 2, light, *mem, &calls);
            // The same reading three buttons at a time: the button that repeats a command id
            // (6, of 1) is read in a later step than its first.
            TToolbarReading steps(toolbar, n + 2, light, *mem, 3);
            while (steps.Step()) {
            }
            const TButtonList stepped = steps.TakeButtons();
            ASSERT_EQ(stepped.size(), read.size());
            for (std::size_t i = 0; i < read.size(); ++i) {
                EXPECT_EQ(stepped[i]->Index, read[i]->Index) << i;
                EXPECT_EQ(stepped[i]->Caption, read[i]->Caption) << i;
                EXPECT_EQ(stepped[i]->Wnd, read[i]->Wnd) << i;
                EXPECT_EQ(stepped[i]->Rect, read[i]->Rect) << i;
            }
            ASSERT_EQ(read.size(), script.size());
            for (std::size_t i = 0; i < read.size(); ++i) {
                SCOPED_TRACE(i);
                const TTaskButton& b = *read[i];
                const std::size_t first = i == 6 ? 1 : i; // the first button with its id
                EXPECT_EQ(b.CommandId, ids[i]);
                EXPECT_EQ(b.Index, int32_t(first));
                EXPECT_EQ(b.Style, script[i].style);
                EXPECT_EQ(b.State, script[i].state);
                EXPECT_EQ(b.Visible, (script[i].state & kHidden) == 0);
                EXPECT_EQ(b.Pressed, (script[i].state & (kChecked | kPressed)) != 0);
                EXPECT_EQ(b.IsGroupHeader, (script[i].style & kHeader) != 0);
                EXPECT_EQ(b.ImageIndex, script[i].img);
                EXPECT_EQ(b.Caption, light ? "" : i == 4 ? "?" : script[first].text);
                EXPECT_EQ(b.Rect, ButtonRect(toolbar, ids[i]));
                EXPECT_EQ(ToHWND(b.Wnd), light ? nullptr : windows[i]);
            }
            // Five messages a button at most, two for a light reading, and a handful of
            // transfers for the whole toolbar (one more read for each caption too long for
            // its slot).
            EXPECT_LE(calls.Sends, uint32_t((light ? 2 : 5) * n + 2));
            EXPECT_LE(calls.Reads + calls.Writes, (light ? 3u : 4u + n) + 2u);
        }
    }
    EXPECT_TRUE(ButtonRect(toolbar, ids[4]) == TRect{}); // hidden buttons have no rectangle
}

// A window renamed between the length query and the fetch of its caption: the shell writes the
// longer text on past the buffer. It must stay within the reader's own block, and the caption
// must come back as it is now, without spoiling the captions fetched after it.
TEST_F(Snapshot, CaptionRenamedLongerBetweenLengthAndFetch) {
    const std::string large(2000, 'L');
    Script({{0, kEnabled, 0, "hwnd=0", "short"},
            {0, kEnabled, 0, "hwnd=0", "mid"},
            {0, kEnabled, 0, "hwnd=0", "next"},
            {0, kEnabled, 0, "hwnd=0", large},
            {0, kEnabled, 0, "hwnd=0", "last"}});
    const std::vector<int> ids = CommandIds();
    ASSERT_EQ(ids.size(), 5u);
    const std::size_t growth[] = {500, 1500, 0, 2000, 3000};
    for (std::size_t i = 0; i < 5; ++i)
        ASSERT_TRUE(
            Command("textgrow " + std::to_string(ids[i]) + " " + std::to_string(growth[i])));
    int overruns = 0;
    Taskbar.MemMgrFactory = [&overruns](HWND w) -> std::unique_ptr<TProcessMemMgr> {
        return std::make_unique<TGuardedMemMgr>(CreateProcessMemMgrForWindow(w), overruns);
    };
    Read(false);
    EXPECT_EQ(overruns, 0);
    const auto grown = [&](const std::string& text, std::size_t i) {
        return text + std::string(growth[i], '+');
    };
    EXPECT_THAT(Shape(), ElementsAre(ElementsAre(grown("short", 0)), ElementsAre(grown("mid", 1)),
                                     ElementsAre("next"), ElementsAre(grown(large, 3)),
                                     ElementsAre(grown("last", 4))));
}

// The reading through the own-process manager: a toolbar of this process.
TEST(SnapshotOfOwnToolbar, ReadThroughTheOwnProcessManager) {
    ScopedWindow toolbar(CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_POPUP | TBSTYLE_LIST, 0, 0,
                                         600, 30, nullptr, nullptr, GetModuleHandleA(nullptr),
                                         nullptr));
    ASSERT_NE(toolbar.get(), nullptr);
    SendMessageA(toolbar.get(), TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    const std::string texts[] = {"one", std::string(1500, 'x'), "three"};
    LONG windowFields[3] = {}; // what dwData points at: no window
    TBBUTTON tb[3] = {};
    for (int i = 0; i < 3; ++i) {
        tb[i].dwData = reinterpret_cast<DWORD_PTR>(&windowFields[i]);
        tb[i].iBitmap = -1;
        tb[i].idCommand = 500 + i;
        tb[i].fsState = TBSTATE_ENABLED | (i == 2 ? TBSTATE_HIDDEN : 0);
        tb[i].iString = reinterpret_cast<INT_PTR>(texts[i].c_str());
    }
    SendMessageA(toolbar.get(), TB_ADDBUTTONSA, 3, reinterpret_cast<LPARAM>(tb));
    std::unique_ptr<TProcessMemMgr> mem = CreateProcessMemMgrForWindow(toolbar.get());
    ASSERT_NE(dynamic_cast<TOwnProcessMemMgr*>(mem.get()), nullptr);
    const TButtonList read = ReadToolbarButtons(toolbar.get(), 3, false, *mem);
    ASSERT_EQ(read.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(read[i]->Caption, texts[i]);
        EXPECT_EQ(read[i]->Index, i);
        EXPECT_EQ(read[i]->CommandId, 500 + i);
        EXPECT_EQ(read[i]->Visible, i != 2);
        EXPECT_EQ(read[i]->Wnd, 0);
    }
    EXPECT_GT(read[1]->Rect.Right, read[1]->Rect.Left);
}

TEST(SnapshotWithoutShell, NoToolbarGivesNothing) {
    if (FindTaskbarToolbar() != nullptr)
        GTEST_SKIP() << "a taskbar toolbar is running";
    TTaskbar taskbar;
    TWndHandle active = 1;
    EXPECT_THAT(taskbar.Snapshot(false, &active), IsEmpty());
    EXPECT_EQ(active, 0);
}

} // namespace
