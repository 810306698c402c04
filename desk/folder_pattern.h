#pragma once

#include <string>
#include <string_view>

namespace sortwell::desk {

// True when the folder pattern contains the exact, case-sensitive placeholder "%TAG", so that
// filing into it asks for the tag; "%tag" is plain text and does not count.
bool FolderNeedsTag(const std::string& folder);

// Why filing would refuse the pattern, in words for the user, or empty text when it is fine.
// The pattern is tried with sample entries, with "Attach original file name" on and off.
std::string PatternProblem(std::string_view pattern);

// The pattern a chosen folder gives: the folder with a trailing "/", followed by the last part
// of `current` when that part holds a placeholder, so its file naming is kept.
std::string PatternInFolder(std::string_view folder, std::string_view current);

}  // namespace sortwell::desk
