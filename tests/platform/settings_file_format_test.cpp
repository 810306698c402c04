#include "platform/linux/settings_file_format.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <string_view>

namespace sortwell::platform::linux_host {
namespace {

using namespace std::string_literals;

constexpr std::string_view kFirstLine = "# Tessaryn Sortwell settings, format 1\n";

std::string withFirstLine(std::string_view rest) {
    return std::string(kFirstLine) + std::string(rest);
}

std::string everyByte() {
    std::string bytes;
    for (int value = 0; value < 256; ++value) {
        bytes += static_cast<char>(value);
    }
    return bytes;
}

SettingsTree roundTrip(const SettingsTree& tree) {
    const std::string text = formatSettingsFile(tree);
    ParsedSettings parsed = parseSettingsFile(text);
    EXPECT_TRUE(parsed.ok) << parsed.error << "\n" << text;
    return parsed.tree;
}

ParsedSettings parseExpectingSuccess(std::string_view text) {
    ParsedSettings parsed = parseSettingsFile(text);
    EXPECT_TRUE(parsed.ok) << parsed.error;
    return parsed;
}

void expectErrorOnLine(std::string_view text, int line) {
    const ParsedSettings parsed = parseSettingsFile(text);
    EXPECT_FALSE(parsed.ok);
    EXPECT_TRUE(parsed.tree.empty());
    const std::string where = "line " + std::to_string(line);
    EXPECT_TRUE(parsed.error.rfind(where + ":", 0) == 0 || parsed.error.rfind(where + ",", 0) == 0)
        << parsed.error;
}

// The line that holds a root value whose key is "k".
std::string formattedValueLine(const std::string& value) {
    SettingsTree tree;
    tree.folder("").set("k", value);
    const std::string text = formatSettingsFile(tree);
    return text.substr(kFirstLine.size());
}

TEST(SettingsFileFormat, WritesASmallTreeExactly) {
    SettingsTree tree;
    tree.folder("").set("Language", "de");
    tree.folder("").set("Greeting", "Grüße, 日本 ✓");
    tree.folder("").set("#hash", "a=b");
    SettingsFolder& profiles = tree.folder("Profiles");
    profiles.set("Current", "Home");
    profiles.set("Path", "C:\\Scan\\In");
    profiles.set("Note", "line 1\nline 2\tend\r");
    profiles.set("x=y", "[z]");
    tree.folder("Empty");
    tree.folder("[odd]").set(" padded ", "");

    const std::string expected = R"(# Tessaryn Sortwell settings, format 1
Language=de
Greeting=Grüße, 日本 ✓
\x23hash=a=b

[Profiles]
Current=Home
Path=C:\\Scan\\In
Note=line 1\nline 2\tend\r
x\x3Dy=[z]

[Empty]

[\x5Bodd\x5D]
 padded =
)";
    EXPECT_EQ(formatSettingsFile(tree), expected);
    EXPECT_EQ(roundTrip(tree), tree);
}

TEST(SettingsFileFormat, EmptyTreeIsJustTheFirstLine) {
    EXPECT_EQ(formatSettingsFile(SettingsTree()), kFirstLine);
    const ParsedSettings parsed = parseExpectingSuccess(kFirstLine);
    EXPECT_TRUE(parsed.tree.empty());
}

TEST(SettingsFileFormat, EmptyRootFolderSurvivesARoundTrip) {
    SettingsTree tree;
    tree.folder("");
    tree.folder("Other").set("a", "1");
    EXPECT_EQ(formatSettingsFile(tree), withFirstLine("\n[]\n\n[Other]\na=1\n"));
    EXPECT_EQ(roundTrip(tree), tree);
}

TEST(SettingsFileFormat, EmptyFolderSurvivesARoundTrip) {
    SettingsTree tree;
    tree.folder("").set("a", "1");
    tree.folder("Nothing here");
    tree.folder("Last").set("b", "2");
    const SettingsTree back = roundTrip(tree);
    EXPECT_EQ(back, tree);
    ASSERT_NE(back.findFolder("Nothing here"), nullptr);
    EXPECT_TRUE(back.findFolder("Nothing here")->values.empty());
}

TEST(SettingsFileFormat, EveryByteSurvivesInKeysValuesAndFolderNames) {
    const std::string all = everyByte();
    SettingsTree tree;
    tree.folder("").set(all, all);
    tree.folder(all).set(all, all);
    EXPECT_EQ(roundTrip(tree), tree);
}

TEST(SettingsFileFormat, EverySingleByteSurvivesAsKeyValueAndFolderName) {
    SettingsTree tree;
    for (int value = 0; value < 256; ++value) {
        const std::string byte(1, static_cast<char>(value));
        tree.folder("").set(byte, byte);
        tree.folder(byte).set(byte + "=" + byte, byte);
    }
    EXPECT_EQ(roundTrip(tree), tree);
}

TEST(SettingsFileFormat, SyntaxCharactersSurviveEverywhere) {
    const std::array<std::string, 20> tricky = {
        "=",     "[",      "]",   "#",  "\\",  "\r", "\n",    "\0"s, "\r\n",   " ",
        " lead", "trail ", "a=b", "#x", "[x]", "x]", "\\x41", "\\n", "=[#]\\", "\t\t"};
    SettingsTree tree;
    for (const std::string& text : tricky) {
        tree.folder("").set(text, text);
        tree.folder(text).set(text, text);
    }
    EXPECT_EQ(roundTrip(tree), tree);
}

TEST(SettingsFileFormat, EmptyKeyAndEmptyValueSurvive) {
    SettingsTree tree;
    tree.folder("").set("", "");
    tree.folder("").set("empty value", "");
    tree.folder("F").set("", "for the empty key");
    const std::string text = formatSettingsFile(tree);
    EXPECT_EQ(text, withFirstLine("=\nempty value=\n\n[F]\n=for the empty key\n"));
    EXPECT_EQ(roundTrip(tree), tree);
}

TEST(SettingsFileFormat, LongValueOfRandomBytesSurvives) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string value(1 << 20, '\0');
    for (char& c : value) {
        c = static_cast<char>(byte(random));
    }
    SettingsTree tree;
    tree.folder("Big").set("blob", value);
    tree.folder("Big").set("after", "still here");
    EXPECT_EQ(roundTrip(tree), tree);
}

TEST(SettingsFileFormat, OrdinaryUtf8TextIsWrittenAsItIs) {
    const std::string text = "Grüße aus Köln — 日本語 😀 ¡ok!";
    EXPECT_EQ(formattedValueLine(text), "k=" + text + "\n");
}

TEST(SettingsFileFormat, ControlBytesAreEscaped) {
    EXPECT_EQ(formattedValueLine("\x01\x1F\x7F\0end"s), "k=\\x01\\x1F\\x7F\\x00end\n");
}

TEST(SettingsFileFormat, InvalidUtf8IsEscapedBytewise) {
    EXPECT_EQ(formattedValueLine("\xC0\x80"), "k=\\xC0\\x80\n");                    // overlong NUL
    EXPECT_EQ(formattedValueLine("\xE0\x80\xAF"), "k=\\xE0\\x80\\xAF\n");           // overlong "/"
    EXPECT_EQ(formattedValueLine("\xED\xA0\x80"), "k=\\xED\\xA0\\x80\n");           // surrogate
    EXPECT_EQ(formattedValueLine("\xF4\x90\x80\x80"), "k=\\xF4\\x90\\x80\\x80\n");  // > U+10FFFF
    EXPECT_EQ(formattedValueLine("a\x80z"), "k=a\\x80z\n");  // lone continuation
    EXPECT_EQ(formattedValueLine("\xFF\xFE"), "k=\\xFF\\xFE\n");
    EXPECT_EQ(formattedValueLine("ok \xE2\x82"), "k=ok \\xE2\\x82\n");  // cut-off sequence
    EXPECT_EQ(formattedValueLine("\xE2\x82\xAC\xE2"), "k=\xE2\x82\xAC\\xE2\n");
}

TEST(SettingsFileFormat, KeysEscapeEqualsSignsAndLeadingLineMarks) {
    SettingsTree tree;
    tree.folder("").set("#a=b[#", "v");
    tree.folder("").set("[x", "v");
    tree.folder("").set("m#[", "#=[]");
    EXPECT_EQ(formatSettingsFile(tree), withFirstLine("\\x23a\\x3Db[#=v\n\\x5Bx=v\nm#[=#=[]\n"));
}

TEST(SettingsFileFormat, FolderNamesEscapeBrackets) {
    SettingsTree tree;
    tree.folder("a[b]c");
    tree.folder("#=x");
    EXPECT_EQ(formatSettingsFile(tree), withFirstLine("\n[a\\x5Bb\\x5Dc]\n\n[#=x]\n"));
}

TEST(SettingsFileFormat, ReadsHexEscapesInEitherCase) {
    const ParsedSettings parsed = parseExpectingSuccess(withFirstLine("k=\\x4a\\x4A\\xff\n"));
    ASSERT_NE(parsed.tree.findFolder(""), nullptr);
    EXPECT_EQ(*parsed.tree.findFolder("")->find("k"), "JJ\xFF");
}

TEST(SettingsFileFormat, KeepsBlanksAroundKeysAndValues) {
    const ParsedSettings parsed = parseExpectingSuccess(withFirstLine("  key  =  value  \n"));
    ASSERT_NE(parsed.tree.findFolder(""), nullptr);
    EXPECT_EQ(*parsed.tree.findFolder("")->find("  key  "), "  value  ");
}

TEST(SettingsFileFormat, IgnoresCommentsAndEmptyLines) {
    const ParsedSettings parsed = parseExpectingSuccess(
        withFirstLine("\n# a comment\na=1\n\n\n[F]\n# another=comment\n\nb=2\n"));
    SettingsTree expected;
    expected.folder("").set("a", "1");
    expected.folder("F").set("b", "2");
    EXPECT_EQ(parsed.tree, expected);
}

TEST(SettingsFileFormat, LaterRepeatedKeyWinsAndKeepsItsFirstPlace) {
    const ParsedSettings parsed =
        parseExpectingSuccess(withFirstLine("a=1\nb=2\na=3\n[F]\nx=1\n[G]\n[F]\nx=2\ny=3\n"));
    SettingsTree expected;
    expected.folder("").set("a", "3");
    expected.folder("").set("b", "2");
    expected.folder("F").set("x", "2");
    expected.folder("F").set("y", "3");
    expected.folder("G");
    EXPECT_EQ(parsed.tree, expected);
}

TEST(SettingsFileFormat, EmptyFolderLineLeadsBackToTheRootFolder) {
    const ParsedSettings parsed = parseExpectingSuccess(withFirstLine("[F]\nx=1\n[]\nr=2\n"));
    SettingsTree expected;
    expected.folder("F").set("x", "1");
    expected.folder("").set("r", "2");
    EXPECT_EQ(parsed.tree, expected);
}

TEST(SettingsFileFormat, RejectsAnEmptyFile) {
    expectErrorOnLine("", 1);
}

TEST(SettingsFileFormat, RejectsAFileWithoutTheFirstLine) {
    expectErrorOnLine("a=1\n", 1);
    expectErrorOnLine("\n# Tessaryn Sortwell settings, format 1\n", 1);
}

TEST(SettingsFileFormat, RejectsAnUnknownFormat) {
    const ParsedSettings parsed = parseSettingsFile("# Tessaryn Sortwell settings, format 2\n");
    EXPECT_FALSE(parsed.ok);
    EXPECT_NE(parsed.error.find("format"), std::string::npos) << parsed.error;
}

TEST(SettingsFileFormat, RejectsWindowsLineEnds) {
    expectErrorOnLine("# Tessaryn Sortwell settings, format 1\r\na=1\r\n", 1);
}

TEST(SettingsFileFormat, RejectsAMissingFinalLineBreak) {
    expectErrorOnLine("# Tessaryn Sortwell settings, format 1", 1);
    expectErrorOnLine(withFirstLine("a=1\n[F]\nb=2"), 4);
    expectErrorOnLine(withFirstLine("a=1\n# comment"), 3);
}

TEST(SettingsFileFormat, RejectsAValueLineWithoutEqualsSign) {
    expectErrorOnLine(withFirstLine("a=1\njust words\n"), 3);
    expectErrorOnLine(withFirstLine("escaped\\x3Donly\n"), 2);
}

TEST(SettingsFileFormat, RejectsBadEscapes) {
    expectErrorOnLine(withFirstLine("a=\\q\n"), 2);
    expectErrorOnLine(withFirstLine("a=ok\nb=\\x4\n"), 3);
    expectErrorOnLine(withFirstLine("a=\\xG0\n"), 2);
    expectErrorOnLine(withFirstLine("a=trailing\\\n"), 2);
    expectErrorOnLine(withFirstLine("\\=a\n"), 2);
    expectErrorOnLine(withFirstLine("[bad\\e]\n"), 2);
}

TEST(SettingsFileFormat, BadEscapeErrorNamesTheColumn) {
    const ParsedSettings parsed = parseSettingsFile(withFirstLine("key=ab\\q\n"));
    EXPECT_FALSE(parsed.ok);
    EXPECT_EQ(parsed.error.rfind("line 2, column 7:", 0), 0U) << parsed.error;
}

TEST(SettingsFileFormat, RejectsAFolderLineWithoutClosingBracket) {
    expectErrorOnLine(withFirstLine("[Folder\n"), 2);
    expectErrorOnLine(withFirstLine("a=1\n[Folder] # note\n"), 3);
    expectErrorOnLine(withFirstLine("[\n"), 2);
}

}  // namespace
}  // namespace sortwell::platform::linux_host
