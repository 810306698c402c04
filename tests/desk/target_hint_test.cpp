#include "desk/target_hint.h"

#include <gtest/gtest.h>

#include <string>

namespace sortwell::desk {
namespace {

FilingRequest letterTo(const std::string& pattern) {
    FilingRequest request;
    request.folderPattern = pattern;
    request.entries = {"12", "2026", "Tax Office: letter", "Anna"};
    request.inputFolder = "/home/u/Scans";
    request.documentName = "scan0007.pdf";
    return request;
}

TEST(FixedFolder, EndsAtTheLastSlashBeforeTheFirstPlaceholder) {
    EXPECT_EQ(FixedFolder("/mnt/share/Archive/%YEAR/%MONTH %TAG"), "/mnt/share/Archive");
    EXPECT_EQ(FixedFolder("/archive/Tax %YEAR/%MONTH"), "/archive");
    EXPECT_EQ(FixedFolder("/archive/%NAME/x/%YEAR"), "/archive");
    EXPECT_EQ(FixedFolder("/archive/x%MONTH/%NAME"), "/archive");
    EXPECT_EQ(FixedFolder("/%YEAR/%MONTH"), "/");
}

TEST(FixedFolder, IsTheWholeFolderOfAPatternWithoutPlaceholders) {
    EXPECT_EQ(FixedFolder("/archive/letters/insurance"), "/archive/letters");
    EXPECT_EQ(FixedFolder("/archive/letters/"), "/archive/letters");
    // Placeholders count only as written in capitals, as filing replaces them.
    EXPECT_EQ(FixedFolder("/archive/%year/x"), "/archive/%year");
}

TEST(FixedFolder, IsEmptyForARelativePattern) {
    EXPECT_EQ(FixedFolder("Archive/%YEAR/x"), "");
    EXPECT_EQ(FixedFolder(""), "");
}

TEST(DescribeTarget, GivesThePathFilingWouldUseWithTheLiveEntries) {
    const TargetHint hint = DescribeTarget(letterTo("/archive/%YEAR/%NAME/%MONTH %TAG"), true);
    EXPECT_EQ(hint.path, "/archive/2026/Anna/12 Tax_Office_letter.pdf");
    EXPECT_EQ(hint.problem, "");
    EXPECT_EQ(hint.missingFolder, "");
    EXPECT_EQ(TargetTooltip(hint), "Files to /archive/2026/Anna/12 Tax_Office_letter.pdf");
}

TEST(DescribeTarget, ShowsTheAttachedNameOfAStandInScanOnAnEmptyDesk) {
    FilingRequest request = letterTo("/archive/%YEAR/%TAG");
    request.attach = true;
    request.documentName.clear();
    EXPECT_EQ(DescribeTarget(request, true).path, "/archive/2026/Tax_Office_letter_scan.pdf");
    request.documentName = "letter.PDF";
    EXPECT_EQ(DescribeTarget(request, true).path, "/archive/2026/Tax_Office_letter_letter.PDF");
}

TEST(DescribeTarget, NamesTheMissingFixedFolderAndStillGivesThePath) {
    const TargetHint hint = DescribeTarget(letterTo("/mnt/nas/Archive/%YEAR/%TAG"), false);
    EXPECT_EQ(hint.missingFolder, "/mnt/nas/Archive");
    EXPECT_EQ(hint.path, "/mnt/nas/Archive/2026/Tax_Office_letter.pdf");
    EXPECT_EQ(TargetTooltip(hint),
              "Files to /mnt/nas/Archive/2026/Tax_Office_letter.pdf\nThe folder /mnt/nas/Archive "
              "does not exist (is its drive or network share connected?).");
}

TEST(DescribeTarget, GivesTheReasonOfAPatternFilingWouldRefuse) {
    FilingRequest emptyLevel = letterTo("/archive/%TAG/%YEAR");
    emptyLevel.entries.tag = "???";
    const TargetHint empty = DescribeTarget(emptyLevel, true);
    EXPECT_EQ(empty.path, "");
    EXPECT_NE(empty.problem.find("empty part"), std::string::npos) << empty.problem;
    EXPECT_EQ(TargetTooltip(empty).rfind("This target cannot file: ", 0), 0U);

    EXPECT_NE(DescribeTarget(letterTo("/archive/../etc/%TAG"), true).problem.find("\"..\""),
              std::string::npos);
    EXPECT_NE(DescribeTarget(letterTo("archive/%TAG"), true).problem.find("root folder"),
              std::string::npos);
}

TEST(DescribeTarget, SaysWhenNoInputFolderIsSet) {
    FilingRequest request = letterTo("/archive/%TAG");
    request.inputFolder.clear();
    EXPECT_EQ(DescribeTarget(request, true).problem, "No document input folder is set.");
}

TEST(MissingFolderQuestion, AsksToCreateTheFolder) {
    EXPECT_EQ(MissingFolderQuestion("/mnt/nas/Archive"),
              "The folder /mnt/nas/Archive does not exist. Create it and file here?");
}

}  // namespace
}  // namespace sortwell::desk
