#include "app/LastingOrder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "toolkit/SysUtils.h"

namespace {
std::vector<std::string> Split(const std::string& Text, char Separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= Text.size()) {
        const std::size_t end = std::min(Text.find(Separator, start), Text.size());
        parts.push_back(Text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

bool Contains(const std::vector<std::string>& List, const std::string& S) {
    return std::find(List.begin(), List.end(), S) != List.end();
}

// Characters no Windows file name holds (control characters included).
bool IsFileName(const std::string& S) {
    if (S.empty())
        return false;
    for (char c : S)
        if (static_cast<unsigned char>(c) < 32 ||
            std::string("\\/:*?\"<>|").find(c) != std::string::npos)
            return false;
    return true;
}

// A hexadecimal number of 1 to 16 digits, all of the text.
std::optional<uint64_t> ParseHex(const std::string& S) {
    if (S.empty() || S.size() > 16)
        return std::nullopt;
    uint64_t v = 0;
    for (char c : S) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return std::nullopt;
        v = v * 16 + static_cast<uint64_t>(d);
    }
    return v;
}
} // namespace

std::string ProgramKey(const std::string& ExePath) {
    const std::size_t slash = ExePath.find_last_of("\\/");
    return LowerCaseAscii(slash == std::string::npos ? ExePath : ExePath.substr(slash + 1));
}

std::vector<std::string> MergeOrder(const std::vector<std::string>& Remembered,
                                    const std::vector<std::string>& Bar) {
    std::vector<std::string> order;
    for (const std::string& p : Bar)
        if (!p.empty() && !Contains(order, p))
            order.push_back(p);
    // Absent programs follow the program they followed, in their remembered order.
    std::size_t insertAt = 0; // in front of everything until a program on the taskbar is met
    for (const std::string& p : Remembered) {
        const auto found = std::find(order.begin(), order.end(), p);
        if (found != order.end()) {
            insertAt = static_cast<std::size_t>(found - order.begin()) + 1;
            continue;
        }
        if (p.empty())
            continue;
        order.insert(order.begin() + static_cast<std::ptrdiff_t>(insertAt), p);
        ++insertAt;
    }
    return order;
}

std::optional<TPlacement> NextPlacement(const std::vector<std::string>& Bar,
                                        const std::vector<std::string>& Remembered) {
    // Rank of every group's program in the remembered order; -1 for programs not remembered.
    std::vector<int> rank(Bar.size(), -1);
    for (std::size_t i = 0; i < Bar.size(); ++i) {
        const auto found = std::find(Remembered.begin(), Remembered.end(), Bar[i]);
        if (!Bar[i].empty() && found != Remembered.end())
            rank[i] = static_cast<int>(found - Remembered.begin());
    }
    for (int r = 0; r < static_cast<int>(Remembered.size()); ++r) {
        for (std::size_t g = 0; g < Bar.size(); ++g) {
            if (rank[g] != r)
                continue;
            int lastBefore = -1; // rightmost group of a program remembered before this one
            int firstAfter = -1; // leftmost group of a program remembered after it
            for (std::size_t i = 0; i < Bar.size(); ++i) {
                if (rank[i] < 0 || rank[i] == r)
                    continue;
                if (rank[i] < r)
                    lastBefore = static_cast<int>(i);
                else if (firstAfter < 0)
                    firstAfter = static_cast<int>(i);
            }
            const int pos = static_cast<int>(g);
            const bool inPlace = lastBefore < pos && (firstAfter < 0 || firstAfter > pos);
            if (inPlace)
                continue;
            if (lastBefore >= 0)
                return TPlacement{pos, lastBefore + 1};
            return TPlacement{pos, firstAfter};
        }
    }
    return std::nullopt;
}

std::vector<std::string> SeenOnTaskbar(const std::vector<std::string>& Recent,
                                       const std::vector<std::string>& Bar,
                                       const std::vector<std::string>& Order) {
    std::vector<std::string> seen;
    for (const std::vector<std::string>* list : {&Bar, &Recent})
        for (const std::string& p : *list)
            if (!p.empty() && Contains(Order, p) && !Contains(seen, p))
                seen.push_back(p);
    return seen;
}

std::vector<std::string> CapOrder(std::vector<std::string> Order,
                                  const std::vector<std::string>& Recent, std::size_t Cap) {
    while (Order.size() > Cap) {
        // The program seen longest ago: one never seen, else the last of Recent.
        auto oldest = std::find_if(Order.begin(), Order.end(),
                                   [&](const std::string& p) { return !Contains(Recent, p); });
        for (auto r = Recent.rbegin(); oldest == Order.end() && r != Recent.rend(); ++r)
            oldest = std::find(Order.begin(), Order.end(), *r);
        Order.erase(oldest);
    }
    return Order;
}

std::vector<TWndHandle> AddedWindows(const std::vector<TWndHandle>& Before,
                                     const std::vector<TWndHandle>& Now) {
    std::vector<TWndHandle> added;
    std::set_difference(Now.begin(), Now.end(), Before.begin(), Before.end(),
                        std::back_inserter(added));
    return added;
}

std::string OrderText(const std::vector<std::string>& Order) {
    std::string text;
    for (const std::string& p : Order) {
        if (!text.empty())
            text += '|';
        text += p;
    }
    return text;
}

std::vector<std::string> ParseOrder(const std::string& Text) {
    std::vector<std::string> order;
    for (const std::string& p : Split(Text, '|'))
        if (IsFileName(p) && !Contains(order, ProgramKey(p)))
            order.push_back(ProgramKey(p));
    return order;
}

std::string HiddenWindowsText(const std::vector<THiddenWindow>& Windows) {
    std::string text;
    for (const THiddenWindow& w : Windows) {
        char head[48];
        std::snprintf(head, sizeof head,
                      "%llX:%lX:", static_cast<unsigned long long>(static_cast<uintptr_t>(w.Wnd)),
                      static_cast<unsigned long>(w.Pid));
        if (!text.empty())
            text += '|';
        text += head + w.Program;
        if (w.Started != 0) {
            std::snprintf(head, sizeof head, ":%llX", static_cast<unsigned long long>(w.Started));
            text += head;
        }
    }
    return text;
}

std::vector<THiddenWindow> ParseHiddenWindows(const std::string& Text) {
    std::vector<THiddenWindow> windows;
    if (Text.empty())
        return windows;
    for (const std::string& entry : Split(Text, '|')) {
        const std::vector<std::string> fields = Split(entry, ':');
        if (fields.size() != 3 && fields.size() != 4)
            continue;
        const std::optional<uint64_t> wnd = ParseHex(fields[0]);
        const std::optional<uint64_t> pid = ParseHex(fields[1]);
        const std::optional<uint64_t> started =
            fields.size() == 4 ? ParseHex(fields[3]) : std::optional<uint64_t>(0);
        // Window handles fit in 32 bits on every Windows, so do process ids.
        if (!wnd || !pid || !started || *wnd == 0 || *wnd > 0xFFFFFFFFu || *pid > 0xFFFFFFFFu ||
            !IsFileName(fields[2]))
            continue;
        windows.push_back({static_cast<TWndHandle>(*wnd), static_cast<uint32_t>(*pid),
                           ProgramKey(fields[2]), *started});
    }
    return windows;
}

bool SameHiddenWindow(const THiddenWindow& Recorded, const THiddenWindow& Now) {
    // An entry written before start times were kept is matched as it was then.
    return Now.Pid != 0 && Recorded.Wnd == Now.Wnd && Recorded.Pid == Now.Pid &&
           !Recorded.Program.empty() && Recorded.Program == Now.Program &&
           (Recorded.Started == 0 || Recorded.Started == Now.Started);
}
