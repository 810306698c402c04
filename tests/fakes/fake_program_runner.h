#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/program_runner.h"

namespace sortwell::test {

// Starts nothing: records each start and plays the part the test scripted. A started program
// ends at its next poll unless `neverEnds` is set at that poll; end() ends it by SIGKILL.
class FakeProgramRunner : public platform::ProgramRunner {
public:
    struct Started {
        std::string program;
        std::vector<std::string> arguments;
    };

    // What the next programs do.
    std::string refuseWith;  // non-empty: start fails with this reason
    int exitCode = 0;
    std::string errorOutput;
    bool neverEnds = false;

    std::vector<Started> started;
    int ended = 0;    // programs ended by end()
    int dropped = 0;  // handles given back, ended or not

    platform::ProgramStart start(const std::string& program,
                                 const std::vector<std::string>& arguments) override {
        if (!refuseWith.empty()) {
            return {nullptr, refuseWith};
        }
        started.push_back({program, arguments});
        platform::ProgramExit exit{exitCode, 0, errorOutput};
        return {std::make_unique<Program>(*this, exit), {}};
    }

private:
    class Program : public platform::RunningProgram {
    public:
        Program(FakeProgramRunner& runner, platform::ProgramExit exit)
            : runner_(runner), exit_(std::move(exit)) {}
        ~Program() override { ++runner_.dropped; }

        std::optional<platform::ProgramExit> poll() override {
            if (runner_.neverEnds && !killed_) {
                return std::nullopt;
            }
            return exit_;
        }

        void end() override {
            if (!killed_) {
                ++runner_.ended;
                killed_ = true;
                exit_.signal = 9;
            }
        }

    private:
        FakeProgramRunner& runner_;
        platform::ProgramExit exit_;
        bool killed_ = false;
    };
};

}  // namespace sortwell::test
