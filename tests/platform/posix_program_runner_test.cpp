#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/posix_program_runner.h"

namespace {

using sortwell::platform::ProgramExit;
using sortwell::platform::ProgramRunner;
using sortwell::platform::ProgramStart;
using sortwell::platform::RunningProgram;
using sortwell::platform::linux_host::PosixProgramRunner;

// Polls until the program has ended; the test's own time limit catches one that never does.
ProgramExit WaitFor(RunningProgram& program) {
    std::optional<ProgramExit> exit;
    while (!(exit = program.poll())) {
        ::usleep(1000);
    }
    return *exit;
}

ProgramStart Shell(const std::string& script) {
    PosixProgramRunner runner;
    return runner.start("sh", {"-c", script});
}

TEST(PosixProgramRunnerTest, AProgramThatEndsWellReportsExitCodeZero) {
    ProgramStart start = Shell("exit 0");
    ASSERT_TRUE(start.program) << start.problem;
    const ProgramExit exit = WaitFor(*start.program);
    EXPECT_TRUE(exit.succeeded());
    EXPECT_TRUE(exit.errorTail.empty());
}

TEST(PosixProgramRunnerTest, ExitCodeAndErrorOutputComeBack) {
    ProgramStart start = Shell("echo ignored; echo 'no device' >&2; exit 1");
    ASSERT_TRUE(start.program);
    const ProgramExit exit = WaitFor(*start.program);
    EXPECT_EQ(exit.exitCode, 1);
    EXPECT_EQ(exit.signal, 0);
    EXPECT_EQ(exit.errorTail, "no device\n");
}

TEST(PosixProgramRunnerTest, ArgumentsReachTheProgramUntouchedByAnyShell) {
    PosixProgramRunner runner;
    ProgramStart start = runner.start(
        "sh", {"-c", R"(test "$0" = "a b;*" && test "$1" = '$HOME' || exit 7)", "a b;*", "$HOME"});
    ASSERT_TRUE(start.program);
    EXPECT_EQ(WaitFor(*start.program).exitCode, 0);
}

TEST(PosixProgramRunnerTest, AProgramThatDoesNotExistIsNotStarted) {
    PosixProgramRunner runner;
    const ProgramStart start = runner.start("sortwell-no-such-program", {});
    EXPECT_FALSE(start.program);
    EXPECT_EQ(start.problem, "No such file or directory");
}

TEST(PosixProgramRunnerTest, MegabytesOfErrorOutputKeepOnlyTheEnd) {
    ProgramStart start = Shell(
        "i=0; while [ $i -lt 3000 ]; do printf '%01000d\\n' $i >&2; i=$((i+1)); done; "
        "echo last words >&2; exit 2");
    ASSERT_TRUE(start.program);
    const ProgramExit exit = WaitFor(*start.program);
    EXPECT_EQ(exit.exitCode, 2);
    EXPECT_EQ(exit.errorTail.size(), ProgramRunner::kErrorTailBytes);
    EXPECT_TRUE(exit.errorTail.ends_with("\nlast words\n"));
}

TEST(PosixProgramRunnerTest, EndingAProgramThatHangsKillsAndReapsIt) {
    ProgramStart start = Shell("echo started >&2; exec sleep 1000");
    ASSERT_TRUE(start.program);
    EXPECT_FALSE(start.program->poll());
    start.program->end();
    const std::optional<ProgramExit> exit = start.program->poll();
    ASSERT_TRUE(exit);
    EXPECT_EQ(exit->signal, 9);
    EXPECT_FALSE(exit->succeeded());
}

TEST(PosixProgramRunnerTest, DroppingARunningProgramEndsIt) {
    PosixProgramRunner runner;
    ProgramStart start = runner.start("sleep", {"1000"});
    ASSERT_TRUE(start.program);
    start.program.reset();
    // Reaped by the drop: nothing is left for us to wait for.
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
}

}  // namespace
