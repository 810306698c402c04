// Runs one step of taking a filing back against a real journal and real folders, so that a
// script can kill it and look at what is left.
//
//   undo_probe file <state folder> <input folder> <name> <target> <created folder>...
//                                     notes <target> as filed from <input folder>/<name>
//   undo_probe undo <state folder> <input folder>     UndoLastFiling
//   undo_probe recover <state folder>                 finishInterruptedMoves, then
//                                                     FinishInterruptedUndos
//
// The state folder holds the filing journal and the journal of moves across file systems.
// Each prints "ok" or "refused: <reason>", recover also "undoable: N pending: M"; exit status
// 0 for ok, 1 for refused, 2 for usage.
#include <cstdio>
#include <string>
#include <vector>

#include "desk/filing_journal.h"
#include "desk/undo_filing.h"
#include "faults/probe_answer.h"
#include "platform/linux/posix_document_files.h"
#include "platform/linux/posix_journal_file.h"

namespace {

using sortwell::desk::FiledDocument;
using sortwell::desk::FilingJournal;
using sortwell::platform::linux_host::PosixDocumentFiles;
using sortwell::platform::linux_host::PosixJournalFile;
using sortwell::test::answer;

struct Probe {
    explicit Probe(const std::string& stateFolder)
        : files(stateFolder + "/moves"), journalFile(stateFolder + "/journal") {}

    PosixDocumentFiles files;
    PosixJournalFile journalFile;
    FilingJournal journal{journalFile};
};

int file(const std::vector<std::string>& args) {
    Probe probe(args[1]);
    if (std::string problem = probe.journal.load(); !problem.empty()) {
        return answer(problem);
    }
    FiledDocument filing;
    filing.inputFolder = args[2];
    filing.documentName = args[3];
    filing.targetPath = args[4];
    filing.createdFolders.assign(args.begin() + 5, args.end());
    filing.entries = {"12", "2026", "Tax", "Tax"};
    const auto stat = probe.files.statDocument(filing.targetPath);
    if (!stat.problem.empty()) {
        return answer(stat.problem);
    }
    filing.filed = stat.stat;
    return answer(probe.journal.recordFiling(filing));
}

int undo(const std::string& stateFolder, const std::string& inputFolder) {
    Probe probe(stateFolder);
    if (std::string problem = probe.journal.load(); !problem.empty()) {
        return answer(problem);
    }
    const auto outcome = sortwell::desk::UndoLastFiling(probe.journal, inputFolder, probe.files);
    return answer(outcome.problem.empty() ? outcome.note : outcome.problem);
}

int recover(const std::string& stateFolder) {
    Probe probe(stateFolder);
    std::string problem = probe.files.finishInterruptedMoves();
    if (problem.empty()) {
        problem = probe.journal.load();
    }
    if (problem.empty()) {
        problem = sortwell::desk::FinishInterruptedUndos(probe.journal, probe.files);
    }
    std::printf("undoable: %zu pending: %zu\n", probe.journal.undoable().size(),
                probe.journal.pendingUndos().size());
    return answer(problem);
}

int usage() {
    std::fprintf(stderr,
                 "usage: undo_probe file <state> <input> <name> <target> <created>... | "
                 "undo <state> <input> | recover <state>\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() >= 5 && args[0] == "file") {
        return file(args);
    }
    if (args.size() == 3 && args[0] == "undo") {
        return undo(args[1], args[2]);
    }
    if (args.size() == 2 && args[0] == "recover") {
        return recover(args[1]);
    }
    return usage();
}
