#pragma once

#include <string>
#include <vector>

#include "platform/journal_file.h"

namespace sortwell::test {

// A journal in memory. `text` is the whole file, so tests can write torn or foreign lines.
class FakeJournalFile : public platform::JournalFile {
public:
    std::string text;
    std::string refuseReadsWith;
    std::string refuseAppendsWith;  // non-empty: appends fail with this reason
    int appendsBeforeRefusal = 0;   // that many appends still succeed first

    platform::JournalRead read() override {
        if (!refuseReadsWith.empty()) {
            return {{}, refuseReadsWith};
        }
        return {text, {}};
    }

    std::string append(const std::string& line) override {
        if (!refuseAppendsWith.empty() && appendsBeforeRefusal-- <= 0) {
            return refuseAppendsWith;
        }
        // As the real file does: a line a crash cut short is ended before the next one.
        if (!text.empty() && !text.ends_with('\n')) {
            text += '\n';
        }
        text += line + "\n";
        return {};
    }

    std::vector<std::string> lines() const {
        std::vector<std::string> result;
        for (std::size_t start = 0, end = text.find('\n'); end != std::string::npos;
             start = end + 1, end = text.find('\n', start)) {
            result.push_back(text.substr(start, end - start));
        }
        return result;
    }
};

}  // namespace sortwell::test
