#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace sortwell::desk {

// One document of a folder listing, with the modification time that orders the queue.
struct InboxEntry {
    std::string name;
    std::chrono::system_clock::time_point modified{};
};

// The documents in the input folder that wait for the desk, oldest first. Each listing is
// folded in: new names join by their modification time, names no longer listed leave, and the
// document on the desk never waits. A scan that a scan run asked for may go ahead of the rest.
class Inbox {
public:
    // Folds in a fresh listing, in listing order; `onDesk` is the document presented now, or
    // empty. Returns the names that joined, oldest first.
    std::vector<std::string> Update(const std::vector<InboxEntry>& listing,
                                    const std::string& onDesk);

    // Queues one document that was handed over rather than found; false when it is on the desk
    // or waits already.
    bool Add(const InboxEntry& entry, const std::string& onDesk);

    // Puts a waiting `name` ahead of every other waiting document.
    void PutFirst(const std::string& name);

    // Takes the first waiting document off the queue; empty when none waits.
    std::string TakeNext();

    // Takes `name` off the queue, as when it reached the desk another way.
    void Remove(const std::string& name);
    // Forgets the documents found in the folder; handed-over ones stay, as they wait whether or
    // not the folder is watched.
    void ForgetFound();
    bool empty() const { return waiting_.empty(); }
    std::size_t size() const { return waiting_.size(); }
    bool Contains(const std::string& name) const;
    // The waiting names in the order they will be presented.
    std::vector<std::string> Names() const;
    // When each waiting document was last modified, by name.
    std::unordered_map<std::string, std::chrono::system_clock::time_point> Ages() const;

private:
    struct Waiting {
        InboxEntry entry;
        bool first = false;       // went ahead of the others
        bool handedOver = false;  // queued by Add, not found in a listing
    };

    void Insert(const InboxEntry& entry, bool handedOver);
    static bool Older(const Waiting& a, const Waiting& b);
    void MergeByAge(const std::vector<Waiting>& joined);

    std::vector<Waiting> waiting_;
};

// "1 more waiting", "3 more waiting"; empty when nothing waits.
std::string MoreWaitingText(std::size_t count);

// "1 document waiting", "3 documents waiting"; empty when nothing waits.
std::string DocumentsWaitingText(std::size_t count);

}  // namespace sortwell::desk
