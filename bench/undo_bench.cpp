// Taking one filing back on a real file system: the checks, the two journal records, each
// flushed to disk, the move back into the input folder and the removal of the emptied folder.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "desk/filing_journal.h"
#include "desk/undo_filing.h"
#include "platform/linux/posix_document_files.h"
#include "platform/linux/posix_journal_file.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using sortwell::desk::FiledDocument;
using sortwell::desk::FilingJournal;

// A 200 KiB scan filed into a folder the filing created, as the desk notes it.
std::string fileOneDocument(const fs::path& input, const fs::path& archive, FilingJournal& journal,
                            sortwell::platform::DocumentFiles& files) {
    const fs::path created = archive / "2026";
    fs::create_directories(created);
    const fs::path target = created / "12 Tax.pdf";
    sortwell::test::writeFile(target, std::string(200 * 1024, 'x'));
    FiledDocument filing;
    filing.inputFolder = input.string();
    filing.documentName = "scan0001.pdf";
    filing.targetPath = target.string();
    filing.createdFolders = {created.string()};
    filing.entries = {"12", "2026", "Tax", "Tax"};
    filing.filed = files.statDocument(target.string()).stat;
    return journal.recordFiling(filing);
}

void BM_UndoOneFiling(benchmark::State& state) {
    const sortwell::test::TempDir root;
    const fs::path input = root.path() / "in";
    const fs::path archive = root.path() / "archive";
    fs::create_directories(input);
    sortwell::platform::linux_host::PosixDocumentFiles files;
    sortwell::platform::linux_host::PosixJournalFile journalFile(
        (root.path() / "state" / "journal").string());
    FilingJournal journal(journalFile);
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(input / "scan0001.pdf");
        if (const std::string problem = fileOneDocument(input, archive, journal, files);
            !problem.empty()) {
            state.SkipWithError(problem.c_str());
            break;
        }
        state.ResumeTiming();
        const sortwell::desk::UndoOutcome outcome =
            sortwell::desk::UndoLastFiling(journal, input.string(), files);
        if (!outcome.problem.empty()) {
            state.SkipWithError(outcome.problem.c_str());
            break;
        }
    }
}
BENCHMARK(BM_UndoOneFiling)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(50);

}  // namespace

BENCHMARK_MAIN();
