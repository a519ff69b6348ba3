// Reading the shell's task-switch toolbar: window discovery and the batched reads through a
// memory manager in the shell's process. The reading's buffer layout and the checks of the
// toolbar's answers are in toolbarread.cpp, everything decided on the buttons read is in
// taskbuttons.cpp.
#include "taskbar/taskbuttons_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>
#include <vector>

#include "taskbar/loader_hook.h"
#include "taskbar/toolbarread.h"
#include "taskbar/uProcessMemMgr.h"
#include "toolkit/SysUtils.h"
#include "toolkit/Utf8.h"

namespace {

constexpr int kCountAttempts = 11;
constexpr DWORD kCountSettleMs = 10;

TRect ToTRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

} // namespace

TRect WindowRectOf(HWND Wnd) {
    RECT r{};
    if (Wnd == nullptr || !GetWindowRect(Wnd, &r))
        return {};
    return ToTRect(r);
}

bool StableButtonCount(HWND Toolbar, int& Count) {
    for (int attempt = 0; attempt < kCountAttempts; ++attempt) {
        LRESULT first = SendMessageA(Toolbar, TB_BUTTONCOUNT, 0, 0);
        Sleep(kCountSettleMs);
        LRESULT second = SendMessageA(Toolbar, TB_BUTTONCOUNT, 0, 0);
        if (first == second) {
            Count = static_cast<int>(first);
            return true;
        }
    }
    return false;
}

namespace {

// The layouts the reading relies on: the shell's TBBUTTONs and rectangles are copied into ours
// byte for byte, so the shipped 32-bit build is held to the same fields as the 64-bit one that
// runs in the tests.
constexpr bool kWide = sizeof(void*) == 8;
static_assert(sizeof(RECT) == kRemoteRectSize, "RECT is four 32-bit integers");
static_assert(sizeof(TBBUTTON) == (kWide ? 32 : 20), "TBBUTTON has the published size");
static_assert(offsetof(TBBUTTON, iBitmap) == 0 && offsetof(TBBUTTON, idCommand) == 4 &&
                  offsetof(TBBUTTON, fsState) == 8 && offsetof(TBBUTTON, fsStyle) == 9,
              "TBBUTTON starts with iBitmap, idCommand, fsState, fsStyle");
static_assert(offsetof(TBBUTTON, dwData) == (kWide ? 16 : 12) &&
                  offsetof(TBBUTTON, iString) == (kWide ? 24 : 16),
              "TBBUTTON's dwData and iString lie where the shell's do");

} // namespace

// Reads the toolbar's buttons in batches through one block in the toolbar's process (its
// layout in toolbarread.h). Per button it sends TB_GETBUTTON, TB_GETRECT and, for a full reading
// only, TB_GETBUTTONTEXTW twice (the length, then the text): a light reading, taken on every
// mouse move of a drag, needs states, styles and rectangles, not captions. A button's index is the
// one TB_COMMANDTOINDEX would give, taken from the buttons read before it; per batch it reads all
// TBBUTTONs in one transfer, zeroes all rectangles in one and reads the rectangles and captions
// back in one. A caption too long for its slot goes to a large buffer and is read at once. A full
// reading then reads the windows, in one transfer when their blocks lie close together.
class TToolbarReader {
public:
    TToolbarReader(HWND Toolbar, TProcessMemMgr& Mem, int Count, uint32_t& Sends)
        : FToolbar(Toolbar), FMem(Mem),
          FLayout(PlanReadBlock(static_cast<uint32_t>(Count), sizeof(TBBUTTON))),
          FBlock(static_cast<char*>(Mem.AllocMem(FLayout.Size))), FSends(Sends) {}

    int BatchSize() const { return static_cast<int>(FLayout.Slots); }

    // Reads the buttons at positions First .. First + n - 1 (n at most BatchSize()) and appends
    // those the toolbar has to Buttons. False when an error ended the reading; the buttons in
    // front of it are appended. A transfer of the whole batch that fails raises.
    bool ReadBatch(int First, int n, bool Light, TButtonList& Buttons) {
        std::vector<TBBUTTON> tb(static_cast<std::size_t>(n));
        std::vector<uint32_t> present;
        for (uint32_t k = 0; k < uint32_t(n); ++k)
            if (Send(TB_GETBUTTON, static_cast<WPARAM>(First) + k, At(FLayout.Button(k))) != 0)
                present.push_back(k);
        if (present.empty())
            return true;
        FMem.ReadMem(FBlock, tb.data(), FLayout.Button(present.back() + 1));

        SetLastError(0);
        const std::vector<char> zeros(std::size_t(n) * kRemoteRectSize);
        FMem.WriteMem(zeros.data(), At(FLayout.RectsAt), static_cast<uint32_t>(zeros.size()));
        std::vector<TPending> batch;
        bool goOn = true;
        try {
            for (uint32_t k : present)
                batch.push_back(
                    SendButtonMessages(k, First + static_cast<int32_t>(k), tb[k], Light));
        } catch (const Exception&) {
            goOn = false; // a long caption's buffer could not be had or read
        }
        if (batch.empty())
            return goOn;
        TakeRectsAndCaptions(batch);
        if (!Light && !TakeWindows(batch))
            goOn = false;
        for (TPending& p : batch)
            Buttons.push_back(std::move(p.Button));
        return goOn;
    }

private:
    // A button read up to what its slots in the block still hold.
    struct TPending {
        std::unique_ptr<TTaskButton> Button;
        uint32_t Slot;
        DWORD_PTR Data;
        LRESULT CaptionInSlot; // length of the caption waiting in its slot; -1 when none waits
    };

    char* At(uint32_t Offset) const { return FBlock + Offset; }

    LRESULT Send(UINT Msg, WPARAM wParam, const void* Remote) {
        ++FSends;
        return SendMessageA(FToolbar, Msg, wParam, reinterpret_cast<LPARAM>(Remote));
    }

    TPending SendButtonMessages(uint32_t Slot, int32_t Position, const TBBUTTON& tb, bool Light) {
        const WPARAM id = static_cast<WPARAM>(tb.idCommand);
        TPending p{std::make_unique<TTaskButton>(), Slot, tb.dwData, -1};
        TTaskButton& b = *p.Button;
        b.Index = FIndexes.IndexOf(tb.idCommand, Position);
        Send(TB_GETRECT, id, At(FLayout.Rect(Slot)));
        if (!Light)
            FetchCaption(id, p);
        b.SetStyleState(tb.fsStyle, tb.fsState);
        b.ImageIndex = tb.iBitmap;
        b.CommandId = tb.idCommand;
        return p;
    }

    // Fetches the caption into the button's slot when it fits there (it is read with the
    // batch), otherwise into the large buffer, read at once. Each fetch's answer is checked:
    // a caption renamed longer since its length was asked has run on into the slack behind
    // its buffer, and is fetched again into a buffer of the new length.
    void FetchCaption(WPARAM id, TPending& p) {
        const TCaptionRead plan =
            PlanCaptionRead(WideCaptionLength(Send(TB_GETBUTTONTEXTW, id, nullptr)));
        char* buffer = At(FLayout.Text(p.Slot));
        uint32_t capacity = kCaptionBufferSize;
        switch (plan.Kind) {
        case TCaptionRead::Unreadable:
            p.Button->Caption = "?";
            return;
        case TCaptionRead::Empty:
            return;
        case TCaptionRead::InCaptionBuffer:
            break;
        case TCaptionRead::InLargeBuffer:
            buffer = LargeTextBuffer(plan.LargeSize);
            capacity = plan.LargeSize;
            break;
        }
        for (int fetch = 0; fetch < kCaptionFetches; ++fetch) {
            const int64_t answer = WideCaptionLength(Send(TB_GETBUTTONTEXTW, id, buffer));
            const TCaptionFetch got = CheckCaptionFetch(answer, capacity);
            switch (got.Kind) {
            case TCaptionFetch::Unreadable:
                p.Button->Caption = "?";
                return;
            case TCaptionFetch::Fits:
                if (buffer == At(FLayout.Text(p.Slot)))
                    p.CaptionInSlot = static_cast<LRESULT>(answer);
                else
                    p.Button->Caption = ReadCaption(buffer, static_cast<uint32_t>(answer));
                return;
            case TCaptionFetch::Grew:
                buffer = LargeTextBuffer(got.LargeSize);
                capacity = got.LargeSize;
                break;
            }
        }
        p.Button->Caption = "?"; // it kept growing
    }

    std::string ReadCaption(const char* Remote, uint32_t Length) {
        std::vector<char> text(std::size_t(Length) + 1);
        FMem.ReadMem(Remote, text.data(), Length + 1);
        return Utf16BytesToUtf8(text.data(), text.size());
    }

    // One transfer from the first rectangle to the end of the last caption waiting in a slot.
    void TakeRectsAndCaptions(std::vector<TPending>& Batch) {
        uint32_t end = FLayout.Rect(Batch.back().Slot + 1);
        for (const TPending& p : Batch)
            if (p.CaptionInSlot >= 0)
                end = std::max(end, FLayout.Text(p.Slot) + uint32_t(p.CaptionInSlot) + 1);
        std::vector<char> bytes(end - FLayout.RectsAt);
        FMem.ReadMem(At(FLayout.RectsAt), bytes.data(), static_cast<uint32_t>(bytes.size()));
        const auto local = [&](uint32_t Offset) {
            return bytes.data() + (Offset - FLayout.RectsAt);
        };
        for (TPending& p : Batch) {
            RECT r;
            std::memcpy(&r, local(FLayout.Rect(p.Slot)), sizeof r);
            p.Button->Rect = ToTRect(r);
            if (p.CaptionInSlot >= 0)
                p.Button->Caption =
                    Utf16BytesToUtf8(local(FLayout.Text(p.Slot)), std::size_t(p.CaptionInSlot) + 1);
        }
    }

    // The window of every button of the batch. False when a dwData block cannot be read: the
    // batch then keeps only the buttons in front of it.
    bool TakeWindows(std::vector<TPending>& Batch) {
        std::vector<uint64_t> blocks;
        for (const TPending& p : Batch)
            blocks.push_back(p.Data);
        const TWindowSpan span = PlanWindowSpan(blocks);
        if (span.Use && Batch.size() > 1) {
            std::vector<char> bytes(span.Size);
            try {
                FMem.ReadMem(reinterpret_cast<const void*>(static_cast<uintptr_t>(span.Start)),
                             bytes.data(), span.Size);
                for (TPending& p : Batch)
                    p.Button->Wnd = FromHWND(WindowIn(bytes.data() + (p.Data - span.Start)));
                return true;
            } catch (const Exception&) {
                // Something between the blocks cannot be read: one block after the other.
            }
        }
        for (std::size_t i = 0; i < Batch.size(); ++i) {
            char value[sizeof(LONG)];
            try {
                FMem.ReadMem(reinterpret_cast<const void*>(Batch[i].Data), value, sizeof value);
            } catch (const Exception&) {
                Batch.resize(i);
                return false;
            }
            Batch[i].Button->Wnd = FromHWND(WindowIn(value));
        }
        return true;
    }

    // The first four bytes of the shell's block at dwData hold the button's window; the window
    // counts only while it exists and is visible.
    static HWND WindowIn(const char* Bytes) {
        LONG value;
        std::memcpy(&value, Bytes, sizeof value);
        HWND wnd = reinterpret_cast<HWND>(static_cast<LONG_PTR>(value));
        return IsWindowVisible(wnd) && IsWindow(wnd) ? wnd : nullptr;
    }

    // A buffer for captions of at least Size bytes with kCaptionSlack behind it, kept for the
    // rest of the reading.
    char* LargeTextBuffer(uint32_t Size) {
        if (Size > FLargeSize) {
            if (Size > UINT32_MAX - kCaptionSlack)
                throw EProcessMemMgr("ProcessMemMgr.AllocMem: not enough memory");
            if (FLarge != nullptr)
                FMem.FreeMem(std::exchange(FLarge, nullptr));
            FLargeSize = 0;
            FLarge = static_cast<char*>(FMem.AllocMem(Size + kCaptionSlack));
            FLargeSize = Size;
        }
        return FLarge;
    }

    HWND FToolbar;
    TProcessMemMgr& FMem;
    TReadBlockLayout FLayout;
    char* FBlock;
    char* FLarge = nullptr;
    uint32_t FLargeSize = 0;
    uint32_t& FSends;
    TCommandIndexes FIndexes;
};

TToolbarReading::TToolbarReading(HWND Toolbar, int Count, bool Light, TProcessMemMgr& Mem,
                                 int ButtonsPerStep)
    : Toolbar_(Toolbar), Count_(Count), Light_(Light), Mem_(Mem),
      ButtonsPerStep_(std::max(ButtonsPerStep, 1)), PartSize_(ButtonsPerStep_),
      Before_(Mem.Transfers()) {
    try {
        if (Count_ > 0)
            Reader_ = std::make_unique<TToolbarReader>(Toolbar_, Mem_, Count_, Sends_);
    } catch (const Exception&) {
        // No block in the toolbar's process: nothing can be read.
    }
}

TToolbarReading::~TToolbarReading() = default;

bool TToolbarReading::Step() {
    if (!Reader_ || Next_ >= Count_)
        return false;
    const int first = Next_;
    const int n = std::min({Reader_->BatchSize(), PartSize_, Count_ - first});
    Next_ = first + n;
    const DWORD start = GetTickCount();
    bool goOn = false;
    try {
        goOn = Reader_->ReadBatch(first, n, Light_, Buttons_);
    } catch (const Exception&) {
        // A transfer failed: the reading keeps the buttons read so far.
    }
    if (!goOn)
        Next_ = Count_;
    if (ButtonsPerStep_ != INT_MAX)
        PartSize_ = FitPartSize(PartSize_, ButtonsPerStep_, n, GetTickCount() - start);
    return Next_ < Count_;
}

TToolbarCalls TToolbarReading::Calls() const {
    return TToolbarCalls::Since(Sends_, Mem_, Before_);
}

TButtonList ReadToolbarButtons(HWND Toolbar, int Count, bool Light, TProcessMemMgr& Mem,
                               TToolbarCalls* Calls) {
    TToolbarReading reading(Toolbar, Count, Light, Mem);
    while (reading.Step()) {
    }
    if (Calls)
        *Calls = reading.Calls();
    return reading.TakeButtons();
}

HWND FindTaskbarToolbar() {
    HWND wnd = FindWindowA("Shell_TrayWnd", nullptr);
    for (const char* cls : {"ReBarWindow32", "MSTaskSwWClass", "ToolbarWindow32"}) {
        // A missing window ends the search: FindWindowExA with no parent would look among
        // the top-level windows instead.
        if (wnd == nullptr)
            return nullptr;
        wnd = FindWindowExA(wnd, nullptr, cls, nullptr);
    }
    return wnd;
}

HWND FindBaseBar() {
    return FindWindowA("BaseBar", nullptr);
}

TRect GetTaskbarRect() {
    return WindowRectOf(FindWindowA("Shell_TrayWnd", nullptr));
}

int GetTaskbarEdge() {
    return GetTaskbarEdge(GetTaskbarRect(), GetSystemMetrics(SM_CXSCREEN));
}

void ComputeGroupRects(TGroupList& Groups) {
    ComputeGroupRects(Groups, WindowRectOf(FindTaskbarToolbar()));
}

UINT IconRequestMsg() {
    static const UINT id = RegisterWindowMessageA(kIconRequestMessageName);
    return id;
}

void SendIconRequest(HWND Toolbar, int32_t ImageIndex, HWND ReplyWnd) {
    SendMessageA(Toolbar, IconRequestMsg(), static_cast<WPARAM>(ImageIndex),
                 reinterpret_cast<LPARAM>(ReplyWnd));
}
