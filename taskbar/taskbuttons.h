#pragma once
// The taskbar as plain data: one record per toolbar button of the shell's task-switch
// toolbar, and the taskbar groups built from them. Everything here is platform-free; the
// Win32 half that finds the taskbar and reads the buttons out of the shell's process is
// taskbar/taskbuttons_win.h.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Bitmap16.h"

// A window handle in plain data (pointer-sized, so no handle is ever truncated). Win32 code
// converts with ToHWND / FromHWND from taskbuttons_win.h.
using TWndHandle = std::intptr_t;

struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    friend bool operator==(const TRect& a, const TRect& b) {
        return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
    }
    friend bool operator!=(const TRect& a, const TRect& b) { return !(a == b); }
};

// Toolbar state and style bits the snapshot looks at.
constexpr uint32_t kTbStateChecked = 0x01;
constexpr uint32_t kTbStatePressed = 0x02;
constexpr uint32_t kTbStateHidden = 0x08;
constexpr uint32_t kBtnsDropDown = 0x08; // the header button of a taskbar group

// One toolbar button as read.
struct TTaskButton {
    std::string Caption; // TB_GETBUTTONTEXTW as UTF-8, "?" when the text cannot be fetched
    TRect Rect;          // TB_GETRECT, toolbar client coordinates
    bool Visible = false;
    bool Pressed = false;
    bool IsGroupHeader = false;
    int32_t Index = 0;       // position in the toolbar (TB_COMMANDTOINDEX)
    int32_t CommandId = 0;   // idCommand
    int32_t ImageIndex = -1; // iBitmap; negative when none
    TWndHandle Wnd = 0;      // application window; 0 when not read or not a visible window
    uint32_t Style = 0;      // fsStyle
    uint32_t State = 0;      // fsState

    // Fills Style, State and the flags that follow from them.
    void SetStyleState(uint32_t style, uint32_t state);
};

using TButtonList = std::vector<std::unique_ptr<TTaskButton>>;

// One taskbar group: its buttons in toolbar order (owned), each item's text the decimal
// position it was added at ("0", "1", ...), and what the snapshot worked out about it.
class TGrupButtons {
public:
    struct TItem {
        std::string Text;
        std::unique_ptr<TTaskButton> Button;
    };

    TGrupButtons() = default;
    // Raises OnDestroy, then destroys the buttons.
    ~TGrupButtons();
    TGrupButtons(const TGrupButtons&) = delete;
    TGrupButtons& operator=(const TGrupButtons&) = delete;

    int Count() const { return static_cast<int>(Items.size()); }
    TTaskButton& Buttons(int i) { return *Items[static_cast<std::size_t>(i)].Button; }
    const TTaskButton& Buttons(int i) const { return *Items[static_cast<std::size_t>(i)].Button; }
    // Appends the button; the group owns it from now on.
    void Add(std::unique_ptr<TTaskButton> Button);
    // Destroys every button, then empties the list.
    void Clear();

    std::vector<TItem> Items;
    int32_t Index = 0; // toolbar index of the visible button, else of the first button
    TRect Rect{-100, -100, -100, -100}; // screen rectangle of the visible button, +5 right/bottom
    bool HasVisible = false;
    bool Active = false; // a button up to and including the first visible one, or a further
                         // visible one, is pressed
    bool NeedsAlternateMove = false; // the two toolbar moves cannot move this group
    std::string Caption;             // caption of the visible button; empty when none
    TBitmap16 Icon;                  // drawn by the icon reply
    std::vector<TWndHandle> Windows; // Wnd of every button, in button order, 0 included
    // Raised when the group is destroyed (by ClearGroupList or otherwise), so that whoever
    // still refers to it can let go.
    std::function<void(TGrupButtons& Sender)> OnDestroy;
};

// A list of groups in taskbar order; item texts are the decimal positions at insertion.
// A group can be moved to another list by moving its unique_ptr (see AddGroup).
struct TGroupListItem {
    std::string Text;
    std::unique_ptr<TGrupButtons> Group;
};
using TGroupList = std::vector<TGroupListItem>;

// Appends Group with the text of its position in Groups.
void AddGroup(TGroupList& Groups, std::unique_ptr<TGrupButtons> Group);
// Destroys every group of the list, in order, then empties the list.
void ClearGroupList(TGroupList& Groups);

// Places one button: a new group when StartNew is set or the list is empty; the last group
// when that group is led by a hidden header (an expanded program's group takes all its
// window buttons); otherwise a new group when the button is visible and the last group
// already has its visible button, else the last group.
void AddButtonToGroups(std::unique_ptr<TTaskButton> Button, bool StartNew, TGroupList& Groups);
// Fills Rect, HasVisible, Active and Caption of every group. ToolbarRect is the toolbar's
// screen rectangle ((0, 0, 0, 0) when unknown). A group's rectangle spans its visible buttons
// that stand in the row (or column) of its first one.
void ComputeGroupRects(TGroupList& Groups, const TRect& ToolbarRect);

// Sorts by Index, ascending, with a bubble sort (equal indexes keep their order).
void SortButtonsByIndex(TButtonList& Buttons);
// Replaces the contents of Groups with the groups of Buttons: sorts them, clears Groups
// and places the buttons one by one.
void GroupButtons(TButtonList Buttons, TGroupList& Groups);
// The window of the last pressed button (in the order read) that has one; 0 if none.
TWndHandle LastPressedWindow(const TButtonList& Buttons);

// An icon request of a full snapshot: the group at position GroupPos of the list wants the
// image ImageIndex of the toolbar's image list.
struct TIconRequest {
    std::size_t GroupPos;
    int32_t ImageIndex;
    friend bool operator==(const TIconRequest& a, const TIconRequest& b) {
        return a.GroupPos == b.GroupPos && a.ImageIndex == b.ImageIndex;
    }
};
// Fills NeedsAlternateMove and Windows of every group that has a visible button and returns
// the icon requests to send, in group order. A group can be moved button by button (no
// alternate move) when it is a hidden header followed by visible window buttons at
// consecutive toolbar indexes.
std::vector<TIconRequest> ComputeWindowLists(TGroupList& Groups);

// Everything a snapshot does after the buttons have been read: groups, rectangles and, unless
// Light, window lists. Returns the icon requests to send (none when Light).
std::vector<TIconRequest> BuildSnapshot(bool Light, TButtonList Buttons, const TRect& ToolbarRect,
                                        TGroupList& Groups);

// How to fetch a button's caption, given its length in bytes (WideCaptionLength). The
// toolbar copies the whole text wherever it is told, so a caption is fetched only into a
// buffer that holds it and its terminating zero.
constexpr uint32_t kCaptionBufferSize = 1024; // the buffer every snapshot reserves
struct TCaptionRead {
    enum TKind { Unreadable, Empty, InCaptionBuffer, InLargeBuffer } Kind;
    uint32_t LargeSize = 0; // InLargeBuffer: bytes to reserve
};
TCaptionRead PlanCaptionRead(int64_t Length);

// The screen edge a taskbar with screen rectangle R is docked to, on a primary screen
// ScreenWidth pixels wide.
enum TTaskbarEdge : int { EdgeBottom = 0, EdgeTop = 1, EdgeLeft = 2, EdgeRight = 3 };
int GetTaskbarEdge(const TRect& R, int32_t ScreenWidth);

// ---- Group identity ----------------------------------------------------------------------

// What names a taskbar group across snapshots: its lead window (the first non-zero window
// handle of its buttons) and the command id of its visible button. A light snapshot reads no
// windows; the command id, which stays with the button while the toolbar changes around it,
// tells groups apart then.
struct TGroupId {
    TWndHandle Lead = 0;
    int32_t CommandId = 0; // 0 when the group has no visible button

    bool Empty() const { return Lead == 0 && CommandId == 0; }
    // The same group: the same lead window when both know theirs, else the same visible
    // button.
    bool Matches(const TGroupId& Other) const {
        if (Lead != 0 && Other.Lead != 0)
            return Lead == Other.Lead;
        return CommandId != 0 && CommandId == Other.CommandId;
    }
    friend bool operator==(const TGroupId& a, const TGroupId& b) {
        return a.Lead == b.Lead && a.CommandId == b.CommandId;
    }
    friend bool operator!=(const TGroupId& a, const TGroupId& b) { return !(a == b); }
};
TGroupId GroupIdOf(const TGrupButtons& Group);
// The position of the group that matches Id; -1 when none does (or Id is empty).
int32_t FindGroup(const TGroupList& Groups, const TGroupId& Id);
// Takes the group at Position out of the list (the caller owns it then); null when the list
// has no such position. The other groups keep their order.
std::unique_ptr<TGrupButtons> TakeGroup(TGroupList& Groups, int32_t Position);
