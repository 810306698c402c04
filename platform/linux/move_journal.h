#pragma once

#include <string>
#include <utility>
#include <vector>

namespace sortwell::platform::linux_host {

// The folders in which a copy across file systems is under way, kept in a small file, so that
// the hidden copies a crash leaves in a target folder are found and removed at the next start.
class MoveJournal {
public:
    // An empty path keeps no journal.
    explicit MoveJournal(std::string path = {}) : path_(std::move(path)) {}

    // Notes `folder` before a copy begins there; a folder name with a line break is not noted.
    void add(const std::string& folder);
    // Forgets one note of `folder` once its copy has been published or removed.
    void remove(const std::string& folder);
    // The noted folders, oldest first.
    std::vector<std::string> folders() const;
    void clear() const;

private:
    void write(const std::vector<std::string>& folders) const;

    std::string path_;
};

}  // namespace sortwell::platform::linux_host
