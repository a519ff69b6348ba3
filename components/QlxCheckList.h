#pragma once
// TQlxCheckList: an owner-drawn list with a header, one row per item, a check box, an
// optional 16 x 16 icon and the caption in the first column and sub-item texts in the others.
//
// The rows and columns are public member objects, inherited from TQlxCheckListCore:
//     list->Columns.Add().Caption = "Name";
//     list->Items.BeginUpdate(); list->Items.Add()->SetCaption("x"); list->Items.EndUpdate();
//     list->Items[i], list->Items.Count(), list->SelectedItem(), list->ExchangeItems(a, b)
// and so are its properties (CheckBoxes, ItemHeight, EntireRow, colours, OnItemClick,
// OnItemCheck, ...). The window draws everything itself, double-buffered; while an update
// bracket is open it shows the picture of its last complete painting.
//
// The column widths and sort settings are read from the registry (RegistrySaving) when the
// owner form has loaded its components, and written when the list is destroyed.
#include <windows.h>

#include <memory>
#include <string>

#include "components/QlxCheckListModel.h"
#include "toolkit/Controls.h"
#include "toolkit/Hints.h"

struct TQlxCheckListParams {
    std::string Name;
    TWinControl* Parent = nullptr;
    TBounds Bounds{0, 0, 216, 250};
    std::string Hint;
    bool ShowHint = false;
    TFontDef Font{"Tahoma", -13};
    TFontDef HeaderFont{"Tahoma", -13};
    bool Visible = true;
};

class TQlxCheckList : public TWindow, public TQlxCheckListCore, private IQlxCheckListView {
public:
    TQlxCheckList(TComponent* Owner, TQlxCheckListParams Params);
    // Saves the registry settings (failures ignored) before anything goes.
    ~TQlxCheckList() override;

    // The owner form has finished loading: the registry settings are read.
    void Loaded() override;

    const std::string& Hint() const { return Hint_->Text(); }
    void SetHint(const std::string& Value);
    bool ShowHint() const { return Hint_->Active(); }
    void SetShowHint(bool Value);

    TColor FontColor = clBlack;
    TColor HeaderFontColor = clBlack;
    TColor HeaderColor = clBtnFace;

    // The tooltip window that shows the hint.
    HWND HintWindow() const { return Hint_->Handle(); }

protected:
    void WndProc(TMessage& Message) override;

private:
    class TTheme;

    void InvalidateList() override;
    void ListLayoutChanged() override;
    void ScrollPositionChanged() override;
    void ResetHint() override;
    int TextWidth(const std::string& Text, bool HeaderFont) override;

    void UpdateScrollBars();
    void Scrolled(int Bar, int Code);
    void WheelTurned(WPARAM WParam, LPARAM LParam);
    int OuterWidth() const;
    // The split cursor over a header border; false where the class cursor applies.
    bool SetSplitCursor();
    // Paints the client area into Dc (the screen, or a DC given by WM_PRINTCLIENT).
    void PaintTo(HDC Dc);
    void PaintList(HDC Dc, int Width, int Height);
    void PaintHeader(HDC Dc, int Width);
    void PaintRow(HDC Dc, int Row, int Width);
    void DrawCheck(HDC Dc, int X, int Y, TCheckBoxState State);
    COLORREF ColorOf(TColor Color, TColor FontColour) const;

    std::unique_ptr<TTheme> Theme_;
    TFontDef Font_;
    TFontDef HeaderFont_;
    std::unique_ptr<TControlHint> Hint_;
    // The client area as last painted completely; shown alone while an update is open.
    ScopedGdiObject UpdateSnapshot;
    int SnapshotWidth_ = 0;
    int SnapshotHeight_ = 0;
    bool InScrollUpdate_ = false;
    int WheelRest_ = 0;
};
