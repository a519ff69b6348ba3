#include "components/QlxCheckListModel.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
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

// ---- Sort comparisons

namespace {
std::string Trim(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a])))
        ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1])))
        --b;
    return s.substr(a, b - a);
}

// A whole text as a number of the given base; none when anything is left over.
std::optional<double> WholeNumber(const std::string& Text, bool Float) {
    const std::string t = Trim(Text);
    if (t.empty())
        return std::nullopt;
    char* end = nullptr;
    const double v = Float ? std::strtod(t.c_str(), &end)
                           : static_cast<double>(std::strtoll(t.c_str(), &end, 10));
    if (end != t.c_str() + t.size() || std::isnan(v) || std::isinf(v))
        return std::nullopt;
    return v;
}

// Digits only, as an integer; none when empty, too long or not digits.
std::optional<int> Digits(const std::string& t) {
    if (t.empty() || t.size() > 4)
        return std::nullopt;
    int v = 0;
    for (char c : t) {
        if (c < '0' || c > '9')
            return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

std::vector<std::string> Split(const std::string& t, char Sep) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at; (at = t.find(Sep, start)) != std::string::npos; start = at + 1)
        parts.push_back(t.substr(start, at - start));
    parts.push_back(t.substr(start));
    return parts;
}

// Days since 1 January 1 of a date written as Y-M-D, D.M.Y or M/D/Y.
std::optional<double> ParseDate(const std::string& Text) {
    const std::string t = Trim(Text);
    char sep = 0;
    for (char c : {'-', '.', '/'})
        if (t.find(c) != std::string::npos)
            sep = c;
    if (!sep)
        return std::nullopt;
    const std::vector<std::string> p = Split(t, sep);
    if (p.size() != 3)
        return std::nullopt;
    std::optional<int> y, m, d;
    if (p[0].size() == 4) {
        y = Digits(p[0]), m = Digits(p[1]), d = Digits(p[2]);
    } else if (sep == '/') {
        m = Digits(p[0]), d = Digits(p[1]), y = Digits(p[2]);
    } else {
        d = Digits(p[0]), m = Digits(p[1]), y = Digits(p[2]);
    }
    if (!y || !m || !d || *m < 1 || *m > 12 || *d < 1 || *d > 31)
        return std::nullopt;
    // Days from civil (proleptic Gregorian).
    const int yy = *y - (*m <= 2 ? 1 : 0);
    const int era = yy / 400;
    const int yoe = yy - era * 400;
    const int doy = (153 * (*m + (*m > 2 ? -3 : 9)) + 2) / 5 + *d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return static_cast<double>(era * 146097 + doe);
}

// Fraction of a day of a time written as H:M or H:M:S, with an optional AM or PM.
std::optional<double> ParseTime(const std::string& Text) {
    std::string t = LowerCaseAscii(Trim(Text));
    int shift = -1; // -1: 24-hour clock
    for (auto [suffix, add] : {std::pair{"am", 0}, std::pair{"pm", 12}})
        if (t.size() > 2 && t.compare(t.size() - 2, 2, suffix) == 0) {
            shift = add;
            t = Trim(t.substr(0, t.size() - 2));
        }
    const std::vector<std::string> p = Split(t, ':');
    if (p.size() < 2 || p.size() > 3)
        return std::nullopt;
    const std::optional<int> h = Digits(p[0]), m = Digits(p[1]);
    const std::optional<int> sec = p.size() == 3 ? Digits(p[2]) : std::optional<int>(0);
    if (!h || !m || !sec || *m > 59 || *sec > 59 || *h > 23 || (shift >= 0 && *h > 12))
        return std::nullopt;
    const int hour = shift < 0 ? *h : (*h % 12) + shift;
    return (hour * 3600 + *m * 60 + *sec) / 86400.0;
}

std::optional<double> ParseDateTime(const std::string& Text) {
    const std::string t = Trim(Text);
    const size_t space = t.find(' ');
    if (space == std::string::npos)
        return ParseDate(t);
    const std::optional<double> d = ParseDate(t.substr(0, space));
    const std::optional<double> tm = ParseTime(t.substr(space + 1));
    if (!d || !tm)
        return std::nullopt;
    return *d + *tm;
}

std::optional<double> ParseHex(const std::string& Text) {
    std::string t = LowerCaseAscii(Trim(Text));
    if (!t.empty() && t[0] == '$')
        t.erase(0, 1);
    else if (t.rfind("0x", 0) == 0)
        t.erase(0, 2);
    if (t.empty() || t.size() > 16)
        return std::nullopt;
    double v = 0;
    for (char c : t) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        v = v * 16 + (c <= '9' ? c - '0' : c - 'a' + 10);
    }
    return v;
}

// A size such as "512", "1.5 KB", "3 MB" or "12 bytes", in bytes.
std::optional<double> ParseFileSize(const std::string& Text) {
    const std::string t = LowerCaseAscii(Trim(Text));
    size_t unitAt = t.size();
    while (unitAt > 0 && std::isalpha(static_cast<unsigned char>(t[unitAt - 1])))
        --unitAt;
    const std::string unit = t.substr(unitAt);
    static const std::pair<const char*, double> kUnits[] = {{"", 1},
                                                            {"b", 1},
                                                            {"bytes", 1},
                                                            {"byte", 1},
                                                            {"k", 1024.0},
                                                            {"kb", 1024.0},
                                                            {"m", 1048576.0},
                                                            {"mb", 1048576.0},
                                                            {"g", 1073741824.0},
                                                            {"gb", 1073741824.0},
                                                            {"tb", 1099511627776.0}};
    for (auto [name, factor] : kUnits)
        if (unit == name) {
            const std::optional<double> n = WholeNumber(t.substr(0, unitAt), true);
            if (n)
                return *n * factor;
            return std::nullopt;
        }
    return std::nullopt;
}
} // namespace

std::optional<double> ParseSortValue(const std::string& Text, TsortType Type) {
    switch (Type) {
    case stString:
        return std::nullopt;
    case stHex:
        return ParseHex(Text);
    case stFloat:
        return WholeNumber(Text, true);
    case stInteger:
        return WholeNumber(Text, false);
    case stDate:
        return ParseDate(Text);
    case stTime:
        return ParseTime(Text);
    case stDateTime:
        return ParseDateTime(Text);
    case stFileSize:
        return ParseFileSize(Text);
    }
    return std::nullopt;
}

int CompareSortTexts(const std::string& A, const std::string& B, TsortType Type) {
    if (Type == stString) {
        const int c = LowerCaseAscii(A).compare(LowerCaseAscii(B));
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    const std::optional<double> a = ParseSortValue(A, Type);
    const std::optional<double> b = ParseSortValue(B, Type);
    if (!a || !b)
        return (a ? 1 : 0) - (b ? 1 : 0); // missing first
    return *a < *b ? -1 : *a > *b ? 1 : 0;
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
    struct TSortScope {
        bool& Flag;
        explicit TSortScope(bool& F) : Flag(F) { Flag = true; }
        ~TSortScope() { Flag = false; }
    } scope(Sorting_);
    Fire(OnStartSort, Sender_);
    // The current row is marked; the mark travels with its contents.
    const int current = CurrentIndex_;
    for (auto& item : Items.Items_)
        item->SortMark_ = false;
    if (IsRow(current))
        Items[current].SortMark_ = true;
    QuickSort(0, Items.Count() - 1, SortColumn_, Columns[SortColumn_].SortType);
    CurrentIndex_ = -1;
    for (auto& item : Items.Items_)
        if (std::exchange(item->SortMark_, false))
            CurrentIndex_ = item->Index();
    LayoutChanged();
    Fire(OnEndSort, Sender_);
    Changed();
}

std::optional<std::string> TQlxCheckListCore::SortText(const TQlxListItem& Item, int Column) const {
    std::string text;
    if (Column == 0)
        text = Item.Caption();
    else if (Column - 1 < Item.SubItems.Count())
        text = Item.SubItems[Column - 1];
    else
        return std::nullopt;
    if (Columns[Column].UseHidenPart)
        text = Item.Hidenpart + text;
    return text;
}

int TQlxCheckListCore::CompareRows(int A, int B, int Column, TsortType Type) const {
    const std::optional<std::string> a = SortText(Items[A], Column);
    const std::optional<std::string> b = SortText(Items[B], Column);
    int c = (a && b) ? CompareSortTexts(*a, *b, Type) : (a ? 1 : 0) - (b ? 1 : 0);
    return SortSens_ == ssDescendent ? -c : c;
}

void TQlxCheckListCore::QuickSort(int L, int R, int Column, TsortType Type) {
    // The middle row is the pivot; rows change places by ExchangeItems, so the pivot's
    // position is followed as it moves.
    int i;
    do {
        i = L;
        int j = R;
        int p = (L + R) / 2;
        do {
            while (CompareRows(i, p, Column, Type) < 0)
                ++i;
            while (CompareRows(j, p, Column, Type) > 0)
                --j;
            if (i <= j) {
                if (i != j)
                    ExchangeItems(i, j);
                if (p == i)
                    p = j;
                else if (p == j)
                    p = i;
                ++i;
                --j;
            }
        } while (i <= j);
        if (L < j)
            QuickSort(L, j, Column, Type);
        L = i;
    } while (i < R);
}

// ---- Column sizing

int TQlxCheckListCore::AutoColumnWidth(int Column) {
    const TQlxListColumn& col = Columns[Column];
    int width = View_.TextWidth(col.Caption, true) + 25;
    for (int i = 0; i < Items.Count(); ++i) {
        const TQlxListItem& item = Items[i];
        int cell = item.Offset + item.ImageOffset + 30;
        if (Column == 0)
            cell = View_.TextWidth(item.Caption(), false) + item.Offset + item.ImageOffset + 25 +
                   (item.HasIcon() ? RowPictureSize() + 10 : 0);
        else if (Column - 1 < item.SubItems.Count())
            cell = View_.TextWidth(item.SubItems[Column - 1], false) + item.Offset +
                   item.ImageOffset + 25;
        width = std::max(width, cell);
    }
    return width;
}

void TQlxCheckListCore::AutoSizeColumn(int Column) {
    if (Column < 0 || Column >= Columns.Count() || !Columns[Column].Visible)
        return;
    Columns[Column].SetWidth(AutoColumnWidth(Column));
}

void TQlxCheckListCore::AutoSizeColumns() {
    for (int c = 0; c < Columns.Count(); ++c)
        AutoSizeColumn(c);
}

void TQlxCheckListCore::ControlResized(int Width) {
    if (PreviousWidth_ >= 0 && Width != PreviousWidth_ && ResizeColumn >= 0 &&
        ResizeColumn < Columns.Count()) {
        TQlxListColumn& col = Columns[ResizeColumn];
        col.SetWidth(col.Width() + Width - PreviousWidth_);
    }
    PreviousWidth_ = Width;
    LayoutChanged();
    Fire(OnAfterResize, Sender_);
}

// ---- Registry

void TQlxCheckListCore::PrepareRegistryKey(const std::string& Name) {
    TRegistrySaving& r = RegistrySaving;
    if (r.RegistrySubkey.empty())
        r.RegistrySubkey = Name;
    if (r.RegistryKey.empty())
        r.RegistryKey = "SOFTWARE\\TQlxCheckList\\";
    if (r.RegistryKey.back() != '\\')
        r.RegistryKey += '\\';
}

namespace {
std::string WidthValue(int Column) {
    return "Column_" + std::to_string(Column) + "_Width";
}
} // namespace

void TQlxCheckListCore::LoadRegistrySettings(const std::string& Name) {
    PrepareRegistryKey(Name);
    if (!Registry)
        return;
    const TRegistrySaving& r = RegistrySaving;
    try {
        std::unique_ptr<TRegistry> reg = Registry(r.KeyRoot, kKeyRead);
        if (!reg || !reg->OpenKey(r.RegistryKey + r.RegistrySubkey, false))
            return;
        TOpenedKey opened(*reg);
        if (r.SaveSizes)
            for (int n = 0; n < Columns.Count(); ++n)
                if (reg->GetDataType(WidthValue(n)) == kRegDword)
                    Columns[n].SetWidth(reg->ReadInteger(WidthValue(n)));
        if (r.SaveSortSettings) {
            SortColumn_ =
                reg->GetDataType("Sort_Column") == kRegDword ? reg->ReadInteger("Sort_Column") : 0;
            SortSens_ = reg->GetDataType("Sort_Ascendent") == kRegDword &&
                                reg->ReadInteger("Sort_Ascendent") != 0
                            ? ssDescendent
                            : ssAscendent;
        }
    } catch (const std::exception&) {
        return; // what could not be read stays as it was
    }
    SortItems();
}

void TQlxCheckListCore::SaveRegistrySettings(const std::string& Name) noexcept {
    try {
        PrepareRegistryKey(Name);
        if (!Registry)
            return;
        const TRegistrySaving& r = RegistrySaving;
        std::unique_ptr<TRegistry> reg = Registry(r.KeyRoot, kKeyWrite);
        if (!reg || !reg->OpenKey(r.RegistryKey + r.RegistrySubkey, true))
            return;
        TOpenedKey opened(*reg);
        auto write = [&](const std::string& Value, int32_t Data) {
            try {
                reg->WriteInteger(Value, Data);
            } catch (const std::exception&) {
            }
        };
        if (r.SaveSizes)
            for (int n = 0; n < Columns.Count(); ++n)
                write(WidthValue(n), Columns[n].Width());
        if (r.SaveSortSettings) {
            write("Sort_Column", SortColumn_);
            write("Sort_Ascendent", SortSens_ == ssDescendent ? 1 : 0);
        }
    } catch (...) {
        // nothing is saved, and nobody is told
    }
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
        const bool vert = rowsHeight + (l.HorzVisible ? HorzBarHeight : 0) >= Height;
        const bool horz = columnsWidth + (vert ? VertBarWidth : 0) > Width + 1;
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
    const int content = ContentHeight() + HeaderBand();
    if (ItemHeight <= 0 || content < ClientHeight_)
        return 0;
    return ItemHeight * ((content - ClientHeight_) / ItemHeight + 3);
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
    PressAt(Shift, HitTest(X, Y));
}

void TQlxCheckListCore::PressAt(TShiftState Shift, const THitInfo& Hit) {
    PressedZone_ = THitZone::None;
    switch (Hit.Zone) {
    case THitZone::Header:
    case THitZone::Border:
        PressedZone_ = Hit.Zone;
        PressedColumn_ = Hit.Column;
        PressedRow_ = -1;
        break;
    case THitZone::Cell:
    case THitZone::CheckBox:
        PressCell(Shift, Hit);
        break;
    case THitZone::None:
        break;
    }
}

void TQlxCheckListCore::MouseUp(TMouseButton Button, int X, int) {
    if (Button != TMouseButton::Left)
        return;
    const THitZone zone = std::exchange(PressedZone_, THitZone::None);
    const int column = PressedColumn_;
    if (column < 0 || column >= Columns.Count())
        return;
    if (zone == THitZone::Border) {
        const int width = X - ColumnLeft(column);
        if (width > 0)
            Columns[column].SetWidth(width);
        Fire(OnColumnResize, Sender_, column);
    } else if (zone == THitZone::Header) {
        HeaderReleased(column);
    }
}

void TQlxCheckListCore::HeaderReleased(int Column) {
    if (HeaderAutoSort && !Columns[Column].BlockSort) {
        // The sort column changes direction; another column starts descending.
        if (Column == SortColumn_) {
            SetSortSens(SortSens_ == ssAscendent ? ssDescendent : ssAscendent);
        } else {
            SortSens_ = ssDescendent;
            SetSortColumn(Column);
        }
    }
    Fire(OnColumnClick, Sender_, Column);
}

bool TQlxCheckListCore::SplitCursorAt(int X, int Y) const {
    return PressedZone_ == THitZone::Border || HitTest(X, Y).Zone == THitZone::Border;
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
    PressAt(Shift, HitTest(X, Y));
    if (PressedColumn_ < 0 || PressedColumn_ >= Columns.Count())
        return;
    const THitInfo hit = HitTest(X, Y);
    PressAt(Shift, hit);
    switch (hit.Zone) {
    case THitZone::Header:
        Fire(OnColumnDblClick, Sender_, hit.Column);
        break;
    case THitZone::Border:
        AutoSizeColumn(hit.Column);
        PressedZone_ = THitZone::None; // the release leaves the fitted width alone
        break;
    case THitZone::Cell:
    case THitZone::CheckBox:
        FireItem(hit.Column == FirstVisibleColumn() ? OnItemDblClick : OnSubItemDblClick, hit.Row);
        break;
    case THitZone::None:
        break;
    }
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
    case kVkAdd:
        if (Shift & ssCtrl)
            AutoSizeColumns();
        return;
    default:
        return;
    }
}

void TQlxCheckListCore::KeyUp() {
    ControlHeld_ = false;
}
