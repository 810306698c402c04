#include "desk/filing.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "desk/document_stability.h"
#include "fakes/fake_document_files.h"

namespace sortwell::desk {
namespace {

using namespace std::chrono_literals;
using test::FakeDocumentFiles;

FilingRequest taxOfficeLetter() {
    FilingRequest request;
    request.folderPattern = "/home/u/Archive/%YEAR/%MONTH %TAG";
    request.entries = {"09", "2014", "Tax Office: letter", ""};
    request.inputFolder = "/home/u/Scans";
    request.documentName = "scan0001.pdf";
    return request;
}

TEST(Replace, ReplacesEveryOccurrenceFromLeftToRightWithoutOverlap) {
    EXPECT_EQ(Replace("aaaa", "aa", "b"), "bb");
    EXPECT_EQ(Replace("aaa", "aa", "b"), "ba");
    EXPECT_EQ(Replace("%TAG/%TAG", "%TAG", "x"), "x/x");
}

TEST(Replace, DoesNotSearchTheInsertedText) {
    EXPECT_EQ(Replace("ab", "a", "aa"), "aab");
    EXPECT_EQ(Replace("%TAG", "%TAG", "%TAG%TAG"), "%TAG%TAG");
}

TEST(Replace, IsCaseSensitiveAndKeepsAShortTail) {
    EXPECT_EQ(Replace("%tag %Tag %TAG", "%TAG", "x"), "%tag %Tag x");
    EXPECT_EQ(Replace("%TA", "%TAG", "x"), "%TA");
    EXPECT_EQ(Replace("", "%TAG", "x"), "");
}

TEST(Replace, WithAnEmptySearchTextChangesNothing) {
    EXPECT_EQ(Replace("abc", "", "x"), "abc");
}

TEST(CleanTag, TurnsSpacesIntoUnderscoresAndDropsPathAndShellCharacters) {
    EXPECT_EQ(CleanTag("a/b c:d"), "ab_cd");
    EXPECT_EQ(CleanTag("Tax Office: letter"), "Tax_Office_letter");
    EXPECT_EQ(CleanTag("?/\\*|<>,\"':"), "");
}

TEST(CleanTag, LeavesDotsPercentTabsAndNonAsciiAlone) {
    EXPECT_EQ(CleanTag("..\t%NAME \xC3\xA4"), "..\t%NAME_\xC3\xA4");
}

TEST(ExpandPattern, FillsThePlaceholdersWithTheCleanedTag) {
    const FilingEntries entries{"09", "2014", "Tax Office: letter", "Anna"};
    EXPECT_EQ(ExpandPattern("/home/u/Archive/%YEAR/%MONTH %TAG %NAME", entries),
              "/home/u/Archive/2014/09 Tax_Office_letter Anna");
}

TEST(ExpandPattern, AnEmptyTagOrNameLeavesTheSeparatorsAroundIt) {
    const FilingEntries entries{"09", "2014", "/:?", ""};
    EXPECT_EQ(ExpandPattern("/a/%MONTH %TAG %NAME", entries), "/a/09  ");
}

TEST(ExpandPattern, LowerCasePlaceholdersStayAsTyped) {
    const FilingEntries entries{"09", "2014", "t", "n"};
    EXPECT_EQ(ExpandPattern("/a/%year/%month %tag %name", entries), "/a/%year/%month %tag %name");
}

TEST(ExpandPattern, APlaceholderBroughtInByTheTagIsReplacedByTheLaterPass) {
    const FilingEntries entries{"09", "2014", "%NAME %YEAR", "Ben"};
    EXPECT_EQ(ExpandPattern("/a/%TAG", entries), "/a/Ben_%YEAR");
}

TEST(TargetPath, AttachAppendsUnderscoreAndTheScannedName) {
    EXPECT_EQ(TargetPath("/a/09 x", "scan.pdf", true), "/a/09 x_scan.pdf");
}

TEST(WithDocumentExtension, ANameWithoutTheDocumentsExtensionGetsIt) {
    using sortwell::desk::WithDocumentExtension;
    EXPECT_EQ(TargetPath("/a/09 x", "scan.pdf", false), "/a/09 x");
    EXPECT_EQ(WithDocumentExtension("/a/09 x", "scan.pdf"), "/a/09 x.pdf");
    EXPECT_EQ(WithDocumentExtension("/a/Misc/scan", "scan0001.PDF"), "/a/Misc/scan.PDF");
    EXPECT_EQ(WithDocumentExtension("/a/v1.2", "scan.pdf"), "/a/v1.2.pdf");
    // Already there in any letter case: nothing doubled.
    EXPECT_EQ(WithDocumentExtension("/a/letter.PDF", "scan.pdf"), "/a/letter.PDF");
    EXPECT_EQ(WithDocumentExtension("/a/x_scan.pdf", "scan.pdf"), "/a/x_scan.pdf");
    EXPECT_EQ(WithDocumentExtension("/a/x", "noextension"), "/a/x");
    EXPECT_EQ(WithDocumentExtension("/a/x", ".hidden"), "/a/x");
}

TEST(TargetFolder, IsTheTextBeforeTheLastSlash) {
    EXPECT_EQ(TargetFolder("/home/u/Archive/2014/09 x"), "/home/u/Archive/2014");
    EXPECT_EQ(TargetFolder("/file"), "/");
    EXPECT_EQ(TargetFolder("file"), "");
}

TEST(SourcePath, AddsOneSlashBetweenFolderAndName) {
    EXPECT_EQ(SourcePath("/home/u/Scans", "a.pdf").path, "/home/u/Scans/a.pdf");
    EXPECT_EQ(SourcePath("/home/u/Scans/", "a.pdf").path, "/home/u/Scans/a.pdf");
}

TEST(SourcePath, RefusesNoDocumentNoFolderAndNamesThatAreNotPlain) {
    EXPECT_FALSE(SourcePath("/s", "").problem.empty());
    EXPECT_FALSE(SourcePath("", "a.pdf").problem.empty());
    const std::vector<std::string> names{".", "..", "x/a.pdf", std::string("a\0b.pdf", 7)};
    for (const std::string& name : names) {
        const SourceResult result = SourcePath("/s", name);
        EXPECT_FALSE(result.problem.empty()) << name;
        EXPECT_TRUE(result.path.empty()) << name;
    }
}

TEST(PlanFiling, TheTaxOfficeExampleWithAndWithoutAttach) {
    FilingRequest request = taxOfficeLetter();
    FilingPlan plan = PlanFiling(request);
    EXPECT_EQ(plan.problem, "");
    EXPECT_EQ(plan.sourcePath, "/home/u/Scans/scan0001.pdf");
    EXPECT_EQ(plan.targetPath, "/home/u/Archive/2014/09 Tax_Office_letter.pdf");
    EXPECT_EQ(plan.targetFolder, "/home/u/Archive/2014");

    request.attach = true;
    plan = PlanFiling(request);
    EXPECT_EQ(plan.targetPath, "/home/u/Archive/2014/09 Tax_Office_letter_scan0001.pdf");
    EXPECT_EQ(plan.targetFolder, "/home/u/Archive/2014");
}

TEST(PlanFiling, RefusesTargetsThatLeaveThePatternsFolders) {
    struct Case {
        std::string pattern;
        std::string tag;
        std::string name;
    };
    const std::vector<Case> cases{
        {"/home/u/Archive/%TAG/%YEAR", "..", ""},            // a tag climbing up
        {"/home/u/Archive/%NAME/x", "", ".."},               // a name climbing up
        {"/home/u/Archive/%NAME/x", "", ""},                 // an empty level is dropped by POSIX
        {"/home/u/Archive/./%TAG", "t", ""},                 // a "." level
        {"/home/u/Archive/%TAG", "", ""},                    // no file name left
        {"Archive/%TAG", "t", ""},                           // relative to an unknown folder
        {"%TAG", "t", ""},                                   // no folder at all
        {"/home/u/%NAME/x", "", std::string("a\0/etc", 6)},  // cut short by the system
    };
    for (const Case& c : cases) {
        FilingRequest request = taxOfficeLetter();
        request.folderPattern = c.pattern;
        request.entries.tag = c.tag;
        request.entries.name = c.name;
        const FilingPlan plan = PlanFiling(request);
        EXPECT_FALSE(plan.problem.empty()) << c.pattern << " tag " << c.tag;
        EXPECT_TRUE(plan.targetFolder.empty()) << c.pattern;
    }
}

TEST(PlanFiling, DotsInsideALevelAreFine) {
    FilingRequest request = taxOfficeLetter();
    request.folderPattern = "/home/u/Archive/%TAG/..x/%YEAR";
    request.entries.tag = "...";
    const FilingPlan plan = PlanFiling(request);
    EXPECT_EQ(plan.problem, "");
    EXPECT_EQ(plan.targetPath, "/home/u/Archive/.../..x/2014.pdf");
}

TEST(PlanFiling, AnEmptyTagWithAttachStillNamesAFile) {
    FilingRequest request = taxOfficeLetter();
    request.folderPattern = "/home/u/Archive/%TAG";
    request.entries.tag = "";
    request.attach = true;
    const FilingPlan plan = PlanFiling(request);
    EXPECT_EQ(plan.problem, "");
    EXPECT_EQ(plan.targetPath, "/home/u/Archive/_scan0001.pdf");
}

TEST(PlanFiling, APatternWrittenWithAFinalSlashFilesIntoThatFolderUnderTheOwnName) {
    FilingRequest request = taxOfficeLetter();
    request.folderPattern = "/home/u/Archive/%YEAR/";
    for (const bool attach : {false, true}) {
        request.attach = attach;
        const FilingPlan plan = PlanFiling(request);
        EXPECT_EQ(plan.problem, "");
        EXPECT_EQ(plan.targetPath, "/home/u/Archive/2014/scan0001.pdf");
        EXPECT_EQ(plan.targetFolder, "/home/u/Archive/2014");
    }
    // Only the written slash counts: an empty tag at the end still leaves no file name.
    request.folderPattern = "/home/u/Archive/%TAG";
    request.entries.tag = "";
    request.attach = false;
    EXPECT_NE(PlanFiling(request).problem, "");
}

TEST(DecideTargetClick, AskForTheTagOnceBeforeFiling) {
    EXPECT_EQ(DecideTargetClick("/a/%TAG", false, true), TargetClick::AskForTag);
    EXPECT_EQ(DecideTargetClick("/a/%TAG", true, true), TargetClick::FileDocument);
}

TEST(DecideTargetClick, TargetsWithoutTheTagFileAtOnce) {
    EXPECT_EQ(DecideTargetClick("/a/%MONTH", false, true), TargetClick::FileDocument);
    EXPECT_EQ(DecideTargetClick("/a/%tag", false, true), TargetClick::FileDocument);
}

TEST(DecideTargetClick, TheTagCheckComesBeforeTheEmptyDesk) {
    EXPECT_EQ(DecideTargetClick("/a/%TAG", false, false), TargetClick::AskForTag);
    EXPECT_EQ(DecideTargetClick("/a/%TAG", true, false), TargetClick::NothingToFile);
    EXPECT_EQ(DecideTargetClick("/a", false, false), TargetClick::NothingToFile);
}

TEST(CreateFolderPath, CreatesEveryMissingLevelFromTheTopDown) {
    FakeDocumentFiles files;
    files.folders.insert("/home");
    EXPECT_EQ(CreateFolderPath("/home/u/Archive/2014", files), "");
    const std::vector<std::string> expected{
        "createFolder /home/u",
        "createFolder /home/u/Archive",
        "createFolder /home/u/Archive/2014",
    };
    EXPECT_EQ(files.changes(), expected);
}

TEST(CreateFolderPath, AnExistingFolderIsLeftAlone) {
    FakeDocumentFiles files;
    files.folders.insert("/a");
    EXPECT_EQ(CreateFolderPath("/a", files), "");
    EXPECT_TRUE(files.changes().empty());
}

TEST(CreateFolderPath, StopsAtTheFirstFailureAndSaysWhy) {
    FakeDocumentFiles files;
    files.refuseFolders["/a/b"] = "read-only";
    std::vector<std::string> created;
    EXPECT_EQ(CreateFolderPath("/a/b/c", files, &created), "read-only");
    EXPECT_EQ(created, std::vector<std::string>{"/a"}) << "only what was made before the failure";
    const std::vector<std::string> expected{"createFolder /a", "createFolder /a/b"};
    EXPECT_EQ(files.changes(), expected);
}

TEST(CreateFolderPath, EndsAtAPathWithoutParentInsteadOfWalkingOn) {
    FakeDocumentFiles files;
    files.folders.clear();
    EXPECT_EQ(CreateFolderPath("rel/x", files), "no parent for rel");
    const std::vector<std::string> expectedRelative{"createFolder rel"};
    EXPECT_EQ(files.changes(), expectedRelative);

    files.calls.clear();
    EXPECT_EQ(CreateFolderPath("/x", files), "no parent for /");
    const std::vector<std::string> expectedRoot{"createFolder /"};
    EXPECT_EQ(files.changes(), expectedRoot);
}

TEST(FileDocument, CreatesTheTargetFolderThenMoves) {
    FakeDocumentFiles files;
    files.folders.insert({"/home", "/home/u", "/home/u/Scans"});
    files.files["/home/u/Scans/scan0001.pdf"] = {};
    FilingRequest request = taxOfficeLetter();
    request.attach = true;
    const FilingOutcome outcome = FileDocument(PlanFiling(request), files);
    EXPECT_EQ(outcome.problem, "");
    const std::vector<std::string> expected{
        "createFolder /home/u/Archive",
        "createFolder /home/u/Archive/2014",
        "move /home/u/Scans/scan0001.pdf -> /home/u/Archive/2014/09 Tax_Office_letter_scan0001.pdf",
    };
    EXPECT_EQ(files.changes(), expected);
    EXPECT_EQ(outcome.createdFolders,
              (std::vector<std::string>{"/home/u/Archive", "/home/u/Archive/2014"}));
}

TEST(FileDocument, ARefusedPlanTouchesNothing) {
    FakeDocumentFiles files;
    FilingRequest request = taxOfficeLetter();
    request.entries.tag = "..";
    request.folderPattern = "/home/u/Archive/%TAG/x";
    EXPECT_NE(FileDocument(PlanFiling(request), files).problem, "");
    EXPECT_TRUE(files.calls.empty());
}

TEST(FileDocument, AFolderThatCannotBeCreatedStopsTheMove) {
    FakeDocumentFiles files;
    files.refuseFolders["/home"] = "permission denied";
    files.files["/home/u/Scans/scan0001.pdf"] = {};
    EXPECT_EQ(FileDocument(PlanFiling(taxOfficeLetter()), files).problem, "permission denied");
    EXPECT_TRUE(files.files.contains("/home/u/Scans/scan0001.pdf"));
    for (const std::string& call : files.calls) {
        EXPECT_FALSE(call.starts_with("move ")) << call;
    }
}

TEST(FileDocument, PassesOnTheReasonOfAFailedMove) {
    FakeDocumentFiles files;
    files.folders.insert({"/home", "/home/u", "/home/u/Archive", "/home/u/Archive/2014"});
    files.refuseMovesWith = "File exists";
    const FilingOutcome outcome = FileDocument(PlanFiling(taxOfficeLetter()), files);
    EXPECT_EQ(outcome.problem, "File exists");
    EXPECT_TRUE(outcome.createdFolders.empty()) << "every folder was there already";
}

class DocumentStability : public ::testing::Test {
protected:
    const std::chrono::steady_clock::time_point start{100s};
    const std::chrono::system_clock::time_point wallNow{std::chrono::sys_days{2014y / 9 / 1}};
    const platform::FileStat written{1000, wallNow - 500ms};
    const platform::FileStat grown{2000, wallNow - 100ms};
};

TEST_F(DocumentStability, AFreshlyWrittenScanWaitsUntilWatchedForTheQuietTime) {
    const DocumentLook look = NextLook(std::nullopt, written, start);
    EXPECT_FALSE(IsStableForMove(look, written, start + 1s, wallNow));
    EXPECT_TRUE(IsStableForMove(look, written, start + kQuietTime, wallNow));
}

TEST_F(DocumentStability, AChangeStartsTheWatchAgain) {
    DocumentLook look = NextLook(std::nullopt, written, start);
    EXPECT_FALSE(IsStableForMove(look, grown, start + 5s, wallNow));
    look = NextLook(look, grown, start + 5s);
    EXPECT_FALSE(IsStableForMove(look, grown, start + 6s, wallNow));
    EXPECT_TRUE(IsStableForMove(look, grown, start + 7s, wallNow + 7s));
}

TEST_F(DocumentStability, AnUnchangedLookKeepsItsEarlierTime) {
    const DocumentLook first = NextLook(std::nullopt, written, start);
    const DocumentLook again = NextLook(first, written, start + 1s);
    EXPECT_EQ(again.unchangedSince, start);
}

TEST_F(DocumentStability, AFileLastModifiedLongAgoMayMoveAtOnce) {
    const platform::FileStat old{1000, wallNow - 1h};
    const DocumentLook look = NextLook(std::nullopt, old, start);
    EXPECT_TRUE(IsStableForMove(look, old, start, wallNow));
}

TEST_F(DocumentStability, AFileModifiedExactlyTheQuietTimeAgoIsStable) {
    const platform::FileStat justQuiet{1000, wallNow - kQuietTime};
    EXPECT_TRUE(
        IsStableForMove(NextLook(std::nullopt, justQuiet, start), justQuiet, start, wallNow));
    const platform::FileStat notYet{1000, wallNow - kQuietTime + 1ns};
    EXPECT_FALSE(IsStableForMove(NextLook(std::nullopt, notYet, start), notYet, start, wallNow));
}

TEST_F(DocumentStability, AModificationTimeInTheFutureIsNotTrusted) {
    const platform::FileStat ahead{1000, wallNow + 1h};
    const DocumentLook look = NextLook(std::nullopt, ahead, start);
    EXPECT_FALSE(IsStableForMove(look, ahead, start + 1s, wallNow));
    EXPECT_TRUE(IsStableForMove(look, ahead, start + kQuietTime, wallNow));
}

}  // namespace
}  // namespace sortwell::desk
