#pragma once

#include <string>
#include <string_view>

namespace sortwell::platform {

struct FileRead {
    enum class Status { Missing, Read, Failed };
    Status status = Status::Missing;
    std::string bytes;
    std::string problem;  // why the read failed
};

// Whole-file reads and writes for small files such as the exported settings.
class FileAccess {
public:
    virtual ~FileAccess() = default;

    // Reads the whole regular file at `path`; a folder or nothing at `path` is Missing.
    virtual FileRead readWhole(const std::string& path) = 0;

    // Replaces the file at `path` with `bytes` atomically and durably; returns the reason on
    // failure, empty text on success. A failed write leaves the old file as it was.
    virtual std::string writeWhole(const std::string& path, std::string_view bytes) = 0;

    // True when a regular file exists at `path`.
    virtual bool isFile(const std::string& path) = 0;

    // Removes the regular file at `path`; true when it is gone afterwards.
    virtual bool removeFile(const std::string& path) = 0;
};

}  // namespace sortwell::platform
