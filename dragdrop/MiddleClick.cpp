#include "dragdrop/MiddleClick.h"

#include <utility>

const TTaskButton* TaskButtonAt(const TButtonList& Buttons, TPoint P) {
    for (const auto& b : Buttons) {
        const TRect& r = b->Rect;
        if (b->Visible && P.X >= r.Left && P.X < r.Right && P.Y >= r.Top && P.Y < r.Bottom)
            return b.get();
    }
    return nullptr;
}

void TMiddleClick::Press(const TTaskButton* Hit) {
    if (Hit == nullptr || Hit->IsGroupHeader || Hit->Wnd == 0)
        Pressed_.reset();
    else
        Pressed_ = TPressed{Hit->CommandId, Hit->Wnd};
}

TWndHandle TMiddleClick::Release(const TTaskButton* Hit, bool Enabled) {
    const std::optional<TPressed> pressed = std::exchange(Pressed_, std::nullopt);
    if (!Enabled || !pressed || Hit == nullptr || Hit->IsGroupHeader)
        return 0;
    if (Hit->CommandId != pressed->CommandId || Hit->Wnd != pressed->Wnd)
        return 0;
    return Hit->Wnd;
}
