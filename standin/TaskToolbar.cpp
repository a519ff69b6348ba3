#include "standin/TaskToolbar.h"

#include "standin/LetterIcon.h"
#include "standin/XpLook.h"
#include "toolkit/ScopedWin.h"
#include "toolkit/Utf8_win.h"
#include "toolkit/WinErrors.h"

#include <cstring>
#include <cwchar>

namespace standin {

namespace {
constexpr const char* kSelfProperty = "ZvTaskToolbar";
constexpr int kImageSize = 16;

DWORD ToolbarStyle(bool vertical) {
    return WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_LIST | TBSTYLE_FLAT | CCS_NORESIZE |
           CCS_NODIVIDER | CCS_NOPARENTALIGN | (vertical ? TBSTYLE_WRAPABLE : 0);
}
} // namespace

TaskToolbar::TaskToolbar(HWND parent, const Rect& r, bool vertical) {
    hwnd_ = ::CreateWindowExA(0, TOOLBARCLASSNAMEA, "", ToolbarStyle(vertical), r.left, r.top,
                              r.Width(), r.Height(), parent, nullptr, ::GetModuleHandleA(nullptr),
                              nullptr);
    if (!hwnd_)
        RaiseLastOSError();
    ::SendMessageA(hwnd_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(TaskbarFont()), FALSE);
    images_ = ImageList_Create(kImageSize, kImageSize, ILC_COLOR32 | ILC_MASK, 8, 8);
    ::SendMessageA(hwnd_, TB_SETBITMAPSIZE, 0, MAKELONG(kImageSize, kImageSize));
    ::SendMessageA(hwnd_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_));
    ::SendMessageA(hwnd_, TB_SETBUTTONSIZE, 0, MAKELONG(kMaxButtonWidth, kButtonHeight));
    ::SetPropA(hwnd_, kSelfProperty, this);
    original_ = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
        hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TaskToolbar::SubclassProc)));
}

TaskToolbar::~TaskToolbar() {
    if (hwnd_) {
        ::SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        ::RemovePropA(hwnd_, kSelfProperty);
        ::DestroyWindow(hwnd_);
    }
    if (images_)
        ImageList_Destroy(images_);
}

void TaskToolbar::Place(const Rect& r, bool vertical) {
    LONG_PTR style = ::GetWindowLongPtrA(hwnd_, GWL_STYLE);
    LONG_PTR wanted = vertical ? (style | TBSTYLE_WRAPABLE) : (style & ~LONG_PTR(TBSTYLE_WRAPABLE));
    if (wanted != style)
        ::SetWindowLongPtrA(hwnd_, GWL_STYLE, wanted);
    ::MoveWindow(hwnd_, r.left, r.top, r.Width(), r.Height(), TRUE);
}

LRESULT TaskToolbar::Original(UINT msg, WPARAM wParam, LPARAM lParam) const {
    return ::CallWindowProcA(original_, hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK TaskToolbar::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<TaskToolbar*>(::GetPropA(hwnd, kSelfProperty));
    if (!self)
        return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    switch (msg) {
    case TB_BUTTONCOUNT:
        if (self->countFlap_)
            return self->Original(msg, wParam, lParam) + LRESULT(self->flapCounter_++ & 1);
        break;
    case TB_GETBUTTON:
    case TB_GETRECT:
        if (self->answerDelayMs_ > 0 && ::InSendMessage())
            ::Sleep(DWORD(self->answerDelayMs_));
        break;
    case TB_GETBUTTONTEXTA:
    case TB_GETBUTTONTEXTW:
        if (self->answerDelayMs_ > 0 && ::InSendMessage())
            ::Sleep(DWORD(self->answerDelayMs_));
        if (self->textFail_ && int(wParam) == self->textFail_)
            return -1;
        if (lParam == 0 && self->textGrowth_.count(int(wParam)))
            return self->AnswerTextLength(msg, int(wParam));
        break;
    case WM_ERASEBKGND:
        if (self->PaintBackground) {
            self->PaintBackground(reinterpret_cast<HDC>(wParam), hwnd);
            return 1;
        }
        break;
    default:
        break;
    }
    return self->Original(msg, wParam, lParam);
}

int TaskToolbar::AddImage(HICON icon) {
    if (!icon)
        return -1;
    for (std::size_t i = 0; i < freeSlots_.size(); ++i) {
        if (freeSlots_[i]) {
            if (ImageList_ReplaceIcon(images_, int(i), icon) < 0)
                return -1;
            freeSlots_[i] = false;
            return int(i);
        }
    }
    int index = ImageList_AddIcon(images_, icon);
    if (index >= 0) {
        if (freeSlots_.size() <= std::size_t(index))
            freeSlots_.resize(std::size_t(index) + 1, false);
        freeSlots_[index] = false;
    }
    return index;
}

void TaskToolbar::RemoveImage(int index) {
    if (index >= 0 && std::size_t(index) < freeSlots_.size())
        freeSlots_[index] = true;
}

void TaskToolbar::ClearImages() {
    ImageList_RemoveAll(images_);
    freeSlots_.clear();
}

void TaskToolbar::LoadScriptImages() {
    ClearImages();
    for (int i = 0; i < kScriptImages; ++i) {
        ScopedIcon icon(MakeLetterIcon(kImageSize, PaletteColour(unsigned(i)), char('0' + i)));
        AddImage(icon.get());
    }
}

std::string TaskToolbar::TextAt(int index) const {
    // The text's length is not known by index; grow the buffer until the text fits.
    std::vector<wchar_t> buffer(256);
    for (;;) {
        TBBUTTONINFOW info = {};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_BYINDEX | TBIF_TEXT;
        info.pszText = buffer.data();
        info.cchText = int(buffer.size());
        buffer[0] = 0;
        if (Original(TB_GETBUTTONINFOW, WPARAM(index), reinterpret_cast<LPARAM>(&info)) < 0)
            return {};
        std::size_t length = wcsnlen(buffer.data(), buffer.size());
        if (length + 1 < buffer.size() || buffer.size() >= (1u << 24))
            return Utf8Text(buffer.data(), length);
        buffer.assign(buffer.size() * 4, 0);
    }
}

void TaskToolbar::SetTextGrowth(int id, std::size_t count) {
    if (count)
        textGrowth_[id] = count;
    else
        textGrowth_.erase(id);
}

LRESULT TaskToolbar::AnswerTextLength(UINT msg, int id) {
    const LRESULT length = Original(msg, WPARAM(id), 0);
    const int index = int(Original(TB_COMMANDTOINDEX, WPARAM(id), 0));
    std::wstring text = WideText(TextAt(index) + std::string(textGrowth_[id], '+'));
    textGrowth_.erase(id);
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_TEXT;
    info.pszText = &text[0];
    Original(TB_SETBUTTONINFOW, WPARAM(id), reinterpret_cast<LPARAM>(&info));
    return length;
}

std::vector<ButtonPlan> TaskToolbar::Read() const {
    std::vector<ButtonPlan> out;
    int count = int(Original(TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON tb = {};
        if (!Original(TB_GETBUTTON, WPARAM(i), reinterpret_cast<LPARAM>(&tb)))
            continue;
        ButtonPlan b;
        b.id = tb.idCommand;
        b.style = tb.fsStyle;
        b.state = tb.fsState;
        b.image = tb.iBitmap;
        b.header = (tb.fsStyle & kStyleDropDown) != 0;
        b.text = TextAt(i);
        auto block = blocks_.find(reinterpret_cast<const ButtonBlock*>(tb.dwData));
        if (block != blocks_.end())
            b.wnd = block->second->wnd;
        TBBUTTONINFOA info = {};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_BYINDEX | TBIF_SIZE;
        Original(TB_GETBUTTONINFOA, WPARAM(i), reinterpret_cast<LPARAM>(&info));
        b.width = info.cx;
        out.push_back(std::move(b));
    }
    return out;
}

std::vector<int> TaskToolbar::Ids() const {
    std::vector<int> ids;
    int count = int(Original(TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON tb = {};
        if (Original(TB_GETBUTTON, WPARAM(i), reinterpret_cast<LPARAM>(&tb)))
            ids.push_back(tb.idCommand);
    }
    return ids;
}

int TaskToolbar::VisibleCount() const {
    int visible = 0;
    int count = int(Original(TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON tb = {};
        if (Original(TB_GETBUTTON, WPARAM(i), reinterpret_cast<LPARAM>(&tb)) &&
            !(tb.fsState & TBSTATE_HIDDEN))
            ++visible;
    }
    return visible;
}

ButtonBlock* TaskToolbar::NewBlock(const ButtonBlock& block) {
    auto owned = std::make_unique<ButtonBlock>(block);
    ButtonBlock* p = owned.get();
    blocks_.emplace(p, std::move(owned));
    return p;
}

void TaskToolbar::Insert(int index, const ButtonPlan& button, const ButtonBlock* block,
                         std::uintptr_t rawData) {
    TBBUTTON tb = {};
    tb.iBitmap = button.image;
    tb.idCommand = button.id;
    tb.fsState = button.state;
    tb.fsStyle = button.style;
    tb.dwData = block ? reinterpret_cast<DWORD_PTR>(NewBlock(*block)) : DWORD_PTR(rawData);
    const std::wstring text = WideText(button.text);
    tb.iString = reinterpret_cast<INT_PTR>(text.c_str());
    Original(TB_INSERTBUTTONW, WPARAM(index), reinterpret_cast<LPARAM>(&tb));
    if (button.width)
        SetWidthAt(index, button.width);
}

void TaskToolbar::DeleteAt(int index) {
    TBBUTTON tb = {};
    Original(TB_GETBUTTON, WPARAM(index), reinterpret_cast<LPARAM>(&tb));
    Original(TB_DELETEBUTTON, WPARAM(index), 0);
    blocks_.erase(reinterpret_cast<const ButtonBlock*>(tb.dwData));
}

void TaskToolbar::SetWidthAt(int index, int width) {
    TBBUTTONINFOA info = {};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_BYINDEX | TBIF_SIZE;
    info.cx = WORD(width);
    Original(TB_SETBUTTONINFOA, WPARAM(index), reinterpret_cast<LPARAM>(&info));
}

void TaskToolbar::Apply(const std::vector<ButtonPlan>& wanted) {
    auto ops = PlanToolbarUpdate(Read(), wanted);
    for (const auto& op : ops) {
        switch (op.kind) {
        case ToolbarOp::Delete:
            DeleteAt(op.index);
            break;
        case ToolbarOp::Insert: {
            ButtonBlock block = {};
            block.wnd = std::uint32_t(op.button.wnd);
            block.kind = op.button.header ? kBlockHeader : kBlockWindow;
            block.id = op.button.id;
            Insert(op.index, op.button, &block, 0);
            break;
        }
        case ToolbarOp::Move:
            Original(TB_MOVEBUTTON, WPARAM(op.from), LPARAM(op.index));
            break;
        case ToolbarOp::Update: {
            TBBUTTONINFOW info = {};
            info.cbSize = sizeof info;
            info.dwMask = TBIF_BYINDEX;
            std::wstring text = WideText(op.button.text);
            if (op.style) {
                info.dwMask |= TBIF_STYLE;
                info.fsStyle = op.button.style;
            }
            if (op.text) {
                info.dwMask |= TBIF_TEXT;
                info.pszText = &text[0];
            }
            if (op.image) {
                info.dwMask |= TBIF_IMAGE;
                info.iImage = op.button.image;
            }
            if (op.width) {
                info.dwMask |= TBIF_SIZE;
                info.cx = WORD(op.button.width);
            }
            if (info.dwMask != TBIF_BYINDEX)
                Original(TB_SETBUTTONINFOW, WPARAM(op.index), reinterpret_cast<LPARAM>(&info));
            if (op.state) {
                // TB_SETSTATE lays the toolbar out again when a button is hidden or shown.
                int id = op.button.id;
                auto now = BYTE(Original(TB_GETSTATE, WPARAM(id), 0));
                BYTE state = BYTE((now & ~kManagedStates) | (op.button.state & kManagedStates));
                Original(TB_SETSTATE, WPARAM(id), MAKELONG(state, 0));
            }
            break;
        }
        }
    }
    if (!ops.empty())
        ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void TaskToolbar::RemoveAll() {
    for (int count = int(Original(TB_BUTTONCOUNT, 0, 0)); count > 0; --count)
        DeleteAt(count - 1);
}

void TaskToolbar::Script(const std::vector<ScriptLine>& lines, int width) {
    RemoveAll();
    textGrowth_.clear();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ScriptLine& line = lines[i];
        ButtonPlan b;
        b.id = line.id ? *line.id : int(1000 + i);
        b.style = line.style;
        b.state = line.state;
        b.image = line.image;
        b.text = line.text;
        b.width = width;
        if (line.dwData) {
            Insert(int(i), b, nullptr, std::uintptr_t(*line.dwData));
        } else {
            ButtonBlock block = {};
            block.wnd = std::uint32_t(line.hwnd);
            block.kind = kBlockScripted;
            block.id = b.id;
            Insert(int(i), b, &block, 0);
        }
    }
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void TaskToolbar::SetWidths(int width) {
    int count = int(Original(TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        SetWidthAt(i, width);
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

std::vector<DumpLine> TaskToolbar::Dump() const {
    std::vector<DumpLine> out;
    int index = 0;
    for (const auto& b : Read()) {
        DumpLine line;
        line.index = index++;
        line.id = b.id;
        line.style = b.style;
        line.state = b.state;
        line.image = b.image;
        line.hwnd = b.wnd;
        line.text = b.text;
        out.push_back(std::move(line));
    }
    return out;
}

HWND TaskToolbar::WindowOf(int id) const {
    int index = int(Original(TB_COMMANDTOINDEX, WPARAM(id), 0));
    TBBUTTON tb = {};
    if (index < 0 || !Original(TB_GETBUTTON, WPARAM(index), reinterpret_cast<LPARAM>(&tb)))
        return nullptr;
    auto block = blocks_.find(reinterpret_cast<const ButtonBlock*>(tb.dwData));
    if (block == blocks_.end())
        return nullptr;
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<LONG>(block->second->wnd)));
}

LRESULT TaskToolbar::CustomDraw(NMTBCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        int index = int(Original(TB_COMMANDTOINDEX, draw.nmcd.dwItemSpec, 0));
        TBBUTTON tb = {};
        if (index < 0 || !Original(TB_GETBUTTON, WPARAM(index), reinterpret_cast<LPARAM>(&tb)))
            return CDRF_DODEFAULT;
        TaskButtonLook look;
        look.checked = (tb.fsState & TBSTATE_CHECKED) != 0;
        look.pressed = (tb.fsState & TBSTATE_PRESSED) || (draw.nmcd.uItemState & CDIS_SELECTED);
        look.hot = (draw.nmcd.uItemState & CDIS_HOT) != 0;
        look.header = (tb.fsStyle & kStyleDropDown) != 0;
        PaintTaskButton(draw.nmcd.hdc, draw.nmcd.rc, look, images_, tb.iBitmap, TextAt(index));
        return CDRF_SKIPDEFAULT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

} // namespace standin
