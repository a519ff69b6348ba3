#pragma once
// TSaveState: the non-visual component that keeps its owner form's window state and outer
// bounds in the registry, through the form's frame component TkForm (rules in SaveState.h).
//     SaveState1 = Create<TSaveState>("SaveState1");
//     SaveState1->SetKeyName("Software\\Kestrelan\\Zorvane\\Main\\");
//     SaveState1->TkForm = TkForm1;
//     SaveState1->Load();
// The owner must be a form placed as designed ("Parent not Tform", "Form.Position <>poDefault
// or poDesigned" are raised otherwise); registry errors show in an error box with an Ignore
// button. The link to TkForm must not outlive that component: create TkForm first.
#include <string>

#include "components/SaveState.h"
#include "toolkit/Classes.h"

class TForm;
class TTkForm;

class TSaveState : public TComponent, public TSaveStateCore, private ISavedWindow {
public:
    TSaveState(TComponent* Owner, std::string Name);

    TTkForm* TkForm = nullptr;

    void Load();
    void Save();
    // Raises "Not TTkForm assigned!" without TkForm.
    void Center();
    void FitToWorkArea();

private:
    TForm& CheckOwner() const;
    TForm& Form() const;

    TSavedWindowState WindowState() const override;
    void SetWindowState(TSavedWindowState Value) override;
    TFormBounds Bounds() const override;
    void SetBounds(const TFormBounds& Value) override;
    TWorkArea WorkArea(const TFormBounds& Near) const override;
};
