#include "components/QlxThemeSave.h"

#include <algorithm>

#include "components/QlxCheckListModel.h"
#include "toolkit/SysUtils.h"

namespace {
bool InList(const std::vector<std::string>& List, const std::string& Name) {
    const std::string name = LowerCaseAscii(Name);
    return std::any_of(List.begin(), List.end(),
                       [&](const std::string& s) { return LowerCaseAscii(s) == name; });
}

std::string JoinLines(const std::vector<std::string>& Lines) {
    std::string out;
    for (size_t i = 0; i < Lines.size(); ++i)
        out += (i ? "\r\n" : "") + Lines[i];
    return out;
}

std::vector<std::string> SplitLines(const std::string& Text) {
    std::vector<std::string> lines;
    if (Text.empty())
        return lines;
    size_t start = 0;
    for (;;) {
        const size_t end = Text.find("\r\n", start);
        lines.push_back(Text.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 2;
    }
    return lines;
}

// One value: when writing, the control's value goes out; when reading, a value of the
// expected type comes in through the setter, anything else leaves the control alone.
class TValues {
public:
    TValues(TRegistry& Reg, const std::string& Prefix, bool Write)
        : Reg_(Reg), Prefix_(Prefix), Write_(Write) {}

    template <typename Get, typename Set> void Bool(const std::string& Suffix, Get get, Set set) {
        const std::string name = Prefix_ + Suffix;
        if (Write_)
            Reg_.WriteBool(name, get());
        else if (Reg_.GetDataType(name) == kRegDword)
            set(Reg_.ReadInteger(name) != 0);
    }
    template <typename Get, typename Set> void Int(const std::string& Suffix, Get get, Set set) {
        const std::string name = Prefix_ + Suffix;
        if (Write_)
            Reg_.WriteInteger(name, get());
        else if (Reg_.GetDataType(name) == kRegDword)
            set(Reg_.ReadInteger(name));
    }
    // Type kRegSz for strings, kRegExpandSz for texts.
    template <typename Get, typename Set>
    void Str(const std::string& Suffix, uint32_t Type, Get get, Set set) {
        const std::string name = Prefix_ + Suffix;
        if (Write_ && Type == kRegSz)
            Reg_.WriteString(name, get());
        else if (Write_)
            Reg_.WriteExpandString(name, get());
        else if (Reg_.GetDataType(name) == Type)
            set(Reg_.ReadString(name));
    }

private:
    TRegistry& Reg_;
    const std::string& Prefix_;
    bool Write_;
};
} // namespace

std::string TQlxThemeSaveCore::AuthorComment() const {
    return "Saves and restores the state of a form's controls in the registry.";
}

bool TQlxThemeSaveCore::Usable(bool HasOwner) const {
    return HasOwner && !KeySave.empty() && !DefaultKeyLoad.empty() && Registry;
}

bool TQlxThemeSaveCore::Excepted(const std::string& Name) const {
    return InList(ExceptComponetList, Name);
}

bool TQlxThemeSaveCore::CheckListNamed(const std::string& Name) const {
    return InList(QlxCheckLists, Name);
}

bool TQlxThemeSaveCore::ProcessAll(const std::vector<IStateControl*>& Controls, bool HasOwner,
                                   bool Write) {
    if (!Usable(HasOwner))
        return false;
    bool result = true;
    for (IStateControl* c : Controls)
        result = ProcessComponent(*c, Write);
    return result;
}

bool TQlxThemeSaveCore::Load(const std::vector<IStateControl*>& Controls, bool HasOwner) {
    return ProcessAll(Controls, HasOwner, false);
}

bool TQlxThemeSaveCore::Save(const std::vector<IStateControl*>& Controls, bool HasOwner) {
    return ProcessAll(Controls, HasOwner, true);
}

bool TQlxThemeSaveCore::SaveDefaults(const std::vector<IStateControl*>& Controls, bool HasOwner) {
    if (!Usable(HasOwner))
        return false;
    const std::string keep = KeySave;
    KeySave = DefaultKeyLoad;
    const bool result = Save(Controls, HasOwner);
    KeySave = keep;
    return result;
}

bool TQlxThemeSaveCore::ProcessComponent(IStateControl& Control, bool Write) {
    try {
        std::unique_ptr<TRegistry> reg =
            Registry(TRegRoot::CurrentUser, Write ? kKeyWrite : kKeyRead);
        if (!reg || !reg->OpenKey(KeySave, Write))
            return false;
        TOpenedKey opened(*reg);
        if (Control.Kind() != TStateKind::None && Excepted(Control.Name()))
            return true;
        ProcessValues(*reg, Control, Write);
        return true;
    } catch (const std::exception&) {
        return false; // the rest of this control is skipped; nothing is shown
    }
}

void TQlxThemeSaveCore::ProcessValues(TRegistry& Reg, IStateControl& C, bool Write) {
    const std::string name = C.Name();
    TValues v(Reg, name, Write);
    auto check = [&] {
        if (SaveCheck)
            v.Bool(
                "Check", [&] { return C.Checked(); }, [&](bool b) { C.SetChecked(b); });
    };
    auto visibleEnabled = [&] {
        if (SaveVisible)
            v.Bool(
                "Visible", [&] { return C.Visible(); }, [&](bool b) { C.SetVisible(b); });
        if (SaveEnabled)
            v.Bool(
                "Enabled", [&] { return C.Enabled(); }, [&](bool b) { C.SetEnabled(b); });
    };
    auto caption = [&] {
        if (SaveCaption)
            v.Str(
                "Caption", kRegSz, [&] { return C.Caption(); },
                [&](const std::string& s) { C.SetCaption(s); });
    };
    auto text = [&](uint32_t Type, bool Switch) {
        if (Switch)
            v.Str(
                "Text", Type, [&] { return C.Text(); },
                [&](const std::string& s) { C.SetText(s); });
    };
    switch (C.Kind()) {
    case TStateKind::GroupBox:
    case TStateKind::CheckBox:
    case TStateKind::RadioButton:
        check();
        visibleEnabled();
        caption();
        break;
    case TStateKind::Edit:
        visibleEnabled();
        text(kRegSz, SaveText);
        break;
    case TStateKind::ListBox:
        visibleEnabled();
        text(kRegExpandSz, SaveItems);
        if (SaveIndex)
            v.Int(
                "Index", [&] { return C.ItemIndex(); }, [&](int i) { C.SetItemIndex(i); });
        break;
    case TStateKind::Button:
        visibleEnabled();
        caption();
        break;
    case TStateKind::Memo:
        visibleEnabled();
        text(kRegExpandSz, SaveItems);
        break;
    case TStateKind::CheckList:
        if (C.CheckList() && CheckListNamed(name)) {
            visibleEnabled();
            ProcessCheckList(Reg, C, *C.CheckList(), Write);
        }
        break;
    case TStateKind::None:
        break;
    }
}

void TQlxThemeSaveCore::ProcessCheckList(TRegistry& Reg, IStateControl& C, TQlxCheckListCore& List,
                                         bool Write) {
    const std::string name = C.Name();
    TValues v(Reg, name, Write);
    if (SaveCheck)
        v.Bool(
            "CheckBoxes", [&] { return List.CheckBoxes; }, [&](bool b) { List.CheckBoxes = b; });
    if (!SaveItems)
        return;
    TQlxListItems& items = List.Items;
    // Read rows are filled inside one update bracket, so the list sorts once at the end.
    struct TBracket {
        TQlxListItems* I = nullptr;
        ~TBracket() {
            if (I)
                I->EndUpdate();
        }
    } bracket;
    if (!Write) {
        // The list is refilled with as many rows as were saved, then the rows are read.
        int count = items.Count();
        if (Reg.GetDataType(name + "ItemsCount") == kRegDword)
            count = Reg.ReadInteger(name + "ItemsCount");
        items.BeginUpdate();
        bracket.I = &items;
        items.Clear();
        for (int i = 0; i < count; ++i)
            items.Add();
    } else {
        Reg.WriteInteger(name + "ItemsCount", items.Count());
    }
    for (int i = 0; i < items.Count(); ++i) {
        TQlxListItem& item = items[i];
        const std::string n = std::to_string(i);
        v.Str(
            "Item" + n, kRegSz, [&] { return item.Caption(); },
            [&](const std::string& s) { item.SetCaption(s); });
        if (SaveImageIndex)
            v.Int(
                "Imageindex" + n, [&] { return item.ImageIndex; },
                [&](int x) { item.ImageIndex = x; });
        if (SaveCheck) {
            v.Bool(
                "Checked" + n, [&] { return item.Checked(); }, [&](bool b) { item.SetChecked(b); });
            v.Bool(
                "VisibleCheck" + n, [&] { return item.VisibleCheck(); },
                [&](bool b) { item.SetVisibleCheck(b); });
        }
        v.Str(
            "SubItem" + n, kRegSz, [&] { return JoinLines(item.SubItems.List()); },
            [&](const std::string& s) {
                item.SubItems.Clear();
                for (const std::string& line : SplitLines(s))
                    item.SubItems.Add(line);
            });
        v.Str(
            "Hidenpart" + n, kRegSz, [&] { return item.Hidenpart; },
            [&](const std::string& s) { item.Hidenpart = s; });
    }
}
