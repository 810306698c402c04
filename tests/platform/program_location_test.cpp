#include "platform/linux/proc_program_location.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

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

TEST(ProcProgramLocation, TellsWhetherTheProgramFolderCanBeWritten) {
    const std::string folder = fs::path(ProcProgramLocation().executablePath()).parent_path();

    EXPECT_EQ(ProcProgramLocation().programFolderWritable(),
              access(folder.c_str(), W_OK | X_OK) == 0);
}

// Answers "is there a file" from a fixed set, and notes what it was asked.
class KnownFiles {
public:
    explicit KnownFiles(std::set<std::string> files) : files_(std::move(files)) {}

    std::function<bool(const std::string&)> check() {
        return [this](const std::string& path) {
            asked.push_back(path);
            return files_.contains(path);
        };
    }

    std::vector<std::string> asked;

private:
    std::set<std::string> files_;
};

TEST(ProgramFileFromLink, TakesAnOrdinaryPathAsItIs) {
    KnownFiles files({});

    const ProgramFile program = programFileFromLink("/usr/bin/sortwell", files.check());

    EXPECT_EQ(program.path, "/usr/bin/sortwell");
    EXPECT_EQ(program.problem, "");
    EXPECT_TRUE(files.asked.empty()) << "an ordinary path needs no look at the disk";
}

TEST(ProgramFileFromLink, ReplacedFileGivesTheFileNowAtItsPath) {
    KnownFiles files({"/usr/bin/sortwell"});

    const ProgramFile program = programFileFromLink("/usr/bin/sortwell (deleted)", files.check());

    EXPECT_EQ(program.path, "/usr/bin/sortwell");
    EXPECT_EQ(program.problem, "");
    EXPECT_EQ(files.asked, std::vector<std::string>{"/usr/bin/sortwell"});
}

TEST(ProgramFileFromLink, RemovedFileGivesNoPathAndTheReason) {
    KnownFiles files({"/usr/bin/sortwell (deleted)"});

    const ProgramFile program = programFileFromLink("/usr/bin/sortwell (deleted)", files.check());

    EXPECT_EQ(program.path, "");
    EXPECT_NE(program.problem.find("/usr/bin/sortwell was removed"), std::string::npos)
        << program.problem;
}

TEST(ProgramFileFromLink, OnlyTheSuffixAtTheEndMeansReplaced) {
    KnownFiles files({"/opt/a"});

    EXPECT_EQ(programFileFromLink("/opt/a (deleted)/sortwell", files.check()).path,
              "/opt/a (deleted)/sortwell");
    EXPECT_EQ(programFileFromLink("/opt/a(deleted)", files.check()).path, "/opt/a(deleted)");
    EXPECT_EQ(programFileFromLink(" (deleted)", files.check()).path, "");
    EXPECT_EQ(programFileFromLink("", files.check()).path, "");
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
