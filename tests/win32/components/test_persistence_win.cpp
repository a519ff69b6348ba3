// The persistence components, the single-instance guard and the list's registry and mouse
// wiring under the real window manager and registry. The rules themselves are tested on
// plain data; these check that the components reach the controls, the window and Windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "components/OneInstance_win.h"
#include "components/QlxCheckList.h"
#include "components/QlxThemeSave_win.h"
#include "components/SaveState_win.h"
#include "tests/support/TestSupport.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/TkForm.h"

namespace {
const char kTestKey[] = "Software\\Kestrelan\\ZorvaneTest";
const char kStateKey[] = "Software\\Kestrelan\\ZorvaneTest\\Main";

void PutDword(const char* Key, const char* Name, DWORD Value) {
    HKEY k = nullptr;
    ASSERT_EQ(
        ::RegCreateKeyExA(HKEY_CURRENT_USER, Key, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr),
        ERROR_SUCCESS);
    ::RegSetValueExA(k, Name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&Value), 4);
    ::RegCloseKey(k);
}

void PutString(const char* Key, const char* Name, const char* Value) {
    HKEY k = nullptr;
    ASSERT_EQ(
        ::RegCreateKeyExA(HKEY_CURRENT_USER, Key, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr),
        ERROR_SUCCESS);
    ::RegSetValueExA(k, Name, 0, REG_SZ, reinterpret_cast<const BYTE*>(Value),
                     static_cast<DWORD>(strlen(Value) + 1));
    ::RegCloseKey(k);
}

// A value's type and number; type 0 when it is missing.
std::pair<DWORD, DWORD> Get(const char* Key, const char* Name) {
    HKEY k = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, Key, 0, KEY_READ, &k) != ERROR_SUCCESS)
        return {0, 0};
    DWORD type = 0, data = 0, size = sizeof(data);
    if (::RegQueryValueExA(k, Name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) !=
        ERROR_SUCCESS)
        type = 0;
    ::RegCloseKey(k);
    return {type, data};
}

// A form as the main window is built: designed place, a frame, a check box, a button.
class TStateForm : public TForm {
public:
    explicit TStateForm(TComponent* Owner, TPosition Position = TPosition::Designed)
        : TForm(Owner, {.ClassName = "TStateTestForm",
                        .Name = "fStateTest",
                        .Caption = "State",
                        .ClientWidth = 300,
                        .ClientHeight = 200,
                        .Position = Position}) {
        Box = Create<TCheckBox>(TCheckBoxParams{.Name = "cbStartUp",
                                                .Parent = this,
                                                .Bounds = {8, 8, 200, 20},
                                                .Caption = "Start",
                                                .Checked = true,
                                                .OnClick = [this](TObject*) { ++Clicks; }});
        Ok = Create<TButton>(TButtonParams{
            .Name = "bOk", .Parent = this, .Bounds = {8, 40, 80, 24}, .Caption = "OK"});
        TkForm1 = Create<TTkForm>("TkForm1");
        SaveState1 = Create<TSaveState>("SaveState1");
        SaveState1->SetKeyName(kStateKey);
        SaveState1->TkForm = TkForm1;
        Saver = Create<TQlxThemeSave>("QlxThemeSave1");
        Saver->KeySave = kTestKey;
        Saver->DefaultKeyLoad = std::string(kTestKey) + "\\Default";
    }
    TCheckBox* Box;
    TButton* Ok;
    TTkForm* TkForm1;
    TSaveState* SaveState1;
    TQlxThemeSave* Saver;
    int Clicks = 0;
};

struct TPersistenceTest : testing::Test {
    TPersistenceTest() { zvtest::DeleteRegistryTree(HKEY_CURRENT_USER, kTestKey); }
    ~TPersistenceTest() override { zvtest::DeleteRegistryTree(HKEY_CURRENT_USER, kTestKey); }
    TApplication App;
};

// The texts of the next message box this thread shows, which is then dismissed with OK.
// The box is caught as it comes up (a CBT hook of this thread), inside its modal loop.
class TBoxWatcher {
public:
    TBoxWatcher()
        : Hook_(::SetWindowsHookExA(WH_CBT, &Activated, nullptr, ::GetCurrentThreadId())) {
        Current() = this;
    }
    ~TBoxWatcher() { Current() = nullptr; }
    std::string Title, Message, Buttons;

private:
    static TBoxWatcher*& Current() {
        static TBoxWatcher* current = nullptr;
        return current;
    }
    static std::string Text(HWND w) {
        char t[512] = {};
        ::GetWindowTextA(w, t, sizeof(t));
        return t;
    }
    static LRESULT CALLBACK Activated(int Code, WPARAM WParam, LPARAM LParam) {
        TBoxWatcher* self = Current();
        if (Code == HCBT_ACTIVATE && self && self->Title.empty()) {
            auto box = reinterpret_cast<HWND>(WParam);
            self->Title = Text(box);
            self->Message = Text(::GetDlgItem(box, 0xFFFF));
            for (HWND c = ::GetWindow(box, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
                char cls[16] = {};
                ::GetClassNameA(c, cls, sizeof(cls));
                if (lstrcmpA(cls, "Button") == 0 &&
                    (::GetWindowLongPtrA(c, GWL_STYLE) & WS_VISIBLE))
                    self->Buttons += Text(c) + ";"; // the box hides the buttons it does not use
            }
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
        return ::CallNextHookEx(nullptr, Code, WParam, LParam);
    }
    ScopedHook Hook_;
};
} // namespace

TEST_F(TPersistenceTest, AHiddenFormLoadsMaximizedAndShowsSoWithItsBoundsKept) {
    PutDword(kStateKey, "Left", static_cast<DWORD>(-50));
    PutDword(kStateKey, "Top", 20);
    PutDword(kStateKey, "Width", 586);
    PutDword(kStateKey, "Height", 450);
    PutDword(kStateKey, "WindowState", 1);
    TStateForm* f = App.Create<TStateForm>();
    f->SaveState1->Load();
    EXPECT_FALSE(::IsWindowVisible(f->Handle()));
    EXPECT_EQ(f->TkForm1->WindowState(), kwsMaximized);
    f->Show();
    EXPECT_TRUE(::IsZoomed(f->Handle()));
    // Saving while maximized writes the state only: the bounds stay those stored before.
    PutDword(kStateKey, "Left", 33);
    f->SaveState1->Save();
    EXPECT_EQ(Get(kStateKey, "WindowState").second, 1u);
    EXPECT_EQ(Get(kStateKey, "Left").second, 33u);
    f->TkForm1->SetWindowState(kwsNormal);
    EXPECT_FALSE(::IsZoomed(f->Handle()));
    const TBounds b = f->Bounds();
    EXPECT_EQ(b.Left, 0);
    EXPECT_EQ(b.Top, 20);
    EXPECT_EQ(b.Width, 586);
    EXPECT_EQ(b.Height, 450);
    f->SaveState1->Save();
    EXPECT_EQ(Get(kStateKey, "WindowState").second, 0u);
    EXPECT_EQ(Get(kStateKey, "Left").second, 0u);
}

TEST_F(TPersistenceTest, ALeftOfTheWrongTypeShowsAnErrorBoxWithOneIgnoreButton) {
    PutString(kStateKey, "Left", "12");
    PutDword(kStateKey, "Top", 20);
    PutDword(kStateKey, "Width", 586);
    PutDword(kStateKey, "Height", 450);
    TStateForm* f = App.Create<TStateForm>();
    {
        TBoxWatcher watcher;
        f->SaveState1->Load(); // returns once the box is dismissed
        EXPECT_EQ(watcher.Title, "Error");
        EXPECT_EQ(watcher.Message, "Invalid data type for 'Left'");
        EXPECT_EQ(watcher.Buttons, "&Ignore;");
    }
}

TEST_F(TPersistenceTest, ABoundOfTheWrongSizeReadsAsMissingAndTheFormIsCentred) {
    PutDword(kStateKey, "Left", 7);
    PutDword(kStateKey, "Top", 20);
    PutDword(kStateKey, "Width", 586);
    HKEY k = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, kStateKey, 0, KEY_WRITE, &k), ERROR_SUCCESS);
    const WORD shortHeight = 450;
    ::RegSetValueExA(k, "Height", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&shortHeight), 2);
    ::RegCloseKey(k);
    TStateForm* f = App.Create<TStateForm>();
    f->SetBounds({7, 20, 300, 200});
    f->SaveState1->Load(); // no box: this would not return
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const TBounds b = f->Bounds();
    EXPECT_EQ(b.Height, 200) << "not a height of 0 raised to 100";
    EXPECT_EQ(b.Left, work.left + (work.right - work.left - 300) / 2);
}

TEST_F(TPersistenceTest, TheOwnerAndFrameAreChecked) {
    TStateForm* centred = App.Create<TStateForm>(TPosition::ScreenCenter);
    try {
        centred->SaveState1->Load();
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Form.Position <>poDefault or poDesigned");
    }
    TSaveState* loose = App.Create<TSaveState>("Loose");
    try {
        loose->Save();
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Parent not Tform");
    }
    TStateForm* f = App.Create<TStateForm>();
    f->SaveState1->TkForm = nullptr;
    f->SaveState1->Load(); // without a frame: nothing
    EXPECT_EQ(Get(kStateKey, "Left").first, 0u);
    try {
        f->SaveState1->Center();
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Not TTkForm assigned!");
    }
}

TEST_F(TPersistenceTest, ControlStatesReachTheRealControlsAndTheirClickHandler) {
    TStateForm* f = App.Create<TStateForm>();
    EXPECT_TRUE(f->Saver->Save());
    EXPECT_EQ(Get(kTestKey, "cbStartUpCheck"), (std::pair<DWORD, DWORD>{REG_DWORD, 1}));
    EXPECT_EQ(Get(kTestKey, "bOkEnabled"), (std::pair<DWORD, DWORD>{REG_DWORD, 1}));
    EXPECT_EQ(Get(kTestKey, "bOkCaption").first, static_cast<DWORD>(REG_SZ));

    PutString(kTestKey, "cbStartUpCheck", "0"); // a string: ignored
    PutDword(kTestKey, "bOkEnabled", 0);
    PutString(kTestKey, "bOkCaption", "Fine");
    EXPECT_TRUE(f->Saver->Load());
    EXPECT_TRUE(f->Box->Checked());
    EXPECT_EQ(f->Clicks, 0);
    EXPECT_FALSE(f->Ok->Enabled());
    EXPECT_EQ(f->Ok->Caption(), "Fine");
    PutDword(kTestKey, "cbStartUpCheck", 0);
    f->Saver->Load();
    EXPECT_FALSE(f->Box->Checked());
    EXPECT_EQ(f->Clicks, 1); // as for a click by the user
}

TEST_F(TPersistenceTest, ASecondGuardFindsTheFirstAndAsksTheApplicationToEnd) {
    TStateForm* first = App.Create<TStateForm>();
    TOneInstance* a = first->Create<TOneInstance>("OneInstance1");
    try {
        first->Create<TOneInstance>("OneInstance2");
        ADD_FAILURE() << "no error";
    } catch (const EOneInstance& e) {
        EXPECT_EQ(e.Message, "OneInstance component duplicated in fStateTest");
    }
    a->Loaded();
    EXPECT_TRUE(a->OwnsMutex());
    EXPECT_FALSE(App.Terminated());

    TStateForm* second = App.Create<TStateForm>();
    TOneInstance* b = second->Create<TOneInstance>("OneInstance1");
    int exists = 0;
    b->ApplicationExists = [&](TObject* Sender) {
        EXPECT_EQ(Sender, b);
        ++exists;
    };
    b->Loaded();
    EXPECT_EQ(exists, 1);
    EXPECT_FALSE(b->OwnsMutex());
    EXPECT_TRUE(App.Terminated());
}

// ---- The list's registry values and its header under the mouse

namespace {
class TListForm : public TForm {
public:
    explicit TListForm(TComponent* Owner)
        : TForm(Owner, {.ClassName = "TListPersistForm",
                        .Name = "fListPersist",
                        .Caption = "List",
                        .ClientWidth = 540,
                        .ClientHeight = 340,
                        .Position = TPosition::Designed}) {
        List = Create<TQlxCheckList>(TQlxCheckListParams{
            .Name = "QlxPersistList", .Parent = this, .Bounds = {5, 8, 511, 312}});
        List->RegistrySaving.KeyRoot = TRegRoot::CurrentUser;
        List->RegistrySaving.RegistryKey = kTestKey;
        TQlxListColumn& first = List->Columns.Add();
        first.Caption = "TaskBar Applications";
        first.SetMaxWidth(1000);
        first.SetMinWidth(400);
        first.SetWidth(450);
        List->Columns.Add().Visible = false;
        Other = Create<TButton>(TButtonParams{
            .Name = "bOther", .Parent = this, .Bounds = {440, 325, 90, 12}, .Caption = "x"});
    }
    TQlxCheckList* List;
    TButton* Other;
};
const char kListKey[] = "Software\\Kestrelan\\ZorvaneTest\\QlxPersistList";

LPARAM At(int X, int Y) {
    return MAKELPARAM(X, Y);
}
} // namespace

TEST_F(TPersistenceTest, TheListWritesItsValuesWhenDestroyedAndReadsThemWhenLoaded) {
    {
        auto f = std::make_unique<TListForm>(nullptr);
        f->List->Columns[0].SetWidth(620);
        f->List->SetSortSens(ssDescendent);
    }
    EXPECT_EQ(Get(kListKey, "Column_0_Width"), (std::pair<DWORD, DWORD>{REG_DWORD, 620}));
    EXPECT_EQ(Get(kListKey, "Sort_Column").second, 0u);
    EXPECT_EQ(Get(kListKey, "Sort_Ascendent").second, 1u);
    TListForm* f = App.Create<TListForm>();
    EXPECT_EQ(f->List->Columns[0].Width(), 450);
    f->LoadComponents();
    EXPECT_EQ(f->List->Columns[0].Width(), 620);
    EXPECT_EQ(f->List->SortSens(), ssDescendent);
}

TEST_F(TPersistenceTest, TheHeaderBorderSplitsTheCursorDragsAndFitsOnDoubleClick) {
    TListForm* f = App.Create<TListForm>();
    f->Show();
    HWND list = f->List->Handle();
    POINT border{450, 10};
    ::ClientToScreen(list, &border);
    ::SetCursorPos(border.x, border.y);
    ::SendMessageA(list, WM_SETCURSOR, reinterpret_cast<WPARAM>(list),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), ::LoadCursor(nullptr, IDC_SIZEWE));

    ::SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, At(450, 10));
    EXPECT_EQ(::GetCapture(), list);
    ::SendMessageA(list, WM_LBUTTONUP, 0, At(700, 200));
    EXPECT_EQ(f->List->Columns[0].Width(), 700);
    EXPECT_NE(::GetCapture(), list);

    f->List->Columns[0].SetMinWidth(0);
    ::SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, At(700, 10));
    ::SendMessageA(list, WM_LBUTTONUP, 0, At(700, 10));
    EXPECT_LT(f->List->Columns[0].Width(), 300); // fitted to the caption
}

TEST_F(TPersistenceTest, LosingTheFocusForgetsTheControlKey) {
    TListForm* f = App.Create<TListForm>();
    f->Show();
    f->List->SetFocus();
    f->List->KeyDown(VK_CONTROL, ssCtrl);
    ASSERT_TRUE(f->List->ControlHeld());
    f->Other->SetFocus(); // the key comes up while another control has the focus
    EXPECT_FALSE(f->List->ControlHeld());
}
