#pragma once
// The help window FHelp. So far an empty window; it is created hidden at start-up.
#include "toolkit/Forms.h"

class TFHelp : public TForm {
public:
    explicit TFHelp(TComponent* Owner);
    ~TFHelp() override;
};

extern TFHelp* FHelp;
