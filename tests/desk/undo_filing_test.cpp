// Taking a filing back: what is refused and why, where the document goes, which folders go with
// it, and how a start-up ends an undo that a crash interrupted.
#include "desk/undo_filing.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fakes/fake_document_files.h"
#include "fakes/fake_journal_file.h"
#include "platform/linux/posix_document_files.h"
#include "platform/linux/posix_journal_file.h"
#include "support/temp_dir.h"

namespace sortwell::desk {
namespace {

using test::FakeDocumentFiles;

const std::string kInput = "/home/u/Scans";
const std::string kTarget = "/archive/2026/12 Tax.pdf";

platform::FileStat statOf(std::uint64_t size) {
    platform::FileStat stat;
    stat.size = size;
    stat.modified = std::chrono::system_clock::time_point(std::chrono::seconds(1'765'000'000));
    stat.device = 7;
    stat.inode = 99;
    return stat;
}

class UndoFilingTest : public ::testing::Test {
protected:
    UndoFilingTest() { files.folders.insert({"/home", "/home/u", kInput, "/archive"}); }

    // As the desk notes a filing: the document is at its target, in folders it created.
    void filed(const std::string& name, const std::string& target,
               const std::vector<std::string>& created, const std::string& tag = "Tax") {
        files.folders.insert(created.begin(), created.end());
        files.files[target] = statOf(100 + journal.filings().size());
        FiledDocument filing;
        filing.inputFolder = kInput;
        filing.documentName = name;
        filing.targetPath = target;
        filing.createdFolders = created;
        filing.entries = {"12", "2026", tag, "Tax"};
        filing.filed = files.files[target];
        ASSERT_EQ(journal.recordFiling(filing), "");
    }

    void fileTaxLetter() { filed("scan0001.pdf", kTarget, {"/archive/2026"}); }

    std::vector<std::string> moves() const {
        std::vector<std::string> result;
        for (const std::string& change : files.changes()) {
            if (change.starts_with("move ")) {
                result.push_back(change);
            }
        }
        return result;
    }

    FakeDocumentFiles files;
    test::FakeJournalFile file;
    FilingJournal journal{file};
};

TEST_F(UndoFilingTest, TheDocumentGoesBackWithItsEntriesAndItsFolderGoes) {
    fileTaxLetter();
    const UndoOutcome outcome = UndoLastFiling(journal, kInput, files);
    EXPECT_EQ(outcome.problem, "");
    EXPECT_EQ(outcome.note, "");
    EXPECT_EQ(outcome.returnedName, "scan0001.pdf");
    EXPECT_EQ(outcome.filing.entries.tag, "Tax");
    EXPECT_EQ(outcome.filing.entries.month, "12");
    EXPECT_TRUE(files.files.contains(kInput + "/scan0001.pdf"));
    EXPECT_FALSE(files.files.contains(kTarget));
    EXPECT_FALSE(files.folders.contains("/archive/2026"));
    EXPECT_TRUE(files.folders.contains("/archive")) << "not made by this filing";

    const std::vector<std::string> lines = file.lines();
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[1], UndoBegunLine(1, kInput + "/scan0001.pdf"));
    EXPECT_EQ(lines[2], UndoDoneLine(1));
    EXPECT_TRUE(journal.undoable().empty());
}

TEST_F(UndoFilingTest, FoldersGoDeepestFirstAndOneStillInUseStays) {
    filed("scan0001.pdf", "/archive/2026/12/Tax.pdf", {"/archive/2026", "/archive/2026/12"});
    files.files["/archive/2026/other.pdf"] = statOf(1);
    EXPECT_EQ(UndoLastFiling(journal, kInput, files).problem, "");
    EXPECT_FALSE(files.folders.contains("/archive/2026/12"));
    EXPECT_TRUE(files.folders.contains("/archive/2026"));
    const std::vector<std::string> changes = files.changes();
    const auto removal =
        std::find(changes.begin(), changes.end(), "removeEmptyFolder /archive/2026/12");
    ASSERT_NE(removal, changes.end());
    EXPECT_EQ(*(removal + 1), "removeEmptyFolder /archive/2026");
}

TEST_F(UndoFilingTest, AFolderThatCannotBeRemovedIsANoteNotARefusal) {
    fileTaxLetter();
    files.refuseRemovals["/archive/2026"] = "Could not remove the folder /archive/2026: busy";
    const UndoOutcome outcome = UndoLastFiling(journal, kInput, files);
    EXPECT_EQ(outcome.problem, "");
    EXPECT_EQ(outcome.note, "Could not remove the folder /archive/2026: busy");
    EXPECT_TRUE(files.files.contains(kInput + "/scan0001.pdf"));
}

TEST_F(UndoFilingTest, RefusesWhenTheInputFolderIsGone) {
    fileTaxLetter();
    files.folders.erase(kInput);
    const UndoOutcome outcome = UndoLastFiling(journal, kInput + "/", files);
    EXPECT_EQ(outcome.problem, "scan0001.pdf cannot be taken back: the input folder " + kInput +
                                   "/ does not exist.");
    EXPECT_EQ(moves(), std::vector<std::string>{});
    EXPECT_TRUE(files.files.contains(kTarget));
}

TEST_F(UndoFilingTest, ATakenNameInTheInputFolderGetsTheNextFreeOne) {
    fileTaxLetter();
    files.files[kInput + "/scan0001.pdf"] = statOf(1);
    files.folders.insert(kInput + "/scan0001 (2).pdf");
    const UndoOutcome outcome = UndoLastFiling(journal, kInput + "/", files);
    EXPECT_EQ(outcome.problem, "");
    EXPECT_EQ(outcome.returnedName, "scan0001 (3).pdf");
    EXPECT_EQ(moves(), (std::vector<std::string>{"move " + kTarget + " -> " + kInput +
                                                 "/scan0001 (3).pdf"}));
}

TEST_F(UndoFilingTest, GoesBackThroughTheFilingsNewestFirst) {
    filed("a.pdf", "/archive/a.pdf", {});
    filed("b.pdf", "/archive/b.pdf", {});
    EXPECT_EQ(UndoLastFiling(journal, kInput, files).returnedName, "b.pdf");
    EXPECT_EQ(UndoLastFiling(journal, kInput, files).returnedName, "a.pdf");
    EXPECT_EQ(UndoLastFiling(journal, kInput, files).problem, "Nothing to undo.");
}

TEST_F(UndoFilingTest, RefusesAFiledFileThatChangedOrWentAndMovesNothing) {
    fileTaxLetter();
    const std::size_t linesBefore = file.lines().size();

    files.files[kTarget].size += 1;
    EXPECT_EQ(UndoLastFiling(journal, kInput, files).problem,
              "scan0001.pdf cannot be taken back: it was changed since it was filed to "
              "/archive/2026/12 Tax.pdf.");
    files.files[kTarget] = journal.filings()[0].filed;
    files.files[kTarget].inode += 1;
    EXPECT_NE(UndoLastFiling(journal, kInput, files).problem.find("it was changed"),
              std::string::npos)
        << "another file under the same name";
    files.files[kTarget] = journal.filings()[0].filed;
    files.files[kTarget].modified += std::chrono::seconds(1);
    EXPECT_NE(UndoLastFiling(journal, kInput, files).problem, "");

    files.files.erase(kTarget);
    EXPECT_EQ(UndoLastFiling(journal, kInput, files).problem,
              "scan0001.pdf cannot be taken back: it is no longer at /archive/2026/12 Tax.pdf, "
              "it was renamed or removed since it was filed.");

    EXPECT_TRUE(moves().empty());
    EXPECT_EQ(file.lines().size(), linesBefore);
    EXPECT_EQ(journal.undoable().size(), 1U);
}

TEST_F(UndoFilingTest, RefusesWhenTheInputFolderChanged) {
    fileTaxLetter();
    const UndoOutcome outcome = UndoLastFiling(journal, "/other", files);
    EXPECT_EQ(outcome.problem,
              "scan0001.pdf cannot be taken back: the input folder is now /other, it was filed "
              "from /home/u/Scans.");
    EXPECT_EQ(outcome.filing.serial, 1U);
    EXPECT_TRUE(moves().empty());
    EXPECT_EQ(UndoLastFiling(journal, "/home/u/./Scans/", files).problem, "")
        << "the same folder written another way";
}

TEST_F(UndoFilingTest, NothingMovesWhenTheBeginningCannotBeNoted) {
    fileTaxLetter();
    file.refuseAppendsWith = "No space left on device";
    const std::string problem = UndoLastFiling(journal, kInput, files).problem;
    EXPECT_TRUE(problem.starts_with("scan0001.pdf cannot be taken back: ")) << problem;
    EXPECT_NE(problem.find("No space left on device"), std::string::npos) << problem;
    EXPECT_TRUE(moves().empty());
    EXPECT_TRUE(files.files.contains(kTarget));
}

TEST_F(UndoFilingTest, AFailedMoveIsNotedAbandonedAndTheFilingStaysUndoable) {
    fileTaxLetter();
    files.refuseMovesWith = "Permission denied";
    const std::string problem = UndoLastFiling(journal, kInput, files).problem;
    EXPECT_EQ(problem, "scan0001.pdf cannot be taken back: Permission denied");
    EXPECT_EQ(file.lines().back(), UndoAbandonedLine(1));
    EXPECT_EQ(journal.undoable().size(), 1U);
    EXPECT_TRUE(files.folders.contains("/archive/2026"));
}

TEST_F(UndoFilingTest, AnUnwrittenEndIsANoteAndTheNextStartFinishesIt) {
    fileTaxLetter();
    file.refuseAppendsWith = "No space left on device";
    file.appendsBeforeRefusal = 1;
    const UndoOutcome outcome = UndoLastFiling(journal, kInput, files);
    EXPECT_EQ(outcome.problem, "");
    EXPECT_NE(outcome.note.find("No space left on device"), std::string::npos);

    file.refuseAppendsWith.clear();
    FilingJournal restarted(file);
    ASSERT_EQ(restarted.load(), "");
    EXPECT_EQ(FinishInterruptedUndos(restarted, files), "");
    EXPECT_EQ(file.lines().back(), UndoDoneLine(1));
    EXPECT_TRUE(restarted.undoable().empty());
}

class InterruptedUndoTest : public UndoFilingTest {
protected:
    // As a crash leaves it: the undo noted as begun, the move done or not.
    void crashDuringUndo(bool moved) {
        fileTaxLetter();
        ASSERT_EQ(journal.recordUndoBegun(1, returnPath), "");
        if (moved) {
            ASSERT_EQ(files.moveDocument(kTarget, returnPath), "");
        }
        files.calls.clear();
    }

    const std::string returnPath = kInput + "/scan0001.pdf";
};

TEST_F(InterruptedUndoTest, ADocumentBackInTheInputFolderIsNotedDoneAndItsFolderGoes) {
    crashDuringUndo(true);
    EXPECT_EQ(FinishInterruptedUndos(journal, files), "");
    EXPECT_EQ(file.lines().back(), UndoDoneLine(1));
    EXPECT_FALSE(files.folders.contains("/archive/2026"));
    EXPECT_TRUE(journal.pendingUndos().empty());
    EXPECT_TRUE(journal.undoable().empty());
}

TEST_F(InterruptedUndoTest, ADocumentStillAtItsTargetIsNotedAbandonedAndCanBeUndoneAgain) {
    crashDuringUndo(false);
    EXPECT_EQ(FinishInterruptedUndos(journal, files), "");
    EXPECT_EQ(file.lines().back(), UndoAbandonedLine(1));
    EXPECT_TRUE(moves().empty());
    EXPECT_TRUE(files.folders.contains("/archive/2026"));
    EXPECT_EQ(journal.undoable().size(), 1U);
}

TEST_F(InterruptedUndoTest, ADocumentFoundNowhereIsReportedByName) {
    crashDuringUndo(false);
    files.files.erase(kTarget);
    EXPECT_EQ(FinishInterruptedUndos(journal, files),
              "scan0001.pdf was being taken back to /home/u/Scans/scan0001.pdf when the program "
              "stopped, and it is now neither there nor at /archive/2026/12 Tax.pdf.");
    EXPECT_TRUE(journal.pendingUndos().empty());
}

TEST_F(InterruptedUndoTest, ASecondLinkInTheInputFolderIsRemovedAndTheFilingStays) {
    crashDuringUndo(false);
    files.files[returnPath] = files.files[kTarget];  // stopped between link and unlink
    EXPECT_EQ(FinishInterruptedUndos(journal, files), "");
    EXPECT_FALSE(files.files.contains(returnPath));
    EXPECT_TRUE(files.files.contains(kTarget));
    EXPECT_EQ(file.lines().back(), UndoAbandonedLine(1));
    EXPECT_EQ(journal.undoable().size(), 1U);
}

TEST_F(InterruptedUndoTest, TwoDifferentFilesAreBothKeptAndReported) {
    crashDuringUndo(false);
    files.files[returnPath] = files.files[kTarget];
    files.files[returnPath].inode += 1;
    EXPECT_EQ(FinishInterruptedUndos(journal, files),
              "scan0001.pdf is now both at /archive/2026/12 Tax.pdf and at "
              "/home/u/Scans/scan0001.pdf: the program stopped while taking it back. Keep one of "
              "them.");
    EXPECT_TRUE(files.files.contains(returnPath));
    EXPECT_TRUE(files.files.contains(kTarget));
    EXPECT_TRUE(journal.pendingUndos().empty());
}

TEST_F(InterruptedUndoTest, NothingPendingDoesNothing) {
    fileTaxLetter();
    EXPECT_EQ(FinishInterruptedUndos(journal, files), "");
    EXPECT_TRUE(files.changes().empty());
    EXPECT_EQ(file.lines().size(), 1U);
}

// The same round trip on a real file system, through the journal file a start reads again.
TEST(UndoOnDisk, TheDocumentReturnsWholeAndOnlyTheEmptiedFolderGoes) {
    namespace fs = std::filesystem;
    test::TempDir root;
    const fs::path input = root.path() / "in";
    const fs::path archive = root.path() / "archive";
    fs::create_directories(input);
    fs::create_directories(archive / "2026" / "12");
    test::writeFile(archive / "kept.pdf", "other");
    test::writeFile(archive / "2026" / "12" / "Tax.pdf", "%PDF-1.4 letter");

    platform::linux_host::PosixDocumentFiles files;
    platform::linux_host::PosixJournalFile journalFile(
        (root.path() / "state" / "journal").string());
    FilingJournal journal(journalFile);
    FiledDocument filing;
    filing.inputFolder = input.string();
    filing.documentName = "scan.pdf";
    filing.targetPath = (archive / "2026" / "12" / "Tax.pdf").string();
    filing.createdFolders = {(archive / "2026").string(), (archive / "2026" / "12").string()};
    filing.filed = files.statDocument(filing.targetPath).stat;
    ASSERT_EQ(journal.recordFiling(filing), "");

    FilingJournal restarted(journalFile);
    ASSERT_EQ(restarted.load(), "");
    const UndoOutcome outcome = UndoLastFiling(restarted, input.string(), files);
    ASSERT_EQ(outcome.problem, "");
    EXPECT_EQ(outcome.note, "");
    EXPECT_EQ(test::readFile(input / "scan.pdf"), "%PDF-1.4 letter");
    EXPECT_FALSE(fs::exists(archive / "2026"));
    EXPECT_TRUE(fs::exists(archive / "kept.pdf"));
}

}  // namespace
}  // namespace sortwell::desk
