#pragma once
// The balloon window FTaskBarBallon: it turns the mouse hook's presses, moves and releases on
// the taskbar into a drag of a taskbar group, points at the drop position with an arrow while
// the drag goes on, and moves the group at the release.
#include <cstdint>
#include <string>

#include "components/QlxLabel_win.h"
#include "dragdrop/BalloonHost.h"
#include "dragdrop/DragTracking.h"
#include "dragdrop/DropPosition.h"
#include "dragdrop/MiddleClick_win.h"
#include "dragdrop/QLX_Hook_HookComp.h"
#include "dragdrop/TrayDrag_win.h"
#include "toolkit/Bitmap16.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"

class TTaskbar;

class TFTaskBarBallon : public TForm {
public:
    // Host: the window whose timers, message box and title the balloon uses (none in tests
    // that show the balloon on its own); Taskbar: the taskbar it reads and moves groups on.
    TFTaskBarBallon(TComponent* Owner, IBalloonHost* Host, TTaskbar& Taskbar);
    ~TFTaskBarBallon() override;

    TQLX_MouseHook* QLX_MouseHook1;
    TTimer* TimerShow;      // shows the balloon, retrying until it shows
    TTimer* TimerStayOnTop; // keeps the balloon above the taskbar during a drag
    TQlxLabel QlxLabelCaption;
    TQlxLabel Lhelp;

    // Starts the mouse hook and the host's timers.
    void FormCreate(TObject* Sender);
    // The hook's events; the mouse poll calls them with no sender.
    void QLX_MouseHook1MouseClick(TObject* Sender, std::intptr_t sourceWindow, int32_t x, int32_t y,
                                  TMouseButton button, TQLX_MouseButtonMovement movement);
    void QLX_MouseHook1MouseMove(TObject* Sender, std::intptr_t sourceWindow, int32_t x, int32_t y);
    void TimerShowTimer(TObject* Sender);
    void TimerStayOnTopTimer(TObject* Sender);
    // The mouse poll (the host's 500 ms timer): a move while a mouse button is held, a release
    // when none is held during a drag, for events the hook did not report.
    void TimerForceTimer(TObject* Sender);

    // The host's list refresh runs exactly while no drag is in progress; false also ends the
    // drag.
    void SetDragging(bool Value);
    bool Dragging() const { return Drag_.Dragging(); }
    int32_t SourceIndex() const { return Drag_.SourceIndex(); }
    int32_t TargetIndex() const { return Drag_.TargetIndex(); }
    bool IconVisible() const { return IconVisible_; }
    // Mouse moves taken out of the queue unhandled, as a newer position was known.
    int DroppedMoves() const { return DroppedMoves_; }
    // The position of the latest mouse move the balloon stands for.
    TPoint LastMovePoint() const { return LastMovePoint_; }
    const TBalloonParts& Parts() const { return Geometry_.Parts(); }
    bool TrayDragging() const { return TrayDrag_.Dragging(); }

    // Stops the mouse hook (the Exit command).
    void StopMouseHook();

protected:
    void WndProc(TMessage& Message) override;

private:
    // A click that belongs to a drag of a notification-area icon (starts, ends or cancels
    // one); true when it did, and the taskbar's drag is not to see it.
    bool TrayClick(std::intptr_t SourceWindow, TPoint P, TMouseButton Button,
                   TQLX_MouseButtonMovement Movement);
    void Press(std::intptr_t SourceWindow, TPoint P);
    void Release(TPoint P);
    // No drag: the host's refresh on, the balloon hidden, TimerStayOnTop off.
    void IdleReset();
    bool IsShowing() const;
    void HideBalloon();
    void BringBalloonToTop();
    void MoveBalloon(TPoint TopLeft);
    // ComputeDropPosition with the screen's and the drag's figures; the window takes the
    // layout's size and parts.
    bool DropPosition(TPoint& P, std::string& Caption, int32_t& Index, bool AtPress);
    // Takes the hook's mouse moves that wait in the queue right behind the one being handled out
    // of it; Latest becomes the position of the last of them.
    void TakeQueuedMoves(TPoint& Latest);
    void Paint(HDC Dc);
    // The help text in a font that holds it in its label.
    void FitHelpFont(HDC Dc);
    void HideAppButton();

    IBalloonHost* Host_;
    TTaskbar& Taskbar_;
    // The snapshots of the drag: the press's, then each move's and the release's.
    TGroupList Groups_;
    // Replaces Groups_ with a new snapshot; Groups_ stays as it was when none could be taken.
    void TakeSnapshot(bool Light);
    TDragTracker Drag_;
    TMiddleClickClose MiddleClose_;
    TTrayDrag TrayDrag_;
    TBalloonGeometry Geometry_;
    TBitmap16 DragIcon_;
    bool IconVisible_ = false;
    int DroppedMoves_ = 0;
    TPoint LastMovePoint_;
};
