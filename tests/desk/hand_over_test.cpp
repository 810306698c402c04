// Files handed to the desk on the command line: what is refused, where each one goes, and that
// nothing is ever replaced or lost on the way.
#include "desk/hand_over.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/linux/posix_document_files.h"
#include "support/temp_dir.h"

namespace sortwell::desk {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

TEST(CommandLineTest, ArgumentsChooseWhatTheStartDoes) {
    EXPECT_EQ(ParseCommandLine({}).action, CommandLine::Action::RunDesk);
    EXPECT_EQ(ParseCommandLine({"--help"}).action, CommandLine::Action::Help);
    EXPECT_EQ(ParseCommandLine({"--version"}).action, CommandLine::Action::Version);
    EXPECT_EQ(ParseCommandLine({"--undo"}).action, CommandLine::Action::Undo);
    const CommandLine undoWithFiles = ParseCommandLine({"--undo", "a.pdf"});
    EXPECT_EQ(undoWithFiles.action, CommandLine::Action::Refuse);
    EXPECT_EQ(undoWithFiles.problem, "--undo takes no files; see --help");

    const CommandLine present = ParseCommandLine({"--present", "a.pdf", "--help", "b c.pdf"});
    EXPECT_EQ(present.action, CommandLine::Action::Present);
    EXPECT_EQ(present.files, (std::vector<std::string>{"a.pdf", "--help", "b c.pdf"}))
        << "after --present every argument is a file";

    EXPECT_EQ(ParseCommandLine({"scan.pdf", "b.pdf"}).files,
              (std::vector<std::string>{"scan.pdf", "b.pdf"}))
        << "as a file manager's Open with passes them";
    EXPECT_EQ(ParseCommandLine({"scan.pdf"}).action, CommandLine::Action::Present);

    const CommandLine nothing = ParseCommandLine({"--present"});
    EXPECT_EQ(nothing.action, CommandLine::Action::Refuse);
    EXPECT_NE(nothing.problem.find("at least one file"), std::string::npos);
    const CommandLine unknown = ParseCommandLine({"--frobnicate"});
    EXPECT_EQ(unknown.action, CommandLine::Action::Refuse);
    EXPECT_NE(unknown.problem.find("--frobnicate"), std::string::npos);
}

class HandOverTest : public ::testing::Test {
protected:
    HandOverTest() {
        fs::create_directories(input);
        fs::create_directories(elsewhere);
    }

    HandOverPlan plan(const std::string& file, const std::string& working = "/") {
        return PlanHandOver(file, working, input.string(), files);
    }

    test::TempDir root;
    fs::path input = root.path() / "input";
    fs::path elsewhere = root.path() / "elsewhere";
    platform::linux_host::PosixDocumentFiles files;
};

TEST_F(HandOverTest, WhatIsNoReadablePdfIsRefusedWithTheReasonAndLeftAlone) {
    writeFile(elsewhere / "notes.txt", "text");
    writeFile(elsewhere / "locked.pdf", "%PDF");
    fs::create_directories(elsewhere / "folder.pdf");
    fs::create_directory_symlink(elsewhere / "folder.pdf", elsewhere / "link.pdf");
    ::chmod((elsewhere / "locked.pdf").c_str(), 0);

    const auto refusal = [this](const std::string& name) { return plan(name).problem; };
    EXPECT_NE(refusal((elsewhere / "missing.pdf").string()).find("missing.pdf"), std::string::npos);
    EXPECT_NE(refusal((elsewhere / "notes.txt").string()).find("not a PDF"), std::string::npos);
    EXPECT_NE(refusal((elsewhere / "folder.pdf").string()).find("is a folder"), std::string::npos);
    EXPECT_NE(refusal((elsewhere / "link.pdf").string()).find("is a folder"), std::string::npos);
    if (::geteuid() != 0) {
        EXPECT_NE(refusal((elsewhere / "locked.pdf").string()).find("cannot be read"),
                  std::string::npos);
    }
    EXPECT_TRUE(fs::exists(elsewhere / "notes.txt"));
    EXPECT_TRUE(fs::is_empty(input));
}

TEST_F(HandOverTest, AFileInTheInputFolderStaysWhereItIsEvenThroughARelativePath) {
    writeFile(input / "scan.pdf", "%PDF-1");
    const HandOverPlan inPlace = plan("input/../input/scan.pdf", root.str());
    EXPECT_EQ(inPlace.problem, "");
    EXPECT_EQ(inPlace.target, (input / "scan.pdf").string());
    EXPECT_EQ(CarryOut(inPlace, files).target, inPlace.source);
    EXPECT_EQ(readFile(input / "scan.pdf"), "%PDF-1");
}

TEST_F(HandOverTest, AFileFromElsewhereMovesInUnderAFreeNameAndNothingIsReplaced) {
    writeFile(input / "scan.PDF", "already here");
    writeFile(input / "scan (2).PDF", "also here");
    writeFile(elsewhere / "scan.PDF", "new scan");

    const HandOverPlan moved = CarryOut(plan("scan.PDF", elsewhere.string()), files);
    EXPECT_EQ(moved.problem, "");
    EXPECT_EQ(moved.target, (input / "scan (3).PDF").string());
    EXPECT_EQ(readFile(input / "scan (3).PDF"), "new scan");
    EXPECT_EQ(readFile(input / "scan.PDF"), "already here");
    EXPECT_EQ(readFile(input / "scan (2).PDF"), "also here");
    EXPECT_FALSE(fs::exists(elsewhere / "scan.PDF"));
}

TEST_F(HandOverTest, ANameTakenAfterThePlanGetsTheNextFreeOne) {
    writeFile(elsewhere / "scan.pdf", "new scan");
    const HandOverPlan planned = plan((elsewhere / "scan.pdf").string());
    ASSERT_EQ(planned.target, (input / "scan.pdf").string());
    writeFile(input / "scan.pdf", "came first");

    const HandOverPlan moved = CarryOut(planned, files);
    EXPECT_EQ(moved.problem, "");
    EXPECT_EQ(moved.target, (input / "scan (2).pdf").string());
    EXPECT_EQ(readFile(input / "scan.pdf"), "came first");
    EXPECT_EQ(readFile(input / "scan (2).pdf"), "new scan");
}

TEST_F(HandOverTest, WithoutAnInputFolderNothingIsMoved) {
    writeFile(elsewhere / "scan.pdf", "new scan");
    const HandOverPlan planned = PlanHandOver((elsewhere / "scan.pdf").string(), "/",
                                              (root.path() / "gone").string(), files);
    EXPECT_NE(planned.problem.find("does not exist"), std::string::npos);
    EXPECT_EQ(CarryOut(planned, files).problem, planned.problem);
    EXPECT_TRUE(fs::exists(elsewhere / "scan.pdf"));
}

TEST_F(HandOverTest, TargetsAreNamedUnderTheFolderAsTheSettingsGiveIt) {
    const fs::path link = root.path() / "Scans";
    fs::create_directory_symlink(input, link);
    writeFile(input / "here.pdf", "here");
    writeFile(elsewhere / "new.pdf", "new");

    const HandOverPlan inPlace =
        PlanHandOver((input / "here.pdf").string(), "/", link.string(), files);
    EXPECT_EQ(inPlace.target, (link / "here.pdf").string());
    EXPECT_EQ(CarryOut(inPlace, files).problem, "");
    EXPECT_EQ(readFile(input / "here.pdf"), "here");

    const HandOverPlan moved = CarryOut(
        PlanHandOver((elsewhere / "new.pdf").string(), "/", link.string() + "/", files), files);
    EXPECT_EQ(moved.problem, "");
    EXPECT_EQ(moved.target, (link / "new.pdf").string());
    EXPECT_EQ(readFile(input / "new.pdf"), "new");
}

TEST_F(HandOverTest, OneRefusedFileKeepsAllOfThemWhereTheyAre) {
    writeFile(elsewhere / "a.pdf", "a");
    writeFile(elsewhere / "b.txt", "b");
    const HandOverResult refused =
        HandOverAll({"a.pdf", "b.txt"}, elsewhere.string(), input.string(), files);
    ASSERT_EQ(refused.problems.size(), 1U);
    EXPECT_NE(refused.problems[0].find("b.txt"), std::string::npos);
    EXPECT_TRUE(refused.paths.empty());
    EXPECT_TRUE(fs::exists(elsewhere / "a.pdf"));
    EXPECT_TRUE(fs::is_empty(input));

    writeFile(elsewhere / "c.pdf", "c");
    const HandOverResult moved =
        HandOverAll({"a.pdf", "c.pdf"}, elsewhere.string(), input.string(), files);
    EXPECT_TRUE(moved.problems.empty());
    EXPECT_EQ(moved.paths,
              (std::vector<std::string>{(input / "a.pdf").string(), (input / "c.pdf").string()}));
}

}  // namespace
}  // namespace sortwell::desk
