#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sortwell::platform {

// Any text on one line, and between tabs: a backslash, line feed, carriage return and tab are
// written as "\\", "\n", "\r" and "\t".
std::string EscapeForLine(std::string_view text);

// The text an escaped line stands for; nothing when it holds a backslash that is not one of
// those four escapes.
std::optional<std::string> UnescapeLine(std::string_view line);

}  // namespace sortwell::platform
