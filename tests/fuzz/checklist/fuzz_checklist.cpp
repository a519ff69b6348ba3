// The check list under any sequence of presses and releases (on cells, headers and column
// borders), double-clicks, keys, wheel turns, row exchanges, toggles, sorting, column sizing
// and changes from code, with event handlers that rebuild the list or exchange rows while the
// list is still handling the input, as the main window's handlers do.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "components/QlxCheckListModel.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

using zvfuzz::TFuzzInput;

struct TNullView : IQlxCheckListView {
    void InvalidateList() override {}
    void ListLayoutChanged() override {}
    void ScrollPositionChanged() override {}
    void ResetHint() override {}
    int TextWidth(const std::string& Text, bool HeaderFont) override {
        return static_cast<int>(Text.size()) * (HeaderFont ? 8 : 7);
    }
};

// A cell text made of the characters the sort types parse (digits, separators, units, AM/PM,
// hexadecimal prefixes), so that dates, times, sizes and numbers come up often.
std::string SortableText(TFuzzInput& In) {
    static constexpr char kChars[] = "0123456789:/-. +eE$xXaAfFkKmMbBgGpPtTyn";
    std::string s(In.Byte() % 12, ' ');
    for (char& c : s)
        c = kChars[In.Byte() % (sizeof(kChars) - 1)];
    return s;
}

struct TRowState {
    std::string Caption;
    bool Checked;
    bool Selected;
};

TRowState StateOf(const TQlxListItem& Item) {
    return {Item.Caption(), Item.Checked(), Item.Selected()};
}

class TFuzzList {
public:
    explicit TFuzzList(TFuzzInput& In) : In_(In) {}

    void Run() {
        SetUp();
        for (int step = 0; step < 100 && !In_.Empty(); ++step) {
            const bool currentInside = List_.CurrentIndex() < List_.Items.Count();
            RowsRemoved_ = false;
            Step();
            CheckInvariants(currentInside && !RowsRemoved_);
        }
    }

private:
    void AddRows(int Count) {
        for (int i = 0; i < Count; ++i) {
            TQlxListItem* row = List_.Items.Add();
            row->SetCaption("row " + std::to_string(NextRow_++));
            row->Hidenpart = In_.Small(0, 3) == 0 ? SortableText(In_) : "";
            for (int k = In_.Small(0, 3); k > 0; --k)
                row->SubItems.Add(SortableText(In_));
        }
    }

    // Sorts and checks that the rows come in the order of the sort column and that the
    // current row stayed current.
    void SortAndCheck() {
        const int current = List_.CurrentIndex();
        const bool hadCurrent = current >= 0 && current < List_.Items.Count();
        const std::string currentCaption = hadCurrent ? List_.Items[current].Caption() : "";
        List_.SortItems();
        const int column = List_.SortColumn();
        if (List_.Items.Count() < 2 || column < 0 || column >= List_.Columns.Count() ||
            !List_.Columns[column].Visible || List_.Items.UpdateCount() > 0)
            return;
        const TsortType type = List_.Columns[column].SortType;
        const int sens = List_.SortSens() == ssDescendent ? -1 : 1;
        for (int i = 0; i + 1 < List_.Items.Count(); ++i) {
            const auto a = List_.SortText(List_.Items[i], column);
            const auto b = List_.SortText(List_.Items[i + 1], column);
            const int c = (a && b) ? CompareSortTexts(*a, *b, type) : (a ? 1 : 0) - (b ? 1 : 0);
            ZV_FUZZ_CHECK(sens * c <= 0);
        }
        if (hadCurrent)
            ZV_FUZZ_CHECK(List_.CurrentIndex() >= 0 &&
                          List_.Items[List_.CurrentIndex()].Caption() == currentCaption);
    }

    void SetUp() {
        const uint8_t flags = In_.Byte();
        List_.MultiSelect = flags & 1;
        List_.RowSelect = !(flags & 2);
        List_.CheckBoxes = !(flags & 4);
        List_.HeaderVisible = !(flags & 8);
        List_.UseCheckEventRuntime = flags & 16;
        List_.ItemHeight = In_.Small(0, 40);
        List_.HeaderHeight = In_.Small(0, 30);
        List_.CheckSize = In_.Small(0, 20);
        for (int c = In_.Small(1, 4); c > 0; --c) {
            TQlxListColumn& col = List_.Columns.Add();
            col.SetWidth(In_.Small(0, 250));
            col.Visible = In_.Small(0, 5) != 0;
            col.Border = In_.Small(0, 4);
            col.SortType = static_cast<TsortType>(In_.Small(0, 7));
            col.UseHidenPart = In_.Bool();
            col.Caption = SortableText(In_);
        }
        List_.HeaderAutoSort = (flags & 32) == 0;
        List_.ResizeColumn = In_.Small(-1, 4);
        AddRows(In_.Small(0, 30));
        List_.SetClientSize(In_.Small(0, 255) * 2, In_.Small(0, 255) * 2);
        // What the handlers do when the list calls them.
        Reaction_ = In_.Byte();
        List_.OnItemClick = [this](TObject*, TQlxListItem* Item) { React(Item, 0); };
        List_.OnItemCheck = [this](TObject*, TQlxListItem* Item) { React(Item, 2); };
        List_.OnItemDblClick = [this](TObject*, TQlxListItem* Item) { React(Item, 4); };
    }

    void React(TQlxListItem* Item, int Shift) {
        // The handler is told about a row of the list as it is now.
        ZV_FUZZ_CHECK(Item != nullptr && Item->Index() >= 0 &&
                      Item->Index() < List_.Items.Count() && &List_.Items[Item->Index()] == Item);
        if (Depth_ > 0)
            return; // a handler that changes the list does not answer its own changes
        ++Depth_;
        switch ((Reaction_ >> Shift) & 3) {
        case 0:
            break;
        case 1: { // the refresh: the rows are made again from scratch
            const int count = List_.Items.Count();
            List_.Items.BeginUpdate();
            List_.Items.Clear();
            AddRows(count > 0 ? count - (NextRow_ % 2) : 1);
            List_.Items.EndUpdate();
            RowsRemoved_ = true;
            break;
        }
        case 2: // Up: the row changes places with the one above
            List_.ExchangeItems(Item->Index(), Item->Index() - 1);
            break;
        case 3:
            Item->SetChecked(!Item->Checked());
            break;
        }
        --Depth_;
    }

    int Coordinate() { return In_.Bool() ? static_cast<int16_t>(In_.Int32()) : In_.Small(-5, 250); }

    void Step() {
        const uint8_t op = In_.Byte();
        switch (op % 16) {
        case 0:
        case 1: {
            const auto button = static_cast<TMouseButton>(In_.Small(0, 2));
            const TShiftState shift = In_.Byte() & 7;
            const int x = Coordinate();
            const int y = Coordinate();
            List_.MouseDown(button, shift, x, y);
            break;
        }
        case 2: {
            const TShiftState shift = In_.Byte() & 7;
            const int x = Coordinate();
            const int y = Coordinate();
            List_.DblClick(shift, x, y);
            break;
        }
        case 3:
        case 4: {
            static constexpr uint16_t kKeys[] = {kVkSpace, kVkPrior, kVkNext, kVkEnd,
                                                 kVkHome,  kVkLeft,  kVkUp,   kVkRight,
                                                 kVkDown,  kVkAdd,   0x41};
            const uint16_t key = kKeys[In_.Byte() % std::size(kKeys)];
            List_.KeyDown(key, In_.Byte() & 7);
            if (In_.Bool())
                List_.KeyUp();
            break;
        }
        case 5: {
            const int a = In_.Small(-1, 31);
            const int b = In_.Small(-1, 31);
            ExchangeAndCheck(a, b);
            break;
        }
        case 6: {
            const int x = Coordinate();
            const int y = Coordinate();
            List_.MouseMove(x, y);
            break;
        }
        case 7: {
            const int notches = In_.Small(-6, 6);
            List_.MouseWheel(notches, In_.Bool());
            break;
        }
        case 8:
            List_.SetClientSize(In_.Small(0, 255) * 2, In_.Small(0, 255) * 2);
            break;
        case 9: {
            const int row = In_.Small(-1, 31);
            if (row >= 0 && row < List_.Items.Count()) {
                const bool wasChecked = List_.Items[row].State() != cbUnchecked;
                List_.ToggleCheck(row);
                // The user's toggle inverts the check, unless the check handler changed the rows.
                if (((Reaction_ >> 2) & 3) == 0)
                    ZV_FUZZ_CHECK((List_.Items[row].State() != cbUnchecked) != wasChecked);
            } else {
                List_.ToggleCheck(row);
            }
            break;
        }
        case 10: {
            if (List_.Items.Count() == 0) {
                AddRows(In_.Small(1, 5));
                break;
            }
            TQlxListItem& row = List_.Items[In_.Byte() % List_.Items.Count()];
            switch (In_.Small(0, 3)) {
            case 0:
                row.SetVisibleCheck(!row.VisibleCheck());
                break;
            case 1:
                row.SetState(static_cast<TCheckBoxState>(In_.Small(0, 2)));
                break;
            case 2:
                row.SetSelected(In_.Bool());
                break;
            case 3:
                row.SetChecked(In_.Bool());
                break;
            }
            break;
        }
        case 11:
            if (In_.Bool()) {
                List_.Items.Clear();
                RowsRemoved_ = true;
            }
            AddRows(In_.Small(0, 4));
            break;
        case 12: { // the release of a press: on a header it sorts, on a border it sizes
            const auto button = static_cast<TMouseButton>(In_.Small(0, 2));
            const int x = Coordinate();
            const int y = Coordinate();
            List_.MouseUp(button, x, y);
            break;
        }
        case 13:
            if (In_.Bool())
                List_.SetSortColumn(In_.Small(-1, 4));
            else
                List_.SetSortSens(In_.Bool() ? ssDescendent : ssAscendent);
            SortAndCheck();
            break;
        case 14:
            if (In_.Bool())
                List_.AutoSizeColumns();
            else
                List_.ControlResized(In_.Small(0, 255) * 2);
            break;
        case 15: {
            // Two texts compare the same way round either way.
            const std::string a = SortableText(In_);
            const std::string b = SortableText(In_);
            const auto type = static_cast<TsortType>(In_.Small(0, 7));
            const int ab = CompareSortTexts(a, b, type);
            ZV_FUZZ_CHECK(ab == -CompareSortTexts(b, a, type));
            ZV_FUZZ_CHECK(CompareSortTexts(a, a, type) == 0);
            break;
        }
        }
    }

    void ExchangeAndCheck(int A, int B) {
        const int count = List_.Items.Count();
        const bool rows = A >= 0 && A < count && B >= 0 && B < count && A != B;
        if (!rows) {
            List_.ExchangeItems(A, B);
            return;
        }
        const TRowState a = StateOf(List_.Items[A]);
        const TRowState b = StateOf(List_.Items[B]);
        List_.ExchangeItems(A, B);
        const TRowState a2 = StateOf(List_.Items[A]);
        const TRowState b2 = StateOf(List_.Items[B]);
        ZV_FUZZ_CHECK(a2.Caption == b.Caption && b2.Caption == a.Caption);
        ZV_FUZZ_CHECK(a2.Checked == b.Checked && b2.Checked == a.Checked);
        ZV_FUZZ_CHECK(a2.Selected == b.Selected && b2.Selected == a.Selected);
        ZV_FUZZ_CHECK(List_.CurrentIndex() == B);
    }

    void CheckInvariants(bool CurrentMustBeInside) {
        const int count = List_.Items.Count();
        int selected = 0;
        for (int i = 0; i < count; ++i) {
            const TQlxListItem& row = List_.Items[i];
            ZV_FUZZ_CHECK(row.Index() == i);
            ZV_FUZZ_CHECK(row.Checked() == (row.VisibleCheck() && row.State() != cbUnchecked));
            selected += row.Selected();
        }
        // One selected row at most, unless the list allows more.
        ZV_FUZZ_CHECK(List_.MultiSelect || selected <= 1);
        const TQlxListItem* first = List_.SelectedItem();
        ZV_FUZZ_CHECK((first != nullptr) == (selected > 0));
        // The current row stays inside the list unless rows were taken away under it.
        if (CurrentMustBeInside)
            ZV_FUZZ_CHECK(List_.CurrentIndex() >= -1 && List_.CurrentIndex() < count);
        // Scroll positions stay within their ranges.
        ZV_FUZZ_CHECK(List_.VertPos() >= 0 && List_.VertPos() <= List_.VertMax());
        ZV_FUZZ_CHECK(List_.HorzPos() >= 0 && List_.HorzPos() <= List_.HorzMax());
        // A hit names a visible column and, on a cell, a row of the list.
        const int x = Coordinate();
        const int y = Coordinate();
        const THitInfo hit = List_.HitTest(x, y);
        if (hit.Zone != THitZone::None) {
            ZV_FUZZ_CHECK(hit.Column >= 0 && hit.Column < List_.Columns.Count() &&
                          List_.Columns[hit.Column].Visible);
        }
        if (hit.Zone == THitZone::Cell || hit.Zone == THitZone::CheckBox)
            ZV_FUZZ_CHECK(hit.Row >= 0 && hit.Row < count);
        if (hit.Zone == THitZone::CheckBox)
            ZV_FUZZ_CHECK(List_.CheckBoxes && List_.Items[hit.Row].VisibleCheck() &&
                          hit.Column == List_.FirstVisibleColumn());
    }

    TFuzzInput& In_;
    TNullView View_;
    TObject Sender_;
    TQlxCheckListCore List_{View_, &Sender_};
    uint8_t Reaction_ = 0;
    int Depth_ = 0;
    int NextRow_ = 0;
    bool RowsRemoved_ = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, std::size_t Size) {
    TFuzzInput In(Data, Size);
    TFuzzList list(In);
    list.Run();
    return 0;
}
