#pragma once
// The mouse hook component: it loads the hook library (QLX_Hook_.dll), attaches a hidden
// receiver window to it and turns the library's messages (WM_USER + code, one per mouse
// event anywhere on the desktop) into OnMouseMove and OnMouseClick.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "dragdrop/MouseHookDecode.h"
#include "toolkit/Classes.h"
#include "toolkit/ScopedWin.h"

using TQLX_Hook_HookUnfilteredEvent = std::function<void(
    TObject* Sender, int32_t Code, int32_t wParam, int32_t lParam, bool& Handled)>;
// sourceWindow: the window under the cursor (pointer-sized, so a 64-bit handle stays whole).
using TQLX_MouseMoveNotifyEvent =
    std::function<void(TObject* Sender, std::intptr_t sourceWindow, int32_t x, int32_t y)>;
using TQLX_MouseClickNotifyEvent =
    std::function<void(TObject* Sender, std::intptr_t sourceWindow, int32_t x, int32_t y,
                       TMouseButton button, TQLX_MouseButtonMovement movement)>;

// A receiver of one kind of system hook, through the hook library.
class TQLX_Hook_Hook : public TComponent {
public:
    TQLX_Hook_Hook(TComponent* Owner, std::string Name = {});
    ~TQLX_Hook_Hook() override;

    virtual uint8_t HookKind() const = 0;
    // Name, or the class name when Name is empty.
    virtual std::string DisplayName() const;

    const std::string& HookDLL() const { return HookDLL_; }
    // Refused with an error box while the hook is active.
    void SetHookDLL(const std::string& Value);

    // Starts receiving: an empty text on success, otherwise the reason in words.
    std::string Activate();
    // Stops receiving; nothing when inactive.
    void Deactivate();
    bool Active() const { return Active_; }
    HWND ListenWindow() const { return ListenWindow_.get(); }

    uint8_t HookOption = 0;
    TQLX_Hook_HookUnfilteredEvent OnUnfiltered;

protected:
    // One receiver message numbered WM_USER or above; returns the message's result.
    virtual LRESULT HookMessage(UINT Msg, WPARAM wParam, LPARAM lParam) = 0;
    // OnUnfiltered, when set.
    virtual void DoUnfiltered(int32_t Code, int32_t wParam, int32_t lParam, bool& Handled);

private:
    // The receiver window's procedure: messages below WM_USER get the default processing,
    // the others go to HookMessage.
    static LRESULT CALLBACK ListenWndProc(HWND Wnd, UINT Msg, WPARAM wParam, LPARAM lParam);
    // A message-only window (it never shows and gets no broadcasts) attached to this object.
    bool CreateListenWindow();

    bool Active_ = false;
    std::string HookDLL_;
    ScopedWindow ListenWindow_;
};

class TQLX_MouseHook : public TQLX_Hook_Hook {
public:
    using TQLX_Hook_Hook::TQLX_Hook_Hook;
    ~TQLX_MouseHook() override;

    uint8_t HookKind() const override { return 2; }
    std::string DisplayName() const override;

    TQLX_MouseClickNotifyEvent OnMouseClick;
    TQLX_MouseMoveNotifyEvent OnMouseMove;

protected:
    LRESULT HookMessage(UINT Msg, WPARAM wParam, LPARAM lParam) override;
    // OnMouseClick and OnMouseMove, when set.
    virtual void DoMouseClick(std::intptr_t sourceWindow, int32_t x, int32_t y, TMouseButton button,
                              TQLX_MouseButtonMovement movement);
    virtual void DoMouseMove(std::intptr_t sourceWindow, int32_t x, int32_t y);
};
