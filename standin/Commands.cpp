#include "standin/Commands.h"

#include "standin/StandinText.h"

#include <map>

namespace standin {

namespace {

// A number within [lo, hi].
bool NumberIn(const std::string& word, std::int64_t lo, std::int64_t hi, std::int64_t& out) {
    auto n = ParseNumber(word);
    if (!n || *n < lo || *n > hi)
        return false;
    out = *n;
    return true;
}

bool Error(std::string* error, const std::string& why) {
    if (error)
        *error = why;
    return false;
}

bool OnOff(const std::string& word, bool& on) {
    if (word == "on" || word == "1") {
        on = true;
        return true;
    }
    if (word == "off" || word == "0") {
        on = false;
        return true;
    }
    return false;
}

bool Handle(const std::string& word, std::uint64_t& wnd) {
    auto n = ParseNumber(word);
    if (!n)
        return false;
    wnd = std::uint64_t(*n);
    return true;
}

constexpr std::int64_t kIntMax = 0x7FFFFFFF;
constexpr std::int64_t kIntMin = -kIntMax - 1;
// textgrow: enough to run a caption past any buffer a reader keeps for it.
constexpr std::int64_t kMaxTextGrowth = 1 << 20;
constexpr std::int64_t kMaxAnswerDelayMs = 10000;

} // namespace

std::optional<ScriptLine> ParseScriptLine(const std::string& line, std::string* error) {
    auto words = SplitWords(line);
    if (words.empty() || words[0] != "btn") {
        Error(error, "script line must start with btn: " + line);
        return std::nullopt;
    }
    auto fields = ParseFieldLine(line, 1);
    if (!fields) {
        Error(error, "bad field in script line: " + line);
        return std::nullopt;
    }
    ScriptLine out;
    for (const auto& [key, value] : fields->fields) {
        std::int64_t n = 0;
        bool ok = true;
        if (key == "style") {
            ok = NumberIn(value, 0, 0xFF, n);
            out.style = std::uint8_t(n);
        } else if (key == "state") {
            ok = NumberIn(value, 0, 0xFF, n);
            out.state = std::uint8_t(n);
        } else if (key == "img") {
            ok = NumberIn(value, kIntMin, kIntMax, n);
            out.image = int(n);
        } else if (key == "id") {
            ok = NumberIn(value, kIntMin, kIntMax, n);
            out.id = int(n);
        } else if (key == "hwnd") {
            ok = Handle(value, out.hwnd);
        } else if (key == "dwdata") {
            std::uint64_t raw = 0;
            ok = Handle(value, raw);
            out.dwData = raw;
        } else {
            Error(error, "unknown field " + key + " in script line");
            return std::nullopt;
        }
        if (!ok) {
            Error(error, "bad value for " + key + ": " + value);
            return std::nullopt;
        }
    }
    if (fields->text)
        out.text = UnescapeLine(*fields->text);
    return out;
}

std::string FormatScriptLine(const ScriptLine& line) {
    std::string out = "btn style=" + Hex(line.style) + " state=" + Hex(line.state) +
                      " img=" + std::to_string(line.image) + " hwnd=" + Hex(line.hwnd);
    if (line.dwData)
        out += " dwdata=" + Hex(*line.dwData);
    if (line.id)
        out += " id=" + std::to_string(*line.id);
    return out + " text=" + EscapeLine(line.text);
}

std::optional<ShellCommand> ParseShellCommand(const std::string& text, std::string* error) {
    auto lines = SplitLines(text);
    if (lines.empty()) {
        Error(error, "empty command");
        return std::nullopt;
    }
    auto words = SplitWords(lines[0]);
    if (words.empty()) {
        Error(error, "empty command");
        return std::nullopt;
    }
    static const std::map<std::string, std::pair<ShellCommand::Kind, std::size_t>> kCommands = {
        {"sync", {ShellCommand::Sync, 0}},
        {"dump", {ShellCommand::Dump, 0}},
        {"rect", {ShellCommand::Rect, 0}},
        {"buttonrects", {ShellCommand::ButtonRects, 0}},
        {"edge", {ShellCommand::SetEdge, 1}},
        {"grouping", {ShellCommand::Grouping, 1}},
        {"collapse", {ShellCommand::Collapse, 1}},
        {"expand", {ShellCommand::Expand, 1}},
        {"restart", {ShellCommand::Restart, 0}},
        {"script", {ShellCommand::Script, 0}},
        {"unscript", {ShellCommand::Unscript, 0}},
        {"countflap", {ShellCommand::CountFlap, 1}},
        {"textfail", {ShellCommand::TextFail, 1}},
        {"textgrow", {ShellCommand::TextGrow, 2}},
        {"slowanswer", {ShellCommand::SlowAnswer, 1}},
        {"tray", {ShellCommand::Tray, 0}},
        {"trayclick", {ShellCommand::TrayClick, 3}},
        {"trayrefuse", {ShellCommand::TrayRefuse, 1}}, // as a shell still starting
        {"trayadds", {ShellCommand::TrayAdds, 0}},
        {"foreground", {ShellCommand::Foreground, 1}},
        {"handles", {ShellCommand::Handles, 0}},
        {"isicon", {ShellCommand::IsIcon, 1}},
        {"icons", {ShellCommand::Icons, 0}},
        {"quit", {ShellCommand::Quit, 0}},
    };
    auto found = kCommands.find(words[0]);
    if (found == kCommands.end()) {
        Error(error, "unknown command: " + words[0]);
        return std::nullopt;
    }
    ShellCommand cmd;
    cmd.kind = found->second.first;
    if (words.size() != found->second.second + 1) {
        Error(error, words[0] + " takes " + std::to_string(found->second.second) + " argument(s)");
        return std::nullopt;
    }
    if (cmd.kind != ShellCommand::Script && lines.size() > 1) {
        Error(error, words[0] + " takes one line");
        return std::nullopt;
    }
    bool ok = true;
    std::int64_t n = 0;
    switch (cmd.kind) {
    case ShellCommand::SetEdge: {
        auto edge = ParseEdge(words[1]);
        ok = edge.has_value();
        if (edge)
            cmd.edge = *edge;
        break;
    }
    case ShellCommand::Grouping:
    case ShellCommand::CountFlap:
        ok = OnOff(words[1], cmd.on);
        break;
    case ShellCommand::Collapse:
    case ShellCommand::Expand:
    case ShellCommand::Foreground:
    case ShellCommand::IsIcon:
        ok = Handle(words[1], cmd.wnd);
        break;
    case ShellCommand::TextFail:
        ok = NumberIn(words[1], kIntMin, kIntMax, cmd.number);
        break;
    case ShellCommand::TrayRefuse:
        ok = NumberIn(words[1], 0, kIntMax, cmd.number);
        break;
    case ShellCommand::SlowAnswer:
        ok = NumberIn(words[1], 0, kMaxAnswerDelayMs, cmd.number);
        break;
    case ShellCommand::TextGrow:
        ok = NumberIn(words[1], kIntMin, kIntMax, cmd.number) &&
             NumberIn(words[2], 0, kMaxTextGrowth, cmd.count);
        break;
    case ShellCommand::TrayClick:
        ok = Handle(words[1], cmd.wnd) && NumberIn(words[2], 0, 0xFFFFFFFF, cmd.number) &&
             NumberIn(words[3], 0, 0xFFFF, n);
        cmd.message = std::uint32_t(n);
        break;
    case ShellCommand::Script:
        for (std::size_t i = 1; i < lines.size(); ++i) {
            if (SplitWords(lines[i]).empty())
                continue;
            auto line = ParseScriptLine(lines[i], error);
            if (!line)
                return std::nullopt;
            cmd.script.push_back(*line);
        }
        break;
    default:
        break;
    }
    if (!ok) {
        Error(error, "bad argument for " + words[0] + ": " + RestAfterWords(lines[0], 1));
        return std::nullopt;
    }
    return cmd;
}

std::optional<SampleCommand> ParseSampleCommand(const std::string& text, std::string* error) {
    auto lines = SplitLines(text);
    auto words = lines.empty() ? std::vector<std::string>{} : SplitWords(lines[0]);
    if (words.empty() || lines.size() > 1) {
        Error(error, "a command is one line");
        return std::nullopt;
    }
    SampleCommand cmd;
    const std::string& w = words[0];
    auto index = [&]() {
        std::int64_t n = 0;
        if (words.size() < 2 || !NumberIn(words[1], 0, 9999, n))
            return false;
        cmd.index = int(n);
        return true;
    };
    auto uid = [&]() {
        std::int64_t n = 0;
        if (words.size() < 2 || !NumberIn(words[1], 0, 0xFFFFFFFF, n))
            return false;
        cmd.uid = std::uint32_t(n);
        return true;
    };
    bool ok = true;
    if (w == "list" || w == "traylog" || w == "quit") {
        cmd.kind = w == "list"      ? SampleCommand::List
                   : w == "traylog" ? SampleCommand::TrayLog
                                    : SampleCommand::Quit;
        ok = words.size() == 1;
    } else if (w == "hide" || w == "show" || w == "close" || w == "activate") {
        cmd.kind = w == "hide"    ? SampleCommand::Hide
                   : w == "show"  ? SampleCommand::Show
                   : w == "close" ? SampleCommand::Close
                                  : SampleCommand::Activate;
        ok = words.size() == 2 && index();
    } else if (w == "title") {
        cmd.kind = SampleCommand::Title;
        ok = index();
        cmd.text = RestAfterWords(lines[0], 2);
    } else if (w == "open") {
        cmd.kind = SampleCommand::Open;
        cmd.text = RestAfterWords(lines[0], 1);
    } else if (w == "trayicon") {
        cmd.kind = SampleCommand::TrayAdd;
        ok = uid();
        cmd.text = RestAfterWords(lines[0], 2);
    } else if (w == "untrayicon") {
        cmd.kind = SampleCommand::TrayRemove;
        ok = words.size() == 2 && uid();
    } else {
        Error(error, "unknown command: " + w);
        return std::nullopt;
    }
    if (!ok) {
        Error(error, "bad arguments for " + w);
        return std::nullopt;
    }
    return cmd;
}

std::string FormatDumpLine(const DumpLine& line) {
    return std::to_string(line.index) + " id=" + std::to_string(line.id) +
           " style=" + Hex(line.style) + " state=" + Hex(line.state) +
           " img=" + std::to_string(line.image) + " hwnd=" + Hex(line.hwnd) +
           " text=" + EscapeLine(line.text);
}

std::optional<DumpLine> ParseDumpLine(const std::string& line) {
    auto words = SplitWords(line);
    if (words.empty())
        return std::nullopt;
    auto index = ParseNumber(words[0]);
    auto fields = ParseFieldLine(line, 1);
    if (!index || !fields || !fields->text)
        return std::nullopt;
    DumpLine out;
    out.index = int(*index);
    out.text = UnescapeLine(*fields->text);
    for (const auto& [key, value] : fields->fields) {
        auto n = ParseNumber(value);
        if (!n)
            return std::nullopt;
        if (key == "id")
            out.id = int(*n);
        else if (key == "style")
            out.style = std::uint8_t(*n);
        else if (key == "state")
            out.state = std::uint8_t(*n);
        else if (key == "img")
            out.image = int(*n);
        else if (key == "hwnd")
            out.hwnd = std::uint64_t(*n);
    }
    return out;
}

} // namespace standin
