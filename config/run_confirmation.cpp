#include "config/run_confirmation.h"

#include <algorithm>

#include "config/run_digest.h"
#include "config/sequence_language.h"

namespace sortwell::config {

namespace {

constexpr char kSeparator = ',';

std::vector<std::string> SplitDigests(const std::string& kept) {
    std::vector<std::string> digests;
    std::size_t start = 0;
    while (start < kept.size()) {
        std::size_t end = kept.find(kSeparator, start);
        if (end == std::string::npos) {
            end = kept.size();
        }
        if (end > start) {
            digests.push_back(kept.substr(start, end - start));
        }
        start = end + 1;
    }
    return digests;
}

std::string JoinDigests(const std::vector<std::string>& digests) {
    std::string joined;
    for (const std::string& digest : digests) {
        if (!joined.empty()) {
            joined += kSeparator;
        }
        joined += digest;
    }
    return joined;
}

}  // namespace

std::vector<std::string> RunPrograms(std::string_view sequence) {
    std::vector<std::string> programs;
    for (const std::string_view line : SequenceLines(sequence)) {
        const auto [keyword, argument] = SplitLine(line);
        if (CommandOf(keyword) != Command::Run) {
            continue;
        }
        const std::string program(argument);
        if (std::find(programs.begin(), programs.end(), program) == programs.end()) {
            programs.push_back(program);
        }
    }
    return programs;
}

std::string ConfirmationDigest(std::string_view sequence, std::string_view machineKey) {
    std::string text(machineKey);
    for (const std::string_view line : SequenceLines(sequence)) {
        text += '\n';
        text += line;
    }
    return Sha256Hex(text);
}

bool IsConfirmed(const TQDReg& store, std::string_view sequence, std::string_view machineKey) {
    if (RunPrograms(sequence).empty()) {
        return true;
    }
    const std::vector<std::string> kept = SplitDigests(ConfirmedRuns(store));
    return std::find(kept.begin(), kept.end(), ConfirmationDigest(sequence, machineKey)) !=
           kept.end();
}

void Confirm(TQDReg& store, std::string_view sequence, std::string_view machineKey) {
    // Nothing to ask about, so nothing to keep.
    if (RunPrograms(sequence).empty()) {
        return;
    }
    const std::string digest = ConfirmationDigest(sequence, machineKey);
    std::vector<std::string> kept = SplitDigests(ConfirmedRuns(store));
    std::erase(kept, digest);
    kept.insert(kept.begin(), digest);
    if (kept.size() > kConfirmationsKept) {
        kept.resize(kConfirmationsKept);
    }
    store.Push(std::string(kConfirmedRunsKey), JoinDigests(kept));
}

std::string ConfirmedRuns(const TQDReg& store) {
    return store.Pop(std::string(kConfirmedRunsKey));
}

void RestoreConfirmedRuns(TQDReg& store, const std::string& kept) {
    store.Push(std::string(kConfirmedRunsKey), kept);
}

}  // namespace sortwell::config
