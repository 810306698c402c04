#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "config/sequence_language.h"

namespace {

using sortwell::config::Command;
using sortwell::config::CommandOf;
using sortwell::config::DefaultSequence;
using sortwell::config::KeywordOf;
using sortwell::config::LineAt;
using sortwell::config::LineCount;
using sortwell::config::SequenceLines;
using sortwell::config::SplitLine;

using Lines = std::vector<std::string_view>;

void ExpectSplit(std::string_view line, std::string_view keyword, std::string_view argument) {
    const auto split = SplitLine(line);
    EXPECT_EQ(split.keyword, keyword) << "line: " << line;
    EXPECT_EQ(split.argument, argument) << "line: " << line;
}

TEST(SplitLine, SplitsAtTheFirstColonAndKeepsTheRestAsWritten) {
    ExpectSplit("TYPE:a:b", "TYPE", "a:b");
    ExpectSplit("TYPE::", "TYPE", ":");
    ExpectSplit("SWITCH: Scanner ", "SWITCH", " Scanner ");
    ExpectSplit(":x", "", "x");
}

TEST(SplitLine, AColonAtTheEndOrNoColonLeavesAllKeyword) {
    ExpectSplit("WAITSECONDS:", "WAITSECONDS:", "");
    ExpectSplit("TYPE:", "TYPE:", "");
    ExpectSplit("ENTER", "ENTER", "");
    ExpectSplit(":", ":", "");
    ExpectSplit("", "", "");
}

TEST(CommandOf, ComparesKeywordsExactly) {
    EXPECT_EQ(CommandOf("ENTER"), Command::Enter);
    EXPECT_EQ(CommandOf("enter"), Command::None);
    EXPECT_EQ(CommandOf("ENTER "), Command::None);
    EXPECT_EQ(CommandOf(" ENTER"), Command::None);
    EXPECT_EQ(CommandOf("WAITSECONDS:"), Command::None);
    EXPECT_EQ(CommandOf(""), Command::None);
}

TEST(CommandOf, EveryKeywordNamesItsCommand) {
    const std::vector<std::pair<std::string_view, Command>> table{
        {"WAITWINDOW", Command::WaitWindow},
        {"UNWAITWINDOW", Command::UnwaitWindow},
        {"SWITCH", Command::Switch},
        {"CLOSE", Command::Close},
        {"WAITSECONDS", Command::WaitSeconds},
        {"TAB", Command::Tab},
        {"SPACE", Command::Space},
        {"ESC", Command::Esc},
        {"ENTER", Command::Enter},
        {"TYPE", Command::Type},
        {"HANDLEDOCUMENT", Command::HandleDocument},
        {"RUN", Command::Run},
    };
    for (const auto& [keyword, command] : table) {
        EXPECT_EQ(CommandOf(keyword), command) << keyword;
        EXPECT_EQ(KeywordOf(command), keyword);
    }
    EXPECT_EQ(KeywordOf(Command::None), "");
}

TEST(SequenceLines, SplitsAtEveryKindOfLineBreak) {
    EXPECT_EQ(SequenceLines("A\r\nB\nC\rD"), (Lines{"A", "B", "C", "D"}));
    EXPECT_EQ(SequenceLines("A\r\r\nB"), (Lines{"A", "", "B"}));
    EXPECT_EQ(SequenceLines("A\n\rB"), (Lines{"A", "", "B"}));
}

TEST(SequenceLines, AnEmptyLastLineIsNotALine) {
    EXPECT_EQ(SequenceLines(""), Lines{});
    EXPECT_EQ(SequenceLines("A\r\n"), Lines{"A"});
    EXPECT_EQ(SequenceLines("\r\n"), Lines{""});
    EXPECT_EQ(SequenceLines("A\r\n\r\n"), (Lines{"A", ""}));
    EXPECT_EQ(SequenceLines("A\r\n "), (Lines{"A", " "}));
}

TEST(SequenceLines, CountAndLineAtAgreeWithTheLines) {
    for (const std::string_view text : {"", "A", "A\r\n", "\n\n", "A\rB\r\nC\n", "x\r\n\r\ny"}) {
        const Lines lines = SequenceLines(text);
        ASSERT_EQ(LineCount(text), lines.size()) << text;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(LineAt(text, i), lines[i]);
        }
        EXPECT_EQ(LineAt(text, lines.size()), "");
    }
}

TEST(DefaultSequence, HasElevenLinesJoinedByCrLf) {
    const std::string text = DefaultSequence();
    EXPECT_EQ(LineCount(text), 11U);
    EXPECT_EQ(text.substr(0, 31), "WAITWINDOW:ScanSnap QuickMenu\r\n");
    EXPECT_EQ(LineAt(text, 4), "UNWAITWINDOW:Loading");
    EXPECT_EQ(LineAt(text, 10), "HANDLEDOCUMENT");
    std::string withoutBreaks;
    std::size_t breaks = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\r\n") == 0) {
            ++breaks;
            ++i;
        } else {
            withoutBreaks += text[i];
        }
    }
    EXPECT_EQ(breaks, 10U);
    EXPECT_EQ(withoutBreaks.find_first_of("\r\n"), std::string::npos);
}

}  // namespace
