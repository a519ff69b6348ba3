// The movie player against the real animation control, with clips made by our own writer:
// every assignment plays the clip from its first frame, the clip repeats without end, and a
// missing or unplayable file leaves the player's area empty.
#include "tests/support/TestSupport.h"
#include "tests/support/WindowCapture.h"
#include "toolkit/Forms.h"
#include "toolkit/MoviePlayer.h"
#include "tools/moviemaker/RleAvi.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {
// One solid colour a frame, in this order.
const zvavi::TRgb kFrameColours[] = {{200, 0, 0}, {0, 160, 0}, {0, 0, 220}, {220, 200, 0}};
constexpr int kFrames = 4;

std::vector<uint8_t> ColourClip() {
    zvavi::TClip clip;
    clip.Width = 40;
    clip.Height = 30;
    clip.MicroSecPerFrame = 150000;
    clip.Palette.assign(std::begin(kFrameColours), std::end(kFrameColours));
    for (uint8_t k = 0; k < kFrames; ++k)
        clip.Frames.emplace_back(40 * 30, k);
    return zvavi::WriteAvi(clip);
}

void WriteFile(const std::wstring& Path, const std::string& Data) {
    ScopedKernelHandle f(::CreateFileW(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_NE(f.get(), INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(f.get(), Data.data(), static_cast<DWORD>(Data.size()), &written, nullptr);
    ASSERT_EQ(written, Data.size());
    ::CloseHandle(f.release());
}

// A folder whose name has spaces and a letter outside ASCII, with the clip in it.
struct TClipFolder {
    TClipFolder() {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        Folder = std::wstring(temp) + L"Zorvane movie \u00FCber test\\";
        ::CreateDirectoryW(Folder.c_str(), nullptr);
        Clip = Folder + L"clip.avi";
        Broken = Folder + L"broken.avi";
        const std::vector<uint8_t> avi = ColourClip();
        WriteFile(Clip, std::string(avi.begin(), avi.end()));
        WriteFile(Broken, "RIFF this is no movie");
    }
    ~TClipFolder() {
        ::DeleteFileW(Clip.c_str());
        ::DeleteFileW(Broken.c_str());
        ::RemoveDirectoryW(Folder.c_str());
    }
    std::wstring Folder, Clip, Broken;
};

struct TPlayerForm : TForm {
    explicit TPlayerForm(TComponent* Owner)
        : TForm(Owner, {.ClassName = "TPlayerForm",
                        .Caption = "Player",
                        .ClientWidth = 200,
                        .ClientHeight = 150}) {
        Player = Create<TMoviePlayer>(
            TMoviePlayerParams{.Name = "Player", .Parent = this, .Bounds = {10, 10, 120, 90}});
    }
    TMoviePlayer* Player;
};

struct TPlayerTest : ::testing::Test {
    TPlayerTest() {
        App.CreateForm(Form);
        Form->Show();
    }

    // The frame the player shows now: its index, or -1 when it shows none of the clip's.
    int FrameShown() const {
        const zvtest::TCapture c = zvtest::Capture(Form->Player->Handle(), true);
        const uint32_t middle = c.At(c.Width / 2, c.Height / 2);
        for (int k = 0; k < kFrames; ++k) {
            const zvavi::TRgb& rgb = kFrameColours[k];
            if (middle == zvtest::Pixel(RGB(rgb.R, rgb.G, rgb.B)))
                return k;
        }
        return -1;
    }
    // The player's whole area is one colour, the window face's.
    bool ShowsNothing() const {
        return zvtest::AllPixelsAre(zvtest::Capture(Form->Player->Handle(), true),
                                    zvtest::Pixel(::GetSysColor(COLOR_BTNFACE)));
    }
    // The frames shown, each change noted once, until Count changes were seen.
    std::vector<int> WatchFrames(size_t Count) {
        std::vector<int> seen{FrameShown()};
        zvtest::PumpUntil([&] {
            if (const int f = FrameShown(); f != seen.back())
                seen.push_back(f);
            return seen.size() >= Count;
        });
        return seen;
    }

    TClipFolder Files; // the last to go: the player holds its file open
    TApplication App;
    TPlayerForm* Form = nullptr;
};
} // namespace

TEST_F(TPlayerTest, EachAssignmentPlaysTheClipFromItsFirstFrameOverAndOver) {
    TMoviePlayer& p = *Form->Player;
    p.SetMovie(Files.Clip);
    EXPECT_EQ(p.Movie(), Files.Clip);
    EXPECT_TRUE(p.Playing());
    // Every frame in turn, and after the last the first again.
    EXPECT_EQ(WatchFrames(7), (std::vector<int>{0, 1, 2, 3, 0, 1, 2}));

    // In the middle of the clip, the same file again starts it over.
    ASSERT_TRUE(zvtest::PumpUntil([&] { return FrameShown() == 2; }));
    p.SetMovie(Files.Clip);
    EXPECT_EQ(FrameShown(), 0);
    EXPECT_EQ(WatchFrames(3), (std::vector<int>{0, 1, 2}));
}

TEST_F(TPlayerTest, AMissingOrUnplayableFileLeavesTheAreaEmpty) {
    TMoviePlayer& p = *Form->Player;
    EXPECT_TRUE(ShowsNothing()); // nothing assigned yet
    for (const std::wstring& bad : {Files.Folder + L"missing.avi", Files.Broken}) {
        p.SetMovie(Files.Clip);
        ASSERT_EQ(FrameShown(), 0);
        p.SetMovie(bad);
        EXPECT_FALSE(p.Playing());
        EXPECT_TRUE(ShowsNothing());
        // and stays so while the clip before would have played on
        zvtest::PumpUntil([] { return false; }, 400);
        EXPECT_TRUE(ShowsNothing());
    }
    // A good file after a bad one plays again.
    p.SetMovie(Files.Clip);
    EXPECT_TRUE(p.Playing());
    EXPECT_EQ(FrameShown(), 0);
}
