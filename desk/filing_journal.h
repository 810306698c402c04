#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "desk/filing.h"
#include "platform/document_files.h"
#include "platform/journal_file.h"

namespace sortwell::desk {

// One document as it was filed, with what it takes to put it back.
struct FiledDocument {
    std::uint64_t serial = 0;  // given by FilingJournal::recordFiling, counting up from 1
    std::string inputFolder;   // as the settings named it at the filing
    std::string documentName;  // its name in the input folder
    std::string targetPath;
    std::vector<std::string> createdFolders;  // made for this filing, top-down
    FilingEntries entries;
    platform::FileStat filed;  // of the file at targetPath, right after the move
    std::int64_t filedAtSeconds = 0;

    bool operator==(const FiledDocument&) const = default;
};

// An undo noted as begun whose end was never noted: the program stopped during the move.
struct PendingUndo {
    FiledDocument filing;
    std::string returnPath;
};

// How many of the latest filings can be taken back.
constexpr std::size_t kUndoableFilings = 20;

// The line a record is written as: a version word, then tab-separated fields in which tab,
// line break, carriage return and backslash are written as "\t", "\n", "\r" and "\\", and a
// closing "." field that a line cut short lacks.
std::string FilingLine(const FiledDocument& filing);
std::string UndoBegunLine(std::uint64_t serial, const std::string& returnPath);
std::string UndoDoneLine(std::uint64_t serial);
std::string UndoAbandonedLine(std::uint64_t serial);
// The filing a line records, or nothing when it is not a valid filing line of this version.
std::optional<FiledDocument> ParseFilingLine(const std::string& line);

// The filings and their undos, kept in a journal file that survives restarts. Each record is
// on disk before the call that makes it returns; the state in memory follows only the records
// that were written.
class FilingJournal {
public:
    explicit FilingJournal(platform::JournalFile& file) : file_(file) {}

    // Reads the journal anew. A last line without its "\n" (cut short by a crash) and lines
    // that do not parse are skipped; skippedLines() tells how many. Returns the reason when
    // the file cannot be read, empty text otherwise.
    std::string load();
    std::size_t skippedLines() const { return skipped_; }

    // Notes a filing under the next serial. Returns the reason when it could not be written.
    std::string recordFiling(FiledDocument filing);

    // Every filing, oldest first, undone ones included.
    const std::vector<FiledDocument>& filings() const { return filings_; }
    // The filings that can be taken back, newest first: those among the last kUndoableFilings
    // that are neither undone nor in the middle of an undo.
    std::vector<FiledDocument> undoable() const;
    // Undos begun and never ended, oldest first.
    std::vector<PendingUndo> pendingUndos() const;

    // Each returns the reason when the record could not be written, and then changes nothing.
    std::string recordUndoBegun(std::uint64_t serial, const std::string& returnPath);
    std::string recordUndoDone(std::uint64_t serial);
    std::string recordUndoAbandoned(std::uint64_t serial);

private:
    enum class UndoState { None, Begun, Done };
    struct UndoMark {
        UndoState state = UndoState::None;
        std::string returnPath;
    };

    std::string appendAndApply(const std::string& line);
    bool apply(const std::string& line);

    platform::JournalFile& file_;
    std::vector<FiledDocument> filings_;
    std::map<std::uint64_t, UndoMark> undos_;
    std::size_t skipped_ = 0;
};

}  // namespace sortwell::desk
