#pragma once

#include <string>

#include "platform/program_location.h"

namespace sortwell::platform::linux_host {

// The running executable as the kernel names it in /proc/self/exe.
class ProcProgramLocation : public ProgramLocation {
public:
    // When the binary was replaced or removed while running, the kernel appends " (deleted)";
    // that text comes back as is, since no other name for the running file exists.
    std::string executablePath() override;
};

// The target of the symbolic link at `path`, however long; empty text when it cannot be read.
std::string readSymlinkTarget(const std::string& path);

}  // namespace sortwell::platform::linux_host
