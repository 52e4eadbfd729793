#pragma once
// The warning and error entries of the engine's HTML log, and the
// allow-lists beside the tests that run the game on the real pack.
// An allow-list has one text a line ("text -- reason"; '#' starts a
// comment); "a && b" needs both texts in the entry.
#include <algorithm>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace vektest {

// The warning and error entries (sender and text), in log order, up to the
// byte `until` of the log.
inline std::vector<std::string> LogProblemEntries(const std::string& log, size_t until = std::string::npos)
{
    std::vector<std::string> out;
    size_t pos = 0;
    for (;;) {
        const size_t w = log.find("<span class='warning'>", pos), e = log.find("<span class='error'>", pos);
        const size_t at = std::min(w, e);
        if (at == std::string::npos || at > until) break;
        const size_t sender = log.rfind("<span class='sender'>", at);
        const size_t from = sender == std::string::npos ? at : sender;
        size_t end = log.find("<br />", at);
        if (end == std::string::npos) end = log.size();
        out.push_back(log.substr(from, end - from));
        pos = end;
    }
    return out;
}

// The allow-list's texts, reasons and comments left out.
inline std::vector<std::string> ReadAllowLines(const std::string& path)
{
    std::vector<std::string> out;
    const std::string text = ReadFile(path);
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (line.empty() || line[0] == '#') continue;
        const size_t cut = line.find(" -- ");
        if (cut != std::string::npos) line.resize(cut);
        out.push_back(line);
    }
    return out;
}

// Whether every part (" && " between parts) of an allowed text is in the
// entry.
inline bool AllowedBy(const std::string& entry, const std::string& allowed)
{
    size_t pos = 0;
    for (;;) {
        const size_t cut = allowed.find(" && ", pos);
        if (entry.find(allowed.substr(pos, cut == std::string::npos ? std::string::npos : cut - pos)) ==
            std::string::npos)
            return false;
        if (cut == std::string::npos) return true;
        pos = cut + 4;
    }
}

} // namespace vektest
