#include "config/sequence_language.h"

#include <array>
#include <utility>

namespace sortwell::config {

namespace {

constexpr std::array<std::pair<Command, std::string_view>, 12> kKeywords{{
    {Command::WaitWindow, "WAITWINDOW"},
    {Command::UnwaitWindow, "UNWAITWINDOW"},
    {Command::Switch, "SWITCH"},
    {Command::Close, "CLOSE"},
    {Command::WaitSeconds, "WAITSECONDS"},
    {Command::Tab, "TAB"},
    {Command::Space, "SPACE"},
    {Command::Esc, "ESC"},
    {Command::Enter, "ENTER"},
    {Command::Type, "TYPE"},
    {Command::HandleDocument, "HANDLEDOCUMENT"},
    {Command::Run, "RUN"},
}};

constexpr std::array<std::string_view, 11> kDefaultLines{
    "WAITWINDOW:ScanSnap QuickMenu",
    "SWITCH:ScanSnap QuickMenu",
    "WAITSECONDS:1",
    "ENTER",
    "UNWAITWINDOW:Loading",
    "WAITSECONDS:2",
    "ENTER",
    "WAITSECONDS:1",
    "ENTER",
    "WAITSECONDS:1",
    "HANDLEDOCUMENT",
};

// Calls `visit(line)` for each line in order until it returns false.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            visit(text.substr(start));
            return;
        }
        if (!visit(text.substr(start, end - start))) {
            return;
        }
        const bool crLf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        start = end + (crLf ? 2 : 1);
    }
}

}  // namespace

SequenceLine SplitLine(std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon + 1 == line.size()) {
        return {line, {}};
    }
    return {line.substr(0, colon), line.substr(colon + 1)};
}

Command CommandOf(std::string_view keyword) {
    for (const auto& [command, word] : kKeywords) {
        if (word == keyword) {
            return command;
        }
    }
    return Command::None;
}

std::string_view KeywordOf(Command command) {
    for (const auto& [known, word] : kKeywords) {
        if (known == command) {
            return word;
        }
    }
    return {};
}

std::vector<std::string_view> SequenceLines(std::string_view text) {
    std::vector<std::string_view> lines;
    ForEachLine(text, [&lines](std::string_view line) {
        lines.push_back(line);
        return true;
    });
    return lines;
}

std::size_t LineCount(std::string_view text) {
    std::size_t count = 0;
    ForEachLine(text, [&count](std::string_view) {
        ++count;
        return true;
    });
    return count;
}

std::string_view LineAt(std::string_view text, std::size_t index) {
    std::string_view found;
    std::size_t current = 0;
    ForEachLine(text, [&](std::string_view line) {
        if (current++ == index) {
            found = line;
            return false;
        }
        return true;
    });
    return found;
}

std::string DefaultSequence() {
    std::string text;
    for (const std::string_view line : kDefaultLines) {
        if (!text.empty()) {
            text += "\r\n";
        }
        text += line;
    }
    return text;
}

}  // namespace sortwell::config
