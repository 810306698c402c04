#include "platform/linux/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "platform/linux/posix_file_access.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace sortwell::platform::linux_host {
namespace {

using namespace std::string_literals;
using test::exitCodeAsNobody;
using test::exitCodeOf;
using test::fileNames;
using test::kCouldNotDropRights;
using test::permissions;
using test::readFile;
using test::TempDir;
using test::writeFile;

namespace fs = std::filesystem;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Runs `body` in a child process whose files may grow to `limit` bytes at most.
int exitCodeWithFileSizeLimit(rlim_t limit, const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{limit, limit};
        if (::setrlimit(RLIMIT_FSIZE, &small) != 0) {
            ::_exit(kCouldNotDropRights);
        }
        ::_exit(body());
    }
    return exitCodeOf(child);
}

class AtomicFileTest : public ::testing::Test {
protected:
    fs::path target() const { return dir_.path() / "data.conf"; }

    TempDir dir_;
};

TEST_F(AtomicFileTest, ReplacesTheWholeContent) {
    writeFile(target(), "a much longer old content that must disappear completely");
    EXPECT_EQ(writeFileAtomically(target().string(), "new", true), "");
    EXPECT_EQ(readFile(target()), "new");
    EXPECT_EQ(fileNames(dir_.path()), std::set<std::string>{"data.conf"});
}

TEST_F(AtomicFileTest, ReplacesWithoutSyncToo) {
    writeFile(target(), "old");
    EXPECT_EQ(writeFileAtomically(target().string(), "new\0bytes"s, false), "");
    EXPECT_EQ(readFile(target()), "new\0bytes"s);
    EXPECT_EQ(fileNames(dir_.path()), std::set<std::string>{"data.conf"});
}

TEST_F(AtomicFileTest, NewFileIsOwnerOnly) {
    EXPECT_EQ(writeFileAtomically(target().string(), "x", true), "");
    EXPECT_EQ(permissions(target()), 0600U);
}

TEST_F(AtomicFileTest, ExistingFileKeepsItsMode) {
    writeFile(target(), "old");
    fs::permissions(target(), fs::perms(0644));
    EXPECT_EQ(writeFileAtomically(target().string(), "new", true), "");
    EXPECT_EQ(permissions(target()), 0644U);
}

TEST_F(AtomicFileTest, MissingFolderGivesReasonAndLeavesNothing) {
    const std::string path = (dir_.path() / "absent" / "data.conf").string();
    const std::string problem = writeFileAtomically(path, "x", true);
    EXPECT_TRUE(contains(problem, path)) << problem;
    EXPECT_TRUE(contains(problem, "No such file or directory")) << problem;
    EXPECT_TRUE(fileNames(dir_.path()).empty());
}

TEST_F(AtomicFileTest, TargetThatIsAFolderStaysAndNoTemporaryIsLeft) {
    fs::create_directory(target());
    writeFile(target() / "inside", "kept");
    const std::string problem = writeFileAtomically(target().string(), "x", true);
    EXPECT_TRUE(contains(problem, target().string())) << problem;
    EXPECT_TRUE(fs::is_directory(target()));
    EXPECT_EQ(readFile(target() / "inside"), "kept");
    EXPECT_EQ(fileNames(dir_.path()), std::set<std::string>{"data.conf"});
}

TEST_F(AtomicFileTest, FailedWriteKeepsTheOldFileAndRemovesTheTemporary) {
    writeFile(target(), "old content");
    const std::string path = target().string();
    const int code = exitCodeWithFileSizeLimit(16, [&] {
        const std::string problem = writeFileAtomically(path, std::string(4096, 'n'), true);
        return problem.empty() ? 1 : (contains(problem, path) ? 0 : 2);
    });
    ASSERT_NE(code, kCouldNotDropRights) << "could not limit the file size";
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readFile(target()), "old content");
    EXPECT_EQ(fileNames(dir_.path()), std::set<std::string>{"data.conf"});
}

TEST_F(AtomicFileTest, PathWithoutFileNameIsRefused) {
    const std::string path = dir_.str() + "/";
    EXPECT_TRUE(contains(writeFileAtomically(path, "x", true), path));
    EXPECT_TRUE(fileNames(dir_.path()).empty());
}

TEST_F(AtomicFileTest, SyncOfAMissingFileGivesReason) {
    const std::string problem = syncFileAndFolder(target().string());
    EXPECT_TRUE(contains(problem, target().string())) << problem;
    EXPECT_TRUE(contains(problem, "No such file or directory")) << problem;
}

TEST_F(AtomicFileTest, SyncOfAFileSucceeds) {
    writeFile(target(), "x");
    EXPECT_EQ(syncFileAndFolder(target().string()), "");
}

TEST_F(AtomicFileTest, SyncOfAMissingFolderGivesReason) {
    const std::string folder = (dir_.path() / "absent").string();
    EXPECT_TRUE(contains(syncFolder(folder), folder));
}

TEST_F(AtomicFileTest, LeftoverTemporariesAreRemovedButNothingElse) {
    for (const char* name :
         {".data.conf.Ab3xZ9", ".data.conf.000000", ".data.conf.tmp", "data.conf.Ab3xZ9",
          ".data.conf.Ab3xZ", ".other.conf.Ab3xZ9", ".data.conf.Ab3-Z9", "data.conf"}) {
        writeFile(dir_.path() / name, "x");
    }
    EXPECT_EQ(removeLeftoverTemporaries(target().string()), "");
    EXPECT_EQ(fileNames(dir_.path()),
              (std::set<std::string>{".data.conf.tmp", "data.conf.Ab3xZ9", ".data.conf.Ab3xZ",
                                     ".other.conf.Ab3xZ9", ".data.conf.Ab3-Z9", "data.conf"}));
}

TEST_F(AtomicFileTest, FolderAndNameOfAPath) {
    EXPECT_EQ(folderOf("/a/b/c.conf"), "/a/b");
    EXPECT_EQ(nameOf("/a/b/c.conf"), "c.conf");
    EXPECT_EQ(folderOf("/c.conf"), "/");
    EXPECT_EQ(folderOf("c.conf"), ".");
    EXPECT_EQ(nameOf("c.conf"), "c.conf");
}

class PosixFileAccessTest : public ::testing::Test {
protected:
    fs::path file() const { return dir_.path() / "export.txt"; }

    TempDir dir_;
    PosixFileAccess files_;
};

TEST_F(PosixFileAccessTest, ReadOfNothingIsMissing) {
    const FileRead read = files_.readWhole(file().string());
    EXPECT_EQ(read.status, FileRead::Status::Missing);
    EXPECT_EQ(read.problem, "");
}

TEST_F(PosixFileAccessTest, ReadBelowARegularFileIsMissing) {
    writeFile(file(), "x");
    EXPECT_EQ(files_.readWhole((file() / "below").string()).status, FileRead::Status::Missing);
}

TEST_F(PosixFileAccessTest, ReadOfAFolderIsMissing) {
    fs::create_directory(file());
    EXPECT_EQ(files_.readWhole(file().string()).status, FileRead::Status::Missing);
}

TEST_F(PosixFileAccessTest, ReadKeepsEveryByte) {
    const std::string bytes = "a\0b\n\r\xFF\0"s + std::string(100000, 'z') + "\0end"s;
    writeFile(file(), bytes);
    const FileRead read = files_.readWhole(file().string());
    EXPECT_EQ(read.status, FileRead::Status::Read);
    EXPECT_EQ(read.bytes, bytes);
}

TEST_F(PosixFileAccessTest, ReadOfAnEmptyFileIsReadWithNoBytes) {
    writeFile(file(), "");
    const FileRead read = files_.readWhole(file().string());
    EXPECT_EQ(read.status, FileRead::Status::Read);
    EXPECT_EQ(read.bytes, "");
}

TEST_F(PosixFileAccessTest, ReadOfAFifoFailsWithoutWaiting) {
    ASSERT_EQ(::mkfifo(file().c_str(), 0600), 0);
    const FileRead read = files_.readWhole(file().string());
    EXPECT_EQ(read.status, FileRead::Status::Failed);
    EXPECT_TRUE(contains(read.problem, file().string())) << read.problem;
}

TEST_F(PosixFileAccessTest, ReadOfAnUnreadableFileFails) {
    writeFile(file(), "secret");
    fs::permissions(dir_.path(), fs::perms(0755));
    fs::permissions(file(), fs::perms::none);
    const std::string path = file().string();
    const int code = exitCodeAsNobody([&] {
        const FileRead read = PosixFileAccess().readWhole(path);
        if (read.status != FileRead::Status::Failed) {
            return 1;
        }
        return contains(read.problem, path) && contains(read.problem, "Permission denied") ? 0 : 2;
    });
    if (code == kCouldNotDropRights) {
        GTEST_SKIP() << "cannot switch to an unprivileged user here";
    }
    EXPECT_EQ(code, 0);
}

TEST_F(PosixFileAccessTest, WriteReplacesTheFile) {
    writeFile(file(), "old old old");
    EXPECT_EQ(files_.writeWhole(file().string(), "new\0"s), "");
    EXPECT_EQ(readFile(file()), "new\0"s);
}

TEST_F(PosixFileAccessTest, WriteIntoAMissingFolderGivesReason) {
    const std::string path = (dir_.path() / "absent" / "x").string();
    EXPECT_TRUE(contains(files_.writeWhole(path, "x"), path));
}

TEST_F(PosixFileAccessTest, IsFileOnlyForRegularFiles) {
    EXPECT_FALSE(files_.isFile(file().string()));
    writeFile(file(), "x");
    EXPECT_TRUE(files_.isFile(file().string()));
    EXPECT_FALSE(files_.isFile(dir_.str()));
}

TEST_F(PosixFileAccessTest, RemoveFileLeavesNothing) {
    writeFile(file(), "x");
    EXPECT_TRUE(files_.removeFile(file().string()));
    EXPECT_FALSE(fs::exists(file()));
}

TEST_F(PosixFileAccessTest, RemoveOfNothingSucceeds) {
    EXPECT_TRUE(files_.removeFile(file().string()));
}

TEST_F(PosixFileAccessTest, RemoveDoesNotTouchAFolder) {
    fs::create_directory(file());
    EXPECT_FALSE(files_.removeFile(file().string()));
    EXPECT_TRUE(fs::is_directory(file()));
}

}  // namespace
}  // namespace sortwell::platform::linux_host
