#include "desk/tag_history.h"

#include <algorithm>
#include <map>

namespace sortwell::desk {
namespace {

struct TagUse {
    std::string tag;
    std::size_t count = 0;
    std::size_t lastUse = 0;  // position of the latest filing with it; higher is more recent
};

std::vector<TagUse> tagUses(const std::vector<FiledDocument>& filings) {
    std::map<std::string, TagUse> uses;
    for (std::size_t position = 0; position < filings.size(); ++position) {
        const std::string& tag = filings[position].entries.tag;
        if (tag.empty()) {
            continue;
        }
        TagUse& use = uses[tag];
        use.tag = tag;
        ++use.count;
        use.lastUse = position;
    }
    std::vector<TagUse> result;
    result.reserve(uses.size());
    for (auto& [tag, use] : uses) {
        result.push_back(std::move(use));
    }
    return result;
}

}  // namespace

std::vector<std::string> SuggestTags(const std::vector<FiledDocument>& filings, std::size_t limit) {
    std::vector<TagUse> uses = tagUses(filings);
    std::ranges::sort(uses, [](const TagUse& a, const TagUse& b) { return a.lastUse > b.lastUse; });
    const auto recent =
        uses.begin() + static_cast<std::ptrdiff_t>(std::min(uses.size(), kRecentTagsFirst));
    std::stable_sort(recent, uses.end(),
                     [](const TagUse& a, const TagUse& b) { return a.count > b.count; });
    std::vector<std::string> tags;
    for (std::size_t i = 0; i < uses.size() && i < limit; ++i) {
        tags.push_back(uses[i].tag);
    }
    return tags;
}

}  // namespace sortwell::desk
