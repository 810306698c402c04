#include "platform/linux/freedesktop_trash.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <set>
#include <string>

#include "platform/linux/posix_document_files.h"
#include "support/temp_dir.h"

namespace sortwell::platform::linux_host {
namespace {

using test::fileNames;
using test::permissions;
using test::readFile;
using test::TempDir;
using test::writeFile;

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Every test trashes at this time, 2014-09-01T12:34:56 in UTC.
const std::chrono::system_clock::time_point kDeletedAt =
    std::chrono::sys_days{std::chrono::year{2014} / 9 / 1} + 12h + 34min + 56s;

// Local time is UTC while it lives, so that the deletion date is known in advance.
class UtcLocalTime {
public:
    UtcLocalTime() {
        if (const char* old = std::getenv("TZ")) {
            old_ = old;
        }
        ::setenv("TZ", "UTC0", 1);
        ::tzset();
    }
    ~UtcLocalTime() {
        if (old_) {
            ::setenv("TZ", old_->c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }
    UtcLocalTime(const UtcLocalTime&) = delete;
    UtcLocalTime& operator=(const UtcLocalTime&) = delete;

private:
    std::optional<std::string> old_;
};

int realRename(const std::string& from, const std::string& to) {
    return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0 ? 0
                                                                                            : errno;
}

int realLink(const std::string& from, const std::string& to) {
    return ::link(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

std::string trashInfo(const std::string& notedPath) {
    return "[Trash Info]\nPath=" + notedPath + "\nDeletionDate=2014-09-01T12:34:56\n";
}

class HomeTrash : public ::testing::Test {
protected:
    UtcLocalTime utc;
    TempDir home;
    TempDir scans;
    TrashCalls calls{realRename, realLink};

    // Not made yet: the first trashing makes it.
    fs::path trashFolder() const { return home.path() / "share" / "Trash"; }
    TrashPlace place() const {
        return {trashFolder().string(), [] { return kDeletedAt; }};
    }
    TrashMove trash(const fs::path& file) const {
        return FreedesktopTrash(place(), calls).moveToTrash(file.string());
    }
    std::string infoOf(const std::string& name) const {
        return readFile(trashFolder() / "info" / (name + ".trashinfo"));
    }
    // The scans folder as the trash info notes it.
    std::string scansPath() const { return fs::canonical(scans.path()).string(); }
};

TEST_F(HomeTrash, MovesTheFileIntoFilesAndNotesWhereItWasAndWhen) {
    const fs::path file = scans.path() / "Tax letter \xC3\xBC.pdf";
    writeFile(file, "%PDF scan");
    const TrashMove moved = trash(file);
    EXPECT_EQ(moved.outcome, TrashMove::Outcome::Trashed) << moved.reason;
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(readFile(trashFolder() / "files" / "Tax letter \xC3\xBC.pdf"), "%PDF scan");
    EXPECT_EQ(infoOf("Tax letter \xC3\xBC.pdf"),
              trashInfo(scansPath() + "/Tax%20letter%20%C3%BC.pdf"));
    EXPECT_EQ(permissions(trashFolder()), 0700U);
    EXPECT_EQ(permissions(trashFolder() / "files"), 0700U);
    EXPECT_EQ(permissions(trashFolder() / "info"), 0700U);
}

TEST_F(HomeTrash, ReservedCharactersInThePathArePercentEncoded) {
    const fs::path file = scans.path() / "50%#a+b;c?.pdf";
    writeFile(file, "x");
    EXPECT_EQ(trash(file).outcome, TrashMove::Outcome::Trashed);
    EXPECT_EQ(infoOf("50%#a+b;c?.pdf"), trashInfo(scansPath() + "/50%25%23a%2Bb%3Bc%3F.pdf"));
}

TEST_F(HomeTrash, ASecondFileOfTheSameNameGetsAFreeNameAndNeitherIsOverwritten) {
    fs::create_directory(scans.path() / "a");
    fs::create_directory(scans.path() / "b");
    writeFile(scans.path() / "a" / "scan.pdf", "first");
    writeFile(scans.path() / "b" / "scan.pdf", "second");
    EXPECT_EQ(trash(scans.path() / "a" / "scan.pdf").outcome, TrashMove::Outcome::Trashed);
    EXPECT_EQ(trash(scans.path() / "b" / "scan.pdf").outcome, TrashMove::Outcome::Trashed);
    EXPECT_EQ(fileNames(trashFolder() / "files"),
              (std::set<std::string>{"scan.pdf", "scan.pdf.2"}));
    EXPECT_EQ(readFile(trashFolder() / "files" / "scan.pdf"), "first");
    EXPECT_EQ(readFile(trashFolder() / "files" / "scan.pdf.2"), "second");
    EXPECT_EQ(infoOf("scan.pdf"), trashInfo(scansPath() + "/a/scan.pdf"));
    EXPECT_EQ(infoOf("scan.pdf.2"), trashInfo(scansPath() + "/b/scan.pdf"));
}

TEST_F(HomeTrash, ANameTakenInFilesAloneIsSkippedAndLeavesNoInfoBehind) {
    fs::create_directories(trashFolder() / "files");
    fs::create_directories(trashFolder() / "info");
    writeFile(trashFolder() / "files" / "scan.pdf", "restored by hand long ago");
    writeFile(scans.path() / "scan.pdf", "new");
    EXPECT_EQ(trash(scans.path() / "scan.pdf").outcome, TrashMove::Outcome::Trashed);
    EXPECT_EQ(readFile(trashFolder() / "files" / "scan.pdf"), "restored by hand long ago");
    EXPECT_EQ(readFile(trashFolder() / "files" / "scan.pdf.2"), "new");
    EXPECT_EQ(fileNames(trashFolder() / "info"), std::set<std::string>{"scan.pdf.2.trashinfo"});
}

TEST_F(HomeTrash, WithoutNoReplaceTheFileIsLinkedInAndItsOldNameRemoved) {
    calls.renameWithoutReplace = [](const std::string&, const std::string&) { return EINVAL; };
    writeFile(scans.path() / "scan.pdf", "scan");
    EXPECT_EQ(trash(scans.path() / "scan.pdf").outcome, TrashMove::Outcome::Trashed);
    EXPECT_FALSE(fs::exists(scans.path() / "scan.pdf"));
    EXPECT_EQ(readFile(trashFolder() / "files" / "scan.pdf"), "scan");
}

TEST_F(HomeTrash, ARefusedRenameLeavesTheFileWhereItWasAndNoInfo) {
    calls.renameWithoutReplace = [](const std::string&, const std::string&) { return EXDEV; };
    writeFile(scans.path() / "scan.pdf", "scan");
    const TrashMove moved = trash(scans.path() / "scan.pdf");
    EXPECT_EQ(moved.outcome, TrashMove::Outcome::NoTrash);
    EXPECT_NE(moved.reason.find("Invalid cross-device link"), std::string::npos) << moved.reason;
    EXPECT_EQ(readFile(scans.path() / "scan.pdf"), "scan");
    EXPECT_TRUE(fileNames(trashFolder() / "info").empty());
}

TEST_F(HomeTrash, AMissingFileOrAFolderIsLeftAlone) {
    const TrashMove missing = trash(scans.path() / "gone.pdf");
    EXPECT_EQ(missing.outcome, TrashMove::Outcome::LeftAlone);
    EXPECT_NE(missing.reason.find("No such file"), std::string::npos) << missing.reason;
    fs::create_directory(scans.path() / "x.pdf");
    EXPECT_EQ(trash(scans.path() / "x.pdf").outcome, TrashMove::Outcome::LeftAlone);
    EXPECT_TRUE(fs::is_directory(scans.path() / "x.pdf"));
    EXPECT_FALSE(fs::exists(trashFolder()));
}

class TrashDocument : public HomeTrash {
protected:
    PosixDocumentFiles files{{}, [this] { return place(); }};
    std::string source() const { return (scans.path() / "scan0001.pdf").string(); }
};

TEST_F(TrashDocument, ATrashedDocumentNeedsNoNote) {
    writeFile(source(), "scan");
    const TrashResult result = files.trashDocument(source());
    EXPECT_EQ(result.problem, "");
    EXPECT_EQ(result.note, "");
    EXPECT_EQ(readFile(trashFolder() / "files" / "scan0001.pdf"), "scan");
}

TEST_F(TrashDocument, WithoutAUsableTrashTheDocumentIsDeletedForGoodWithANote) {
    fs::create_directories(trashFolder().parent_path());
    writeFile(trashFolder(), "not a folder");
    writeFile(source(), "scan");
    const TrashResult result = files.trashDocument(source());
    EXPECT_EQ(result.problem, "");
    EXPECT_EQ(result.note.find("No trash could be used for " + source() + " ("), 0U) << result.note;
    EXPECT_NE(result.note.find("Not a directory"), std::string::npos) << result.note;
    EXPECT_NE(result.note.find("it was deleted for good."), std::string::npos) << result.note;
    EXPECT_FALSE(fs::exists(source()));
    EXPECT_EQ(readFile(trashFolder()), "not a folder");
}

TEST_F(TrashDocument, AMissingDocumentIsAProblemAndNothingIsDeleted) {
    const TrashResult result = files.trashDocument(source());
    EXPECT_NE(result.problem.find("No such file"), std::string::npos) << result.problem;
    EXPECT_EQ(result.note, "");
}

// A tmpfs mounted for the test's lifetime: a second device below the temporary folder.
class ScratchVolume {
public:
    explicit ScratchVolume(fs::path at) : path_(std::move(at)) {
        fs::create_directory(path_);
        mounted_ = ::mount("tmpfs", path_.c_str(), "tmpfs", 0, "size=1m,mode=0755") == 0;
    }
    ~ScratchVolume() {
        if (mounted_) {
            ::umount2(path_.c_str(), MNT_DETACH);
        }
    }
    ScratchVolume(const ScratchVolume&) = delete;
    ScratchVolume& operator=(const ScratchVolume&) = delete;

    bool mounted() const { return mounted_; }
    const fs::path& path() const { return path_; }
    bool makeReadOnly() const {
        return ::mount("tmpfs", path_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    fs::path path_;
    bool mounted_ = false;
};

class VolumeTrash : public ::testing::Test {
protected:
    UtcLocalTime utc;
    TempDir base;
    ScratchVolume volume{base.path() / "volume"};
    fs::path homeTrash = base.path() / "home" / "Trash";
    PosixDocumentFiles files{{}, [this] {
                                 return TrashPlace{homeTrash.string(), [] { return kDeletedAt; }};
                             }};
    const std::string uid = std::to_string(::geteuid());

    void SetUp() override {
        if (!volume.mounted()) {
            GTEST_SKIP() << "needs the right to mount a tmpfs";
        }
        fs::create_directory(volume.path() / "scans");
    }
    std::string source(const std::string& name = "scan 1.pdf") const {
        return (volume.path() / "scans" / name).string();
    }
};

TEST_F(VolumeTrash, AFileOnAnotherDeviceGoesToTheVolumesOwnTrashUnderARelativePath) {
    writeFile(source(), "scan");
    const TrashResult result = files.trashDocument(source());
    EXPECT_EQ(result.problem, "");
    EXPECT_EQ(result.note, "");
    const fs::path trash = volume.path() / (".Trash-" + uid);
    EXPECT_EQ(readFile(trash / "files" / "scan 1.pdf"), "scan");
    EXPECT_EQ(readFile(trash / "info" / "scan 1.pdf.trashinfo"), trashInfo("scans/scan%201.pdf"));
    EXPECT_EQ(permissions(trash), 0700U);
    EXPECT_FALSE(fs::exists(homeTrash));
}

TEST_F(VolumeTrash, ASharedTrashWithTheStickyBitHoldsOneFolderPerUser) {
    fs::create_directory(volume.path() / ".Trash");
    ASSERT_EQ(::chmod((volume.path() / ".Trash").c_str(), 01777), 0);
    writeFile(source(), "scan");
    EXPECT_EQ(files.trashDocument(source()).problem, "");
    EXPECT_EQ(readFile(volume.path() / ".Trash" / uid / "files" / "scan 1.pdf"), "scan");
    EXPECT_EQ(permissions(volume.path() / ".Trash" / uid), 0700U);
    EXPECT_FALSE(fs::exists(volume.path() / (".Trash-" + uid)));
}

TEST_F(VolumeTrash, ASharedTrashWithoutTheStickyBitOrBehindALinkIsNotUsed) {
    fs::create_directory(volume.path() / "elsewhere");
    ASSERT_EQ(::chmod((volume.path() / "elsewhere").c_str(), 01777), 0);
    fs::create_directory_symlink(volume.path() / "elsewhere", volume.path() / ".Trash");
    writeFile(source("a.pdf"), "linked");
    EXPECT_EQ(files.trashDocument(source("a.pdf")).problem, "");
    fs::remove(volume.path() / ".Trash");
    fs::create_directory(volume.path() / ".Trash");
    ASSERT_EQ(::chmod((volume.path() / ".Trash").c_str(), 0777), 0);
    writeFile(source("b.pdf"), "not sticky");
    EXPECT_EQ(files.trashDocument(source("b.pdf")).problem, "");

    EXPECT_EQ(fileNames(volume.path() / (".Trash-" + uid) / "files"),
              (std::set<std::string>{"a.pdf", "b.pdf"}));
    EXPECT_TRUE(fs::is_empty(volume.path() / "elsewhere"));
    EXPECT_TRUE(fs::is_empty(volume.path() / ".Trash"));
}

TEST_F(VolumeTrash, AnUnusableVolumeTrashDeletesForGoodAndNeverCopiesToTheHomeTrash) {
    writeFile(volume.path() / (".Trash-" + uid), "in the way");
    writeFile(source(), "scan");
    const TrashResult result = files.trashDocument(source());
    EXPECT_EQ(result.problem, "");
    EXPECT_NE(result.note.find(".Trash-" + uid + " is not a folder"), std::string::npos)
        << result.note;
    EXPECT_NE(result.note.find("deleted for good"), std::string::npos) << result.note;
    EXPECT_FALSE(fs::exists(source()));
    EXPECT_FALSE(fs::exists(homeTrash));
}

TEST_F(VolumeTrash, OnAReadOnlyVolumeTheFileStaysAndTheProblemSaysWhy) {
    writeFile(source(), "scan");
    ASSERT_TRUE(volume.makeReadOnly());
    const TrashResult result = files.trashDocument(source());
    EXPECT_NE(result.problem.find("Could not delete " + source()), std::string::npos)
        << result.problem;
    EXPECT_NE(result.problem.find("Read-only file system"), std::string::npos) << result.problem;
    EXPECT_EQ(result.note, "");
    EXPECT_EQ(readFile(source()), "scan");
}

}  // namespace
}  // namespace sortwell::platform::linux_host
