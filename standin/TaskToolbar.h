#pragma once
// The task-switch toolbar: a real comctl32 toolbar (ToolbarWindow32) whose buttons carry
// dwData blocks in this process, an image list of window icons, the faults tests ask for
// (a button count that keeps changing, a button text that cannot be fetched), and the
// custom drawing of the buttons.
#include "standin/Commands.h"
#include "standin/TaskbarLayout.h"
#include "standin/ToolbarPlan.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

namespace standin {

// What a button's dwData points to. Programs that read the taskbar rely on the first four
// bytes: the button's window handle.
struct ButtonBlock {
    std::uint32_t wnd;  // the window handle, 32 bits; 0 for a group header
    std::uint32_t kind; // kBlockWindow, kBlockHeader or kBlockScripted
    std::int32_t id;    // the button's idCommand
    std::uint32_t reserved[5];
};
constexpr std::uint32_t kBlockWindow = 0, kBlockHeader = 1, kBlockScripted = 2;

class TaskToolbar {
public:
    // Creates the toolbar as a child of `parent` at `r` (the parent's client coordinates).
    TaskToolbar(HWND parent, const Rect& r, bool vertical);
    ~TaskToolbar();
    TaskToolbar(const TaskToolbar&) = delete;
    TaskToolbar& operator=(const TaskToolbar&) = delete;

    HWND Hwnd() const { return hwnd_; }
    void Place(const Rect& r, bool vertical);
    // Paints the toolbar's background (set by the owner of the bar).
    std::function<void(HDC, HWND)> PaintBackground;

    // Image list: window icons in slots; a freed slot is used again.
    int AddImage(HICON icon);
    void RemoveImage(int index);
    void ClearImages();
    // Scripted mode's images: kScriptImages letter icons in PaletteColour order.
    static constexpr int kScriptImages = 8;
    void LoadScriptImages();

    // The buttons as they are now (the faults do not apply here).
    std::vector<ButtonPlan> Read() const;
    std::vector<int> Ids() const;
    int VisibleCount() const;
    // Turns the toolbar into `wanted` with the fewest changes; buttons keep their identity.
    void Apply(const std::vector<ButtonPlan>& wanted);
    // Replaces every button with the scripted ones, all `width` wide.
    void Script(const std::vector<ScriptLine>& lines, int width);
    void SetWidths(int width);
    void RemoveAll();
    std::vector<DumpLine> Dump() const;
    // The window of a button (its block's first four bytes); 0 for none.
    HWND WindowOf(int id) const;

    void SetCountFlap(bool on) { countFlap_ = on; }
    void SetTextFail(int id) { textFail_ = id; }
    // Readers in other threads wait this long for every button they read (a slow shell).
    void SetAnswerDelay(int ms) { answerDelayMs_ = ms; }
    // After the next length query for button `id`, its text grows by `count` "+" (0: disarm).
    void SetTextGrowth(int id, std::size_t count);

    // NM_CUSTOMDRAW from the toolbar, handled by its parent.
    LRESULT CustomDraw(NMTBCUSTOMDRAW& draw);

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT Original(UINT msg, WPARAM wParam, LPARAM lParam) const;
    std::string TextAt(int index) const;
    LRESULT AnswerTextLength(UINT msg, int id);
    void Insert(int index, const ButtonPlan& button, const ButtonBlock* block,
                std::uintptr_t rawData);
    void DeleteAt(int index);
    void SetWidthAt(int index, int width);
    ButtonBlock* NewBlock(const ButtonBlock& block);

    HWND hwnd_ = nullptr;
    WNDPROC original_ = nullptr;
    HIMAGELIST images_ = nullptr;
    std::vector<bool> freeSlots_;
    std::unordered_map<const ButtonBlock*, std::unique_ptr<ButtonBlock>> blocks_;
    bool countFlap_ = false;
    unsigned flapCounter_ = 0;
    int textFail_ = 0;
    int answerDelayMs_ = 0;
    std::unordered_map<int, std::size_t> textGrowth_; // idCommand -> characters to add
};

} // namespace standin
