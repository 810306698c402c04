#pragma once

#include <string>
#include <utility>

#include "platform/journal_file.h"

namespace sortwell::platform::linux_host {

// A journal in one file, opened for each append with O_APPEND, so that every line lands whole
// at the end. The file (mode 0600) and its missing folders (0700) are created on the first
// append, and each line is flushed to disk before append() returns.
class PosixJournalFile : public JournalFile {
public:
    explicit PosixJournalFile(std::string path) : path_(std::move(path)) {}

    JournalRead read() override;
    std::string append(const std::string& line) override;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace sortwell::platform::linux_host
