#include "components/QlxCheckListModel.h"

#include <algorithm>
#include <utility>

#include "toolkit/SysUtils.h"

// ---- Plain check box pictures

TCheckGlyph PlainCheckGlyph(TCheckBoxState State) {
    constexpr uint32_t kFrame = 0x1C5180; // XP's dark blue check box frame
    constexpr uint32_t kTick = 0x21A121;
    constexpr uint32_t kGrayTick = 0x8C8C8C;
    constexpr int n = TCheckGlyph::Size;
    TCheckGlyph g;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const bool edge = x == 0 || y == 0 || x == n - 1 || y == n - 1;
            // The field darkens slightly towards its top left corner, as XP's does.
            const uint32_t shade = static_cast<uint32_t>(0xF4 + (x + y) * 11 / (2 * n));
            const uint32_t field =
                State == cbGrayed ? 0xE6E6E6 : (shade << 16 | shade << 8 | shade);
            g.At(x, y) = edge ? kFrame : field;
        }
    if (State == cbUnchecked)
        return g;
    // A tick three pixels thick: down from (3, 5) to (5, 7), then up to (9, 3).
    const uint32_t tick = State == cbGrayed ? kGrayTick : kTick;
    for (int x = 3; x <= 9; ++x) {
        const int top = x <= 5 ? 5 + (x - 3) : 7 - (x - 5);
        for (int dy = 0; dy < 3; ++dy)
            g.At(x, top + dy) = tick;
    }
    return g;
}

// ---- TSubItems

void TSubItems::CheckIndex(int k) const {
    if (k < 0 || k >= Count())
        throw EListError(k);
}

const std::string& TSubItems::Strings(int k) const {
    CheckIndex(k);
    return Strings_[static_cast<size_t>(k)];
}

void TSubItems::Add(const std::string& Text) {
    Strings_.push_back(Text);
    Changed();
}

void TSubItems::Put(int k, const std::string& Text) {
    CheckIndex(k);
    Strings_[static_cast<size_t>(k)] = Text;
    Changed();
}

void TSubItems::Delete(int k) {
    CheckIndex(k);
    Strings_.erase(Strings_.begin() + k);
    Changed();
}

void TSubItems::Clear() {
    Strings_.clear();
    Changed();
}

void TSubItems::Changed() {
    Owner_.List().LayoutChanged();
}

// ---- TQlxListItem

TQlxListItem::TQlxListItem(TQlxListItems& Owner, int Index)
    : SubItems(*this), Owner_(Owner), Index_(Index) {}

TQlxCheckListCore& TQlxListItem::List() const {
    return Owner_.List_;
}

void TQlxListItem::SetCaption(const std::string& Value) {
    if (Value == Caption_)
        return;
    Caption_ = Value;
    List().Changed();
}

void TQlxListItem::SetChecked(bool Value) {
    Checked_ = Value;
    State_ = Value ? cbChecked : cbUnchecked;
    TQlxCheckListCore& list = List();
    list.Changed();
    if (list.UseCheckEventRuntime && !list.UserToggle())
        Fire(list.OnItemCheck, list.Sender(), this);
}

void TQlxListItem::SetState(TCheckBoxState Value) {
    State_ = Value;
    Checked_ = Value != cbUnchecked;
    List().Changed();
}

void TQlxListItem::SetVisibleCheck(bool Value) {
    if (Value == VisibleCheck_)
        return;
    VisibleCheck_ = Value;
    List().Changed();
}

void TQlxListItem::SetSelected(bool Value) {
    TQlxCheckListCore& list = List();
    if (Value != Selected_) {
        if (Value && !list.MultiSelect)
            list.ClearSelection();
        Selected_ = Value;
        list.Changed();
    }
    list.SetCurrentIndex(Index_);
}

const TBitmap16& TQlxListItem::Icon() const {
    static const TBitmap16 kNone;
    return Icon_ ? *Icon_ : kNone;
}

void TQlxListItem::SetIcon(const TBitmap16& Value) {
    Icon_ = Value;
    List().Changed();
}

void TQlxListItem::ClearIcon() {
    Icon_.reset();
    List().Changed();
}

TQlxItemContents TQlxListItem::Contents() const {
    TQlxItemContents c;
    c.Caption = Caption_;
    c.ImageIndex = ImageIndex;
    c.SubItems = SubItems.List();
    c.State = State_;
    c.Checked = Checked();
    c.Hidenpart = Hidenpart;
    c.Selected = Selected_;
    c.Offset = Offset;
    c.ImageOffset = ImageOffset;
    c.VisibleCheck = VisibleCheck_;
    c.Background = Background;
    c.ProcentBarColor = ProcentBarColor;
    c.Icon = Icon_;
    c.SubItemImages = SubItemImages;
    c.SortMark = SortMark_;
    return c;
}

void TQlxListItem::SetContents(const TQlxItemContents& Source) {
    Caption_ = Source.Caption;
    ImageIndex = Source.ImageIndex;
    SubItems.Strings_ = Source.SubItems;
    // The check arrives as it read at the source (unchecked behind a hidden check box); a
    // grayed row stays grayed. No event: moving a row is not a toggle.
    Checked_ = Source.Checked;
    State_ = !Source.Checked ? cbUnchecked : Source.State == cbGrayed ? cbGrayed : cbChecked;
    Hidenpart = Source.Hidenpart;
    SetSelected(Source.Selected);
    Offset = Source.Offset;
    ImageOffset = Source.ImageOffset;
    VisibleCheck_ = Source.VisibleCheck;
    Background = Source.Background;
    ProcentBarColor = Source.ProcentBarColor;
    Icon_ = Source.Icon;
    SubItemImages = Source.SubItemImages;
    SortMark_ = Source.SortMark;
}

// ---- TQlxListItems

void TQlxListItems::EndUpdate() {
    if (UpdateCount_ == 0)
        return;
    if (--UpdateCount_ > 0)
        return;
    List_.SortItems();
    List_.LayoutChanged();
}

void TQlxListItems::Clear() {
    Items_.clear();
    List_.LayoutChanged();
}

TQlxListItem* TQlxListItems::Add() {
    Items_.push_back(std::make_unique<TQlxListItem>(*this, Count()));
    List_.LayoutChanged();
    return Items_.back().get();
}

TQlxListItem& TQlxListItems::operator[](int i) const {
    if (i < 0 || i >= Count())
        throw EListError(i);
    return *Items_[static_cast<size_t>(i)];
}

// ---- Columns

void TQlxListColumn::SetWidth(int Value) {
    if (MaxWidth_ > 0 && Value > MaxWidth_)
        Value = MaxWidth_;
    if (MinWidth_ > 0 && Value < MinWidth_)
        Value = MinWidth_;
    if (Value < 0 || Value == Width_)
        return;
    Width_ = Value;
    Owner_.List_.LayoutChanged();
}

void TQlxListColumn::SetMaxWidth(int Value) {
    MaxWidth_ = Value < MinWidth_ ? 0 : Value;
    SetWidth(Width_);
}

void TQlxListColumn::SetMinWidth(int Value) {
    MinWidth_ = MaxWidth_ > 0 && Value > MaxWidth_ ? 0 : Value;
    SetWidth(Width_);
}

TQlxListColumn& TQlxListColumns::Add() {
    Columns_.push_back(std::make_unique<TQlxListColumn>(*this, Count()));
    List_.LayoutChanged();
    return *Columns_.back();
}

TQlxListColumn& TQlxListColumns::operator[](int i) const {
    if (i < 0 || i >= Count())
        throw EListError(i);
    return *Columns_[static_cast<size_t>(i)];
}

// ---- TQlxCheckListCore

TQlxCheckListCore::TQlxCheckListCore(IQlxCheckListView& View, TObject* Sender)
    : Columns(*this), Items(*this), View_(View), Sender_(Sender) {}

TQlxCheckListCore::~TQlxCheckListCore() = default;

void TQlxCheckListCore::Changed() {
    if (!Updating())
        View_.InvalidateList();
}

void TQlxCheckListCore::LayoutChanged() {
    if (Updating())
        return;
    SetClientSize(ClientWidth_, ClientHeight_);
    View_.ListLayoutChanged();
}

void TQlxCheckListCore::SetSortColumn(int Value) {
    if (Value == SortColumn_)
        return;
    SortColumn_ = Value;
    SortItems();
}

void TQlxCheckListCore::SetSortSens(TsortSens Value) {
    if (Value == SortSens_)
        return;
    SortSens_ = Value;
    SortItems();
}

void TQlxCheckListCore::SortItems() {
    if (Items.Count() < 2 || SortColumn_ < 0 || SortColumn_ >= Columns.Count() ||
        !Columns[SortColumn_].Visible || Updating() || Sorting_)
        return;
    // Ordering by the cells of the sort column is not part of this list yet: the rows keep
    // the order they were added in.
}

TQlxListItem* TQlxCheckListCore::SelectedItem() const {
    for (int i = 0; i < Items.Count(); ++i)
        if (Items[i].Selected())
            return &Items[i];
    return nullptr;
}

void TQlxCheckListCore::ClearSelection() {
    bool any = false;
    for (auto& item : Items.Items_)
        if (std::exchange(item->Selected_, false))
            any = true;
    if (any)
        Changed();
}

void TQlxCheckListCore::ExchangeItems(int A, int B) {
    if (A == B || !IsRow(A) || !IsRow(B))
        return;
    const TQlxItemContents a = Items[A].Contents();
    Items[A].SetContents(Items[B].Contents());
    Items[B].SetContents(a);
    Changed();
}

void TQlxCheckListCore::ToggleCheck(int Row) {
    if (!IsRow(Row))
        return;
    struct TToggleScope {
        bool& Flag;
        explicit TToggleScope(bool& F) : Flag(F) { Flag = true; }
        ~TToggleScope() { Flag = false; }
    } scope(UserToggle_);
    TQlxListItem& item = Items[Row];
    item.SetChecked(!item.Checked_);
    FireItem(OnItemCheck, Row);
    Changed();
}

void TQlxCheckListCore::FireItem(const TQlxItemEvent& Event, int Row) {
    // A handler may rebuild the list; only a row that still exists is named.
    if (IsRow(Row))
        Fire(Event, Sender_, &Items[Row]);
}

// ---- Geometry

int TQlxCheckListCore::FirstVisibleColumn() const {
    for (int c = 0; c < Columns.Count(); ++c)
        if (Columns[c].Visible)
            return c;
    return -1;
}

int TQlxCheckListCore::ColumnLeft(int Column) const {
    int left = -HorzPos_;
    for (int c = 0; c < Column && c < Columns.Count(); ++c)
        if (Columns[c].Visible)
            left += Columns[c].Width();
    return left;
}

int TQlxCheckListCore::ContentWidth() const {
    return ColumnLeft(Columns.Count()) + HorzPos_;
}

int TQlxCheckListCore::ColumnAt(int X) const {
    int left = -HorzPos_;
    for (int c = 0; c < Columns.Count(); ++c) {
        if (!Columns[c].Visible)
            continue;
        const int right = left + Columns[c].Width();
        if (left < X && X < right)
            return c;
        left = right;
    }
    return -1;
}

int TQlxCheckListCore::RowAt(int Y) const {
    if (Y < HeaderBand() || ItemHeight <= 0)
        return -1;
    const int offset = Y - HeaderBand() + VertPos_;
    if (offset < 0 || offset % ItemHeight == 0)
        return -1; // on a row boundary
    const int row = offset / ItemHeight;
    return IsRow(row) ? row : -1;
}

int TQlxCheckListCore::CheckBoxLeft() const {
    return ColumnLeft(FirstVisibleColumn()) + 1;
}

THitInfo TQlxCheckListCore::HitTest(int X, int Y) const {
    THitInfo hit;
    if (Y < 0)
        return hit;
    if (Y < HeaderBand()) {
        int left = -HorzPos_;
        for (int c = 0; c < Columns.Count(); ++c) {
            const TQlxListColumn& col = Columns[c];
            if (!col.Visible)
                continue;
            const int right = left + col.Width();
            if (left + col.Border < X && X < right - col.Border)
                return {THitZone::Header, c, -1};
            if (right - col.Border <= X && X <= right + col.Border)
                return {THitZone::Border, c, -1};
            left = right;
        }
        return hit;
    }
    const int column = ColumnAt(X);
    const int row = RowAt(Y);
    if (column < 0 || row < 0)
        return hit;
    hit = {THitZone::Cell, column, row};
    if (column == FirstVisibleColumn() && CheckBoxes && Items[row].VisibleCheck()) {
        const int left = CheckBoxLeft();
        const int top = CheckBoxTop(row);
        if (left <= X && X <= left + CheckSize + 1 && top <= Y && Y <= top + CheckSize)
            hit.Zone = THitZone::CheckBox;
    }
    return hit;
}

TColor TQlxCheckListCore::StateColor(const TQlxListItem& Item) const {
    switch (Item.State()) {
    case cbChecked:
        return CheckItemColor;
    case cbGrayed:
        return GrayCheckItemColor;
    case cbUnchecked:
        break;
    }
    return ItemsColor;
}

TRowColors TQlxCheckListCore::RowColors(const TQlxListItem& Item, bool Focused) const {
    if (Item.Selected())
        return Focused ? TRowColors{SelectColor, SelectFontColor}
                       : TRowColors{SelectColorNoFocus, clWindowText};
    return {StateColor(Item), clWindowText};
}

// ---- Scrolling

TScrollLayout TQlxCheckListCore::CalcScrollLayout(int Width, int Height, int VertBarWidth,
                                                  int HorzBarHeight) const {
    TScrollLayout l;
    const int rowsHeight = ContentHeight() + HeaderBand();
    const int columnsWidth = ContentWidth();
    // Each bar takes room from the other's direction: repeat until both settle.
    bool settled = false;
    for (int pass = 0; pass < 4 && !settled; ++pass) {
        const bool vert = rowsHeight > Height - (l.HorzVisible ? HorzBarHeight : 0);
        const bool horz = columnsWidth > Width - (vert ? VertBarWidth : 0);
        settled = vert == l.VertVisible && horz == l.HorzVisible;
        l.VertVisible = vert;
        l.HorzVisible = horz;
    }
    if (!settled)
        l.VertVisible = l.HorzVisible = true;
    l.ClientWidth = std::max(0, Width - (l.VertVisible ? VertBarWidth : 0));
    l.ClientHeight = std::max(0, Height - (l.HorzVisible ? HorzBarHeight : 0));
    return l;
}

void TQlxCheckListCore::SetClientSize(int Width, int Height) {
    ClientWidth_ = Width;
    ClientHeight_ = Height;
    VertPos_ = std::clamp(VertPos_, 0, VertMax());
    HorzPos_ = std::clamp(HorzPos_, 0, HorzMax());
}

int TQlxCheckListCore::VertMax() const {
    return std::max(0, ContentHeight() - (ClientHeight_ - HeaderBand()));
}

int TQlxCheckListCore::HorzMax() const {
    return std::max(0, ContentWidth() - ClientWidth_);
}

void TQlxCheckListCore::SetVertPos(int Value) {
    Value = std::clamp(Value, 0, VertMax());
    if (Value == VertPos_)
        return;
    VertPos_ = Value;
    View_.ScrollPositionChanged();
}

void TQlxCheckListCore::SetHorzPos(int Value) {
    Value = std::clamp(Value, 0, HorzMax());
    if (Value == HorzPos_)
        return;
    HorzPos_ = Value;
    View_.ScrollPositionChanged();
}

void TQlxCheckListCore::ScrollRowIntoView(int Row) {
    if (!IsRow(Row))
        return;
    const int top = Row * ItemHeight;
    const int visible = ClientHeight_ - HeaderBand();
    if (top < VertPos_)
        SetVertPos(top);
    else if (top + ItemHeight > VertPos_ + visible)
        SetVertPos(top + ItemHeight - visible);
}

void TQlxCheckListCore::MouseWheel(int Notches, bool OverHorzBar) {
    if (OverHorzBar)
        SetHorzPos(HorzPos_ - Notches * 3 * ScrollBarsProperties.HorzSmallChange);
    else
        SetVertPos(VertPos_ - Notches * 3 * ItemHeight);
}

// ---- Input

void TQlxCheckListCore::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button != TMouseButton::Left)
        return;
    ShiftAnchor_ = (Shift & ssShift) ? CurrentIndex_ : -1;
    const THitInfo hit = HitTest(X, Y);
    if (hit.Zone == THitZone::Cell || hit.Zone == THitZone::CheckBox)
        PressCell(Shift, hit);
    // Header and border presses (sorting, column sizing) do nothing in this list yet.
}

void TQlxCheckListCore::PressCell(TShiftState Shift, const THitInfo& Hit) {
    const bool firstColumn = Hit.Column == FirstVisibleColumn();
    if (!firstColumn && !RowSelect)
        return;
    const int row = Hit.Row;
    const bool fromAnchor = MultiSelect && ShiftAnchor_ >= 0 && IsRow(ShiftAnchor_);
    if (!fromAnchor && !ControlHeld_ && !(Shift & ssCtrl))
        ClearSelection();
    if (fromAnchor) {
        for (int i = std::min(ShiftAnchor_, row); i <= std::max(ShiftAnchor_, row); ++i)
            Items[i].SetSelected(true);
    } else {
        Items[row].SetSelected(!Items[row].Selected());
    }
    FireItem(OnItemClick, row);
    // No in-place editors: a press on the text starts none.
    if (firstColumn && Hit.Zone == THitZone::CheckBox)
        ToggleCheck(row);
    PressedColumn_ = Hit.Column;
    PressedRow_ = row;
    CurrentIndex_ = row;
}

void TQlxCheckListCore::DblClick(TShiftState Shift, int X, int Y) {
    ShiftAnchor_ = (Shift & ssShift) ? CurrentIndex_ : -1;
    const THitInfo first = HitTest(X, Y);
    if (first.Zone == THitZone::Cell || first.Zone == THitZone::CheckBox)
        PressCell(Shift, first);
    if (PressedColumn_ < 0 || PressedColumn_ >= Columns.Count())
        return;
    const THitInfo hit = HitTest(X, Y);
    if (hit.Zone != THitZone::Cell && hit.Zone != THitZone::CheckBox)
        return; // header and border double-clicks: nothing yet
    PressCell(Shift, hit);
    if (hit.Column == FirstVisibleColumn())
        FireItem(OnItemDblClick, hit.Row);
}

void TQlxCheckListCore::MouseMove(int X, int Y) {
    const int row = X >= 0 && ColumnAt(X) >= 0 ? RowAt(Y) : -1;
    if (row == HintRow_)
        return;
    HintRow_ = row;
    if (ForceHint)
        View_.ResetHint();
}

void TQlxCheckListCore::SelectCurrentByKey() {
    const int c = CurrentIndex_;
    if (!IsRow(c))
        return;
    if (!(MultiSelect && ShiftAnchor_ >= 0))
        ClearSelection();
    Items[c].Selected_ = !Items[c].Selected_;
    Changed();
    FireItem(OnItemClick, c);
}

void TQlxCheckListCore::KeyDown(uint16_t Key, TShiftState Shift) {
    if (Shift == ssCtrl)
        ControlHeld_ = true;
    if (Shift & ssShift) {
        if (ShiftAnchor_ == -1)
            ShiftAnchor_ = CurrentIndex_;
    } else {
        ShiftAnchor_ = -1;
    }
    const int count = Items.Count();
    const int c = CurrentIndex_;
    switch (Key) {
    case kVkSpace:
        if (!IsRow(c))
            return;
        ToggleCheck(c);
        SelectCurrentByKey();
        return;
    case kVkPrior:
        if (count == 0)
            return;
        CurrentIndex_ = 0;
        ScrollRowIntoView(0);
        SelectCurrentByKey();
        return;
    case kVkNext:
        if (count == 0)
            return;
        CurrentIndex_ = count - 1;
        ScrollRowIntoView(count - 1);
        SelectCurrentByKey();
        return;
    case kVkUp:
    case kVkDown: {
        int next = c;
        if (c < 0)
            next = count > 0 ? 0 : c;
        else if (Key == kVkUp && c > 0)
            next = c - 1;
        else if (Key == kVkDown && c < count - 1)
            next = c + 1;
        if (next == c)
            return;
        CurrentIndex_ = next;
        ScrollRowIntoView(next);
        SelectCurrentByKey();
        return;
    }
    case kVkHome:
        SetHorzPos(0);
        return;
    case kVkEnd:
        SetHorzPos(HorzMax());
        return;
    case kVkLeft:
        SetHorzPos(HorzPos_ - ScrollBarsProperties.HorzSmallChange);
        return;
    case kVkRight:
        SetHorzPos(HorzPos_ + ScrollBarsProperties.HorzSmallChange);
        return;
    default:
        return; // Control + keypad plus fits the columns once column sizing exists
    }
}

void TQlxCheckListCore::KeyUp() {
    ControlHeld_ = false;
}
