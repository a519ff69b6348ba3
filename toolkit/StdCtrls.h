#pragma once
// Push buttons and check boxes (standard BUTTON controls) and labels (STATIC controls).
#include <memory>
#include <string>

#include "toolkit/Controls.h"
#include "toolkit/Hints.h"

class TImageList;

// A standard BUTTON control: push button or check box.
class TButtonControl : public TWinControl {
protected:
    TButtonControl(TComponent* Owner, std::string Name, TWinControl* Parent, DWORD Style,
                   const std::string& Caption, const TBounds& Bounds, bool WordWrap,
                   const TFontDef& Font);
};

struct TButtonParams {
    std::string Name;
    TWinControl* Parent = nullptr;
    TBounds Bounds;
    std::string Caption;
    // A picture button shows picture ImageIndex of Images (none while the index is -1) with
    // the caption beside it, or centred alone when there is no caption.
    TImageList* Images = nullptr;
    int ImageIndex = -1;
    std::string Hint;     // shown while the pointer rests on the button; none when empty
    bool Default = false; // Enter presses it when no other push button has the focus
    bool Cancel = false;  // Escape presses it
    bool Visible = true;
    bool WordWrap = false; // the caption wraps onto more lines
    // Not mrNone: a press also closes the button's form when it is shown modally, with this
    // result.
    int ModalResult = 0;
    TFontDef Font;
    TNotifyEvent OnClick;
};

// A push button. A picture button (made with Images) is drawn by the button itself
// (BS_OWNERDRAW): the push button frame of the current look (the visual style when the
// common controls of version 6 draw with one, else the classic frame), pressed, default,
// focused and disabled states, and a second click in quick succession is a click as well.
class TButton : public TButtonControl {
public:
    TButton(TComponent* Owner, TButtonParams Params);
    ~TButton() override;

    // A press of the button: the form's ModalResult when the button has one, then OnClick when
    // set.
    void Click();
    void CommandNotify(UINT Code) override;

    // The button's hint; null when it has none.
    TControlHint* Hint() const { return Hint_.get(); }
    TImageList* Images() const { return Images_; }
    int ImageIndex() const { return ImageIndex_; }
    // Shows another picture of Images (-1: none).
    void SetImageIndex(int Value);

    bool DrawItem(const DRAWITEMSTRUCT& Item) override;

    TNotifyEvent OnClick;

private:
    // The picture button's window procedure in front of the BUTTON class's own.
    static LRESULT CALLBACK PictureButtonProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    void DrawContent(HDC Dc, const RECT& Area, bool Disabled, bool HidePrefix, bool Classic);

    TImageList* Images_;
    int ImageIndex_;
    int ModalResult_;
    bool Default_;
    bool WordWrap_;
    bool Hot_ = false; // the mouse is over the button (the visual style lights it)
    std::unique_ptr<TControlHint> Hint_;
};

struct TCheckBoxParams {
    std::string Name;
    TWinControl* Parent = nullptr;
    TBounds Bounds;
    std::string Caption;
    bool Checked = false; // the state it is created with (OnClick does not run for it)
    bool WordWrap = false;
    TFontDef Font;
    TNotifyEvent OnClick;
};

class TCheckBox : public TButtonControl {
public:
    TCheckBox(TComponent* Owner, TCheckBoxParams Params);

    bool Checked() const;
    // Sets the state; when it changes, OnClick runs, as for a click by the user.
    void SetChecked(bool Value);
    void CommandNotify(UINT Code) override;

    TNotifyEvent OnClick;
};

struct TLabelParams {
    std::string Name;
    TWinControl* Parent = nullptr;
    TBounds Bounds;
    std::string Caption;
    bool WordWrap = true; // wraps at word ends; otherwise one line, cut at the right edge
    TFontDef Font;
};

// A fixed text of a fixed size. Its background is its parent's (the window face colour), so
// it looks transparent on a form or a scroll box; "&" is shown as it is.
class TLabel : public TWinControl {
public:
    TLabel(TComponent* Owner, TLabelParams Params);
};
