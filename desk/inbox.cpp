#include "desk/inbox.h"

#include <algorithm>
#include <iterator>
#include <unordered_set>

namespace sortwell::desk {

std::vector<std::string> Inbox::Update(const std::vector<InboxEntry>& listing,
                                       const std::string& onDesk) {
    std::unordered_set<std::string> listed;
    listed.reserve(listing.size());
    for (const InboxEntry& entry : listing) {
        listed.insert(entry.name);
    }
    // Gone from the folder, or on the desk now: nothing to wait for.
    std::erase_if(waiting_, [&](const Waiting& waiting) {
        return waiting.entry.name == onDesk || !listed.contains(waiting.entry.name);
    });
    // Sets and one merge, so that a burst into a large folder costs no time per pair of files.
    std::unordered_set<std::string> known;
    known.reserve(waiting_.size() + listing.size());
    for (const Waiting& waiting : waiting_) {
        known.insert(waiting.entry.name);
    }
    std::vector<Waiting> joined;
    for (const InboxEntry& entry : listing) {
        if (entry.name != onDesk && known.insert(entry.name).second) {
            joined.push_back({entry, false});
        }
    }
    std::stable_sort(joined.begin(), joined.end(), Older);
    MergeByAge(joined);
    std::vector<std::string> names;
    names.reserve(joined.size());
    for (const Waiting& waiting : joined) {
        names.push_back(waiting.entry.name);
    }
    return names;
}

bool Inbox::Older(const Waiting& a, const Waiting& b) {
    return a.entry.modified < b.entry.modified;
}

// The documents that went first stay in front; the rest and `joined`, both oldest first, are
// merged so that of equal times the one already waiting stays ahead.
void Inbox::MergeByAge(const std::vector<Waiting>& joined) {
    const auto rest = std::find_if(waiting_.begin(), waiting_.end(),
                                   [](const Waiting& waiting) { return !waiting.first; });
    std::vector<Waiting> merged(waiting_.begin(), rest);
    merged.reserve(waiting_.size() + joined.size());
    std::merge(
        rest, waiting_.end(), joined.begin(), joined.end(), std::back_inserter(merged),
        [](const Waiting& a, const Waiting& b) { return a.entry.modified < b.entry.modified; });
    waiting_ = std::move(merged);
}

bool Inbox::Add(const InboxEntry& entry, const std::string& onDesk) {
    if (entry.name == onDesk || Contains(entry.name)) {
        return false;
    }
    Insert(entry, true);
    return true;
}

void Inbox::Remove(const std::string& name) {
    std::erase_if(waiting_, [&](const Waiting& waiting) { return waiting.entry.name == name; });
}

void Inbox::ForgetFound() {
    std::erase_if(waiting_, [](const Waiting& waiting) { return !waiting.handedOver; });
}

void Inbox::Insert(const InboxEntry& entry, bool handedOver) {
    // After every document that went first and every one not younger than this one, so that
    // equal times keep the order in which they were seen.
    const auto place = std::find_if(waiting_.begin(), waiting_.end(), [&](const Waiting& other) {
        return !other.first && entry.modified < other.entry.modified;
    });
    waiting_.insert(place, Waiting{entry, false, handedOver});
}

void Inbox::PutFirst(const std::string& name) {
    const auto it = std::find_if(waiting_.begin(), waiting_.end(), [&](const Waiting& waiting) {
        return waiting.entry.name == name;
    });
    if (it == waiting_.end()) {
        return;
    }
    Waiting moved = *it;
    moved.first = true;
    waiting_.erase(it);
    waiting_.insert(waiting_.begin(), moved);
}

std::string Inbox::TakeNext() {
    if (waiting_.empty()) {
        return {};
    }
    std::string name = waiting_.front().entry.name;
    waiting_.erase(waiting_.begin());
    return name;
}

bool Inbox::Contains(const std::string& name) const {
    return std::any_of(waiting_.begin(), waiting_.end(),
                       [&](const Waiting& waiting) { return waiting.entry.name == name; });
}

std::vector<std::string> Inbox::Names() const {
    std::vector<std::string> names;
    names.reserve(waiting_.size());
    for (const Waiting& waiting : waiting_) {
        names.push_back(waiting.entry.name);
    }
    return names;
}

std::unordered_map<std::string, std::chrono::system_clock::time_point> Inbox::Ages() const {
    std::unordered_map<std::string, std::chrono::system_clock::time_point> ages;
    ages.reserve(waiting_.size());
    for (const Waiting& waiting : waiting_) {
        ages.emplace(waiting.entry.name, waiting.entry.modified);
    }
    return ages;
}

std::string MoreWaitingText(std::size_t count) {
    return count == 0 ? std::string() : std::to_string(count) + " more waiting";
}

std::string DocumentsWaitingText(std::size_t count) {
    if (count == 0) {
        return {};
    }
    return std::to_string(count) + (count == 1 ? " document waiting" : " documents waiting");
}

}  // namespace sortwell::desk
