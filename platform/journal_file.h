#pragma once

#include <string>

namespace sortwell::platform {

struct JournalRead {
    std::string text;     // everything in the file, a missing file reads as empty text
    std::string problem;  // non-empty: the file could not be read, and this says why
};

// A file that only ever grows by whole lines, each on disk before append() returns.
class JournalFile {
public:
    virtual ~JournalFile() = default;

    virtual JournalRead read() = 0;
    // Adds `line` and a final "\n"; `line` holds no "\n" itself. Returns the reason on failure.
    virtual std::string append(const std::string& line) = 0;
};

}  // namespace sortwell::platform
