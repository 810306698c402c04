#include "platform/linux/inotify_folder_watch.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/temp_dir.h"

namespace sortwell::platform::linux_host {
namespace {

using test::TempDir;

void WriteFile(const std::filesystem::path& path) {
    std::ofstream(path) << "%PDF-1.4\n";
}

bool Readable(int handle) {
    pollfd watched{handle, POLLIN, 0};
    return ::poll(&watched, 1, 0) == 1;
}

// A watch on a fresh folder; skipped where the temporary folder itself must be polled.
class InotifyFolderWatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        start = watch.watch(folder.str());
        if (start.polled() && start.pollReason.find("file system") != std::string::npos) {
            GTEST_SKIP() << start.pollReason;
        }
        ASSERT_FALSE(start.polled()) << start.pollReason;
    }

    TempDir folder;
    InotifyFolderWatch watch;
    WatchStart start;
};

TEST_F(InotifyFolderWatchTest, NothingHappenedIsNothing) {
    EXPECT_FALSE(Readable(start.handle));
    EXPECT_EQ(watch.drain(), WatchNews::Nothing);
}

TEST_F(InotifyFolderWatchTest, AWrittenFileIsAChange) {
    WriteFile(folder.path() / "scan.pdf");
    EXPECT_TRUE(Readable(start.handle));
    EXPECT_EQ(watch.drain(), WatchNews::Changed);
    // One drain takes the whole burst.
    EXPECT_FALSE(Readable(start.handle));
    EXPECT_EQ(watch.drain(), WatchNews::Nothing);
}

TEST_F(InotifyFolderWatchTest, AFileMovedInIsAChange) {
    TempDir elsewhere;
    WriteFile(elsewhere.path() / "scan.pdf");
    std::filesystem::rename(elsewhere.path() / "scan.pdf", folder.path() / "scan.pdf");
    EXPECT_EQ(watch.drain(), WatchNews::Changed);
}

TEST_F(InotifyFolderWatchTest, ARemovedFolderIsGoneAndCanBeWatchedAgainOnceBack) {
    std::filesystem::remove(folder.path());
    EXPECT_EQ(watch.drain(), WatchNews::FolderGone);
    std::filesystem::create_directory(folder.path());
    const WatchStart again = watch.watch(folder.str());
    ASSERT_FALSE(again.polled()) << again.pollReason;
    WriteFile(folder.path() / "scan.pdf");
    EXPECT_EQ(watch.drain(), WatchNews::Changed);
}

TEST_F(InotifyFolderWatchTest, AFolderMovedAwayIsGone) {
    TempDir parent;
    std::filesystem::rename(folder.path(), parent.path() / "moved");
    EXPECT_EQ(watch.drain(), WatchNews::FolderGone);
}

TEST_F(InotifyFolderWatchTest, AfterStopNothingIsReported) {
    watch.stop();
    WriteFile(folder.path() / "scan.pdf");
    EXPECT_EQ(watch.drain(), WatchNews::Nothing);
}

TEST_F(InotifyFolderWatchTest, WatchingAnotherFolderForgetsTheFirst) {
    TempDir other;
    ASSERT_FALSE(watch.watch(other.str()).polled());
    WriteFile(folder.path() / "scan.pdf");
    EXPECT_EQ(watch.drain(), WatchNews::Nothing);
    WriteFile(other.path() / "scan.pdf");
    EXPECT_EQ(watch.drain(), WatchNews::Changed);
}

TEST(InotifyFolderWatchStartTest, AMissingFolderMustBePolledAndSaysWhy) {
    TempDir parent;
    InotifyFolderWatch watch;
    const WatchStart start = watch.watch((parent.path() / "missing").string());
    EXPECT_TRUE(start.polled());
    EXPECT_NE(start.pollReason.find("No such file"), std::string::npos) << start.pollReason;
}

TEST(InotifyFolderWatchStartTest, AFileInsteadOfAFolderMustBePolled) {
    TempDir parent;
    WriteFile(parent.path() / "not-a-folder");
    InotifyFolderWatch watch;
    const WatchStart start = watch.watch((parent.path() / "not-a-folder").string());
    EXPECT_TRUE(start.polled());
    EXPECT_FALSE(start.pollReason.empty());
}

TEST(UntrustedFileSystemTest, NetworkAndFuseFileSystemsAreNamed) {
    EXPECT_EQ(UntrustedFileSystem(0x6969), "NFS");
    EXPECT_EQ(UntrustedFileSystem(0x517B), "SMB");
    EXPECT_EQ(UntrustedFileSystem(0xFE534D42), "SMB2");
    EXPECT_EQ(UntrustedFileSystem(0xFF534D42), "CIFS");
    EXPECT_EQ(UntrustedFileSystem(0x65735546), "FUSE");
    EXPECT_EQ(UntrustedFileSystem(0x01021997), "9p");
    // The magic as a signed 32-bit statfs field gives it.
    EXPECT_EQ(UntrustedFileSystem(static_cast<long>(static_cast<int>(0xFF534D42))), "CIFS");
}

TEST(UntrustedFileSystemTest, LocalFileSystemsAreTrusted) {
    EXPECT_EQ(UntrustedFileSystem(0xEF53), "");      // ext4
    EXPECT_EQ(UntrustedFileSystem(0x01021994), "");  // tmpfs
    EXPECT_EQ(UntrustedFileSystem(0x9123683E), "");  // btrfs
}

}  // namespace
}  // namespace sortwell::platform::linux_host
