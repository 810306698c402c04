#include "platform/linux/posix_document_files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/linux/move_journal.h"
#include "support/temp_dir.h"

namespace sortwell::platform::linux_host {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

namespace fs = std::filesystem;

constexpr int kRealCall = -1;
constexpr int kCouldNotDropRights = 77;

// A move whose system calls a test can answer, as another file system would.
class ScriptedDocumentFiles : public PosixDocumentFiles {
public:
    using PosixDocumentFiles::PosixDocumentFiles;

    // Each gets the source of the call and returns an errno, 0, or kRealCall.
    std::function<int(const std::string&)> renameAnswer;
    std::function<int(const std::string&)> linkAnswer;
    std::function<void(const std::string&)> onCopied;
    std::function<void(const std::string&)> onPublished;

protected:
    int renameWithoutReplace(const std::string& from, const std::string& to) override {
        const int answer = renameAnswer ? renameAnswer(from) : kRealCall;
        return answer == kRealCall ? PosixDocumentFiles::renameWithoutReplace(from, to) : answer;
    }
    int hardLink(const std::string& from, const std::string& to) override {
        const int answer = linkAnswer ? linkAnswer(from) : kRealCall;
        return answer == kRealCall ? PosixDocumentFiles::hardLink(from, to) : answer;
    }
    void afterCopy(const std::string& source) override {
        if (onCopied) {
            onCopied(source);
        }
    }
    void afterPublish(const std::string& source) override {
        if (onPublished) {
            onPublished(source);
        }
    }
};

// A fresh folder in shared memory, which is usually another file system than /tmp.
class SharedMemoryDir {
public:
    SharedMemoryDir() {
        std::string pattern = "/dev/shm/sortwell-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        }
    }
    ~SharedMemoryDir() {
        std::error_code ignored;
        if (!path_.empty()) {
            fs::remove_all(path_, ignored);
        }
    }
    SharedMemoryDir(const SharedMemoryDir&) = delete;
    SharedMemoryDir& operator=(const SharedMemoryDir&) = delete;

    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

bool onOtherFileSystems(const fs::path& a, const fs::path& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev != second.st_dev;
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::ranges::sort(names);
    return names;
}

timespec modificationTime(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mtim;
}

void setModificationTime(const fs::path& path, time_t seconds, long nanoseconds) {
    const std::array<timespec, 2> times{{{seconds, nanoseconds}, {seconds, nanoseconds}}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times.data(), 0), 0) << path;
}

// Runs `body` in a child process as the unprivileged user 65534, since root reads anything.
int exitCodeAsNobody(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
            ::_exit(kCouldNotDropRights);
        }
        ::_exit(body());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

// Read-only for everyone but root, so that an unprivileged user cannot remove a name in it.
void makeReadOnlyForOthers(const fs::path& folder) {
    fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
}

class DocumentMove : public ::testing::Test {
protected:
    TempDir scans;
    TempDir archive;
    ScriptedDocumentFiles files;

    std::string source(const std::string& name = "scan0001.pdf") const {
        return (scans.path() / name).string();
    }
    std::string target(const std::string& name = "09 Tax_letter") const {
        return (archive.path() / name).string();
    }

    // The source claims another file system on its first rename, as across a mount.
    void crossFileSystems() {
        files.renameAnswer = [this](const std::string& from) {
            return from == source() ? EXDEV : kRealCall;
        };
    }
};

TEST_F(DocumentMove, MovesAndKeepsBytesAndModificationTime) {
    writeFile(source(), "%PDF-1.4 scan");
    setModificationTime(source(), 1409560000, 123456789);
    EXPECT_EQ(files.moveDocument(source(), target()), "");
    EXPECT_FALSE(fs::exists(source()));
    EXPECT_EQ(readFile(target()), "%PDF-1.4 scan");
    EXPECT_EQ(modificationTime(target()).tv_sec, 1409560000);
}

TEST_F(DocumentMove, NeverOverwritesAnExistingTarget) {
    writeFile(source(), "new scan");
    writeFile(target(), "filed last month");
    const std::string problem = files.moveDocument(source(), target());
    EXPECT_NE(problem.find("File exists"), std::string::npos) << problem;
    EXPECT_EQ(readFile(source()), "new scan");
    EXPECT_EQ(readFile(target()), "filed last month");
}

TEST_F(DocumentMove, AMissingSourceIsAFailureWithItsReason) {
    const std::string problem = files.moveDocument(source(), target());
    EXPECT_NE(problem.find("No such file"), std::string::npos) << problem;
    EXPECT_FALSE(fs::exists(target()));
}

TEST_F(DocumentMove, WithoutNoReplaceFallsBackToLinkAndUnlink) {
    files.renameAnswer = [](const std::string&) { return EINVAL; };
    writeFile(source(), "scan");
    EXPECT_EQ(files.moveDocument(source(), target()), "");
    EXPECT_FALSE(fs::exists(source()));
    EXPECT_EQ(readFile(target()), "scan");
}

TEST_F(DocumentMove, TheLinkFallbackNeverOverwritesEither) {
    files.renameAnswer = [](const std::string&) { return ENOSYS; };
    writeFile(source(), "new scan");
    writeFile(target(), "old");
    EXPECT_NE(files.moveDocument(source(), target()), "");
    EXPECT_EQ(readFile(source()), "new scan");
    EXPECT_EQ(readFile(target()), "old");
}

TEST_F(DocumentMove, WhereLinksAreRefusedCopiesAndPublishesWithoutReplace) {
    files.renameAnswer = [](const std::string&) { return EINVAL; };
    files.linkAnswer = [this](const std::string& from) {
        return from == source() ? EPERM : kRealCall;
    };
    writeFile(source(), "scan");
    EXPECT_EQ(files.moveDocument(source(), target()), "");
    EXPECT_FALSE(fs::exists(source()));
    EXPECT_EQ(namesIn(archive.path()), std::vector<std::string>{"09 Tax_letter"});
}

TEST_F(DocumentMove, WhenNoWayToPublishExistsTheSourceStays) {
    files.renameAnswer = [](const std::string&) { return EINVAL; };
    files.linkAnswer = [](const std::string&) { return EPERM; };
    writeFile(source(), "scan");
    EXPECT_NE(files.moveDocument(source(), target()), "");
    EXPECT_EQ(readFile(source()), "scan");
    EXPECT_TRUE(namesIn(archive.path()).empty());
}

TEST_F(DocumentMove, ACopyKeepsBytesModificationTimeAndModeAndLeavesNoTemporary) {
    crossFileSystems();
    const std::string bytes(3 << 20, 'x');  // more than one copy buffer
    writeFile(source(), bytes);
    setModificationTime(source(), 1409560000, 123456789);
    fs::permissions(source(), fs::perms::owner_read | fs::perms::group_read);
    EXPECT_EQ(files.moveDocument(source(), target()), "");
    EXPECT_FALSE(fs::exists(source()));
    EXPECT_EQ(readFile(target()), bytes);
    EXPECT_EQ(modificationTime(target()).tv_sec, 1409560000);
    EXPECT_EQ(modificationTime(target()).tv_nsec, 123456789);
    EXPECT_EQ(fs::status(target()).permissions(), fs::perms::owner_read | fs::perms::group_read);
    EXPECT_EQ(namesIn(archive.path()), std::vector<std::string>{"09 Tax_letter"});
}

TEST_F(DocumentMove, ACopyNeverOverwritesAnExistingTarget) {
    crossFileSystems();
    writeFile(source(), "new scan");
    writeFile(target(), "filed last month");
    EXPECT_NE(files.moveDocument(source(), target()), "");
    EXPECT_EQ(readFile(source()), "new scan");
    EXPECT_EQ(readFile(target()), "filed last month");
    EXPECT_EQ(namesIn(archive.path()), std::vector<std::string>{"09 Tax_letter"});
}

TEST_F(DocumentMove, ASourceThatGrowsDuringTheCopyIsKept) {
    crossFileSystems();
    writeFile(source(), "page 1");
    files.onCopied = [](const std::string& path) {
        std::ofstream(path, std::ios::app) << " page 2";
    };
    const std::string problem = files.moveDocument(source(), target());
    EXPECT_NE(problem.find("still be writing"), std::string::npos) << problem;
    EXPECT_EQ(readFile(source()), "page 1 page 2");
    EXPECT_TRUE(namesIn(archive.path()).empty());
}

TEST_F(DocumentMove, ASourceReplacedUnderItsNameDuringTheCopyIsKept) {
    crossFileSystems();
    writeFile(source(), "first");
    files.onCopied = [this](const std::string& path) {
        writeFile(source("next.tmp"), "first");
        fs::rename(source("next.tmp"), path);
    };
    EXPECT_NE(files.moveDocument(source(), target()), "");
    EXPECT_TRUE(fs::exists(source()));
    EXPECT_TRUE(namesIn(archive.path()).empty());
}

TEST_F(DocumentMove, ASourceThatGrowsOnceItsCopyIsPublishedIsKeptAndTheCopyRemoved) {
    crossFileSystems();
    writeFile(source(), "page 1");
    files.onPublished = [this](const std::string& path) {
        EXPECT_EQ(readFile(target()), "page 1");
        std::ofstream(path, std::ios::app) << " page 2";
    };
    const std::string problem = files.moveDocument(source(), target());
    EXPECT_NE(problem.find("still be writing"), std::string::npos) << problem;
    EXPECT_EQ(readFile(source()), "page 1 page 2");
    EXPECT_TRUE(namesIn(archive.path()).empty());
}

TEST_F(DocumentMove, ACopyWhoseOriginalCannotBeRemovedIsRemovedAgain) {
    crossFileSystems();
    writeFile(source(), "scan");
    makeReadOnlyForOthers(scans.path());
    fs::permissions(archive.path(), fs::perms::all);
    const int code = exitCodeAsNobody([this] {
        const std::string problem = files.moveDocument(source(), target());
        return problem.find("removing the original failed: Permission denied") != std::string::npos
                   ? 0
                   : 1;
    });
    if (code == kCouldNotDropRights) {
        GTEST_SKIP() << "needs root to act as another user";
    }
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readFile(source()), "scan");
    EXPECT_TRUE(namesIn(archive.path()).empty());
}

TEST_F(DocumentMove, TheLinkFallbackDropsTheNewNameWhenTheOriginalNameCannotBeRemoved) {
    files.renameAnswer = [](const std::string&) { return EINVAL; };
    writeFile(source(), "scan");
    // Owned by the user that links it, so that protected hard links allow the link.
    ASSERT_EQ(::chown(source().c_str(), 65534, 65534), 0);
    makeReadOnlyForOthers(scans.path());
    fs::permissions(archive.path(), fs::perms::all);
    const int code = exitCodeAsNobody([this] {
        const std::string problem = files.moveDocument(source(), target());
        return problem.find("removing the original name failed: Permission denied") !=
                       std::string::npos
                   ? 0
                   : 1;
    });
    if (code == kCouldNotDropRights) {
        GTEST_SKIP() << "needs root to act as another user";
    }
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readFile(source()), "scan");
    EXPECT_TRUE(namesIn(archive.path()).empty());
}

TEST_F(DocumentMove, AMissingTargetFolderLeavesTheSource) {
    crossFileSystems();
    writeFile(source(), "scan");
    EXPECT_NE(files.moveDocument(source(), target("no such folder/x")), "");
    EXPECT_EQ(readFile(source()), "scan");
}

TEST_F(DocumentMove, AnUnreadableSourceIsNotCopiedAndStays) {
    crossFileSystems();
    writeFile(source(), "scan");
    fs::permissions(source(), fs::perms::none);
    fs::permissions(scans.path(), fs::perms::all);
    fs::permissions(archive.path(), fs::perms::all);
    const int code = exitCodeAsNobody([this] {
        const std::string problem = files.moveDocument(source(), target());
        return problem.find("Permission denied") != std::string::npos ? 0 : 1;
    });
    if (code == kCouldNotDropRights) {
        GTEST_SKIP() << "needs root to act as another user";
    }
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readFile(source()), "scan");
    EXPECT_TRUE(namesIn(archive.path()).empty());
}

TEST(DocumentMoveAcrossFileSystems, MovesARealScanFromOneFileSystemToAnother) {
    TempDir scans;
    SharedMemoryDir archive;
    if (archive.path().empty() || !onOtherFileSystems(scans.path(), archive.path())) {
        GTEST_SKIP() << "no second file system beside " << scans.str();
    }
    PosixDocumentFiles files;
    const fs::path source = scans.path() / "scan.pdf";
    const fs::path target = archive.path() / "filed.pdf";
    const fs::path taken = archive.path() / "taken.pdf";
    writeFile(source, "%PDF scan");
    writeFile(taken, "older");
    setModificationTime(source, 1409560000, 5);

    EXPECT_NE(files.moveDocument(source, taken), "");
    EXPECT_EQ(readFile(taken), "older");
    EXPECT_EQ(files.moveDocument(source, target), "");
    EXPECT_FALSE(fs::exists(source));
    EXPECT_EQ(readFile(target), "%PDF scan");
    EXPECT_EQ(modificationTime(target).tv_sec, 1409560000);
    EXPECT_EQ(namesIn(archive.path()), (std::vector<std::string>{"filed.pdf", "taken.pdf"}));
}

class DocumentListingTest : public ::testing::Test {
protected:
    TempDir input;
    PosixDocumentFiles files;

    void touch(const std::string& name) { writeFile(input.path() / name, "x"); }
};

TEST_F(DocumentListingTest, ListsPdfFilesOfAnyCaseSortedWithoutRegardToCase) {
    for (const char* name : {"b.PDF", "a.pdf", "C.pdf", "scan.tif", "notes.pdf.txt", "pdf"}) {
        touch(name);
    }
    const DocumentListing listing = files.listDocuments(input.str());
    EXPECT_EQ(listing.problem, "");
    EXPECT_EQ(listing.names, (std::vector<std::string>{"a.pdf", "b.PDF", "C.pdf"}));
}

TEST_F(DocumentListingTest, NamesEqualButForCaseKeepOneOrder) {
    for (const char* name : {"a.pdf", "A.pdf", "A.PDF", "a.PDF"}) {
        touch(name);
    }
    EXPECT_EQ(files.listDocuments(input.str()).names,
              (std::vector<std::string>{"A.PDF", "A.pdf", "a.PDF", "a.pdf"}));
}

TEST_F(DocumentListingTest, LeavesOutFoldersHiddenFilesAndDanglingLinks) {
    touch("scan.pdf");
    touch(".hidden.pdf");
    fs::create_directory(input.path() / "x.pdf");
    fs::create_symlink(input.path() / "scan.pdf", input.path() / "link.pdf");
    fs::create_symlink(input.path() / "gone", input.path() / "dangling.pdf");
    EXPECT_EQ(files.listDocuments(input.str()).names,
              (std::vector<std::string>{"link.pdf", "scan.pdf"}));
}

TEST_F(DocumentListingTest, AMissingFolderSaysWhy) {
    const DocumentListing listing = files.listDocuments(input.str() + "/missing");
    EXPECT_NE(listing.problem.find("No such file"), std::string::npos) << listing.problem;
    EXPECT_TRUE(listing.names.empty());
}

class DocumentFolders : public ::testing::Test {
protected:
    TempDir root;
    PosixDocumentFiles files;
};

TEST_F(DocumentFolders, CreatesOneFolderAndAcceptsOneAlreadyThere) {
    const std::string folder = root.str() + "/2014";
    EXPECT_FALSE(files.folderExists(folder));
    EXPECT_EQ(files.createFolder(folder), "");
    EXPECT_TRUE(files.folderExists(folder));
    EXPECT_EQ(files.createFolder(folder), "");
}

TEST_F(DocumentFolders, DoesNotCreateMissingParentsOrReplaceAFile) {
    EXPECT_NE(files.createFolder(root.str() + "/a/b"), "");
    writeFile(root.path() / "file", "x");
    EXPECT_NE(files.createFolder(root.str() + "/file"), "");
    EXPECT_FALSE(files.folderExists(root.str() + "/file"));
}

TEST_F(DocumentFolders, DeletesAFileButNeverAFolder) {
    writeFile(root.path() / "scan.pdf", "x");
    fs::create_directory(root.path() / "x.pdf");
    EXPECT_EQ(files.deleteDocument(root.str() + "/scan.pdf"), "");
    EXPECT_FALSE(fs::exists(root.path() / "scan.pdf"));
    EXPECT_NE(files.deleteDocument(root.str() + "/x.pdf"), "");
    EXPECT_TRUE(fs::is_directory(root.path() / "x.pdf"));
    EXPECT_NE(files.deleteDocument(root.str() + "/scan.pdf"), "");
}

TEST_F(DocumentFolders, StatGivesSizeAndModificationTime) {
    writeFile(root.path() / "scan.pdf", "12345");
    setModificationTime(root.path() / "scan.pdf", 1409560000, 250000000);
    const DocumentStat result = files.statDocument(root.str() + "/scan.pdf");
    EXPECT_EQ(result.problem, "");
    EXPECT_EQ(result.stat.size, 5U);
    EXPECT_EQ(result.stat.modified.time_since_epoch(),
              std::chrono::seconds(1409560000) + std::chrono::milliseconds(250));
    EXPECT_NE(files.statDocument(root.str()).problem, "");
    EXPECT_NE(files.statDocument(root.str() + "/missing").problem, "");
}

TEST_F(DocumentFolders, StartUpRemovesOnlyLeftoverTemporaries) {
    for (const char* name : {".sortwell-move-aB3xYz", ".sortwell-move-short", "scan.pdf",
                             ".sortwell-move-aB3xYz.pdf"}) {
        writeFile(root.path() / name, "x");
    }
    EXPECT_EQ(files.removeLeftoverTemporaries(root.str()), "");
    EXPECT_EQ(namesIn(root.path()), (std::vector<std::string>{".sortwell-move-aB3xYz.pdf",
                                                              ".sortwell-move-short", "scan.pdf"}));
}

// A crash during a copy across file systems can leave a hidden copy in the target folder, or the
// document in both places; the next start must finish the move without knowing every folder a
// pattern can lead to.
TEST(MoveJournalTest, ACopyAcrossFileSystemsIsNotedWhileItRunsAndForgottenAfter) {
    TempDir scans;
    TempDir archive;
    TempDir state;
    const std::string journal = (state.path() / "tessaryn" / "sortwell-moves").string();
    ScriptedDocumentFiles files(journal);
    const std::string source = (scans.path() / "scan0001.pdf").string();
    const std::string target = (archive.path() / "letter.pdf").string();
    files.renameAnswer = [&source](const std::string& from) {
        return from == source ? EXDEV : kRealCall;
    };
    std::vector<JournalEntry> notedDuringCopy;
    files.onCopied = [&](const std::string&) { notedDuringCopy = MoveJournal(journal).entries(); };
    writeFile(source, "%PDF-1.4 scan");
    EXPECT_EQ(files.moveDocument(source, target), "");
    EXPECT_EQ(notedDuringCopy, (std::vector<JournalEntry>{{source, target}}));
    EXPECT_TRUE(MoveJournal(journal).entries().empty());
}

TEST(MoveJournalTest, StartUpRemovesTheCopiesACrashLeftInNotedTargetFoldersOnly) {
    TempDir scans;
    TempDir archive;
    TempDir other;
    TempDir state;
    const std::string journal = (state.path() / "sortwell-moves").string();
    writeFile((scans.path() / "scan.pdf").string(), "the scan");
    writeFile((archive.path() / ".sortwell-move-Ab12Cd").string(), "half a copy");
    writeFile((archive.path() / "letter.pdf").string(), "filed");
    writeFile((other.path() / ".sortwell-move-Zz99Yy").string(), "not ours to judge");
    MoveJournal(journal).add(
        {(scans.path() / "scan.pdf").string(), (archive.path() / "new.pdf").string()});
    MoveJournal(journal).add({"/nowhere/scan.pdf", (archive.path() / "gone" / "x.pdf").string()});

    PosixDocumentFiles files(journal);
    EXPECT_EQ(files.finishInterruptedMoves(), "");
    EXPECT_FALSE(fs::exists(archive.path() / ".sortwell-move-Ab12Cd"));
    EXPECT_EQ(readFile((archive.path() / "letter.pdf").string()), "filed");
    EXPECT_EQ(readFile((scans.path() / "scan.pdf").string()), "the scan");
    EXPECT_TRUE(fs::exists(other.path() / ".sortwell-move-Zz99Yy"));
    EXPECT_TRUE(MoveJournal(journal).entries().empty());
}

TEST(MoveJournalTest, AnOriginalLeftBehindAWholeCopyIsRemovedAndADifferentOneKept) {
    TempDir scans;
    TempDir archive;
    TempDir state;
    const std::string journal = (state.path() / "sortwell-moves").string();
    const std::string published = (scans.path() / "scan1.pdf").string();
    const std::string differs = (scans.path() / "scan2.pdf").string();
    writeFile(published, std::string(300000, 'a'));
    writeFile((archive.path() / "one.pdf").string(), std::string(300000, 'a'));
    writeFile(differs, std::string(300000, 'b'));
    writeFile((archive.path() / "two.pdf").string(), std::string(299999, 'b') + "c");
    MoveJournal(journal).add({published, (archive.path() / "one.pdf").string()});
    MoveJournal(journal).add({differs, (archive.path() / "two.pdf").string()});

    PosixDocumentFiles files(journal);
    EXPECT_EQ(files.finishInterruptedMoves(), "");
    EXPECT_FALSE(fs::exists(published));
    EXPECT_EQ(readFile((archive.path() / "one.pdf").string()), std::string(300000, 'a'));
    EXPECT_EQ(readFile(differs), std::string(300000, 'b'));
    EXPECT_TRUE(MoveJournal(journal).entries().empty());
}

}  // namespace
}  // namespace sortwell::platform::linux_host
