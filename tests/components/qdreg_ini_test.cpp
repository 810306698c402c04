#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>

#include "components/qdreg.h"
#include "fakes/fake_host.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

using sortwell::test::FakeHost;
using sortwell::test::readFile;
using sortwell::test::TempDir;
using sortwell::test::writeFile;
using Entries = std::vector<TQDReg::Entry>;

class IniTest : public ::testing::Test {
protected:
    IniTest() {
        reg.IniFileName = "QSortwell.ini";
        reg.IniFileDir = dir.str();
    }
    std::string iniPath() const { return dir.str() + "/QSortwell.ini"; }
    void loadText(const std::string& text) {
        writeFile(iniPath(), text);
        ASSERT_TRUE(reg.LoadFromFile());
    }

    TempDir dir;
    FakeHost fakes;
    TQDReg reg{fakes.host()};
};

TEST_F(IniTest, WritesRootFirstThenFoldersWithCrLfAfterEveryLine) {
    reg.Push("a", "1");
    reg.PushString("c", "3", "x");
    reg.Push("b", "2");
    ASSERT_TRUE(reg.SaveToFile());
    EXPECT_EQ(readFile(iniPath()), "\r\na=1\r\nb=2\r\n\r\n[x]\r\nc=3\r\n");
}

TEST_F(IniTest, EmptyStoreWritesOneEmptyLine) {
    ASSERT_TRUE(reg.SaveToFile());
    EXPECT_EQ(readFile(iniPath()), "\r\n");
}

TEST_F(IniTest, FoldersFollowTheOrderOfTheirFirstEntry) {
    reg.PushString("k", "1", "second");
    reg.PushString("k", "2", "first");
    reg.PushString("k", "3", "second");  // moves to the end, so "first" now leads
    EXPECT_EQ(reg.IniText(), "\r\n\r\n[first]\r\nk=2\r\n\r\n[second]\r\nk=3\r\n");
}

TEST_F(IniTest, ValuesAreWrittenWithNothingAddedOrEscaped) {
    reg.Push("path", "/home/a b/%YEAR\\x=y;#");
    EXPECT_EQ(reg.IniText(), "\r\npath=/home/a b/%YEAR\\x=y;#\r\n");
}

TEST_F(IniTest, AnyKindOfLineEndReadsTheSame) {
    const Entries expected = {{"a", "1", ""}, {"b", "2", ""}, {"c", "3", "x"}};
    for (const std::string text :
         {"\r\na=1\r\nb=2\r\n\r\n[x]\r\nc=3\r\n", "\na=1\nb=2\n\n[x]\nc=3\n", "a=1\rb=2\r[x]\rc=3",
          "a=1\r\nb=2\n[x]\rc=3"}) {
        loadText(text);
        EXPECT_EQ(reg.Entries(), expected) << testing::PrintToString(text);
    }
}

TEST_F(IniTest, KeysAreTrimmedAndValuesKeptAsWritten) {
    loadText(" k = v\r\nk2=a=b\r\nnovalue\r\n;comment\r\n#hash=1\r\n =skipped\r\n\tt\t=\tx \r\n");
    const Entries expected = {{"k", " v", ""},      {"k2", "a=b", ""},  {"novalue", "", ""},
                              {";comment", "", ""}, {"#hash", "1", ""}, {"t", "\tx ", ""}};
    EXPECT_EQ(reg.Entries(), expected);
}

TEST_F(IniTest, SectionsWithTheSameNameMergeAndAreWrittenOnce) {
    loadText("top=1\r\n[s]\r\na=1\r\n[t]\r\nb=2\r\n[s]\r\nc=3\r\na=4\r\n");
    const Entries expected = {{"top", "1", ""}, {"b", "2", "t"}, {"c", "3", "s"}, {"a", "4", "s"}};
    EXPECT_EQ(reg.Entries(), expected);
    EXPECT_EQ(reg.IniText(), "\r\ntop=1\r\n\r\n[t]\r\nb=2\r\n\r\n[s]\r\nc=3\r\na=4\r\n");
}

TEST_F(IniTest, ReadingLaterDuplicatesGivesTheSameOrderAsAddingOneByOne) {
    const std::string text = "a=1\nb=1\n[f]\na=2\n[]\nc=1\n[f]\nb=3\n[]=x\na=9\n";
    loadText(text);
    TQDReg oneByOne{fakes.host()};
    oneByOne.Add("a", "1", "");
    oneByOne.Add("b", "1", "");
    oneByOne.Add("a", "2", "f");
    oneByOne.Add("[]", "", "f");
    oneByOne.Add("c", "1", "f");
    oneByOne.Add("b", "3", "f");
    oneByOne.Add("[]", "x", "f");
    oneByOne.Add("a", "9", "f");
    EXPECT_EQ(reg.Entries(), oneByOne.Entries());
}

TEST_F(IniTest, NulEndsTheText) {
    loadText(std::string("a=1\r\nb=2\0c=3\r\n", 14));
    const Entries expected = {{"a", "1", ""}, {"b", "2", ""}};
    EXPECT_EQ(reg.Entries(), expected);
}

TEST(IniLines, DataLineParts) {
    EXPECT_EQ(TQDReg::BuildData("k", "v=w"), "k=v=w");
    EXPECT_EQ(TQDReg::GetDataKey("k=v=w"), "k");
    EXPECT_EQ(TQDReg::GetDataValue("k=v=w"), "v=w");
    EXPECT_EQ(TQDReg::GetDataKey("novalue"), "novalue");
    EXPECT_EQ(TQDReg::GetDataValue("novalue"), "");
    EXPECT_EQ(TQDReg::GetDataValue("k="), "");
}

TEST(IniLines, HeaderRecognition) {
    const std::vector<std::pair<std::string, std::string>> cases = {{"[Fonts]", "Fonts"},
                                                                    {"  [Fonts]  ", "Fonts"},
                                                                    {"[ a b ]", " a b "},
                                                                    {"[abc", "abc"},
                                                                    {"[a]b", ""},
                                                                    {"x[a]", ""},
                                                                    {"[a][b]", ""},
                                                                    {"[]", ""},
                                                                    {"[a[b]", "ab"},
                                                                    {"[a]]", "a"},
                                                                    {"a=1", ""},
                                                                    {"\t[a]", ""},
                                                                    {"", ""}};
    for (const auto& [line, name] : cases) {
        EXPECT_EQ(TQDReg::ExtractFolderName(line), name) << "line: '" << line << "'";
    }
}

TEST_F(IniTest, EntriesBeforeTheFirstHeaderBelongToTheRoot) {
    loadText("a=1\r\n[]\r\n[f]\r\nb=2\r\n");
    const Entries expected = {{"a", "1", ""}, {"[]", "", ""}, {"b", "2", "f"}};
    EXPECT_EQ(reg.Entries(), expected);
}

TEST_F(IniTest, LoadOfAMissingFileEmptiesTheStoreButAppendKeepsIt) {
    reg.Push("keep", "1");
    EXPECT_FALSE(reg.AppendFromFile());
    EXPECT_EQ(reg.Pop("keep"), "1");
    EXPECT_FALSE(reg.LoadFromFile());
    EXPECT_TRUE(reg.Entries().empty());
    EXPECT_TRUE(reg.LastError().empty()) << "a missing file is no error to show";
}

TEST_F(IniTest, AppendReplacesEqualKeysAndMovesThemToTheEnd) {
    reg.Push("a", "old");
    reg.Push("b", "kept");
    writeFile(iniPath(), "a=new\r\n");
    ASSERT_TRUE(reg.AppendFromFile());
    const Entries expected = {{"b", "kept", ""}, {"a", "new", ""}};
    EXPECT_EQ(reg.Entries(), expected);
}

TEST_F(IniTest, EmptyDirectoryMeansTheCurrentDirectory) {
    const std::string previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    reg.IniFileDir = "";
    reg.Push("a", "1");
    const bool saved = reg.SaveToFile();
    std::filesystem::current_path(previous);
    ASSERT_TRUE(saved);
    EXPECT_EQ(readFile(iniPath()), "\r\na=1\r\n");
    reg.IniFileDir = dir.str() + "/";
    EXPECT_EQ(reg.IniFilePath(), iniPath());
}

TEST_F(IniTest, ClearFileTellsWhetherThereWasAFile) {
    EXPECT_FALSE(reg.ClearFile());
    ASSERT_TRUE(reg.SaveToFile());
    EXPECT_TRUE(reg.ClearFile());
    EXPECT_FALSE(std::filesystem::exists(iniPath()));
}

TEST_F(IniTest, RoundTripKeepsEveryEntryAndItsOrder) {
    for (int i = 0; i < 300; ++i) {
        reg.PushString("key" + std::to_string(i), "v" + std::to_string(i * 7) + " =x",
                       i % 3 == 0 ? "" : "folder" + std::to_string(i % 5));
    }
    reg.Push("sequence", TQDReg::EncodeText("WAITWINDOW:A\r\nENTER", "`"));
    reg.Push("name0", "J\xc3\xbcrgen \xff\xfe");
    reg.Push("[x]", "");  // the "=" after the bracket keeps it a data line
    const Entries before = reg.Entries();
    ASSERT_TRUE(reg.SaveToFile());
    ASSERT_TRUE(reg.LoadFromFile());
    // The file groups entries by folder; within a folder the order is kept.
    auto byFolder = [](Entries entries) {
        std::stable_sort(entries.begin(), entries.end(),
                         [](const auto& a, const auto& b) { return a.folder < b.folder; });
        return entries;
    };
    EXPECT_EQ(byFolder(reg.Entries()), byFolder(before));
}

TEST_F(IniTest, EntriesTheFileCannotHoldAreRefusedAndNothingIsWritten) {
    writeFile(iniPath(), "old=1\r\n");
    const std::vector<TQDReg::Entry> unsafe = {{"k", "two\r\nlines", ""},
                                               {"k\n", "v", ""},
                                               {"a=b", "v", ""},
                                               {" k", "v", ""},
                                               {"[open", "v", ""},
                                               {"k", "v", "a]b"},
                                               {"k", std::string("a\0b", 3), ""}};
    for (const auto& entry : unsafe) {
        TQDReg one{fakes.host()};
        one.IniFileName = reg.IniFileName;
        one.IniFileDir = reg.IniFileDir;
        one.Push("fine", "1");
        one.Add(entry.key, entry.value, entry.folder);
        EXPECT_FALSE(one.SaveToFile()) << testing::PrintToString(entry.key);
        EXPECT_NE(one.LastError().find("cannot be kept in an INI file"), std::string::npos);
        EXPECT_EQ(readFile(iniPath()), "old=1\r\n");
    }
}

TEST_F(IniTest, WriteFailureReportsAndLeavesTheStore) {
    reg.IniFileDir = dir.str() + "/missing/folder";
    reg.Push("a", "1");
    EXPECT_FALSE(reg.SaveToFile());
    EXPECT_FALSE(reg.LastError().empty());
    EXPECT_EQ(reg.Pop("a"), "1");
}

TEST_F(IniTest, HostileFilesNeverCrashTheReader) {
    std::mt19937 random(7);
    std::string garbage(1 << 20, '\0');
    for (char& c : garbage) {
        c = static_cast<char>(random() % 255 + 1);  // no NUL, so every byte is read
    }
    loadText(garbage);
    EXPECT_FALSE(reg.Entries().empty());

    std::string longLine = "k=" + std::string(10 << 20, 'v');
    loadText(longLine);
    ASSERT_EQ(reg.Entries().size(), 1U);
    EXPECT_EQ(reg.Pop("k").size(), 10U << 20);

    loadText(std::string(1000, '\0') + "a=1");
    EXPECT_TRUE(reg.Entries().empty());
}

TEST_F(IniTest, AFolderInPlaceOfTheFileIsNoFile) {
    std::filesystem::create_directory(iniPath());
    reg.Push("keep", "1");
    EXPECT_FALSE(reg.AppendFromFile());
    EXPECT_EQ(reg.Pop("keep"), "1");
}

// Root reads every file, so the check runs as an unprivileged user in a child process.
TEST_F(IniTest, UnreadableFileLoadsNothingAndSaysWhy) {
    writeFile(iniPath(), "a=1\r\n");
    chmod(dir.str().c_str(), 0755);
    chmod(iniPath().c_str(), 0000);
    const int code = sortwell::test::exitCodeAsNobody([this] {
        reg.Push("keep", "1");
        if (reg.AppendFromFile()) {
            return 1;
        }
        return reg.LastError().empty() ? 2 : (reg.Pop("keep") == "1" ? 0 : 3);
    });
    ASSERT_NE(code, sortwell::test::kCouldNotDropRights) << "could not switch to user 65534";
    EXPECT_EQ(code, 0) << "1: loaded, 2: no reason given, 3: store changed";
}

}  // namespace
