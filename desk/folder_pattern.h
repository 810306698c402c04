#pragma once

#include <string>

namespace sortwell::desk {

// True when the folder pattern contains the exact, case-sensitive placeholder "%TAG", so that
// filing into it asks for the tag; "%tag" is plain text and does not count.
bool FolderNeedsTag(const std::string& folder);

}  // namespace sortwell::desk
