#pragma once
// TQlxThemeSave: the non-visual component that keeps the state of its owner form's controls
// in the registry (rules in QlxThemeSave.h). Push buttons (TButton), check boxes (TCheckBox)
// and check lists (TQlxCheckList) are the controls of the toolkit it knows.
//     QlxThemeSave1 = Create<TQlxThemeSave>("QlxThemeSave1");
//     QlxThemeSave1->KeySave = "Software\\Kestrelan\\Zorvane\\";
//     QlxThemeSave1->DefaultKeyLoad = "Software\\Kestrelan\\Zorvane\\Default";
//     QlxThemeSave1->Load();
#include <string>

#include "components/QlxThemeSave.h"
#include "toolkit/Classes.h"

class TQlxThemeSave : public TComponent, public TQlxThemeSaveCore {
public:
    TQlxThemeSave(TComponent* Owner, std::string Name);

    bool Load();
    bool Save();
    bool SaveDefaults();

private:
    template <typename Op> bool Run(Op op);
};
