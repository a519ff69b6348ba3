#pragma once
// The control states of a form in the registry (HKEY_CURRENT_USER): check marks, visibility,
// enabled state, captions and texts, and the items of named check lists. TQlxThemeSaveCore
// decides what is written and read for each control, in the form's component order, through
// IStateControl; the component TQlxThemeSave (QlxThemeSave_win.h) gathers the form's
// controls. Platform-free.
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Registry.h"

class TQlxCheckListCore;

// The kinds of control whose state is kept; None for every other component.
enum class TStateKind {
    None,
    GroupBox,
    CheckBox,
    RadioButton,
    Edit,
    ListBox,
    Button,
    Memo,
    CheckList
};

// One component of the form as the state saving sees it. Each kind uses the accessors of
// its values only.
class IStateControl {
public:
    virtual ~IStateControl() = default;
    virtual std::string Name() const = 0;
    virtual TStateKind Kind() const = 0;
    virtual bool Checked() const { return false; }
    virtual void SetChecked(bool) {}
    virtual bool Visible() const { return false; }
    virtual void SetVisible(bool) {}
    virtual bool Enabled() const { return false; }
    virtual void SetEnabled(bool) {}
    virtual std::string Caption() const { return {}; }
    virtual void SetCaption(const std::string&) {}
    // An edit box's text; the lines of a list box or memo joined with CR LF.
    virtual std::string Text() const { return {}; }
    virtual void SetText(const std::string&) {}
    // The selected line of a list box.
    virtual int ItemIndex() const { return -1; }
    virtual void SetItemIndex(int) {}
    // The rows of a check list.
    virtual TQlxCheckListCore* CheckList() const { return nullptr; }
};

class TQlxThemeSaveCore {
public:
    // Names of controls never saved or loaded (any letter case).
    std::vector<std::string> ExceptComponetList;
    std::string KeySave;
    std::string DefaultKeyLoad;
    bool SaveCheck = true;
    bool SaveItems = true;
    bool SaveText = true;
    bool SaveCaption = true;
    bool SaveEnabled = true;
    bool SaveVisible = true;
    bool SaveIndex = true;
    bool SaveImageIndex = true;
    // Names of the check lists to save (any letter case); others are skipped.
    std::vector<std::string> QlxCheckLists;

    std::string AuthorComment() const;

    // Each visits the controls in order and returns the result of the last one: true when
    // its key opened and nothing went wrong. Without both keys, or without an owner
    // (HasOwner false), they do nothing and return false. Errors are never raised.
    bool Load(const std::vector<IStateControl*>& Controls, bool HasOwner);
    bool Save(const std::vector<IStateControl*>& Controls, bool HasOwner);
    // Save under DefaultKeyLoad.
    bool SaveDefaults(const std::vector<IStateControl*>& Controls, bool HasOwner);

    // The registry the values go to (HKEY_CURRENT_USER); the real one unless a test sets it.
    TRegistryFactory Registry;

    bool ProcessComponent(IStateControl& Control, bool Write);

private:
    bool Usable(bool HasOwner) const;
    bool ProcessAll(const std::vector<IStateControl*>& Controls, bool HasOwner, bool Write);
    bool Excepted(const std::string& Name) const;
    bool CheckListNamed(const std::string& Name) const;
    void ProcessValues(TRegistry& Reg, IStateControl& C, bool Write);
    void ProcessCheckList(TRegistry& Reg, IStateControl& C, TQlxCheckListCore& List, bool Write);
};
