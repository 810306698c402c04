#pragma once

#include <string>
#include <string_view>

#include "platform/file_access.h"

namespace sortwell::platform::linux_host {

// Reads the whole regular file at `path`. Nothing there, or a folder, is Missing; anything
// else that is not a regular file, or a failing open or read, is Failed with the reason.
FileRead readRegularFile(const std::string& path);

// Whole-file access through POSIX calls; writes go through writeFileAtomically().
class PosixFileAccess : public FileAccess {
public:
    FileRead readWhole(const std::string& path) override;
    std::string writeWhole(const std::string& path, std::string_view bytes) override;
    bool isFile(const std::string& path) override;
    bool removeFile(const std::string& path) override;
};

}  // namespace sortwell::platform::linux_host
