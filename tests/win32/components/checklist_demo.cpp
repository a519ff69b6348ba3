// Shows the check list on a form as the main window fills it: a few groups, checked and
// unchecked, one selected, some with icons. For looking at it; it closes itself after the
// number of seconds given as its first argument (default 10). "plain" after it draws the
// check boxes without the system's visual style, "many" adds 30 rows; the pointer is put over the
// list, so that its hint shows.
#include "components/QlxCheckList.h"

#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"

namespace {
bool gPlain = false;
bool gMany = false;

TBitmap16 DemoIcon(uint32_t Colour) {
    TBitmap16 b;
    b.Pixels.fill(0xFF00FF);
    for (int y = 2; y < 14; ++y)
        for (int x = 2; x < 14; ++x)
            b.At(x, y) = (x == 2 || y == 2 || x == 13 || y == 13) ? 0x202020 : Colour;
    b.Transparent = true;
    return b;
}

class TDemoForm : public TForm {
public:
    explicit TDemoForm(TComponent* Owner)
        : TForm(Owner, TFormParams{.ClassName = "TChecklistDemo",
                                   .Name = "ChecklistDemo",
                                   .Caption = "Check list",
                                   .ClientWidth = 586,
                                   .ClientHeight = 340}) {
        auto* list = Create<TQlxCheckList>(TQlxCheckListParams{
            .Name = "QlxCheckListTaskBar",
            .Parent = this,
            .Bounds = {5, 8, 511, 312},
            .Hint = "You can do this easier! Click the Help button to see a brief demo on "
                    "using drag and drop!",
            .ShowHint = true});
        TQlxListColumn& first = list->Columns.Add();
        first.Caption = "TaskBar Applications";
        first.SetWidth(450);
        for (int c = 1; c < 7; ++c)
            list->Columns.Add().Visible = false;
        list->EntireRow = true;
        list->UseItemSelectionTheme = true;
        list->UseThemeCheck = !gPlain;
        List = list;
        const char* names[] = {"Untitled - Notepad", "Calculator", "Inbox - Mail",
                               "Command Prompt",     "Paint",      "Hidden group"};
        const uint32_t colours[] = {0x3070E0, 0x40A040, 0xE0A020, 0x303030, 0xC04040, 0x8080C0};
        list->Items.BeginUpdate();
        for (int i = 0; i < 6; ++i) {
            TQlxListItem* item = list->Items.Add();
            item->SetCaption(names[i]);
            if (i != 3)
                item->SetIcon(DemoIcon(colours[i]));
            if (i >= 4)
                item->SetChecked(false);
        }
        for (int i = 0; gMany && i < 30; ++i)
            list->Items.Add()->SetCaption("Window " + std::to_string(i));
        list->Items.EndUpdate();
        list->Items[1].SetSelected(true);
        list->SetFocus();
    }
    TQlxCheckList* List;
};
} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR CmdLine, int) {
    const int seconds = CmdLine && *CmdLine ? std::atoi(CmdLine) : 10;
    TApplication app;
    app.Initialize();
    TDemoForm* form = nullptr;
    gPlain = CmdLine && std::strstr(CmdLine, "plain");
    gMany = CmdLine && std::strstr(CmdLine, "many");
    app.CreateForm(form);
    form->Create<TTimer>(TTimerParams{"Quit", static_cast<unsigned>(seconds) * 1000, true,
                                      [&](TObject*) { app.Terminate(); }});
    RECT r{};
    ::GetWindowRect(form->List->Handle(), &r);
    ::SetCursorPos(r.left + 300, r.top + 150);
    ::PostMessageA(form->List->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(298, 148));
    ::SendMessageA(form->List->HintWindow(), TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000);
    app.Run();
    return 0;
}
