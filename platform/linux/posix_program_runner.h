#pragma once

#include "platform/program_runner.h"

namespace sortwell::platform::linux_host {

// posix_spawnp with the input and output on /dev/null and the error output on a pipe that is
// read without blocking. Each program gets its own process group, so that ending it also ends
// what it started.
class PosixProgramRunner : public ProgramRunner {
public:
    ProgramStart start(const std::string& program,
                       const std::vector<std::string>& arguments) override;
};

}  // namespace sortwell::platform::linux_host
