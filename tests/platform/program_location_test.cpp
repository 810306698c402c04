#include "platform/linux/proc_program_location.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace sortwell::platform::linux_host {
namespace {

using test::TempDir;
using test::writeFile;

namespace fs = std::filesystem;

TEST(ProcProgramLocation, NamesTheRunningExecutable) {
    const std::string path = ProcProgramLocation().executablePath();

    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.front(), '/');
    EXPECT_TRUE(fs::is_regular_file(path)) << path;
    EXPECT_EQ(access(path.c_str(), X_OK), 0) << path;
    EXPECT_TRUE(fs::equivalent(path, "/proc/self/exe")) << path;
    EXPECT_EQ(fs::path(path).filename(), fs::canonical("/proc/self/exe").filename());
}

TEST(ReadSymlinkTarget, ReadsLongTargetsWhole) {
    TempDir dir;
    for (const std::size_t length : {std::size_t{1}, std::size_t{255}, std::size_t{256},
                                     std::size_t{300}, std::size_t{4000}}) {
        const std::string target = "/" + std::string(length - 1, 'x');
        const fs::path link = dir.path() / ("link" + std::to_string(length));
        ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);

        EXPECT_EQ(readSymlinkTarget(link.string()), target) << length;
    }
}

TEST(ReadSymlinkTarget, GivesEmptyTextForNoLink) {
    TempDir dir;
    writeFile(dir.path() / "plain", "x");

    EXPECT_EQ(readSymlinkTarget((dir.path() / "plain").string()), "");
    EXPECT_EQ(readSymlinkTarget((dir.path() / "missing").string()), "");
}

}  // namespace
}  // namespace sortwell::platform::linux_host
