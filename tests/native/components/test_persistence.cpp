// The control states and the window state in the registry, on plain data: which values are
// written in which order and type, what loading takes and what it leaves alone, and the
// placing of a window on the work area.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "components/OneInstance.h"
#include "components/QlxCheckListModel.h"
#include "components/QlxThemeSave.h"
#include "components/SaveState.h"
#include "tests/native/support/MainWindowValues.h"
#include "tests/native/support/MemoryRegistry.h"

using zvtest::Dword;
using zvtest::Sz;
using zvtest::TMemoryRegistryData;

namespace {
const char kKey[] = "Software\\Kestrelan\\Zorvane\\";
const char kDefault[] = "Software\\Kestrelan\\Zorvane\\Default";
constexpr TRegRoot HKCU = TRegRoot::CurrentUser;

struct TFakeControl : IStateControl {
    TFakeControl(std::string N, TStateKind K) : N(std::move(N)), K(K) {}
    std::string Name() const override { return N; }
    TStateKind Kind() const override { return K; }
    bool Checked() const override { return Check; }
    void SetChecked(bool V) override {
        if (V != Check)
            ++Clicks; // a check box runs its click handler on a change
        Check = V;
    }
    bool Visible() const override { return Vis; }
    void SetVisible(bool V) override { Vis = V; }
    bool Enabled() const override { return En; }
    void SetEnabled(bool V) override { En = V; }
    std::string Caption() const override { return Cap; }
    void SetCaption(const std::string& V) override { Cap = V; }
    TQlxCheckListCore* CheckList() const override { return List; }
    std::string N;
    TStateKind K;
    bool Check = false, Vis = true, En = true;
    std::string Cap;
    int Clicks = 0;
    TQlxCheckListCore* List = nullptr;
};

// The main window's components in their creation order, with the kinds the saving sees.
struct TMainWindowControls {
    TMainWindowControls() {
        for (auto [name, kind] : std::initializer_list<std::pair<const char*, TStateKind>>{
                 {"ilButtons", TStateKind::None},
                 {"TkPageControl1", TStateKind::None},
                 {"QlxCheckListTaskBar", TStateKind::CheckList},
                 {"bUp", TStateKind::Button},
                 {"bDown", TStateKind::Button},
                 {"cbStartUp", TStateKind::CheckBox},
                 {"cmodmove", TStateKind::CheckBox},
                 {"cbMiddleClose", TStateKind::CheckBox},
                 {"bHelp", TStateKind::Button},
                 {"bOk", TStateKind::Button},
                 {"bExit", TStateKind::Button},
                 {"bDemo_OLD", TStateKind::Button},
                 {"TimerRefresh", TStateKind::None},
                 {"OneInstance1", TStateKind::None}})
            All.emplace_back(name, kind);
        for (auto& c : All)
            Pointers.push_back(&c);
        Saver.KeySave = kKey;
        Saver.DefaultKeyLoad = kDefault;
        Saver.Registry = Reg.Factory();
    }
    TFakeControl& Named(const std::string& Name) {
        for (auto& c : All)
            if (c.N == Name)
                return c;
        throw std::runtime_error(Name);
    }
    std::vector<TFakeControl> All;
    std::vector<IStateControl*> Pointers;
    TMemoryRegistryData Reg;
    TQlxThemeSaveCore Saver;
};
} // namespace

TEST(QlxThemeSave, TheMainWindowLeavesItsThirtyValuesInComponentOrder) {
    TMainWindowControls w;
    w.Named("cbStartUp").Check = true;
    w.Named("bDemo_OLD").Vis = false;
    w.Named("bOk").Cap = "OK";
    EXPECT_TRUE(w.Saver.Save(w.Pointers, true));
    const std::vector<std::string>& want = zvtest::kMainWindowControlValues;
    EXPECT_EQ(w.Reg.Names(HKCU, kKey), want);
    auto* values = w.Reg.Find(HKCU, kKey);
    ASSERT_TRUE(values);
    for (auto& [name, v] : *values)
        EXPECT_EQ(v.Type, name.find("Caption") != std::string::npos ? kRegSz : kRegDword) << name;
    EXPECT_EQ(w.Reg.Find(HKCU, kKey)->at(6).second.Dword, 1u);   // cbStartUpCheck
    EXPECT_EQ(w.Reg.Find(HKCU, kKey)->at(27).second.Dword, 0u);  // bDemo_OLDVisible
    EXPECT_EQ(w.Reg.Find(HKCU, kKey)->at(23).second.Text, "OK"); // bOkCaption

    // The defaults go to their own key; the saved key stays the one to load from.
    EXPECT_TRUE(w.Saver.SaveDefaults(w.Pointers, true));
    EXPECT_EQ(w.Reg.Names(HKCU, kDefault), want);
    EXPECT_EQ(w.Saver.KeySave, kKey);
}

TEST(QlxThemeSave, LoadTakesValuesOfTheirOwnTypeOnlyAndRunsTheClickHandler) {
    TMainWindowControls w;
    w.Reg.Put(HKCU, kKey, "cmodmoveCheck", Dword(7)); // non-zero is true
    w.Reg.Put(HKCU, kKey, "cbStartUpCheck", Sz("0")); // a string: ignored
    w.Reg.Put(HKCU, kKey, "bUpEnabled", Dword(0));
    w.Reg.Put(HKCU, kKey, "bUpCaption", Dword(3)); // a number where a string belongs
    w.Reg.Put(HKCU, kKey, "bDemo_OLDVisible", Dword(1));
    w.Named("cbStartUp").Check = true;
    w.Named("bUp").Cap = "up";
    EXPECT_TRUE(w.Saver.Load(w.Pointers, true));
    EXPECT_TRUE(w.Named("cmodmove").Check);
    EXPECT_EQ(w.Named("cmodmove").Clicks, 1);
    EXPECT_TRUE(w.Named("cbStartUp").Check);
    EXPECT_EQ(w.Named("cbStartUp").Clicks, 0);
    EXPECT_FALSE(w.Named("bUp").En);
    EXPECT_EQ(w.Named("bUp").Cap, "up");
    EXPECT_TRUE(w.Named("bDemo_OLD").Vis);
    EXPECT_TRUE(w.Named("bDown").Vis); // missing values leave the control alone
}

TEST(QlxThemeSave, AnExceptedControlIsNeitherWrittenNorRead) {
    TMainWindowControls w;
    w.Saver.ExceptComponetList = {"CMODMOVE"};
    w.Saver.Save(w.Pointers, true);
    for (const std::string& n : w.Reg.Names(HKCU, kKey))
        EXPECT_EQ(n.find("cmodmove"), std::string::npos) << n;
    EXPECT_EQ(w.Reg.Names(HKCU, kKey).size(), 26u);
    w.Reg.Put(HKCU, kKey, "cmodmoveCheck", Dword(1));
    w.Saver.Load(w.Pointers, true);
    EXPECT_FALSE(w.Named("cmodmove").Check);
}

TEST(QlxThemeSave, WithoutAKeyOrAnOwnerNothingHappens) {
    for (int c = 0; c < 3; ++c) {
        TMainWindowControls w;
        if (c == 0)
            w.Saver.KeySave.clear();
        if (c == 1)
            w.Saver.DefaultKeyLoad.clear();
        const bool owner = c != 2;
        EXPECT_FALSE(w.Saver.Save(w.Pointers, owner));
        EXPECT_FALSE(w.Saver.SaveDefaults(w.Pointers, owner));
        EXPECT_FALSE(w.Saver.Load(w.Pointers, owner));
        EXPECT_TRUE(w.Reg.Keys.empty()) << "case " << c;
    }
}

TEST(QlxThemeSave, ARefusedKeyFailsSilentlyAndReadingDoesNotCreateIt) {
    TMainWindowControls w;
    EXPECT_FALSE(w.Saver.Load(w.Pointers, true)); // the key does not exist yet
    EXPECT_TRUE(w.Reg.Keys.empty());
    w.Reg.Denied.insert(TMemoryRegistryData::Id(HKCU, kKey));
    EXPECT_FALSE(w.Saver.Save(w.Pointers, true));
    EXPECT_TRUE(w.Reg.Names(HKCU, kKey).empty());
}

namespace {
struct TNullView : IQlxCheckListView {
    void InvalidateList() override {}
    void ListLayoutChanged() override {}
    void ScrollPositionChanged() override {}
    void ResetHint() override {}
    int TextWidth(const std::string& Text, bool) override { return static_cast<int>(Text.size()); }
};
} // namespace

TEST(QlxThemeSave, ANamedCheckListKeepsItsRowsAnUnnamedOneIsSkipped) {
    TNullView view;
    TQlxCheckListCore list(view, nullptr);
    list.Columns.Add();
    for (int i = 0; i < 2; ++i) {
        TQlxListItem* item = list.Items.Add();
        item->SetCaption("row " + std::to_string(i));
        item->SubItems.Add("a");
        item->SubItems.Add("b");
        item->Hidenpart = "000" + std::to_string(i);
    }
    list.Items[1].SetChecked(false);
    TMainWindowControls w;
    w.Named("QlxCheckListTaskBar").List = &list;
    w.Saver.Save(w.Pointers, true);
    EXPECT_FALSE(w.Reg.Find(HKCU, kKey) &&
                 w.Reg.Names(HKCU, kKey).front().rfind("QlxCheckListTaskBar", 0) == 0);

    w.Saver.QlxCheckLists = {"qlxchecklisttaskbar"};
    w.Saver.Save(w.Pointers, true);
    list.Items.Clear();
    list.Items.Add()->SetCaption("other");
    w.Saver.Load(w.Pointers, true);
    ASSERT_EQ(list.Items.Count(), 2);
    EXPECT_EQ(list.Items[1].Caption(), "row 1");
    EXPECT_FALSE(list.Items[1].Checked());
    EXPECT_EQ(list.Items[0].SubItems.List(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(list.Items[0].Hidenpart, "0000");
    EXPECT_EQ(list.Items.UpdateCount(), 0);
}

// ---- Window state

TEST(SaveState, BoundsAreFittedWhollyOntoTheWorkArea) {
    constexpr int kMax = INT32_MAX, kMin = INT32_MIN;
    const TWorkArea screen{0, 0, 1024, 768};
    const TWorkArea belowTopBar{0, 30, 1024, 768};
    const TWorkArea second{1024, 0, 2048, 768}; // a monitor right of the first
    struct TCase {
        int Line;
        TWorkArea Work;
        TFormBounds In, Want;
    };
    const TCase cases[] = {
        {__LINE__, screen, {-50, 20, 586, 450}, {0, 20, 586, 450}},
        {__LINE__, screen, {900, 20, 586, 450}, {438, 20, 586, 450}},
        {__LINE__, screen, {10, 10, 50, 60}, {10, 10, 100, 100}},
        {__LINE__, screen, {10, 700, 586, 450}, {10, 318, 586, 450}},
        // Larger than the work area: cut to its size, title bar and controls in reach.
        {__LINE__, screen, {-5, -5, 2000, 100}, {0, 0, 1024, 100}},
        {__LINE__, screen, {-5000, 0, 100000, 100000}, {0, 0, 1024, 768}},
        // Numbers whose sums overflow 32 bits.
        {__LINE__, screen, {kMax, kMax, kMax, kMax}, {0, 0, 1024, 768}},
        {__LINE__, screen, {kMin, kMin, kMin, kMin}, {0, 0, 100, 100}},
        {__LINE__, screen, {kMax - 10, 5, 586, 450}, {438, 5, 586, 450}},
        // The work area's own place counts.
        {__LINE__, belowTopBar, {-50, -50, 586, 450}, {0, 30, 586, 450}},
        {__LINE__, belowTopBar, {0, 700, 586, 900}, {0, 30, 586, 738}},
        {__LINE__, second, {1500, 10, 586, 450}, {1462, 10, 586, 450}},
        {__LINE__, second, {0, 10, 586, 450}, {1024, 10, 586, 450}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "case of line " << c.Line);
        EXPECT_EQ(FitToWorkArea(c.In, c.Work), c.Want);
    }
    EXPECT_EQ(CenterOnWorkArea({0, 0, 592, 448}, {0, 0, 1024, 738}),
              (TFormBounds{216, 145, 592, 448}));
    EXPECT_EQ(CenterOnWorkArea({0, 0, 592, 448}, {0, 30, 1024, 768}),
              (TFormBounds{216, 175, 592, 448}));
    EXPECT_EQ(CenterOnWorkArea({0, 0, 1101, 448}, {0, 0, 1024, 738}),
              (TFormBounds{0, 145, 1024, 448}));
}

namespace {
struct TFakeWindow : ISavedWindow {
    TSavedWindowState WindowState() const override { return State; }
    void SetWindowState(TSavedWindowState V) override {
        State = V;
        Log.push_back(V == swsMaximized ? "max" : "normal");
    }
    TFormBounds Bounds() const override { return B; }
    void SetBounds(const TFormBounds& V) override {
        B = V;
        Log.push_back("bounds");
    }
    TWorkArea WorkArea(const TFormBounds&) const override { return {0, 0, 1024, 768}; }
    TSavedWindowState State = swsNormal;
    TFormBounds B{0, 0, 592, 448};
    std::vector<std::string> Log;
};

const char kMain[] = "Software\\Kestrelan\\Zorvane\\Main\\";

struct TSaved {
    TSaved() {
        State.SetKeyName(kMain);
        State.Registry = Reg.Factory();
        State.OnError = [this](const std::string& M) { Errors.push_back(M); };
    }
    void Store(int Left, int Top, int Width, int Height) {
        Reg.Put(HKCU, kMain, "Left", Dword(static_cast<uint32_t>(Left)));
        Reg.Put(HKCU, kMain, "Top", Dword(static_cast<uint32_t>(Top)));
        Reg.Put(HKCU, kMain, "Width", Dword(static_cast<uint32_t>(Width)));
        Reg.Put(HKCU, kMain, "Height", Dword(static_cast<uint32_t>(Height)));
    }
    TMemoryRegistryData Reg;
    TSaveStateCore State{"fTaskBarMain"};
    TFakeWindow Window;
    std::vector<std::string> Errors;
};
} // namespace

TEST(SaveState, WithoutStoredBoundsTheWindowIsCentred) {
    TSaved s;
    s.Reg.Put(HKCU, kMain, "Left", Dword(5)); // three of the four are missing
    s.State.Load(s.Window, "C:\\Zorvane.exe");
    EXPECT_EQ(s.Window.B, (TFormBounds{216, 160, 592, 448}));
    s.State.CenterOnFirstRun = false;
    s.Window.B = {1, 2, 592, 448};
    s.State.Load(s.Window, "C:\\Zorvane.exe");
    EXPECT_EQ(s.Window.B, (TFormBounds{1, 2, 592, 448}));
    EXPECT_TRUE(s.Errors.empty());
}

TEST(SaveState, OnlyWindowStateOneMaximizesAndThatAfterTheBounds) {
    for (uint32_t state : {0u, 1u, 2u, 3u, 4u, 0x101u}) {
        TSaved s;
        s.Store(-50, 20, 586, 450);
        s.Reg.Put(HKCU, kMain, "WindowState", Dword(state));
        s.State.Load(s.Window, "C:\\Zorvane.exe");
        EXPECT_EQ(s.Window.B, (TFormBounds{0, 20, 586, 450}));
        const bool max = (state & 0xFF) == 1;
        EXPECT_EQ(s.Window.State, max ? swsMaximized : swsNormal) << state;
        EXPECT_EQ(s.Window.Log.back(), max ? "max" : "bounds") << state;
    }
}

TEST(SaveState, SavingWhileMaximizedKeepsTheEarlierBounds) {
    TSaved s;
    s.Window.B = {10, 20, 592, 448};
    s.State.Save(s.Window, "x.exe");
    s.Window.State = swsMaximized;
    s.Window.B = {0, 0, 1024, 768};
    s.State.Save(s.Window, "x.exe");
    EXPECT_EQ(s.Reg.Names(HKCU, kMain),
              (std::vector<std::string>{"WindowState", "Left", "Top", "Width", "Height"}));
    EXPECT_EQ(s.Reg.Find(HKCU, kMain)->at(0).second.Dword, 1u);
    EXPECT_EQ(s.Reg.Find(HKCU, kMain)->at(1).second.Dword, 10u);
    EXPECT_EQ(s.Reg.Find(HKCU, kMain)->at(3).second.Dword, 592u);
}

TEST(SaveState, AValueOfTheWrongTypeIsReportedAndWhatCameBeforeStays) {
    TSaved s;
    s.Store(0, 20, 586, 450);
    s.Reg.Put(HKCU, kMain, "Left", Sz("12"));
    s.Window.State = swsMaximized;
    s.Window.B = {7, 7, 592, 448};
    s.State.Load(s.Window, "x.exe");
    EXPECT_EQ(s.Errors, (std::vector<std::string>{"Invalid data type for 'Left'"}));
    EXPECT_EQ(s.Window.State, swsNormal);
    EXPECT_EQ(s.Window.B, (TFormBounds{7, 7, 592, 448}));

    s.Errors.clear();
    s.Reg.Denied.insert(TMemoryRegistryData::Id(HKCU, "Other"));
    s.State.SetKeyName("Other");
    s.State.Save(s.Window, "x.exe");
    EXPECT_EQ(s.Errors, (std::vector<std::string>{"Unable to open/create key:Other"}));
}

TEST(SaveState, TheKeyNameIsTidiedAndTheDefaultOneLiesUnderTheProgramsName) {
    TSaveStateCore s("fMain");
    EXPECT_EQ(s.KeyName(), "SaveState\\fMain");
    EXPECT_EQ(s.KeyPath("C:\\Program Files\\Tool\\My.Tool.exe"), "My.Tool\\SaveState\\fMain");
    s.SetKeyName("\\Software//Firm///x");
    EXPECT_EQ(s.KeyName(), "Software/Firm//x");
    EXPECT_EQ(s.KeyPath("a.exe"), "Software/Firm//x");
    s.SetKeyName("\\");
    EXPECT_EQ(s.KeyName(), "\\");
}

TEST(OneInstance, TheMutexIsNamedAfterTheFileNameInOneLetterCase) {
    EXPECT_EQ(InstanceMutexName("C:\\Apps\\Zorvane.EXE"), "zorvane.exe");
    EXPECT_EQ(InstanceMutexName("c:\\apps\\zorvane.exe"),
              InstanceMutexName("C:\\Apps\\ZORVANE.exe"));
    EXPECT_EQ(InstanceMutexName("Copy of Zorvane.exe"), "copy of zorvane.exe");
    EXPECT_EQ(OneInstanceErrorText("Unable to create Mutex!", "Access denied."),
              "Unable to create Mutex! An Exception was raised with the message : Access denied.");
}
