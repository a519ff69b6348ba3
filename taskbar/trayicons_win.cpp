#include "taskbar/trayicons_win.h"

#include <commctrl.h>

#include <cstring>
#include <memory>

#include "taskbar/taskbuttons_win.h"
#include "taskbar/uProcessMemMgr.h"
#include "toolkit/SysUtils.h"

namespace {
// The head of the shell's record behind a tray button: the owner window, then the id.
struct TTrayRecordHead {
    HWND Wnd;
    UINT Uid;
};

// Frees the block in the shell's process when the reading ends, however it ends.
class TRemoteBlock {
public:
    TRemoteBlock(TProcessMemMgr& Mem, uint32_t Size) : Mem_(Mem), P_(Mem.AllocMem(Size)) {}
    ~TRemoteBlock() {
        try {
            Mem_.FreeMem(P_);
        } catch (const std::exception&) {
        }
    }
    TRemoteBlock(const TRemoteBlock&) = delete;
    TRemoteBlock& operator=(const TRemoteBlock&) = delete;
    char* At(uint32_t Offset) const { return static_cast<char*>(P_) + Offset; }

private:
    TProcessMemMgr& Mem_;
    void* P_;
};
} // namespace

HWND FindTrayToolbar() {
    HWND w = ::FindWindowA("Shell_TrayWnd", nullptr);
    for (const char* cls : {"TrayNotifyWnd", "SysPager", "ToolbarWindow32"})
        w = w ? ::FindWindowExA(w, nullptr, cls, nullptr) : nullptr;
    return w;
}

std::vector<TTrayButton> ReadTrayButtons(HWND Toolbar, int First) {
    std::vector<TTrayButton> buttons;
    if (Toolbar == nullptr)
        return buttons;
    const int count = static_cast<int>(::SendMessageW(Toolbar, TB_BUTTONCOUNT, 0, 0));
    if (count <= First || First < 0)
        return buttons;
    try {
        const std::unique_ptr<TProcessMemMgr> mem = CreateProcessMemMgrForWindow(Toolbar);
        const TRemoteBlock block(*mem, sizeof(TBBUTTON) + sizeof(RECT));
        char* const remoteButton = block.At(0);
        char* const remoteRect = block.At(sizeof(TBBUTTON));
        for (int i = First; i < count; ++i) {
            if (!::SendMessageW(Toolbar, TB_GETBUTTON, WPARAM(i),
                                reinterpret_cast<LPARAM>(remoteButton)))
                continue;
            TBBUTTON tb{};
            mem->ReadMem(remoteButton, &tb, sizeof tb);
            TTrayButton b;
            b.Index = i;
            RECT r{};
            if (::SendMessageW(Toolbar, TB_GETITEMRECT, WPARAM(i),
                               reinterpret_cast<LPARAM>(remoteRect))) {
                mem->ReadMem(remoteRect, &r, sizeof r);
                b.Visible = (tb.fsState & TBSTATE_HIDDEN) == 0 && r.right > r.left;
                b.Rect = {r.left, r.top, r.right, r.bottom};
            }
            if (tb.dwData != 0) {
                TTrayRecordHead head{};
                mem->ReadMem(reinterpret_cast<const void*>(tb.dwData), &head, sizeof head);
                b.Wnd = FromHWND(head.Wnd);
                b.Uid = head.Uid;
            }
            buttons.push_back(b);
        }
    } catch (const std::exception&) {
        // The shell could not be read (further): what was read stands.
    }
    return buttons;
}

bool MoveTrayButton(HWND Toolbar, int32_t From, int32_t To) {
    return Toolbar != nullptr &&
           ::SendMessageW(Toolbar, TB_MOVEBUTTON, WPARAM(From), LPARAM(To)) != FALSE;
}
