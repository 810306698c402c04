#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace sortwell::config {

// The commands of the automation sequence. `None` stands for every other line, which does
// nothing.
enum class Command {
    None,
    WaitWindow,
    UnwaitWindow,
    Switch,
    Close,
    WaitSeconds,
    Tab,
    Space,
    Esc,
    Enter,
    Type,
    HandleDocument,
    Run,
};

// A line split into its keyword and argument. Both are views into the line.
struct SequenceLine {
    std::string_view keyword;
    std::string_view argument;
};

// Splits at the first colon; the argument keeps any further colons and every blank. A colon
// that ends the line separates nothing: such a line, like one without a colon, is all keyword.
SequenceLine SplitLine(std::string_view line);

// The command a keyword names, compared exactly (letter case and blanks count).
Command CommandOf(std::string_view keyword);

// The keyword of a command; empty for `None`.
std::string_view KeywordOf(Command command);

// The lines of a sequence text as written, split at CR LF, LF or CR. A line break at the very
// end opens no further line, so "" has no lines and "A\r\n" has one. The views point into
// `text`.
std::vector<std::string_view> SequenceLines(std::string_view text);

// How many lines SequenceLines gives, without building them.
std::size_t LineCount(std::string_view text);

// Line `index` of the text; empty past the last line.
std::string_view LineAt(std::string_view text, std::size_t index);

// The sequence that "Load Defaults" stores: eleven lines joined by CR LF, no break at the end.
std::string DefaultSequence();

}  // namespace sortwell::config
