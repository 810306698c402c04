#include "desk/undo_filing.h"

#include <filesystem>
#include <vector>

#include "desk/filing.h"
#include "desk/free_name.h"

namespace sortwell::desk {
namespace {

namespace fs = std::filesystem;

// The same folder whether or not the setting ends in "/" or holds "." parts, ending in "/", as
// the desk names the documents in it.
std::string comparableFolder(const std::string& folder) {
    return SourceFolder(fs::path(folder).lexically_normal().string());
}

// The folder as a path to look up: normalised, without a final "/" unless it is the root.
std::string existingForm(const std::string& folder) {
    std::string normal = comparableFolder(folder);
    if (normal.size() > 1) {
        normal.pop_back();
    }
    return normal;
}

std::string cannotTakeBack(const FiledDocument& filing, const std::string& why) {
    return filing.documentName + " cannot be taken back: " + why;
}

// Why the filed file is not the one the journal noted, or empty text.
std::string changeSinceFiling(const FiledDocument& filing, platform::DocumentFiles& files) {
    const platform::DocumentStat now = files.statDocument(filing.targetPath);
    if (!now.problem.empty()) {
        return cannotTakeBack(filing, "it is no longer at " + filing.targetPath +
                                          ", it was renamed or removed since it was filed.");
    }
    if (now.stat != filing.filed) {
        return cannotTakeBack(filing,
                              "it was changed since it was filed to " + filing.targetPath + ".");
    }
    return {};
}

std::string inputFolderChange(const FiledDocument& filing, const std::string& currentInputFolder) {
    if (comparableFolder(currentInputFolder) == comparableFolder(filing.inputFolder)) {
        return {};
    }
    return cannotTakeBack(filing, "the input folder is now " + currentInputFolder +
                                      ", it was filed from " + filing.inputFolder + ".");
}

// Removes the folders the filing created, deepest first; the reasons of those that stay.
std::string removeCreatedFolders(const FiledDocument& filing, platform::DocumentFiles& files) {
    std::string problems;
    for (auto it = filing.createdFolders.rbegin(); it != filing.createdFolders.rend(); ++it) {
        if (std::string problem = files.removeEmptyFolder(*it); !problem.empty()) {
            problems += (problems.empty() ? "" : " ") + problem;
        }
    }
    return problems;
}

std::string nameOf(const std::string& path) {
    return fs::path(path).filename().string();
}

UndoOutcome refusal(const FiledDocument& filing, std::string problem) {
    UndoOutcome outcome;
    outcome.problem = std::move(problem);
    outcome.filing = filing;
    return outcome;
}

std::string joinedLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += (text.empty() ? "" : "\n") + line;
    }
    return text;
}

// The outcome of one interrupted undo once its document is found, or why it could not be ended.
std::string finishOne(FilingJournal& journal, const PendingUndo& pending,
                      platform::DocumentFiles& files) {
    const FiledDocument& filing = pending.filing;
    const platform::DocumentStat there = files.statDocument(filing.targetPath);
    const platform::DocumentStat back = files.statDocument(pending.returnPath);
    const bool atTarget = there.problem.empty();
    const bool returned = back.problem.empty();
    if (returned && !atTarget) {
        std::string problem = removeCreatedFolders(filing, files);
        const std::string recorded = journal.recordUndoDone(filing.serial);
        return recorded.empty() ? problem : recorded;
    }
    std::string twice;
    if (returned && atTarget) {
        if (back.stat.device == there.stat.device && back.stat.inode == there.stat.inode) {
            // Stopped between link and unlink: the name in the input folder is a second link.
            twice = files.deleteDocument(pending.returnPath);
        } else {
            twice = filing.documentName + " is now both at " + filing.targetPath + " and at " +
                    pending.returnPath +
                    ": the program stopped while taking it back. Keep one of them.";
        }
    }
    if (std::string recorded = journal.recordUndoAbandoned(filing.serial); !recorded.empty()) {
        return recorded;
    }
    if (!twice.empty()) {
        return twice;
    }
    if (!atTarget) {
        return filing.documentName + " was being taken back to " + pending.returnPath +
               " when the program stopped, and it is now neither there nor at " +
               filing.targetPath + ".";
    }
    return {};
}

}  // namespace

UndoOutcome UndoLastFiling(FilingJournal& journal, const std::string& currentInputFolder,
                           platform::DocumentFiles& files) {
    const std::vector<FiledDocument> undoable = journal.undoable();
    if (undoable.empty()) {
        return refusal({}, "Nothing to undo.");
    }
    const FiledDocument& filing = undoable.front();
    if (std::string problem = inputFolderChange(filing, currentInputFolder); !problem.empty()) {
        return refusal(filing, problem);
    }
    if (std::string problem = changeSinceFiling(filing, files); !problem.empty()) {
        return refusal(filing, problem);
    }
    if (!files.folderExists(existingForm(currentInputFolder))) {
        return refusal(filing, cannotTakeBack(filing, "the input folder " + currentInputFolder +
                                                          " does not exist."));
    }
    const std::string returnPath =
        FreePathIn(comparableFolder(currentInputFolder), filing.documentName, 1, files);
    if (returnPath.empty()) {
        return refusal(filing, cannotTakeBack(filing, "the input folder has no free name for it."));
    }
    // Noted first, so that a crash during the move is finished at the next start.
    if (std::string problem = journal.recordUndoBegun(filing.serial, returnPath);
        !problem.empty()) {
        return refusal(filing, cannotTakeBack(filing, problem));
    }
    if (std::string problem = files.moveDocument(filing.targetPath, returnPath); !problem.empty()) {
        const std::string abandoned = journal.recordUndoAbandoned(filing.serial);
        return refusal(
            filing, cannotTakeBack(filing, problem) + (abandoned.empty() ? "" : " " + abandoned));
    }
    UndoOutcome outcome;
    outcome.returnedName = nameOf(returnPath);
    outcome.filing = filing;
    outcome.note = removeCreatedFolders(filing, files);
    if (std::string problem = journal.recordUndoDone(filing.serial); !problem.empty()) {
        // The next start sees the document back and notes the undo as done then.
        outcome.note += (outcome.note.empty() ? "" : " ") + problem;
    }
    return outcome;
}

std::string FinishInterruptedUndos(FilingJournal& journal, platform::DocumentFiles& files) {
    std::vector<std::string> problems;
    for (const PendingUndo& pending : journal.pendingUndos()) {
        if (std::string problem = finishOne(journal, pending, files); !problem.empty()) {
            problems.push_back(problem);
        }
    }
    return joinedLines(problems);
}

}  // namespace sortwell::desk
