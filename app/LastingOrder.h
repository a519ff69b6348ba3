#pragma once
// The order the user gives the taskbar, kept by program, and the record of the windows the
// user has hidden, as plain data: where a returning program's group goes, how a new order
// merges into the remembered one, and how both are written into registry strings. The Win32
// halves (the registry, the programs of windows, the moves) are in app/LastingOrder_win.h.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "taskbar/taskbuttons.h"

// ---- The remembered order ----------------------------------------------------------------

// A program as the order knows it: the file name of its executable, without folders, in
// lower case (ASCII letters). "" for a path that names no file.
std::string ProgramKey(const std::string& ExePath);

// The remembered order after the user has moved a group: the programs of Bar (the programs of
// the taskbar's groups, in taskbar order; "" for a group whose program is unknown) in that
// order, each once; remembered programs that are not on the taskbar keep their place behind
// the remembered program they followed (or in front, when they led).
std::vector<std::string> MergeOrder(const std::vector<std::string>& Remembered,
                                    const std::vector<std::string>& Bar);

// One move of the mover: the group at From goes in front of the group at To (the count of
// groups: the end), as MoveTaskButton takes it.
struct TPlacement {
    int From = 0;
    int To = 0;
    friend bool operator==(const TPlacement& a, const TPlacement& b) {
        return a.From == b.From && a.To == b.To;
    }
};

// The first move that brings the remembered programs of Bar into their remembered order, or
// none when they stand in it. Programs are taken in remembered order; a program's group is in
// place when every remembered program before it in Remembered stands left of it on the
// taskbar and every one after it stands right of it. A group out of place goes directly
// behind the rightmost group of the programs before it, or, when none of them is on the
// taskbar, in front of the leftmost group of the programs after it. Groups of programs that
// are not remembered (or unknown, "") are never moved themselves. Moving the groups one by one
// in this way, with a fresh taskbar each time, ends with every remembered program in order
// after at most one move per group.
std::optional<TPlacement> NextPlacement(const std::vector<std::string>& Bar,
                                        const std::vector<std::string>& Remembered);

// The remembered order holds at most this many programs.
constexpr std::size_t kOrderCap = 256;

// When programs were last seen on the taskbar, most recent first, after Bar (the programs of
// the taskbar's groups) was seen: Bar's programs lead, in taskbar order, the others follow as
// they were. Only programs of Order are kept.
std::vector<std::string> SeenOnTaskbar(const std::vector<std::string>& Recent,
                                       const std::vector<std::string>& Bar,
                                       const std::vector<std::string>& Order);

// Order with at most Cap programs: those longest off the taskbar (last in Recent, or not in it
// at all) are dropped first; the others keep their places.
std::vector<std::string> CapOrder(std::vector<std::string> Order,
                                  const std::vector<std::string>& Recent, std::size_t Cap);

// The windows of Now that Before lacks; both sorted. A program that closes and starts again
// between two looks at the taskbar leaves its button count as it was, but not its windows.
std::vector<TWndHandle> AddedWindows(const std::vector<TWndHandle>& Before,
                                     const std::vector<TWndHandle>& Now);

// The order as one registry string: the programs joined with "|" (a character no file name
// holds), and back. Empty parts and parts with characters a file name cannot hold are dropped
// when reading; so are repeats.
std::string OrderText(const std::vector<std::string>& Order);
std::vector<std::string> ParseOrder(const std::string& Text);

// ---- The record of hidden windows ---------------------------------------------------------

// A window the user hid through the list, with what identifies it beyond its handle (handles
// and process ids are used again once a window or process is gone, also by a new process of
// the same program after a logoff).
struct THiddenWindow {
    TWndHandle Wnd = 0;
    uint32_t Pid = 0;
    std::string Program;  // ProgramKey of its process's executable
    uint64_t Started = 0; // when its process started (a FILETIME); 0 when unknown
    friend bool operator==(const THiddenWindow& a, const THiddenWindow& b) {
        return a.Wnd == b.Wnd && a.Pid == b.Pid && a.Program == b.Program && a.Started == b.Started;
    }
};

// Entries "handle:pid:program:started" with the numbers in hexadecimal, joined with "|"
// (":started" is left out when unknown; entries written before it was kept have none).
// Reading skips every entry that is not of that form (a zero handle included).
std::string HiddenWindowsText(const std::vector<THiddenWindow>& Windows);
std::vector<THiddenWindow> ParseHiddenWindows(const std::string& Text);

// Whether a recorded window may be shown again: it still exists and belongs to the same
// process of the same program, started at the same time when that was recorded (Now: what
// the window is today; Pid 0 when it is gone).
bool SameHiddenWindow(const THiddenWindow& Recorded, const THiddenWindow& Now);
