#include "platform/linux/move_journal.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace sortwell::platform::linux_host {

namespace {
constexpr char kSeparator = '\t';

bool fitsOnALine(const std::string& path) {
    return path.find_first_of("\t\n") == std::string::npos;
}
}  // namespace

void MoveJournal::add(const JournalEntry& entry) {
    if (path_.empty() || !fitsOnALine(entry.source) || !fitsOnALine(entry.target)) {
        return;
    }
    std::vector<JournalEntry> noted = entries();
    noted.push_back(entry);
    write(noted);
}

void MoveJournal::remove(const JournalEntry& entry) {
    if (path_.empty()) {
        return;
    }
    std::vector<JournalEntry> noted = entries();
    const auto it = std::find(noted.begin(), noted.end(), entry);
    if (it != noted.end()) {
        noted.erase(it);
        write(noted);
    }
}

std::vector<JournalEntry> MoveJournal::entries() const {
    std::vector<JournalEntry> noted;
    if (path_.empty()) {
        return noted;
    }
    std::ifstream in(path_, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        const std::size_t separator = line.find(kSeparator);
        if (separator != std::string::npos) {
            noted.push_back({line.substr(0, separator), line.substr(separator + 1)});
        }
    }
    return noted;
}

void MoveJournal::clear() const {
    if (!path_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
}

// Written in place: a note cut short by a crash names no real move, and the start-up work that
// reads it acts only on hidden copies by their name pattern and on originals proven identical.
void MoveJournal::write(const std::vector<JournalEntry>& entries) const {
    if (entries.empty()) {
        clear();
        return;
    }
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ignored);
    std::ostringstream text;
    for (const JournalEntry& entry : entries) {
        text << entry.source << kSeparator << entry.target << '\n';
    }
    std::ofstream(path_, std::ios::binary | std::ios::trunc) << text.str();
}

}  // namespace sortwell::platform::linux_host
