// A form to look at the pictures as a person would: the main window's layout with its
// picture buttons and tab pictures, and a second row of the same buttons disabled. Test
// equipment, not shipped: run it on a display and take a screenshot.
//   picture_demo.exe [milliseconds before it closes itself, default 10000]
#include <cstdlib>

#include "app/ButtonPictures.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/ImgList.h"
#include "toolkit/StdCtrls.h"

namespace {
unsigned gLifetimeMs = 10000;

class TPictureDemo : public TForm {
public:
    explicit TPictureDemo(TComponent* Owner)
        : TForm(Owner, TFormParams{.ClassName = "TPictureDemo",
                                   .Name = "PictureDemo",
                                   .Caption = "Zorvane pictures",
                                   .ClientWidth = 586,
                                   .ClientHeight = 460,
                                   .Left = 20,
                                   .Top = 20,
                                   .Position = TPosition::Designed}) {
        auto* images = Create<TImageList>("ilButtons");
        for (int i = 0; i < kButtonPictureCount; ++i)
            images->Add(ButtonPicture(i));
        auto* pages = Create<TPageControl>(TPageControlParams{.Name = "TkPageControl1",
                                                              .Parent = this,
                                                              .Bounds = {8, 8, 573, 366},
                                                              .Images = images});
        auto* tabTaskbar = Create<TTabSheet>(TTabSheetParams{.Name = "TabTaskbar",
                                                             .PageControl = pages,
                                                             .Caption = "Zorvane",
                                                             .ImageIndex = kPictureRuler});
        Create<TTabSheet>(TTabSheetParams{.Name = "TabSettings",
                                          .PageControl = pages,
                                          .Caption = "Settings",
                                          .ImageIndex = kPictureHammer});
        auto* up = Create<TButton>(TButtonParams{.Name = "bUp",
                                                 .Parent = tabTaskbar,
                                                 .Bounds = {525, 5, 33, 150},
                                                 .Images = images,
                                                 .ImageIndex = kPictureUpArrow});
        auto* down = Create<TButton>(TButtonParams{.Name = "bDown",
                                                   .Parent = tabTaskbar,
                                                   .Bounds = {525, 170, 35, 150},
                                                   .Images = images,
                                                   .ImageIndex = kPictureDownArrow});
        down->SetEnabled(false);
        // The bottom row as on the main window, and below it the same buttons disabled.
        for (bool enabled : {true, false}) {
            const int top = enabled ? 382 : 422;
            Create<TButton>(TButtonParams{.Name = "bHelp",
                                          .Parent = this,
                                          .Bounds = {9, top, 90, 30},
                                          .Caption = "Help",
                                          .Images = images,
                                          .ImageIndex = kPictureQuestion})
                ->SetEnabled(enabled);
            Create<TButton>(TButtonParams{.Name = "bDemo_OLD",
                                          .Parent = this,
                                          .Bounds = {119, top - 1, 87, 33},
                                          .Caption = "How to do this easier using drag and drop",
                                          .Images = images,
                                          .ImageIndex = kPictureQuestion,
                                          .WordWrap = true})
                ->SetEnabled(enabled);
            Create<TButton>(TButtonParams{.Name = "bExit",
                                          .Parent = this,
                                          .Bounds = {379, top, 95, 30},
                                          .Caption = "Exit program",
                                          .Images = images,
                                          .ImageIndex = kPicturePower,
                                          .Default = !enabled})
                ->SetEnabled(enabled);
            Create<TButton>(TButtonParams{.Name = "bOk",
                                          .Parent = this,
                                          .Bounds = {484, top, 95, 30},
                                          .Caption = "OK",
                                          .Default = enabled,
                                          .Cancel = enabled})
                ->SetEnabled(enabled);
        }
        Create<TTimer>(TTimerParams{"Lifetime", gLifetimeMs, true,
                                    [](TObject*) { Application->Terminate(); }});
        // The focus on bUp once the form is up, to show the focus rectangle.
        Create<TTimer>(TTimerParams{"FocusUp", 300, true, [up](TObject* Sender) {
                                        static_cast<TTimer*>(Sender)->SetEnabled(false);
                                        up->SetFocus();
                                    }});
    }
};
} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR CmdLine, int) {
    if (CmdLine && *CmdLine)
        gLifetimeMs = static_cast<unsigned>(std::atoi(CmdLine));
    TApplication app;
    app.Initialize();
    app.SetTitle("Zorvane pictures");
    TPictureDemo* form = nullptr;
    app.CreateForm(form);
    app.Run();
    return 0;
}
