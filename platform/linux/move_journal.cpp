#include "platform/linux/move_journal.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace sortwell::platform::linux_host {

void MoveJournal::add(const std::string& folder) {
    if (path_.empty() || folder.find('\n') != std::string::npos) {
        return;
    }
    std::vector<std::string> noted = folders();
    noted.push_back(folder);
    write(noted);
}

void MoveJournal::remove(const std::string& folder) {
    if (path_.empty()) {
        return;
    }
    std::vector<std::string> noted = folders();
    const auto it = std::find(noted.begin(), noted.end(), folder);
    if (it != noted.end()) {
        noted.erase(it);
        write(noted);
    }
}

std::vector<std::string> MoveJournal::folders() const {
    std::vector<std::string> noted;
    if (path_.empty()) {
        return noted;
    }
    std::ifstream in(path_, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) {
            noted.push_back(line);
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

// Written in place: a note cut short by a crash names no real folder, and the sweep that reads
// it removes only files with the copies' own name pattern.
void MoveJournal::write(const std::vector<std::string>& folders) const {
    if (folders.empty()) {
        clear();
        return;
    }
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ignored);
    std::ostringstream text;
    for (const std::string& folder : folders) {
        text << folder << '\n';
    }
    std::ofstream(path_, std::ios::binary | std::ios::trunc) << text.str();
}

}  // namespace sortwell::platform::linux_host
