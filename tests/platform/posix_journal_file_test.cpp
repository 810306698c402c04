// The journal file on disk: created with its folders and private modes, whole lines at the end,
// a line torn by a crash kept apart from the next one.
#include "platform/linux/posix_journal_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace sortwell::platform::linux_host {
namespace {

namespace fs = std::filesystem;

class PosixJournalFileTest : public ::testing::Test {
protected:
    test::TempDir root;
    fs::path path = root.path() / "state" / "tessaryn" / "journal";
    PosixJournalFile journal{path.string()};
};

TEST_F(PosixJournalFileTest, AMissingFileReadsAsEmpty) {
    const JournalRead read = journal.read();
    EXPECT_EQ(read.text, "");
    EXPECT_EQ(read.problem, "");
    EXPECT_FALSE(fs::exists(path)) << "reading creates nothing";
}

TEST_F(PosixJournalFileTest, TheFirstAppendCreatesThePrivateFileAndFolders) {
    ASSERT_EQ(journal.append("first"), "");
    EXPECT_EQ(test::permissions(path), 0600U);
    EXPECT_EQ(test::permissions(path.parent_path()), 0700U);
    EXPECT_EQ(test::permissions(path.parent_path().parent_path()), 0700U);
    EXPECT_EQ(journal.read().text, "first\n");
}

TEST_F(PosixJournalFileTest, LinesAreAddedAtTheEndInOrder) {
    ASSERT_EQ(journal.append("one"), "");
    ASSERT_EQ(journal.append("two\tfields"), "");
    ASSERT_EQ(journal.append(std::string(100000, 'x')), "");
    EXPECT_EQ(journal.read().text, "one\ntwo\tfields\n" + std::string(100000, 'x') + "\n");
}

TEST_F(PosixJournalFileTest, ALineTornByACrashIsEndedBeforeTheNextOne) {
    ASSERT_EQ(journal.append("whole"), "");
    test::writeFile(path, "whole\ntorn hal");
    ASSERT_EQ(journal.append("next"), "");
    EXPECT_EQ(journal.read().text, "whole\ntorn hal\nnext\n");
}

TEST_F(PosixJournalFileTest, AnExistingFileKeepsItsMode) {
    fs::create_directories(path.parent_path());
    test::writeFile(path, "old\n");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_EQ(journal.append("new"), "");
    EXPECT_EQ(test::permissions(path), 0640U);
    EXPECT_EQ(journal.read().text, "old\nnew\n");
}

TEST_F(PosixJournalFileTest, FailuresAreReportedWithThePath) {
    test::writeFile(root.path() / "state", "a file where the folder should be");
    const std::string problem = journal.append("line");
    EXPECT_NE(problem, "");
    EXPECT_NE(problem.find((root.path() / "state").string()), std::string::npos) << problem;

    PosixJournalFile folderAsJournal(root.str());
    const JournalRead read = folderAsJournal.read();
    EXPECT_NE(read.problem.find(root.str()), std::string::npos) << read.problem;
    EXPECT_NE(folderAsJournal.append("line").find(root.str()), std::string::npos);
}

}  // namespace
}  // namespace sortwell::platform::linux_host
