#include "desk/filing_journal.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <string_view>
#include <utility>

#include "platform/line_escape.h"

namespace sortwell::desk {
namespace {

// A later format gets another word, so that this version skips its lines instead of misreading.
constexpr std::string_view kVersion = "v1";
constexpr std::string_view kFiled = "filed";
constexpr std::string_view kUndoBegun = "undo-begun";
constexpr std::string_view kUndoDone = "undo-done";
constexpr std::string_view kUndoAbandoned = "undo-abandoned";

// version, kind, serial, filed at, input folder, name, target, month, year, tag, entered name,
// size, modified (ns), device, inode; the created folders follow.
constexpr std::size_t kFilingFields = 15;
// The last field of every record. A line cut short by a crash lacks it, so it can never pass for
// a shorter record once the next append has ended it with a line break.
constexpr std::string_view kSeal = ".";

std::string joined(const std::vector<std::string>& fields) {
    std::string line;
    for (const std::string& field : fields) {
        if (!line.empty()) {
            line += '\t';
        }
        line += platform::EscapeForLine(field);
    }
    return line + '\t' + std::string(kSeal);
}

std::optional<std::vector<std::string>> splitLine(std::string_view line) {
    std::vector<std::string> fields;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        std::optional<std::string> field = platform::UnescapeLine(line.substr(start, tab - start));
        if (!field) {
            return std::nullopt;
        }
        fields.push_back(std::move(*field));
        if (tab == std::string_view::npos) {
            break;
        }
        start = tab + 1;
    }
    if (fields.size() < 2 || fields.back() != kSeal) {
        return std::nullopt;
    }
    fields.pop_back();
    return fields;
}

template <typename Number>
std::optional<Number> parsedNumber(const std::string& text) {
    Number value{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || text.empty()) {
        return std::nullopt;
    }
    return value;
}

std::string eventLine(std::string_view kind, std::uint64_t serial) {
    return joined({std::string(kVersion), std::string(kind), std::to_string(serial)});
}

std::int64_t modifiedNanoseconds(const platform::FileStat& stat) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(stat.modified.time_since_epoch())
        .count();
}

std::optional<platform::FileStat> parsedStat(const std::vector<std::string>& fields) {
    const auto size = parsedNumber<std::uint64_t>(fields[11]);
    const auto modified = parsedNumber<std::int64_t>(fields[12]);
    const auto device = parsedNumber<std::uint64_t>(fields[13]);
    const auto inode = parsedNumber<std::uint64_t>(fields[14]);
    if (!size || !modified || !device || !inode) {
        return std::nullopt;
    }
    platform::FileStat stat;
    stat.size = *size;
    stat.modified = std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::nanoseconds(*modified)));
    stat.device = *device;
    stat.inode = *inode;
    return stat;
}

}  // namespace

std::string FilingLine(const FiledDocument& filing) {
    std::vector<std::string> fields{std::string(kVersion),
                                    std::string(kFiled),
                                    std::to_string(filing.serial),
                                    std::to_string(filing.filedAtSeconds),
                                    filing.inputFolder,
                                    filing.documentName,
                                    filing.targetPath,
                                    filing.entries.month,
                                    filing.entries.year,
                                    filing.entries.tag,
                                    filing.entries.name,
                                    std::to_string(filing.filed.size),
                                    std::to_string(modifiedNanoseconds(filing.filed)),
                                    std::to_string(filing.filed.device),
                                    std::to_string(filing.filed.inode)};
    fields.insert(fields.end(), filing.createdFolders.begin(), filing.createdFolders.end());
    return joined(fields);
}

std::string UndoBegunLine(std::uint64_t serial, const std::string& returnPath) {
    return joined(
        {std::string(kVersion), std::string(kUndoBegun), std::to_string(serial), returnPath});
}

std::string UndoDoneLine(std::uint64_t serial) {
    return eventLine(kUndoDone, serial);
}

std::string UndoAbandonedLine(std::uint64_t serial) {
    return eventLine(kUndoAbandoned, serial);
}

std::optional<FiledDocument> ParseFilingLine(const std::string& line) {
    const std::optional<std::vector<std::string>> fields = splitLine(line);
    if (!fields || fields->size() < kFilingFields || (*fields)[0] != kVersion ||
        (*fields)[1] != kFiled) {
        return std::nullopt;
    }
    const auto serial = parsedNumber<std::uint64_t>((*fields)[2]);
    const auto filedAt = parsedNumber<std::int64_t>((*fields)[3]);
    const std::optional<platform::FileStat> stat = parsedStat(*fields);
    if (!serial || !filedAt || !stat) {
        return std::nullopt;
    }
    FiledDocument filing;
    filing.serial = *serial;
    filing.filedAtSeconds = *filedAt;
    filing.inputFolder = (*fields)[4];
    filing.documentName = (*fields)[5];
    filing.targetPath = (*fields)[6];
    filing.entries = {(*fields)[7], (*fields)[8], (*fields)[9], (*fields)[10]};
    filing.filed = *stat;
    filing.createdFolders.assign(fields->begin() + kFilingFields, fields->end());
    return filing;
}

std::string FilingJournal::load() {
    filings_.clear();
    undos_.clear();
    skipped_ = 0;
    const platform::JournalRead read = file_.read();
    if (!read.problem.empty()) {
        return read.problem;
    }
    const std::string_view text = read.text;
    // Whatever follows the last "\n" is a line a crash cut short.
    for (std::size_t start = 0, end = text.find('\n'); end != std::string_view::npos;
         start = end + 1, end = text.find('\n', start)) {
        const std::string line(text.substr(start, end - start));
        if (!line.empty() && !apply(line)) {
            ++skipped_;
        }
    }
    return {};
}

std::string FilingJournal::recordFiling(FiledDocument filing) {
    filing.serial = filings_.empty() ? 1 : filings_.back().serial + 1;
    return appendAndApply(FilingLine(filing));
}

std::vector<FiledDocument> FilingJournal::undoable() const {
    std::vector<FiledDocument> result;
    const std::size_t recent = std::min(filings_.size(), kUndoableFilings);
    for (auto it = filings_.rbegin(); it != filings_.rbegin() + static_cast<std::ptrdiff_t>(recent);
         ++it) {
        if (undos_.at(it->serial).state == UndoState::None) {
            result.push_back(*it);
        }
    }
    return result;
}

std::vector<PendingUndo> FilingJournal::pendingUndos() const {
    std::vector<PendingUndo> result;
    for (const FiledDocument& filing : filings_) {
        const UndoMark& mark = undos_.at(filing.serial);
        if (mark.state == UndoState::Begun) {
            result.push_back({filing, mark.returnPath});
        }
    }
    return result;
}

std::string FilingJournal::recordUndoBegun(std::uint64_t serial, const std::string& returnPath) {
    return appendAndApply(UndoBegunLine(serial, returnPath));
}

std::string FilingJournal::recordUndoDone(std::uint64_t serial) {
    return appendAndApply(UndoDoneLine(serial));
}

std::string FilingJournal::recordUndoAbandoned(std::uint64_t serial) {
    return appendAndApply(UndoAbandonedLine(serial));
}

std::string FilingJournal::appendAndApply(const std::string& line) {
    if (std::string problem = file_.append(line); !problem.empty()) {
        return "The filing journal could not be written: " + problem;
    }
    if (!apply(line)) {
        return "The filing journal has no filing for this record.";
    }
    return {};
}

// False for a line this version cannot use: not parsed, or about a filing it does not know.
bool FilingJournal::apply(const std::string& line) {
    if (std::optional<FiledDocument> filing = ParseFilingLine(line)) {
        // Serials only grow; a repeated or smaller one would make undo pick the wrong filing.
        if (!filings_.empty() && filing->serial <= filings_.back().serial) {
            return false;
        }
        undos_[filing->serial] = {};
        filings_.push_back(std::move(*filing));
        return true;
    }
    const std::optional<std::vector<std::string>> fields = splitLine(line);
    if (!fields || fields->size() < 3 || (*fields)[0] != kVersion) {
        return false;
    }
    const auto serial = parsedNumber<std::uint64_t>((*fields)[2]);
    const auto mark = serial ? undos_.find(*serial) : undos_.end();
    if (mark == undos_.end()) {
        return false;
    }
    const std::string& kind = (*fields)[1];
    if (kind == kUndoBegun && fields->size() == 4) {
        mark->second = {UndoState::Begun, (*fields)[3]};
    } else if (kind == kUndoDone && fields->size() == 3) {
        mark->second.state = UndoState::Done;
    } else if (kind == kUndoAbandoned && fields->size() == 3) {
        mark->second = {};
    } else {
        return false;
    }
    return true;
}

}  // namespace sortwell::desk
