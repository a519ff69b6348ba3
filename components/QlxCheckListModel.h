#pragma once
// The check list's items, columns and everything it does that needs no window: selection,
// check toggles, row exchange, the geometry of header, rows and check boxes, the hit test of
// a point, scroll positions, and the handling of presses, double-clicks and keys.
// TQlxCheckListCore raises what must reach the screen through IQlxCheckListView, which the
// Win32 control implements. Platform-free.
#include <any>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/Bitmap16.h"
#include "toolkit/Classes.h"
#include "toolkit/Registry.h"

class TQlxCheckListCore;
class TQlxListItem;
class TQlxListItems;
class TQlxListColumns;

// 0x00BBGGRR as a Windows COLORREF; kSystemColor | index names a system colour
// (GetSysColor) that the drawing code resolves.
using TColor = uint32_t;
constexpr TColor kSystemColor = 0xFF000000;
constexpr TColor clWindow = kSystemColor | 5;
constexpr TColor clWindowText = kSystemColor | 8;
constexpr TColor clBtnFace = kSystemColor | 15;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clGray = 0x808080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clRed = 0x0000FF;

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
enum TsortSens { ssAscendent, ssDescendent };
enum TsortType { stString, stHex, stFloat, stInteger, stDate, stTime, stDateTime, stFileSize };
enum TeditType { edEdit, edComboBox, edSpinEdit };

// Virtual-key codes the list reacts to.
constexpr uint16_t kVkSpace = 0x20;
constexpr uint16_t kVkPrior = 0x21; // PageUp
constexpr uint16_t kVkNext = 0x22;  // PageDown
constexpr uint16_t kVkEnd = 0x23;
constexpr uint16_t kVkHome = 0x24;
constexpr uint16_t kVkLeft = 0x25;
constexpr uint16_t kVkUp = 0x26;
constexpr uint16_t kVkRight = 0x27;
constexpr uint16_t kVkDown = 0x28;
constexpr uint16_t kVkAdd = 0x6B; // numeric-keypad plus

using TQlxItemEvent = std::function<void(TObject* Sender, TQlxListItem* Item)>;
using TQlxColumnEvent = std::function<void(TObject* Sender, int Column)>;

// How two cells compare when the rows are sorted by a column of the given type: text
// without regard to letter case, or the values the texts are parsed into (hexadecimal,
// floating point, integer, date, time, date and time, file size such as "1.5 KB"). A text
// that does not parse counts as missing and comes before every value. Negative, 0 or
// positive.
int CompareSortTexts(const std::string& A, const std::string& B, TsortType Type);
// The value a text parses into for a sort type; none when it does not parse (and for
// stString).
std::optional<double> ParseSortValue(const std::string& Text, TsortType Type);

// A plain 13 x 13 check box picture, pixels 0x00RRGGBB row by row from the top.
struct TCheckGlyph {
    static constexpr int Size = 13;
    std::array<uint32_t, Size * Size> Pixels{};
    uint32_t At(int x, int y) const { return Pixels[static_cast<std::size_t>(y * Size + x)]; }
    uint32_t& At(int x, int y) { return Pixels[static_cast<std::size_t>(y * Size + x)]; }
};
// The look of an unthemed check box in the given state: a dark blue frame around a white
// field, with a green tick when checked and a grey one when grayed.
TCheckGlyph PlainCheckGlyph(TCheckBoxState State);

// The texts of the columns after the first; entry k belongs to column k + 1. Every change
// re-lays the list out unless an update is open.
class TSubItems {
public:
    int Count() const { return static_cast<int>(Strings_.size()); }
    void Add(const std::string& Text);
    // Raise EListError for a missing entry.
    const std::string& operator[](int k) const { return Strings(k); }
    const std::string& Strings(int k) const;
    void Put(int k, const std::string& Text);
    void Delete(int k);
    void Clear();
    const std::vector<std::string>& List() const { return Strings_; }

private:
    friend class TQlxListItem;
    explicit TSubItems(TQlxListItem& Owner) : Owner_(Owner) {}
    void CheckIndex(int k) const;
    void Changed();

    TQlxListItem& Owner_;
    std::vector<std::string> Strings_;
};

// Everything ExchangeItems moves from one row to another.
struct TQlxItemContents {
    std::string Caption;
    int ImageIndex = -1;
    std::vector<std::string> SubItems;
    TCheckBoxState State = cbChecked;
    bool Checked = true; // as read: false while the check box is hidden
    std::string Hidenpart;
    bool Selected = false;
    int Offset = 3;
    int ImageOffset = 3;
    bool VisibleCheck = true;
    TColor Background = clWhite;
    TColor ProcentBarColor = clRed;
    std::optional<TBitmap16> Icon;
    std::vector<int> SubItemImages;
    bool SortMark = false;
    std::any Data;
};

// One row. Owned by its TQlxListItems; a new row is checked, unselected and has no icon.
class TQlxListItem {
public:
    TQlxListItem(TQlxListItems& Owner, int Index);
    TQlxListItem(const TQlxListItem&) = delete;
    TQlxListItem& operator=(const TQlxListItem&) = delete;

    int Index() const { return Index_; }

    const std::string& Caption() const { return Caption_; }
    // Repaints only when the text changes.
    void SetCaption(const std::string& Value);

    // False whenever the row shows no check box.
    bool Checked() const { return VisibleCheck_ && Checked_; }
    // Sets Checked and State and repaints. Fires OnItemCheck only with UseCheckEventRuntime,
    // and never while the user's own toggle is under way.
    void SetChecked(bool Value);
    TCheckBoxState State() const { return State_; }
    // Unchecked clears Checked; checked and grayed set it.
    void SetState(TCheckBoxState Value);
    bool VisibleCheck() const { return VisibleCheck_; }
    void SetVisibleCheck(bool Value);
    bool Selected() const { return Selected_; }
    // A change to true on a single-select list clears the other rows first; in every case the
    // row becomes the list's current row.
    void SetSelected(bool Value);

    bool HasIcon() const { return Icon_.has_value(); }
    // An all-white picture while there is none.
    const TBitmap16& Icon() const;
    void SetIcon(const TBitmap16& Value);
    void ClearIcon();

    TSubItems SubItems;
    std::string Hidenpart; // never drawn; leads the row's sort key
    int ImageIndex = -1;
    int Offset = 3;      // text indent
    int ImageOffset = 3; // picture indent
    TColor Background = clWhite;
    TColor ProcentBarColor = clRed;
    std::vector<int> SubItemImages;
    // What the list's owner keeps with the row; never drawn, and moves with the row.
    std::any Data;

private:
    friend class TSubItems;
    friend class TQlxCheckListCore;
    TQlxCheckListCore& List() const;
    TQlxItemContents Contents() const;
    void SetContents(const TQlxItemContents& Source);

    TQlxListItems& Owner_;
    int Index_;
    std::string Caption_;
    bool Checked_ = true;
    TCheckBoxState State_ = cbChecked;
    bool VisibleCheck_ = true;
    bool Selected_ = false;
    bool SortMark_ = false;
    std::optional<TBitmap16> Icon_;
};

// The rows, in order. Between BeginUpdate and the matching EndUpdate (brackets nest) changes
// are neither laid out nor painted; the outermost EndUpdate sorts, lays out and repaints.
class TQlxListItems {
public:
    explicit TQlxListItems(TQlxCheckListCore& List) : List_(List) {}
    TQlxListItems(const TQlxListItems&) = delete;
    TQlxListItems& operator=(const TQlxListItems&) = delete;

    void BeginUpdate() { ++UpdateCount_; }
    void EndUpdate();
    int UpdateCount() const { return UpdateCount_; }

    // Destroys every row; the list's current index stays as it was.
    void Clear();
    // Appends a row with the defaults; the list owns it.
    TQlxListItem* Add();
    int Count() const { return static_cast<int>(Items_.size()); }
    // Raises EListError(i) outside 0 .. Count - 1.
    TQlxListItem& operator[](int i) const;

private:
    friend class TQlxListItem;
    friend class TQlxCheckListCore;
    TQlxCheckListCore& List_;
    std::vector<std::unique_ptr<TQlxListItem>> Items_;
    int UpdateCount_ = 0;
};

// Opens an update bracket of the rows and closes it again, also on an error.
class TItemsUpdate {
public:
    explicit TItemsUpdate(TQlxListItems& Items) : Items_(Items) { Items_.BeginUpdate(); }
    ~TItemsUpdate() { Items_.EndUpdate(); }
    TItemsUpdate(const TItemsUpdate&) = delete;
    TItemsUpdate& operator=(const TItemsUpdate&) = delete;

private:
    TQlxListItems& Items_;
};

class TQlxListColumn {
public:
    explicit TQlxListColumn(TQlxListColumns& Owner, int Index) : Owner_(Owner), Index_(Index) {}
    TQlxListColumn(const TQlxListColumn&) = delete;
    TQlxListColumn& operator=(const TQlxListColumn&) = delete;

    int Index() const { return Index_; }
    int Width() const { return Width_; }
    // Clamped into MinWidth .. MaxWidth (each only when positive); a negative result is
    // ignored.
    void SetWidth(int Value);
    int MaxWidth() const { return MaxWidth_; }
    // Below MinWidth it becomes 0 (no limit). The width is clamped again.
    void SetMaxWidth(int Value);
    int MinWidth() const { return MinWidth_; }
    // Above a positive MaxWidth it becomes 0 (no limit). The width is clamped again.
    void SetMinWidth(int Value);

    TAlignment HeaderAlignment = taLeftJustify;
    int Border = 1; // half-width of the grab zone at the right edge
    std::string Caption;
    int ImageIndex = -1;
    TsortType SortType = stString;
    bool Visible = true; // a hidden column takes no room and is never hit
    bool UseHidenPart = true;
    int Offset = 3;
    int ImageOffset = 3;
    TAlignment ItemsAlignment = taLeftJustify;
    TeditType EditType = edEdit;
    bool ReadOnly = true;
    std::vector<std::string> ComboLines;
    bool BlockSort = false;
    bool ShowProcentBar = false;
    TColor ProcentBarColor = clRed;
    bool UsecolumnProcentBarColor = false;
    bool UseCaptionProcentBar = false;

private:
    TQlxListColumns& Owner_;
    int Index_;
    int Width_ = 100;
    int MaxWidth_ = 0;
    int MinWidth_ = 0;
};

class TQlxListColumns {
public:
    explicit TQlxListColumns(TQlxCheckListCore& List) : List_(List) {}
    TQlxListColumns(const TQlxListColumns&) = delete;
    TQlxListColumns& operator=(const TQlxListColumns&) = delete;

    TQlxListColumn& Add();
    int Count() const { return static_cast<int>(Columns_.size()); }
    // Raises EListError(i) outside 0 .. Count - 1.
    TQlxListColumn& operator[](int i) const;

private:
    friend class TQlxListColumn;
    TQlxCheckListCore& List_;
    std::vector<std::unique_ptr<TQlxListColumn>> Columns_;
};

// What the list needs from the window that shows it.
class IQlxCheckListView {
public:
    // Something visible changed: paint again.
    virtual void InvalidateList() = 0;
    // Rows or columns came or went: recalculate the scroll bars, then paint again.
    virtual void ListLayoutChanged() = 0;
    // The list's own scroll positions moved: update the bars, then paint again.
    virtual void ScrollPositionChanged() = 0;
    // The pointer moved to another row while hints follow the rows.
    virtual void ResetHint() = 0;
    // Width in pixels of a text in the list's font, or in the header's font.
    virtual int TextWidth(const std::string& Text, bool HeaderFont) = 0;

protected:
    ~IQlxCheckListView() = default;
};

struct TScrollBarProperties {
    int HorzSmallChange = 1;
    int HorzLargeChange = 5;
    int VertLargeChange = 90;
};

// Which scroll bars a window of the given size needs, and the client area that remains.
struct TScrollLayout {
    bool VertVisible = false;
    bool HorzVisible = false;
    int ClientWidth = 0;
    int ClientHeight = 0;
};

// Where the column widths and sort settings are kept: root KeyRoot, key RegistryKey +
// RegistrySubkey (empty: the list's name).
struct TRegistrySaving {
    std::string RegistryKey = "SOFTWARE\\TQlxCheckList\\";
    std::string RegistrySubkey;
    bool SaveSizes = true;
    bool SaveSortSettings = true;
    TRegRoot KeyRoot = TRegRoot::LocalMachine;
};

enum class THitZone { None, Header, Border, Cell, CheckBox };
struct THitInfo {
    THitZone Zone = THitZone::None;
    int Column = -1; // index in Columns
    int Row = -1;    // index in Items (cells and check boxes)
};

// Background and text colour of a row (clWindowText: the list font's colour).
struct TRowColors {
    TColor Back;
    TColor Text;
};

class TQlxCheckListCore {
public:
    // View receives the effects; Sender is what the events name as their sender.
    TQlxCheckListCore(IQlxCheckListView& View, TObject* Sender);
    virtual ~TQlxCheckListCore();
    TQlxCheckListCore(const TQlxCheckListCore&) = delete;
    TQlxCheckListCore& operator=(const TQlxCheckListCore&) = delete;

    TQlxListColumns Columns;
    TQlxListItems Items;

    // Geometry; after changing these from code call ListLayoutChanged.
    bool CheckBoxes = true;
    int CheckSize = 13;
    int ItemHeight = 18;
    // The side of a row's picture as it is drawn in the first column.
    int RowPictureSize() const { return ItemHeight - 2; }
    int HeaderHeight = 22;
    bool HeaderVisible = true;

    bool RowSelect = true;  // the selection covers the row, not only the first cell
    bool EntireRow = false; // row colours reach the right edge, past the last column
    bool MultiSelect = false;
    bool HeaderAutoSort = true;
    bool UseCheckEventRuntime = false; // Checked written from code fires OnItemCheck
    bool UseThemeCheck = true;
    bool UseImageArrow = true;
    bool UseItemSelectionTheme = false;
    bool UseAutocomplete = false;
    bool ForceHint = false;
    bool InhibitStandardHint = false;
    int ResizeColumn = -1;
    TScrollBarProperties ScrollBarsProperties;

    TColor ItemsColor = clWindow;       // unchecked rows
    TColor CheckItemColor = clWindow;   // checked rows
    TColor GrayCheckItemColor = clGray; // grayed rows
    TColor SelectColor = clNavy;
    TColor SelectFontColor = clWhite;
    TColor SelectColorNoFocus = clBtnFace;

    TCheckGlyph ImageCheck = PlainCheckGlyph(cbChecked);
    TCheckGlyph ImageUNCheck = PlainCheckGlyph(cbUnchecked);
    TCheckGlyph ImageGrayCheck = PlainCheckGlyph(cbGrayed);

    TQlxItemEvent OnItemClick;
    TQlxItemEvent OnItemCheck;
    TQlxItemEvent OnItemDblClick;
    TQlxItemEvent OnSubItemDblClick;
    TQlxColumnEvent OnColumnClick;
    TQlxColumnEvent OnColumnResize;
    TQlxColumnEvent OnColumnDblClick;
    TNotifyEvent OnStartSort;
    TNotifyEvent OnEndSort;
    TNotifyEvent OnAfterResize;

    // Assigning another column or direction sorts the rows again.
    int SortColumn() const { return SortColumn_; }
    void SetSortColumn(int Value);
    TsortSens SortSens() const { return SortSens_; }
    void SetSortSens(TsortSens Value);
    // Orders the rows by the cells of the sort column (each led by the row's Hidenpart when
    // the column's UseHidenPart is set) by the column's SortType, reversed for ssDescendent;
    // the current row stays current. Nothing happens with fewer than two rows, no visible
    // sort column, or while an update is open or a sort runs. With SortColumn -1 the rows
    // keep the order they were added in.
    void SortItems();
    // The sort key of a row in a column: its text there, led by Hidenpart when the column
    // uses it; none for a row that lacks that sub-item.
    std::optional<std::string> SortText(const TQlxListItem& Item, int Column) const;

    // Column widths fitted to the texts: the caption in the header font + 25, and every
    // row's cell in the list font + the row's Offset and ImageOffset + 25 (+ 30 and no text
    // for a row without that sub-item), in the first column + the row's picture + 10 when it
    // has one; clamped as any width.
    void AutoSizeColumns();
    void AutoSizeColumn(int Column);
    int AutoColumnWidth(int Column);

    // The control's width changed: the ResizeColumn absorbs the change; OnAfterResize fires.
    void ControlResized(int Width);
    // The width from which ControlResized measures the change.
    void RememberWidth(int Width) { PreviousWidth_ = Width; }

    // Column widths and sort settings in the registry (through Registry; nothing without
    // it). Loading keeps what it cannot read and sorts; saving tries every value on its own
    // and ignores every failure. Name stands in for an empty RegistrySubkey.
    TRegistrySaving RegistrySaving;
    TRegistryFactory Registry;
    void LoadRegistrySettings(const std::string& Name);
    void SaveRegistrySettings(const std::string& Name) noexcept;

    // -1 until a row becomes current; may point past the rows after Items.Clear.
    int CurrentIndex() const { return CurrentIndex_; }
    // The selected row with the lowest index, or null.
    TQlxListItem* SelectedItem() const;
    void ClearSelection();
    // Swaps the complete contents of rows A and B; the selection travels with them and B
    // becomes current. Nothing happens when A == B or either is not a row.
    void ExchangeItems(int A, int B);
    // The user's toggle of a row: inverts its check, then fires OnItemCheck.
    void ToggleCheck(int Row);

    // ---- Geometry, in client coordinates of the list's window
    int HeaderBand() const { return HeaderVisible ? HeaderHeight : 0; }
    int RowTop(int Row) const { return HeaderBand() + Row * ItemHeight - VertPos_; }
    int FirstVisibleColumn() const;
    // Left edge of a visible column.
    int ColumnLeft(int Column) const;
    // Sum of the widths of the visible columns.
    int ContentWidth() const;
    int ContentHeight() const { return Items.Count() * ItemHeight; }
    // The visible column strictly containing x, or -1.
    int ColumnAt(int X) const;
    // The row strictly containing y (below the header), or -1.
    int RowAt(int Y) const;
    // The check box of a row in the first visible column, edges included.
    int CheckBoxLeft() const;
    int CheckBoxTop(int Row) const { return RowTop(Row) + (ItemHeight - CheckSize) / 2; }
    THitInfo HitTest(int X, int Y) const;
    // The row's background by its check state, and with the selection bar.
    TColor StateColor(const TQlxListItem& Item) const;
    TRowColors RowColors(const TQlxListItem& Item, bool Focused) const;

    // ---- Scrolling
    // The bars a window of Width x Height (bars not subtracted) needs: the vertical one when
    // header and rows (and the horizontal bar) reach the height, the horizontal one when the
    // visible columns (and the vertical bar) are wider than the width + 1. The need of each
    // is worked out again up to four times; when it still changes, both bars show.
    TScrollLayout CalcScrollLayout(int Width, int Height, int VertBarWidth,
                                   int HorzBarHeight) const;
    // The client area as it now is; the scroll positions are kept within their ranges.
    void SetClientSize(int Width, int Height);
    int ClientWidth() const { return ClientWidth_; }
    int ClientHeight() const { return ClientHeight_; }
    int VertPos() const { return VertPos_; }
    int HorzPos() const { return HorzPos_; }
    // The vertical range: ItemHeight * ((header and rows - client height) div ItemHeight + 3)
    // while the rows need a bar, so the last row can be scrolled up from the bottom edge.
    int VertMax() const;
    int HorzMax() const;
    // Each keeps the position in range and reports a change to the view.
    void SetVertPos(int Value);
    void SetHorzPos(int Value);
    void ScrollRowIntoView(int Row);
    // Wheel notches (positive: away from the user) scroll three rows each.
    void MouseWheel(int Notches, bool OverHorzBar);

    // ---- Input
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    // The release of a header press sorts (HeaderAutoSort) and fires OnColumnClick; of a
    // border press, sizes the column to the release point and fires OnColumnResize.
    void MouseUp(TMouseButton Button, int X, int Y);
    void DblClick(TShiftState Shift, int X, int Y);
    void MouseMove(int X, int Y);
    void KeyDown(uint16_t Key, TShiftState Shift);
    void KeyUp();
    // The list lost the keyboard: a Control key released elsewhere is not held any more.
    void FocusLost() { ControlHeld_ = false; }
    // The horizontal-split cursor shows over a header border and while one is dragged.
    bool SplitCursorAt(int X, int Y) const;
    // A border press is under way (the mouse is captured until its release).
    bool SizingColumn() const { return PressedZone_ == THitZone::Border; }

    int ShiftAnchor() const { return ShiftAnchor_; }
    bool ControlHeld() const { return ControlHeld_; }
    bool UserToggle() const { return UserToggle_; }
    int PressedColumn() const { return PressedColumn_; }
    int PressedRow() const { return PressedRow_; }

    // Called by the items and columns.
    void Changed();       // repaint unless an update is open
    void LayoutChanged(); // re-lay out unless an update is open
    void SetCurrentIndex(int Value) { CurrentIndex_ = Value; }
    TObject* Sender() const { return Sender_; }

protected:
    IQlxCheckListView& View() const { return View_; }

private:
    friend class TQlxListItems;
    bool Updating() const { return Items.UpdateCount() > 0; }
    bool IsRow(int i) const { return i >= 0 && i < Items.Count(); }
    // The press on a cell of the first or another column.
    void PressCell(TShiftState Shift, const THitInfo& Hit);
    // A press at a hit: a header or border press is remembered for the release.
    void PressAt(TShiftState Shift, const THitInfo& Hit);
    void HeaderReleased(int Column);
    void QuickSort(int L, int R, int Column, TsortType Type);
    int CompareRows(int A, int B, int Column, TsortType Type) const;
    void PrepareRegistryKey(const std::string& Name);
    // Selects the current row as keyboard moves do and fires OnItemClick.
    void SelectCurrentByKey();
    void FireItem(const TQlxItemEvent& Event, int Row);

    IQlxCheckListView& View_;
    TObject* Sender_;
    int SortColumn_ = 0;
    TsortSens SortSens_ = ssAscendent;
    int CurrentIndex_ = -1;
    int ShiftAnchor_ = -1;
    bool ControlHeld_ = false;
    bool UserToggle_ = false;
    bool Sorting_ = false;
    int PressedColumn_ = -1;
    int PressedRow_ = -1;
    THitZone PressedZone_ = THitZone::None;
    int PreviousWidth_ = -1;
    int HintRow_ = -1;
    int ClientWidth_ = 0;
    int ClientHeight_ = 0;
    int VertPos_ = 0;
    int HorzPos_ = 0;
};
