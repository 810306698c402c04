// Inputs that a careless or hostile user, scanner or desktop can hand the core, and the safe
// outcome each must have: refused with a reason, or kept byte for byte, never a document
// filed somewhere the pattern does not show.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "components/qdreg.h"
#include "config/sequence_step.h"
#include "config/window_list.h"
#include "desk/button_grid.h"
#include "desk/filing.h"
#include "desk/settings_model.h"
#include "fakes/fake_host.h"
#include "platform/linux/atomic_file.h"
#include "platform/linux/posix_document_files.h"
#include "platform/linux/settings_file_backend.h"
#include "support/temp_dir.h"

namespace sortwell {
namespace {

namespace fs = std::filesystem;
using config::DecideStep;
using config::StepAction;
using config::WindowList;
using desk::FaceKind;
using desk::FaceKindOf;
using desk::FilingPlan;
using desk::FilingRequest;
using desk::PlanFiling;
using desk::SettingsSnapshot;
using platform::WindowInfo;
using platform::linux_host::PosixDocumentFiles;
using test::TempDir;

constexpr std::size_t kLongestFileName = 255;  // NAME_MAX of Linux file systems

FilingRequest TaggedRequest(const std::string& pattern, const std::string& tag) {
    FilingRequest request;
    request.folderPattern = pattern;
    request.entries = {"09", "2014", tag, "Anna"};
    request.inputFolder = "/home/u/Scans";
    request.documentName = "scan0001.pdf";
    return request;
}

WindowList ListOf(const std::vector<std::string>& titles) {
    std::vector<WindowInfo> windows;
    std::uint64_t handle = 1;
    for (const std::string& title : titles) {
        windows.push_back({handle, static_cast<std::int64_t>(100 + handle), title});
        ++handle;
    }
    WindowList list;
    list.Refresh(windows);
    return list;
}

std::string Repeated(std::string_view piece, std::size_t times) {
    std::string text;
    for (std::size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

// Tags and patterns

TEST(HostileTag, RemovedCharactersNeverLetATagClimbOrAddAFolderLevel) {
    struct Case {
        std::string tag;
        std::string fileName;  // empty: the plan is refused
    };
    const std::vector<Case> cases{
        {"../../etc/passwd", "....etcpasswd"},
        {"..\\..\\Windows", "....Windows"},
        {"a/../../b", "a....b"},
        {"..:..", "...."},
        {"~/..", "~.."},
        {" .. ", "_.._"},
        {"/..", ""},
        {"..\n", "..\n"},
        {std::string("a\0/../x", 7), ""},
    };
    for (const Case& c : cases) {
        const FilingPlan plan = PlanFiling(TaggedRequest("/home/u/Archive/%TAG", c.tag));
        if (c.fileName.empty()) {
            EXPECT_NE(plan.problem, "") << testing::PrintToString(c.tag);
            EXPECT_EQ(plan.targetFolder, "") << testing::PrintToString(c.tag);
        } else {
            EXPECT_EQ(plan.problem, "") << c.tag;
            EXPECT_EQ(plan.targetPath, "/home/u/Archive/" + c.fileName + ".pdf");
            EXPECT_EQ(plan.targetFolder, "/home/u/Archive") << c.tag;
        }
    }
}

TEST(HostileTag, ATagThatCleansDownToDotDotIsRefused) {
    for (const std::string& tag : std::vector<std::string>{"./.", "<..>", "?.?.", "..|", "'.'.'"}) {
        EXPECT_EQ(desk::CleanTag(tag), "..") << tag;
        const FilingPlan plan = PlanFiling(TaggedRequest("/home/u/Archive/%TAG/%YEAR", tag));
        EXPECT_EQ(plan.problem, "The target path \"/home/u/Archive/../2014\" has a \"..\" part.");
    }
}

TEST(HostileTag, ATagOfOnlyRemovedCharactersLeavesAnEmptyLevelThatIsRefused) {
    const std::string everyRemoved = "?/\\*|<>,\"':";
    const FilingPlan plan = PlanFiling(TaggedRequest("/home/u/Archive/%TAG/%YEAR", everyRemoved));
    EXPECT_EQ(plan.problem, "The target path \"/home/u/Archive//2014\" has an empty part.");
    EXPECT_EQ(plan.targetFolder, "");
}

TEST(HostileTag, LineBreaksControlAndNonUtf8BytesStayInTheFileNameAsTyped) {
    const std::string tag = "a\nb\rc\td\x01\x7f\xff\xfe";
    EXPECT_EQ(desk::CleanTag(tag), tag);
    const FilingPlan plan = PlanFiling(TaggedRequest("/home/u/Archive/%TAG", tag));
    EXPECT_EQ(plan.problem, "");
    EXPECT_EQ(plan.targetPath, "/home/u/Archive/" + tag + ".pdf");
}

TEST(HostilePattern, APatternThatNamesNoAbsoluteFolderIsRefusedWithOrWithoutAttach) {
    const std::vector<std::string> patterns{"",
                                            "~/Archive/%TAG",
                                            " /home/u/%TAG",
                                            "C:\\Archive\\%TAG",
                                            "\\\\server\\share\\%TAG",
                                            "file:///home/u/%TAG",
                                            "%YEAR"};
    for (const std::string& pattern : patterns) {
        for (const bool attach : {false, true}) {
            FilingRequest request = TaggedRequest(pattern, "t");
            request.attach = attach;
            const FilingPlan plan = PlanFiling(request);
            EXPECT_NE(plan.problem, "") << pattern << " attach " << attach;
            EXPECT_EQ(plan.targetFolder, "") << pattern;
        }
    }
}

TEST(HostilePattern, APatternEndingInASlashNamesAFolderWithOrWithoutAttach) {
    for (const std::string& pattern : std::vector<std::string>{"/", "/home/u/%TAG/"}) {
        for (const bool attach : {false, true}) {
            FilingRequest request = TaggedRequest(pattern, "t");
            request.attach = attach;
            const FilingPlan plan = PlanFiling(request);
            EXPECT_EQ(plan.problem, "") << pattern;
            EXPECT_EQ(plan.targetPath, desk::ExpandPattern(pattern, request.entries) + "scan0001.pdf");
        }
    }
    FilingRequest root = TaggedRequest("/", "t");
    EXPECT_EQ(PlanFiling(root).targetFolder, "/");
}

TEST(HostileName, ANameWithASlashAddsALevelButCanNeverClimb) {
    FilingRequest request = TaggedRequest("/home/u/Archive/%NAME/%TAG", "t");
    request.entries.name = "Anna/Private";
    FilingPlan plan = PlanFiling(request);
    EXPECT_EQ(plan.problem, "");
    EXPECT_EQ(plan.targetFolder, "/home/u/Archive/Anna/Private");

    request.entries.name = "Anna/../../..";
    plan = PlanFiling(request);
    EXPECT_NE(plan.problem, "");
    EXPECT_EQ(plan.targetFolder, "");
}

// Real files: names too long for the file system, and a huge document

class HostileFiles : public ::testing::Test {
protected:
    void SetUp() override { test::writeFile(scans.path() / "scan0001.pdf", "%PDF-1.4\n%%EOF\n"); }

    FilingRequest Request(const std::string& pattern, const std::string& tag) const {
        FilingRequest request = TaggedRequest(archive.str() + pattern, tag);
        request.inputFolder = scans.str();
        return request;
    }

    bool SourceStays() const { return fs::exists(scans.path() / "scan0001.pdf"); }

    TempDir scans;
    TempDir archive;
    PosixDocumentFiles files;
};

// The tag leaves room for the ".pdf" that filing adds.
constexpr std::size_t kLongestTag = kLongestFileName - 4;

TEST_F(HostileFiles, AFileNameOfTheLongestLengthIsFiled) {
    const std::string tag(kLongestTag, 't');
    EXPECT_EQ(desk::FileDocument(PlanFiling(Request("/%TAG", tag)), files).problem, "");
    EXPECT_TRUE(fs::exists(archive.path() / (tag + ".pdf")));
    EXPECT_FALSE(SourceStays());
}

TEST_F(HostileFiles, AFileNameOneByteTooLongIsRefusedByTheSystemAndTheScanStays) {
    const std::string tag(kLongestTag + 1, 't');
    const FilingPlan plan = PlanFiling(Request("/%TAG", tag));
    EXPECT_EQ(plan.problem, "") << "the plan knows no length limit; the file system does";
    const std::string problem = desk::FileDocument(plan, files).problem;
    EXPECT_NE(problem.find(platform::linux_host::errorText(ENAMETOOLONG)), std::string::npos)
        << problem.substr(0, 200);
    EXPECT_TRUE(SourceStays());
    EXPECT_TRUE(fs::is_empty(archive.path()));
}

TEST_F(HostileFiles, ATenThousandByteFolderLevelIsNotCreatedAndTheScanStays) {
    const std::string tag(10000, 'f');
    const std::string problem =
        desk::FileDocument(PlanFiling(Request("/%TAG/%YEAR", tag)), files).problem;
    EXPECT_TRUE(problem.starts_with("Could not create the folder ")) << problem.substr(0, 200);
    EXPECT_TRUE(problem.ends_with(platform::linux_host::errorText(ENAMETOOLONG)));
    EXPECT_TRUE(SourceStays());
    EXPECT_TRUE(fs::is_empty(archive.path()));
}

TEST_F(HostileFiles, ALineBreakAndNonUtf8BytesInATagGiveAFileOfExactlyThatName) {
    const std::string tag = "a\nb\xff\xfe";
    EXPECT_EQ(desk::FileDocument(PlanFiling(Request("/%TAG", tag)), files).problem, "");
    EXPECT_EQ(test::fileNames(archive.path()), std::set<std::string>{tag + ".pdf"});
    EXPECT_FALSE(SourceStays());
}

TEST_F(HostileFiles, AHundredMegabyteDocumentIsRenamedInPlaceNotCopied) {
    constexpr off_t kSize = 100LL * 1024 * 1024;
    const fs::path source = scans.path() / "scan0001.pdf";
    {
        const int fd = ::open(source.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, kSize), 0);
        ASSERT_EQ(::pwrite(fd, "%PDF-1.4", 8, 0), 8);
        ASSERT_EQ(::pwrite(fd, "%%EOF", 5, kSize - 5), 5);
        ASSERT_EQ(::close(fd), 0);
    }
    struct stat before {};
    ASSERT_EQ(::stat(source.c_str(), &before), 0);

    EXPECT_EQ(desk::FileDocument(PlanFiling(Request("/%YEAR/%TAG", "big")), files).problem, "");
    const fs::path target = archive.path() / "2014" / "big.pdf";
    struct stat after {};
    ASSERT_EQ(::stat(target.c_str(), &after), 0);
    EXPECT_EQ(after.st_size, kSize);
    EXPECT_EQ(after.st_ino, before.st_ino) << "one file system: the same file, not a copy";
    EXPECT_EQ(after.st_dev, before.st_dev);
    EXPECT_FALSE(SourceStays());
    EXPECT_EQ(test::fileNames(target.parent_path()), std::set<std::string>{"big.pdf"});
}

// Settings: the per-user store and the INI export

class HostileSettings : public ::testing::Test {
protected:
    HostileSettings() {
        host = fakes.host();
        host.settings = &fileBackend;
    }

    TQDReg Store() {
        TQDReg store(host);
        store.Programmname = "Sortwell";
        store.Firmenname = "tessaryn";
        store.IniFileName = "QSortwell.ini";
        store.IniFileDir = iniDir.str();
        return store;
    }

    static SettingsSnapshot Hostile() {
        SettingsSnapshot snapshot;
        snapshot.sequence = "ENTER";
        snapshot.inputDir = "/home/u/Sc\xe4ns";
        snapshot.columnsText = "3";
        snapshot.buttons = {{"/icons/\xff.ico", "Caption\xc3", "/docs/%NAME\xfe/%TAG", "A\xff"}};
        snapshot.names = {"J\xfcrgen", "\xff\xfe\xc3", std::string(10000, 'n'),
                          "a=b",       "[x]",          " ",
                          "`tick`",    "#hash",        "\\x41"};
        return snapshot;
    }

    test::FakeHost fakes;
    TempDir configHome;
    TempDir iniDir;
    platform::linux_host::SettingsFileBackend fileBackend{configHome.str()};
    platform::Host host;
};

TEST_F(HostileSettings, LineBreaksAndNonUtf8BytesComeBackFromTheSettingsFileUnchanged) {
    SettingsSnapshot saved = Hostile();
    saved.names.push_back("Anna\nBen");
    saved.names.push_back("Carl\r");
    saved.names.push_back("\x01\x7f");
    saved.buttons[0].caption = "Two\nlines";
    saved.buttons[0].hide = "Anna\r\nBen";
    saved.inputDir += "\n";
    const SettingsSnapshot expected = saved;
    TQDReg store = Store();
    ASSERT_TRUE(desk::SaveSettings(store, saved).ok());
    ASSERT_TRUE(store.SaveToRegistry()) << store.LastError();

    TQDReg fresh = Store();
    ASSERT_TRUE(fresh.LoadFromRegistry()) << fresh.LastError();
    EXPECT_EQ(fresh.LastError(), "");
    EXPECT_EQ(desk::LoadSettings(fresh).snapshot, expected);
}

TEST_F(HostileSettings, TheIniExportCarriesNonUtf8LongAndOddNamesBackUnchanged) {
    SettingsSnapshot saved = Hostile();
    const SettingsSnapshot expected = saved;
    TQDReg store = Store();
    desk::SaveSettings(store, saved);
    ASSERT_EQ(store.IniUnsafeEntry(), "");
    ASSERT_TRUE(store.SaveToFile()) << store.LastError();

    TQDReg imported = Store();
    ASSERT_TRUE(imported.LoadFromFile());
    EXPECT_EQ(desk::LoadSettings(imported).snapshot, expected);
}

TEST_F(HostileSettings, TheIniExportRefusesANameWithALineBreakAndWritesNothing) {
    for (const std::string& name :
         std::vector<std::string>{"Anna\nBen", "Carl\r", std::string("D\0ora", 5)}) {
        SettingsSnapshot saved = Hostile();
        saved.names.push_back(name);
        TQDReg store = Store();
        desk::SaveSettings(store, saved);
        const std::string key = "name" + std::to_string(saved.names.size() - 1);
        EXPECT_NE(store.IniUnsafeEntry().find("\"" + key + "\""), std::string::npos)
            << store.IniUnsafeEntry();
        EXPECT_FALSE(store.SaveToFile());
        EXPECT_NE(store.LastError().find("Nothing was written"), std::string::npos);
        EXPECT_FALSE(fs::exists(store.IniFilePath()));
    }
}

// Button faces

TEST(HostileIcon, AFaceIsChosenByTheNameAloneNeverByTheBytes) {
    TempDir folder;
    const fs::path notAnIcon = folder.path() / "notes.ico";
    const fs::path notABitmap = folder.path() / "scan.BMP";
    test::writeFile(notAnIcon, "just some text\n");
    test::writeFile(notABitmap, "%PDF-1.4\n%%EOF\n");
    EXPECT_EQ(FaceKindOf(notAnIcon.string()), FaceKind::Icon);
    EXPECT_EQ(FaceKindOf(notABitmap.string()), FaceKind::Bitmap);
}

TEST(HostileIcon, PathsThatOnlyLookLikeImagesGiveNoFace) {
    const std::vector<std::string> icons{"<none>",  "/tmp/",  "/dev/zero",
                                         "a.ico\n", "a.ico ", std::string("a.ico\0.png", 10),
                                         "a.i co"};
    for (const std::string& icon : icons) {
        EXPECT_EQ(FaceKindOf(icon), FaceKind::None) << testing::PrintToString(icon);
    }
    EXPECT_EQ(desk::ShownIcon(desk::StoredIcon("")), "");
}

// Window titles

TEST(HostileWindowTitle, TenThousandCharactersAreCutTo109AndOnlyTheKeptPartMatches) {
    const std::string euro = "\xE2\x82\xAC";
    const std::string title = Repeated(euro, 10000);
    const WindowList list = ListOf({title});
    ASSERT_EQ(list.Entries().size(), 1U);
    EXPECT_EQ(list.Entries()[0].title, Repeated(euro, WindowList::kMaxTitleLength));
    EXPECT_EQ(list.FindWindowIndex(title), -1);
    EXPECT_EQ(list.FindWindowIndex("*" + Repeated(euro, WindowList::kMaxTitleLength) + "*"), 0);
    EXPECT_EQ(list.FindWindowIndex("*" + Repeated(euro, WindowList::kMaxTitleLength + 1) + "*"),
              -1);
}

TEST(HostileWindowTitle, ASwitchToATenThousandCharacterTitleDoesNothingAndGoesOn) {
    const std::string title(10000, 'w');
    const config::StepDecision decision = DecideStep(0, "SWITCH:" + title, ListOf({title}));
    EXPECT_EQ(decision.action, StepAction::Nothing);
    EXPECT_TRUE(decision.advance);
    EXPECT_EQ(decision.activity.size(), 3 + 7 + title.size());
}

TEST(HostileWindowTitle, PaddingCannotMakeTheProgramsOwnOrABlankWindowListed) {
    const std::string own(WindowList::kApplicationTitle);
    const WindowList list =
        ListOf({own + std::string(10000, ' '), "\t" + own + "\n", std::string(10000, ' '),
                Repeated("\x01\x7f", 5000), std::string(200, ' ') + "Scanner"});
    EXPECT_TRUE(list.Entries().empty()) << "a title blank for its first 109 characters is blank";
    EXPECT_EQ(list.FindWindowIndex("**"), -1);
}

}  // namespace
}  // namespace sortwell
