#pragma once

#include <string>
#include <utility>
#include <vector>

namespace sortwell::platform::linux_host {

// One copy across file systems under way: the document and where it goes.
struct JournalEntry {
    std::string source;
    std::string target;
    bool operator==(const JournalEntry&) const = default;
};

// The copies across file systems under way, kept in a small file, so that the next start can
// finish what a crash interrupted: remove a hidden copy left in a target folder, or the original
// of a document that already stands whole at its target.
class MoveJournal {
public:
    // An empty path keeps no journal.
    explicit MoveJournal(std::string path = {}) : path_(std::move(path)) {}

    // Notes a move before its copy begins; paths with a tab or a line break are not noted.
    void add(const JournalEntry& entry);
    // Forgets one note of the move once its copy has been published or removed.
    void remove(const JournalEntry& entry);
    // The noted moves, oldest first.
    std::vector<JournalEntry> entries() const;
    void clear() const;

private:
    void write(const std::vector<JournalEntry>& entries) const;

    std::string path_;
};

}  // namespace sortwell::platform::linux_host
