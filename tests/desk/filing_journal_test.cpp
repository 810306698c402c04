// The filing journal: its line format, what a reload makes of torn and foreign lines, and which
// filings it offers to take back.
#include "desk/filing_journal.h"

#include <gtest/gtest.h>

#include "fakes/fake_journal_file.h"

namespace sortwell::desk {
namespace {

using namespace std::chrono_literals;

FiledDocument taxLetter() {
    FiledDocument filing;
    filing.inputFolder = "/home/u/Scans";
    filing.documentName = "scan0001.pdf";
    filing.targetPath = "/home/u/Archive/2026/12 Tax.pdf";
    filing.createdFolders = {"/home/u/Archive/2026"};
    filing.entries = {"12", "2026", "Tax", "Tax"};
    filing.filed.size = 4711;
    filing.filed.modified = std::chrono::system_clock::time_point(1'765'000'000'123'456'789ns);
    filing.filed.device = 2049;
    filing.filed.inode = 1234567;
    filing.filedAtSeconds = 1'765'000'001;
    return filing;
}

FiledDocument filingNamed(const std::string& name) {
    FiledDocument filing = taxLetter();
    filing.documentName = name;
    filing.targetPath = "/home/u/Archive/" + name;
    return filing;
}

TEST(FilingLine, EveryFieldComesBackAsItWasAndTheLineStaysOneLine) {
    FiledDocument filing = taxLetter();
    filing.serial = 42;
    filing.inputFolder = "/in\\put\tfolder";
    filing.documentName = "a\nb.pdf";
    filing.entries = {"1\t2", "20\\26", "tag\nwith break", "\\n not a break"};
    filing.createdFolders = {"/x", "/x/y\tz", "/x/y\tz/\\"};

    const std::string line = FilingLine(filing);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    EXPECT_TRUE(line.starts_with("v1\tfiled\t42\t")) << line;
    EXPECT_EQ(ParseFilingLine(line), filing);
}

TEST(FilingLine, AFilingWithoutCreatedFoldersComesBackWithoutAny) {
    FiledDocument filing = taxLetter();
    filing.createdFolders.clear();
    filing.entries.tag.clear();
    EXPECT_EQ(ParseFilingLine(FilingLine(filing)), filing);
}

TEST(FilingLine, LinesOfAnotherVersionOrDamagedOnesAreNotFilings) {
    const std::string line = FilingLine(taxLetter());
    EXPECT_FALSE(ParseFilingLine("v2" + line.substr(2)));
    EXPECT_FALSE(ParseFilingLine(line.substr(0, line.rfind('\t', line.rfind('\t') - 1))))
        << "fields missing";
    EXPECT_FALSE(ParseFilingLine(line + "\\q")) << "an unknown escape";
    EXPECT_FALSE(ParseFilingLine(line + "\\")) << "a lone backslash at the end";
    std::string badNumber = line;
    badNumber.replace(badNumber.find("4711"), 4, "47x1");
    EXPECT_FALSE(ParseFilingLine(badNumber));
    EXPECT_FALSE(ParseFilingLine(UndoDoneLine(1)));
}

class FilingJournalTest : public ::testing::Test {
protected:
    void fileDocuments(int count) {
        for (int i = 1; i <= count; ++i) {
            ASSERT_EQ(journal.recordFiling(filingNamed("scan" + std::to_string(i) + ".pdf")), "");
        }
    }

    static std::vector<std::uint64_t> serials(const std::vector<FiledDocument>& filings) {
        std::vector<std::uint64_t> result;
        for (const FiledDocument& filing : filings) {
            result.push_back(filing.serial);
        }
        return result;
    }

    test::FakeJournalFile file;
    FilingJournal journal{file};
};

TEST_F(FilingJournalTest, SerialsCountUpAndGoOnAfterAReload) {
    fileDocuments(2);
    EXPECT_EQ(serials(journal.filings()), (std::vector<std::uint64_t>{1, 2}));

    FilingJournal reloaded(file);
    ASSERT_EQ(reloaded.load(), "");
    EXPECT_EQ(reloaded.filings(), journal.filings());
    ASSERT_EQ(reloaded.recordFiling(taxLetter()), "");
    EXPECT_EQ(reloaded.filings().back().serial, 3U);
}

TEST_F(FilingJournalTest, ATornLastLineAndLinesThatDoNotParseAreSkipped) {
    fileDocuments(1);
    file.text += "v9\tsomething later\n";
    file.text += "\n";
    file.text += UndoDoneLine(77) + "\n";  // no such filing
    file.text += FilingLine(filingNamed("torn.pdf")).substr(0, 40);

    ASSERT_EQ(journal.load(), "");
    ASSERT_EQ(journal.filings().size(), 1U);
    EXPECT_EQ(journal.filings()[0].documentName, "scan1.pdf");
    EXPECT_EQ(journal.skippedLines(), 2U) << "the empty line and the torn one do not count";
}

TEST_F(FilingJournalTest, ATornLineStaysTornWhenTheNextAppendEndsIt) {
    fileDocuments(12);
    const std::string done = UndoDoneLine(12);
    // Cut where the rest would still read as "undo done" for filing 1.
    file.text += done.substr(0, done.find("\t12") + 2);
    const std::string filing = FilingLine(filingNamed("cut.pdf"));
    ASSERT_EQ(journal.load(), "");
    ASSERT_EQ(journal.recordFiling(filingNamed("next.pdf")), "");
    file.text += filing.substr(0, filing.size() - 4);

    FilingJournal reloaded(file);
    ASSERT_EQ(reloaded.load(), "");
    EXPECT_EQ(reloaded.undoable().size(), 13U) << "no filing was taken back";
    EXPECT_EQ(reloaded.undoable().back().serial, 1U);
    EXPECT_EQ(reloaded.filings().back().documentName, "next.pdf");
    EXPECT_EQ(reloaded.skippedLines(), 1U) << "the torn undo, ended by the next append";
    ASSERT_EQ(reloaded.recordFiling(filingNamed("after.pdf")), "");
    FilingJournal again(file);
    ASSERT_EQ(again.load(), "");
    EXPECT_EQ(again.filings().back().documentName, "after.pdf");
    EXPECT_EQ(again.filings().back().serial, 14U);
    EXPECT_EQ(again.skippedLines(), 2U);
}

TEST_F(FilingJournalTest, AFilingWhoseSerialDoesNotGrowIsSkipped) {
    FiledDocument first = taxLetter();
    first.serial = 5;
    FiledDocument again = filingNamed("again.pdf");
    again.serial = 5;
    file.text = FilingLine(first) + "\n" + FilingLine(again) + "\n";
    ASSERT_EQ(journal.load(), "");
    ASSERT_EQ(journal.filings().size(), 1U);
    EXPECT_EQ(journal.filings()[0].documentName, "scan0001.pdf");
    EXPECT_EQ(journal.skippedLines(), 1U);
}

TEST_F(FilingJournalTest, AnUnreadableFileIsReportedAndLeavesNothing) {
    fileDocuments(1);
    file.refuseReadsWith = "Permission denied";
    EXPECT_EQ(journal.load(), "Permission denied");
    EXPECT_TRUE(journal.filings().empty());
}

TEST_F(FilingJournalTest, OnlyTheLastTwentyFilingsAreUndoableNewestFirst) {
    fileDocuments(25);
    const std::vector<FiledDocument> undoable = journal.undoable();
    ASSERT_EQ(undoable.size(), kUndoableFilings);
    EXPECT_EQ(undoable.front().serial, 25U);
    EXPECT_EQ(undoable.back().serial, 6U);
}

TEST_F(FilingJournalTest, AnUndoMovesTheFilingOutOfTheUndoableAndBeyondReach) {
    fileDocuments(3);
    ASSERT_EQ(journal.recordUndoBegun(3, "/home/u/Scans/scan3.pdf"), "");
    EXPECT_EQ(serials(journal.undoable()), (std::vector<std::uint64_t>{2, 1}))
        << "one being undone is not offered again";
    ASSERT_EQ(journal.pendingUndos().size(), 1U);
    EXPECT_EQ(journal.pendingUndos()[0].filing.serial, 3U);
    EXPECT_EQ(journal.pendingUndos()[0].returnPath, "/home/u/Scans/scan3.pdf");

    ASSERT_EQ(journal.recordUndoDone(3), "");
    EXPECT_TRUE(journal.pendingUndos().empty());
    EXPECT_EQ(serials(journal.undoable()), (std::vector<std::uint64_t>{2, 1}));
    EXPECT_EQ(journal.filings().size(), 3U) << "an undone filing still counts for the history";
}

TEST_F(FilingJournalTest, AnAbandonedUndoMakesTheFilingUndoableAgain) {
    fileDocuments(2);
    ASSERT_EQ(journal.recordUndoBegun(2, "/home/u/Scans/scan2.pdf"), "");
    ASSERT_EQ(journal.recordUndoAbandoned(2), "");
    EXPECT_TRUE(journal.pendingUndos().empty());
    EXPECT_EQ(serials(journal.undoable()), (std::vector<std::uint64_t>{2, 1}));
}

TEST_F(FilingJournalTest, UndoRecordsSurviveAReload) {
    fileDocuments(3);
    ASSERT_EQ(journal.recordUndoBegun(3, "/in/scan3.pdf"), "");
    ASSERT_EQ(journal.recordUndoDone(3), "");
    ASSERT_EQ(journal.recordUndoBegun(2, "/in/scan2.pdf"), "");

    FilingJournal reloaded(file);
    ASSERT_EQ(reloaded.load(), "");
    EXPECT_EQ(serials(reloaded.undoable()), (std::vector<std::uint64_t>{1}));
    ASSERT_EQ(reloaded.pendingUndos().size(), 1U);
    EXPECT_EQ(reloaded.pendingUndos()[0].returnPath, "/in/scan2.pdf");
    EXPECT_EQ(reloaded.skippedLines(), 0U);
}

TEST_F(FilingJournalTest, ARecordThatCannotBeWrittenChangesNothing) {
    fileDocuments(1);
    file.refuseAppendsWith = "No space left on device";
    const std::string problem = journal.recordFiling(taxLetter());
    EXPECT_NE(problem.find("No space left on device"), std::string::npos) << problem;
    EXPECT_EQ(journal.filings().size(), 1U);

    EXPECT_NE(journal.recordUndoBegun(1, "/in/scan1.pdf"), "");
    EXPECT_TRUE(journal.pendingUndos().empty());
    EXPECT_EQ(serials(journal.undoable()), (std::vector<std::uint64_t>{1}));
}

}  // namespace
}  // namespace sortwell::desk
