#pragma once

#include <string>
#include <string_view>

#include "desk/filing.h"

namespace sortwell::desk {

// The folder a pattern names before its first placeholder: its text up to the last "/" before
// "%MONTH", "%YEAR", "%TAG" or "%NAME" (or in the whole pattern when it has none). This part
// never changes with the entries, so when it is missing, a filing would create it from nothing,
// which is how an unmounted share fills the local disk. Empty for a relative pattern.
std::string FixedFolder(std::string_view pattern);

// What a click on one target would do now.
struct TargetHint {
    std::string path;           // where the document would go; empty when the click is refused
    std::string problem;        // why filing would refuse it
    std::string missingFolder;  // the fixed folder, when it does not exist
};

// Works the target out as filing does. With no document on the desk the path is shown for a
// document called "scan.pdf".
TargetHint DescribeTarget(FilingRequest request, bool fixedFolderExists);

// The tooltip of a target button for `hint`.
std::string TargetTooltip(const TargetHint& hint);

// What a click on a target whose fixed folder is missing asks first.
std::string MissingFolderQuestion(std::string_view folder);

}  // namespace sortwell::desk
