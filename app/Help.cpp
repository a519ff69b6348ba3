#include "app/Help.h"

TFHelp* FHelp = nullptr;

namespace {
TFormParams HelpFormParams() {
    TFormParams p;
    p.ClassName = "TFHelp";
    p.Name = "FHelp";
    p.Caption = "Help";
    p.ClientWidth = 742;
    p.ClientHeight = 523;
    p.Position = TPosition::ScreenCenter;
    return p;
}
} // namespace

TFHelp::TFHelp(TComponent* Owner) : TForm(Owner, HelpFormParams()) {}

TFHelp::~TFHelp() {
    FHelp = nullptr;
}
