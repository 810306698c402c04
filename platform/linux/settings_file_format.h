#pragma once

#include <string>
#include <string_view>

#include "platform/settings_tree.h"

namespace sortwell::platform::linux_host {

// The text form of a program key: a first line naming the format, the root folder's values
// as key=value lines, then each other folder as a [name] line followed by its values.
// Backslash escapes (\\ \n \r \t \xHH) make any byte string survive a round trip exactly,
// while ordinary UTF-8 text is written as it is.
std::string formatSettingsFile(const SettingsTree& tree);

struct ParsedSettings {
    bool ok = false;
    SettingsTree tree;
    std::string error;  // e.g. "line 7: a value line has no \"=\""
};

ParsedSettings parseSettingsFile(std::string_view text);

}  // namespace sortwell::platform::linux_host
