#include "components/QlxThemeSave_win.h"

#include <memory>
#include <vector>

#include "components/QlxCheckList.h"
#include "toolkit/Registry_win.h"
#include "toolkit/StdCtrls.h"

namespace {
// A windowed control of the toolkit: visibility, enabled state and caption.
template <typename C> class TControlState : public IStateControl {
public:
    TControlState(C& Control, TStateKind Kind) : C_(Control), Kind_(Kind) {}
    std::string Name() const override { return C_.Name(); }
    TStateKind Kind() const override { return Kind_; }
    bool Visible() const override { return C_.Visible(); }
    void SetVisible(bool Value) override { C_.SetVisible(Value); }
    bool Enabled() const override { return C_.Enabled(); }
    void SetEnabled(bool Value) override { C_.SetEnabled(Value); }
    std::string Caption() const override { return C_.Caption(); }
    void SetCaption(const std::string& Value) override { C_.SetCaption(Value); }

protected:
    C& C_;

private:
    TStateKind Kind_;
};

class TCheckBoxState : public TControlState<TCheckBox> {
public:
    explicit TCheckBoxState(TCheckBox& Control) : TControlState(Control, TStateKind::CheckBox) {}
    bool Checked() const override { return C_.Checked(); }
    void SetChecked(bool Value) override { C_.SetChecked(Value); } // runs OnClick on a change
};

class TCheckListState : public TControlState<TQlxCheckList> {
public:
    explicit TCheckListState(TQlxCheckList& Control)
        : TControlState(Control, TStateKind::CheckList) {}
    TQlxCheckListCore* CheckList() const override { return &C_; }
};

class TOtherState : public IStateControl {
public:
    explicit TOtherState(const TComponent& Component) : Name_(Component.Name()) {}
    std::string Name() const override { return Name_; }
    TStateKind Kind() const override { return TStateKind::None; }

private:
    std::string Name_;
};

std::unique_ptr<IStateControl> StateOf(TComponent& Component) {
    if (auto* b = dynamic_cast<TButton*>(&Component))
        return std::make_unique<TControlState<TButton>>(*b, TStateKind::Button);
    if (auto* c = dynamic_cast<TCheckBox*>(&Component))
        return std::make_unique<TCheckBoxState>(*c);
    if (auto* l = dynamic_cast<TQlxCheckList*>(&Component))
        return std::make_unique<TCheckListState>(*l);
    return std::make_unique<TOtherState>(Component);
}
} // namespace

TQlxThemeSave::TQlxThemeSave(TComponent* Owner, std::string Name)
    : TComponent(Owner, std::move(Name)) {
    Registry = &OpenRegistry;
}

template <typename Op> bool TQlxThemeSave::Run(Op op) {
    std::vector<std::unique_ptr<IStateControl>> states;
    std::vector<IStateControl*> controls;
    if (TComponent* owner = Owner())
        for (int i = 0; i < owner->ComponentCount(); ++i) {
            states.push_back(StateOf(*owner->Components(i)));
            controls.push_back(states.back().get());
        }
    return op(controls, Owner() != nullptr);
}

bool TQlxThemeSave::Load() {
    return Run([this](const auto& c, bool owner) { return TQlxThemeSaveCore::Load(c, owner); });
}

bool TQlxThemeSave::Save() {
    return Run([this](const auto& c, bool owner) { return TQlxThemeSaveCore::Save(c, owner); });
}

bool TQlxThemeSave::SaveDefaults() {
    return Run(
        [this](const auto& c, bool owner) { return TQlxThemeSaveCore::SaveDefaults(c, owner); });
}
