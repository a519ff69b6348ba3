#pragma once
// The commands of the control channels (standin/StandinProtocol.h lists them with their
// replies): parsing into plain records, and the reply lines that tests read back.
#include "standin/TaskbarLayout.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace standin {

// One "btn ..." line of the script command.
struct ScriptLine {
    std::uint8_t style = 0;
    std::uint8_t state = 0x04; // TBSTATE_ENABLED
    int image = -1;
    std::uint64_t hwnd = 0;              // the first four bytes of the dwData block
    std::optional<std::uint64_t> dwData; // raw dwData instead of a block
    std::optional<int> id;               // idCommand; default 1000 + the line's position
    std::string text;
};
// "btn style=<n> state=<n> img=<n> hwnd=<n> [dwdata=<n>] [id=<n>] text=<rest>"; every field
// may be left out (defaults above); the text is unescaped (UnescapeLine).
std::optional<ScriptLine> ParseScriptLine(const std::string& line, std::string* error);
std::string FormatScriptLine(const ScriptLine& line);

struct ShellCommand {
    enum Kind {
        Sync,
        Dump,
        Rect,
        ButtonRects,
        SetEdge,
        Grouping,
        Collapse,
        Expand,
        Restart,
        Script,
        Unscript,
        CountFlap,
        TextFail,
        TextGrow,
        SlowAnswer,
        Tray,
        TrayClick,
        TrayRefuse,
        TrayAdds,
        Foreground,
        Handles,
        IsIcon,
        Icons,
        Quit
    };
    Kind kind = Sync;
    Edge edge = Edge::Bottom;  // SetEdge
    bool on = false;           // Grouping, CountFlap
    std::uint64_t wnd = 0;     // Collapse, Expand, TrayClick, Foreground; IsIcon: the icon
    std::int64_t number = 0;   // TextFail, TextGrow: the command id; TrayClick: the uID;
                               // TrayRefuse: how many adds; SlowAnswer: milliseconds
    std::int64_t count = 0;    // TextGrow: characters to add
    std::uint32_t message = 0; // TrayClick: the mouse message
    std::vector<ScriptLine> script;
};
// Parses one command text (its first line is the command; only script has further lines).
std::optional<ShellCommand> ParseShellCommand(const std::string& text, std::string* error);

struct SampleCommand {
    enum Kind {
        List,
        Hide,
        Show,
        Title,
        Close,
        Open,
        Activate,
        TrayAdd,
        TrayRemove,
        TrayLog,
        Quit
    };
    Kind kind = List;
    int index = -1;        // Hide, Show, Title, Close, Activate: the window's number
    std::uint32_t uid = 0; // TrayAdd, TrayRemove
    std::string text;      // Title, Open: the title; TrayAdd: the tip (rest of the line, as is)
};
std::optional<SampleCommand> ParseSampleCommand(const std::string& text, std::string* error);

// One line of the dump reply.
struct DumpLine {
    int index = 0;
    int id = 0;
    std::uint8_t style = 0;
    std::uint8_t state = 0;
    int image = -1;
    std::uint64_t hwnd = 0;
    std::string text;
};
// "<index> id=<id> style=0x<hh> state=0x<hh> img=<n> hwnd=0x<h> text=<escaped text>"
std::string FormatDumpLine(const DumpLine& line);
std::optional<DumpLine> ParseDumpLine(const std::string& line);

} // namespace standin
