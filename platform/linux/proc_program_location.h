#pragma once

#include <functional>
#include <string>

#include "platform/program_location.h"

namespace sortwell::platform::linux_host {

// The running executable as the kernel names it in /proc/self/exe.
class ProcProgramLocation : public ProgramLocation {
public:
    // When the binary was replaced or removed while running, the kernel appends " (deleted)";
    // that text comes back as is, since no other name for the running file exists.
    std::string executablePath() override;
    // Asks the kernel (access with W_OK), so read-only mounts and the user's rights both count.
    bool programFolderWritable() override;
};

// The target of the symbolic link at `path`, however long; empty text when it cannot be read.
std::string readSymlinkTarget(const std::string& path);

// The file from which the program can be started again.
struct ProgramFile {
    std::string path;     // empty when there is none
    std::string problem;  // why there is none
};

// The program file named by `linkText`, the text of /proc/self/exe. A file replaced or removed
// while it runs reads as its old path followed by " (deleted)"; an upgrade puts the new version
// at that path, so the file there (as `isFile` tells) is the one to start. Any other text is
// taken as it is.
ProgramFile programFileFromLink(const std::string& linkText,
                                const std::function<bool(const std::string&)>& isFile);

}  // namespace sortwell::platform::linux_host
