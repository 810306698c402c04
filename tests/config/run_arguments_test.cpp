#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/run_arguments.h"

namespace {

using namespace sortwell::config;  // NOLINT(google-build-using-namespace)
using Words = std::vector<std::string>;

TEST(RunArgumentsTest, SplitsAtBlanksAndTakesRunsOfBlanksAsOne) {
    const RunCommand command = ParseRunArgument("  scanimage   -d test\t--format=pdf  ");
    EXPECT_TRUE(command.error.empty());
    EXPECT_EQ(command.program, "scanimage");
    EXPECT_EQ(command.arguments, (Words{"-d", "test", "--format=pdf"}));
}

TEST(RunArgumentsTest, DoubleQuotesGroupBlanksAndAreDropped) {
    const RunCommand command = ParseRunArgument(R"("my tool" -o "a  b.pdf" x"y z"w)");
    EXPECT_EQ(command.program, "my tool");
    EXPECT_EQ(command.arguments, (Words{"-o", "a  b.pdf", "xy zw"}));
}

TEST(RunArgumentsTest, EmptyQuotesGiveAnEmptyArgument) {
    const RunCommand command = ParseRunArgument(R"(tool "" last)");
    EXPECT_EQ(command.arguments, (Words{"", "last"}));
}

TEST(RunArgumentsTest, AnUnclosedQuoteIsRefusedWithTheText) {
    const RunCommand command = ParseRunArgument(R"(tool "open end)");
    EXPECT_EQ(command.error, R"(A double quote is not closed in "tool "open end".)");
    EXPECT_TRUE(command.program.empty());
    EXPECT_TRUE(command.arguments.empty());
}

TEST(RunArgumentsTest, OnlyBlanksOrAnEmptyQuotedNameNameNoProgram) {
    EXPECT_EQ(ParseRunArgument("   ").error, "No program is named.");
    EXPECT_EQ(ParseRunArgument(R"("" -x)").error, "No program is named.");
}

TEST(RunArgumentsTest, StampHasDateTimeAndMillisecondsWithLeadingZeros) {
    EXPECT_EQ(DateTimeStamp({2026, 3, 7, 8, 5, 9, 42}), "20260307-080509-042");
    EXPECT_EQ(DateTimeStamp({2026, 12, 31, 23, 59, 59, 999}), "20261231-235959-999");
}

TEST(RunArgumentsTest, LocalTimeKeepsTheMilliseconds) {
    const auto when = std::chrono::system_clock::time_point{} + std::chrono::hours(24 * 400) +
                      std::chrono::milliseconds(1234);
    const LocalTime local = LocalTimeOf(when);
    EXPECT_EQ(local.millisecond, 234);
    EXPECT_EQ(LocalTimeOf(when + std::chrono::milliseconds(1)).millisecond, 235);
}

TEST(RunArgumentsTest, ExpandsBothPlaceholdersInsideAnArgument) {
    EXPECT_EQ(
        ExpandRunArgument("-o%INPUTDIR/scan-%DATETIME.pdf", "/home/u/In", "20260307-080509-042"),
        "-o/home/u/In/scan-20260307-080509-042.pdf");
    EXPECT_EQ(ExpandRunArgument("%INPUTDIR%INPUTDIR", "a", "s"), "aa");
}

TEST(RunArgumentsTest, WhatIsPutInIsNotExpandedAgain) {
    EXPECT_EQ(ExpandRunArgument("%INPUTDIR", "/x/%DATETIME", "S"), "/x/%DATETIME");
    EXPECT_EQ(ExpandRunArgument("%INPUT %DATE", "/in", "S"), "%INPUT %DATE");
}

TEST(RunArgumentsTest, AFolderWithBlanksStaysOneArgument) {
    const RunCommand expanded =
        ExpandRunCommand(ParseRunArgument("cp %INPUTDIR/a.pdf b"), "/My Scans", "S");
    EXPECT_EQ(expanded.program, "cp");
    EXPECT_EQ(expanded.arguments, (Words{"/My Scans/a.pdf", "b"}));
}

TEST(RunArgumentsTest, TheProgramNameIsNotExpanded) {
    const RunCommand expanded = ExpandRunCommand(ParseRunArgument("%INPUTDIR/tool"), "/in", "S");
    EXPECT_EQ(expanded.program, "%INPUTDIR/tool");
}

}  // namespace
