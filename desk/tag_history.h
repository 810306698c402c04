#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "desk/filing_journal.h"

namespace sortwell::desk {

// How many of the most recently used tags lead the suggestions, whatever their count.
constexpr std::size_t kRecentTagsFirst = 3;

// At most `limit` distinct non-empty tags, as typed, from `filings` (oldest first, as
// FilingJournal::filings() gives them): first the kRecentTagsFirst most recently used, newest
// first; then the others by how often they were used, a tie going to the one used last.
std::vector<std::string> SuggestTags(const std::vector<FiledDocument>& filings, std::size_t limit);

}  // namespace sortwell::desk
