#include "app/Help.h"

TFHelp* FHelp = nullptr;

TFHelp::TFHelp(TComponent* Owner)
    : TForm(Owner, {.ClassName = "TFHelp",
                    .Name = "FHelp",
                    .Caption = "Help",
                    .ClientWidth = 742,
                    .ClientHeight = 523,
                    .Position = TPosition::ScreenCenter}) {}

TFHelp::~TFHelp() {
    FHelp = nullptr;
}
