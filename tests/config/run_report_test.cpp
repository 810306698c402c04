#include <gtest/gtest.h>

#include <string>

#include "config/run_report.h"

namespace {

using namespace sortwell::config;  // NOLINT(google-build-using-namespace)
using sortwell::platform::ProgramExit;

TEST(RunReportTest, LastErrorLineSkipsBlankEndsAndLineBreaks) {
    EXPECT_EQ(LastErrorLine("first\nscanimage: open of device test failed\r\n\n  \n"),
              "scanimage: open of device test failed");
    EXPECT_EQ(LastErrorLine("only"), "only");
    EXPECT_EQ(LastErrorLine(""), "");
    EXPECT_EQ(LastErrorLine("\n \n"), "");
}

TEST(RunReportTest, ALongLastLineIsCut) {
    const std::string line = LastErrorLine(std::string(5000, 'x') + "\n");
    EXPECT_EQ(line, std::string(kQuotedErrorLength, 'x') + "...");
}

TEST(RunReportTest, ExitProblemNamesTheCodeAndTheLastLine) {
    EXPECT_EQ(ExitProblem("scanimage", ProgramExit{1, 0, "a\nno device\n"}),
              "The program \"scanimage\" ended with exit code 1: no device");
    EXPECT_EQ(ExitProblem("t", ProgramExit{3, 0, ""}), "The program \"t\" ended with exit code 3");
    EXPECT_EQ(ExitProblem("t", ProgramExit{0, 9, ""}), "The program \"t\" was ended by signal 9");
}

TEST(RunReportTest, StartAndTimeLimitProblems) {
    EXPECT_EQ(StartProblem("nope", "No such file or directory"),
              "The program \"nope\" could not be started: No such file or directory");
    EXPECT_EQ(TimeLimitProblem("t"), "The program \"t\" did not end within 300 s and was ended.");
}

TEST(RunReportTest, TheQuestionListsEveryProgram) {
    const std::string question = ConfirmationQuestion({"scanimage -o a.pdf", "rm x"});
    EXPECT_NE(question.find("\n    scanimage -o a.pdf\n    rm x\n"), std::string::npos);
}

}  // namespace
