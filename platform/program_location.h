#pragma once

#include <string>

namespace sortwell::platform {

// Where the running program's executable lies.
class ProgramLocation {
public:
    virtual ~ProgramLocation() = default;

    // The full path of the running executable, or empty text when the host cannot tell.
    virtual std::string executablePath() = 0;

    // True when files can be created in the folder of the running executable.
    virtual bool programFolderWritable() = 0;
};

}  // namespace sortwell::platform
