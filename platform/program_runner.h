#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sortwell::platform {

// How a started program ended.
struct ProgramExit {
    int exitCode = 0;  // when `signal` is 0
    int signal = 0;    // non-zero: the program was ended by this signal
    // The end of what it wrote to its error output, at most ProgramRunner::kErrorTailBytes.
    std::string errorTail;

    bool succeeded() const { return signal == 0 && exitCode == 0; }
};

// A program that was started; ending or dropping it never leaves a zombie behind.
class RunningProgram {
public:
    // Ends the program if it still runs and waits for it.
    virtual ~RunningProgram() = default;
    // Takes in what it wrote since the last call, without waiting; its exit once it has ended.
    virtual std::optional<ProgramExit> poll() = 0;
    // Ends it at once and waits for it; poll() then reports the ending.
    virtual void end() = 0;
};

// A program, or why it could not be started.
struct ProgramStart {
    std::unique_ptr<RunningProgram> program;
    std::string problem;  // set when `program` is null
};

// Starts other programs without a shell.
class ProgramRunner {
public:
    // The bounded end of a program's error output that is kept; the rest is dropped as it comes.
    static constexpr std::size_t kErrorTailBytes = 8192;

    virtual ~ProgramRunner() = default;
    // Starts `program` (looked up in PATH unless it holds a slash) with `arguments`, reading
    // nothing and with its ordinary output thrown away.
    virtual ProgramStart start(const std::string& program,
                               const std::vector<std::string>& arguments) = 0;
};

}  // namespace sortwell::platform
