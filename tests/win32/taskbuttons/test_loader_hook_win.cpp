// The icon channel: the loader against real and broken libraries, the reply handling in this
// process, and images.dll in the stand-in shell's process answering the snapshot's requests.
#include "taskbar/loader_hook_win.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <set>

#include "standin/LetterIcon.h"
#include "taskbar/Taskbar_win.h"
#include "tests/support/TestSupport.h"

namespace {

using zvtest::ScriptedButton;

// A top-level window of this thread that hands every icon reply to OnReply.
class TReplyWindow {
public:
    TReplyWindow() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &WndProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ZvIconReplyTest";
        RegisterClassA(&wc);
        FWnd.reset(CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr,
                                   nullptr, wc.hInstance, nullptr));
        SetWindowLongPtrA(FWnd.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    HWND Handle() const { return FWnd.get(); }
    std::function<void(HICON)> OnReply;
    // Also asked for other registered messages: whatever the window gets, sent to it.
    std::function<LRESULT(UINT, WPARAM)> OnMessage;

private:
    static LRESULT CALLBACK WndProc(HWND Wnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<TReplyWindow*>(GetWindowLongPtrA(Wnd, GWLP_USERDATA));
        if (self != nullptr && Msg == IconReplyMsg() && self->OnReply)
            self->OnReply(reinterpret_cast<HICON>(wParam));
        else if (self != nullptr && Msg >= 0xC000 && self->OnMessage)
            return self->OnMessage(Msg, wParam);
        return DefWindowProcA(Wnd, Msg, wParam, lParam);
    }
    ScopedWindow FWnd;
};

// Left half transparent, right half one colour.
TIconPixels HalfIcon(uint32_t Colour) {
    TIconPixels p;
    p.Magic = TIconPixels::kMagic;
    p.Size = sizeof p;
    for (int i = 0; i < TIconPixels::Side * TIconPixels::Side; ++i) {
        const bool left = i % TIconPixels::Side < TIconPixels::Side / 2;
        p.Mask[i] = left ? 1 : 0;
        p.Colour[i] = left ? 0 : Colour;
    }
    return p;
}

void ExpectHalfIcon(const TBitmap16& B, uint32_t Colour) {
    EXPECT_TRUE(B.Transparent);
    for (int y = 0; y < TBitmap16::Height; ++y)
        for (int x = 0; x < TBitmap16::Width; ++x) {
            ASSERT_EQ(B.At(x, y), x < 8 ? TBitmap16::White : Colour) << x << "," << y;
            ASSERT_EQ(B.SeeThrough(static_cast<std::size_t>(y * 16 + x)), x < 8) << x << "," << y;
        }
}

// The icon's own mask decides what shows, never a colour: a solid square shows whole, and
// an icon whose bottom-left corner is opaque keeps that colour everywhere.
TEST(DrawIconOnto, KeepsTheIconsOwnMask) {
    TIconPixels square = HalfIcon(0x00C00000);
    for (int i = 0; i < 256; ++i) {
        square.Mask[i] = 0;
        square.Colour[i] = 0x00C00000;
    }
    TBitmap16 b;
    ASSERT_TRUE(DrawIconOnto(b, IconFromPixels(square).get()));
    b.Transparent = true;
    for (std::size_t i = 0; i < 256; ++i) {
        ASSERT_EQ(b.Pixels[i], 0x00C00000u) << i;
        ASSERT_FALSE(b.SeeThrough(i)) << i;
    }

    // A red frame whose corners are clear but the bottom-left one, red inside too, and a white
    // pixel of its own.
    TIconPixels framed = square;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool corner = (x == 0 || x == 15) && (y == 0 || y == 15);
            framed.Mask[y * 16 + x] = corner && !(x == 0 && y == 15) ? 1 : 0;
            framed.Colour[y * 16 + x] = corner ? 0 : 0x00FF0000;
        }
    framed.Colour[15 * 16] = 0x00FF0000;
    framed.Colour[5 * 16 + 5] = 0x00FFFFFF;
    TBitmap16 f;
    ASSERT_TRUE(DrawIconOnto(f, IconFromPixels(framed).get()));
    f.Transparent = true;
    EXPECT_EQ(f.TransparentColor(), 0x00FF0000u);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const std::size_t i = static_cast<std::size_t>(y * 16 + x);
            ASSERT_EQ(f.SeeThrough(i), framed.Mask[i] == 1) << x << "," << y;
        }
    EXPECT_EQ(f.At(5, 5), TBitmap16::White);
}

void ExpectUntouched(const TBitmap16& B) {
    EXPECT_FALSE(B.Transparent);
    EXPECT_EQ(B.Pixels, TBitmap16().Pixels);
}

// The channel in this process: a "toolbar" window of this thread answers each request as
// Answer says, before the request returns.
class IconChannel : public ::testing::Test {
protected:
    IconChannel() {
        Toolbar.OnMessage = [this](UINT Msg, WPARAM wParam) -> LRESULT {
            if (Msg == IconRequestMsg() && Answer) {
                ++Answered;
                Answer(static_cast<int32_t>(wParam));
            }
            return 0;
        };
        Receiver.OnReply = [this](HICON Icon) { Channel.IconReply(Icon, Receiver.Handle()); };
        AddGroup(Groups, std::make_unique<TGrupButtons>());
    }
    ~IconChannel() override { ClearGroupList(Groups); }
    void Reply(HICON Icon) { SendMessageA(Receiver.Handle(), IconReplyMsg(), WPARAM(Icon), 0); }
    void Request() {
        Channel.RequestIcon(Toolbar.Handle(), *Groups[0].Group, 3, Receiver.Handle());
    }
    TBitmap16& Icon() { return Groups[0].Group->Icon; }

    TReplyWindow Toolbar, Receiver;
    TIconChannel Channel;
    TGroupList Groups;
    std::function<void(int32_t)> Answer;
    int Answered = 0; // requests that reached Answer: its checks ran
};

TEST_F(IconChannel, AReplyDuringTheRequestDrawsIntoTheGroupAndReleasesTheIcon) {
    HICON sent = nullptr;
    Answer = [&](int32_t Index) {
        EXPECT_EQ(Index, 3);
        EXPECT_EQ(Channel.PendingIconGroup(), Groups[0].Group.get());
        sent = IconFromPixels(HalfIcon(0x00123456)).release();
        Reply(sent);
    };
    Request();
    EXPECT_EQ(Answered, 1);
    ExpectHalfIcon(Icon(), 0x00123456);
    EXPECT_FALSE(IconExists(sent));
    EXPECT_EQ(Channel.PendingIconGroup(), nullptr);
}

TEST_F(IconChannel, ALateReplyOrOneAfterTheListWasClearedOnlyReleasesItsIcon) {
    Request(); // unanswered
    EXPECT_EQ(Channel.PendingIconGroup(), nullptr);
    HICON late = IconFromPixels(HalfIcon(0x00FF0000)).release();
    Reply(late);
    ExpectUntouched(Icon());
    EXPECT_FALSE(IconExists(late));

    // The list is cleared while the request waits; the reply then finds no group.
    HICON after = nullptr;
    Answer = [&](int32_t) {
        ClearGroupList(Groups);
        EXPECT_EQ(Channel.PendingIconGroup(), nullptr);
        after = IconFromPixels(HalfIcon(0x00FF0000)).release();
        Reply(after);
    };
    Request();
    EXPECT_EQ(Answered, 1);
    EXPECT_FALSE(IconExists(after));
}

TEST_F(IconChannel, AnIconThatCannotBeDrawnHereIsRebuiltFromTheHandedOverPixels) {
    // As under Wine with an icon of another process: the handle cannot be drawn, the library
    // keeps the pixels in the reply window's section meanwhile.
    const HICON gone = IconFromPixels(HalfIcon(0)).release();
    DestroyIcon(gone);
    TIconPixels pixels = HalfIcon(0x0000C000);
    pixels.Icon = reinterpret_cast<uintptr_t>(gone);
    const std::string name = IconPixelsSectionName(FromHWND(Receiver.Handle()));
    ScopedKernelHandle section(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                  sizeof pixels, name.c_str()));
    ASSERT_TRUE(section);
    {
        ScopedView view(MapViewOfFile(section.get(), FILE_MAP_WRITE, 0, 0, sizeof pixels));
        ASSERT_TRUE(view);
        std::memcpy(view.get(), &pixels, sizeof pixels);
    }
    Answer = [&](int32_t) { Reply(gone); };
    Request();
    ExpectHalfIcon(Icon(), 0x0000C000);

    // Pixels of another reply are not used.
    Icon().Reset();
    Answer = [&](int32_t) { Reply(reinterpret_cast<HICON>(uintptr_t(gone) + 4)); };
    Request();
    EXPECT_EQ(Answered, 2);
    ExpectUntouched(Icon());
}

// ---- The loader

std::string FakeFolder(const char* Variant) {
    return zvtest::ProgramFolder() + "fakeimages\\" + std::string(Variant) + "\\";
}
bool LoadedFrom(const std::string& Folder) {
    return GetModuleHandleA((Folder + "images.dll").c_str()) != nullptr;
}

TEST(IconHookLoader, MissingOrIncompleteLibrariesLeaveNothingLoaded) {
    for (const char* variant : {"none", "nostop"}) {
        SCOPED_TRACE(variant);
        TIconHookLoader loader(FakeFolder(variant));
        EXPECT_FALSE(loader.StartIconHook());
        EXPECT_FALSE(loader.IconHookLoaded());
        EXPECT_FALSE(loader.IconHookActive());
        EXPECT_FALSE(LoadedFrom(FakeFolder(variant)));
        EXPECT_TRUE(loader.StopIconHook()); // nothing loaded: nothing to stop
    }
}

TEST(IconHookLoader, StopHookResultsDecideWhetherTheLibraryGoes) {
    {
        // StartHook 7, StopHook 0x100: low byte 0, so it did not stop.
        TIconHookLoader loader(FakeFolder("stopfails"));
        EXPECT_TRUE(loader.StartIconHook());
        EXPECT_EQ(loader.IconHookResult(), 7u);
        EXPECT_FALSE(loader.StopIconHook());
        EXPECT_TRUE(loader.IconHookLoaded());
        EXPECT_TRUE(loader.IconHookActive());
        EXPECT_EQ(loader.IconHookResult(), 7u);
        EXPECT_TRUE(LoadedFrom(FakeFolder("stopfails")));
    }
    // StartHook 0, StopHook 0x101: loaded but not active; low byte 1 stops and unloads.
    TIconHookLoader loader(FakeFolder("startfails"));
    EXPECT_FALSE(loader.StartIconHook());
    EXPECT_TRUE(loader.IconHookLoaded());
    EXPECT_FALSE(loader.IconHookActive());
    EXPECT_TRUE(loader.StopIconHook());
    EXPECT_FALSE(loader.IconHookLoaded());
    EXPECT_EQ(loader.IconHookResult(), 0u);
    EXPECT_FALSE(LoadedFrom(FakeFolder("startfails")));
}

// ---- images.dll in the stand-in shell

// Letter icon k of the scripted toolbar, drawn as a reply draws it.
TBitmap16 ScriptImage(int K) {
    TBitmap16 b;
    ScopedIcon icon(
        standin::MakeLetterIcon(16, standin::PaletteColour(unsigned(K)), char('0' + K)));
    EXPECT_TRUE(DrawIconOnto(b, icon.get()));
    b.Transparent = true;
    return b;
}

class IconLibrary : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Shell = new zvtest::StandinShell; }
    static void TearDownTestSuite() {
        delete Shell;
        Shell = nullptr;
    }
    IconLibrary() {
        Receiver.OnReply = [this](HICON Icon) {
            ++Replies;
            Channel.IconReply(Icon, Receiver.Handle());
        };
        Taskbar.OnIconRequest = [this](HWND Toolbar, TGrupButtons& G, int32_t Image) {
            Channel.RequestIcon(Toolbar, G, Image, Receiver.Handle());
        };
        // Icons for two groups: A (image 3) and D (image 6); none for B (with C, its program's
        // second window), whose second button has no image.
        Shell->Script(
            {ScriptedButton::Header("A", true, 1), ScriptedButton::Window("A1", nullptr, 3),
             ScriptedButton::Header("B", true, 2), ScriptedButton::Window("B1", nullptr, -1),
             ScriptedButton::Window("C", nullptr, 5), ScriptedButton::Header("D", true, 0),
             ScriptedButton::Window("D1", nullptr, 6)});
    }
    ~IconLibrary() override { Loader.StopIconHook(); }
    void Snapshot(bool Light) { Groups = Taskbar.Snapshot(Light); }
    // The icons alive in the shell's process, counted there.
    static int ShellIcons() { return std::stoi(Shell->Command("icons")); }

    static zvtest::StandinShell* Shell;
    TIconHookLoader Loader; // this program's folder: the real images.dll
    TReplyWindow Receiver;
    TIconChannel Channel;
    TTaskbar Taskbar;
    TGroupList Groups;
    unsigned Replies = 0;
};
zvtest::StandinShell* IconLibrary::Shell = nullptr;

TEST_F(IconLibrary, EachGroupWithAnImageGetsItsOwnIconOnce) {
    ASSERT_NE(Loader.StartIconHook(), 0);
    const int before = ShellIcons();
    Snapshot(false);
    ASSERT_EQ(Groups.size(), 3u);
    const TBitmap16 a = ScriptImage(3), d = ScriptImage(6);
    EXPECT_EQ(Groups[0].Group->Icon.Pixels, a.Pixels);
    EXPECT_TRUE(Groups[0].Group->Icon.Transparent);
    ExpectUntouched(Groups[1].Group->Icon);
    EXPECT_EQ(Groups[2].Group->Icon.Pixels, d.Pixels);
    EXPECT_EQ(Replies, 2u); // one request per group with an image
    EXPECT_EQ(ShellIcons(), before);

    Snapshot(true); // a light snapshot asks for nothing
    for (const TGroupListItem& g : Groups)
        ExpectUntouched(g.Group->Icon);
    EXPECT_EQ(Replies, 2u);
}

TEST_F(IconLibrary, AfterStopHookTheShellNoLongerAnswers) {
    ASSERT_NE(Loader.StartIconHook(), 0);
    EXPECT_TRUE(Loader.StopIconHook());
    EXPECT_FALSE(Loader.IconHookLoaded());
    Snapshot(false);
    ASSERT_EQ(Groups.size(), 3u);
    ExpectUntouched(Groups[0].Group->Icon);
    EXPECT_EQ(Replies, 0u);
}

TEST_F(IconLibrary, AThousandSnapshotsLeaveNoIconBehindInTheShell) {
    // One group with an icon keeps the thousand snapshots short.
    Shell->Script({ScriptedButton::Header("A", true, 1), ScriptedButton::Window("A1", nullptr, 3)});
    ASSERT_NE(Loader.StartIconHook(), 0);
    // The receiver as the contract has it: it takes over every handle and destroys it (which
    // cannot reach an icon of the shell's process).
    Taskbar.OnIconRequest = nullptr;
    Taskbar.IconReplyWnd = Receiver.Handle();
    std::set<uintptr_t> handles;
    unsigned replies = 0;
    Receiver.OnReply = [&](HICON Icon) {
        ++replies;
        handles.insert(reinterpret_cast<uintptr_t>(Icon));
        DestroyIcon(Icon);
    };
    const int before = ShellIcons();
    constexpr unsigned kSnapshots = 1000;
    for (unsigned i = 0; i < kSnapshots; ++i)
        Snapshot(false);
    EXPECT_EQ(replies, kSnapshots);
    EXPECT_EQ(ShellIcons(), before);
    for (uintptr_t h : handles)
        ASSERT_EQ(Shell->Command("isicon " + std::to_string(h)), "0") << std::hex << h;
}

} // namespace
