#include "platform/linux/posix_file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/atomic_file.h"

namespace sortwell::platform::linux_host {
namespace {

FileRead failed(const std::string& path, const std::string& what) {
    FileRead result;
    result.status = FileRead::Status::Failed;
    result.problem = "Could not read " + path + ": " + what;
    return result;
}

// Returns 0 or the errno of the failed read.
int readToEnd(int fd, std::size_t expectedSize, std::string& bytes) {
    bytes.resize(expectedSize + 1);
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            bytes.resize(bytes.size() * 2);
        }
        const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (got == 0) {
            bytes.resize(filled);
            return 0;
        }
        filled += static_cast<std::size_t>(got);
    }
}

}  // namespace

FileRead readRegularFile(const std::string& path) {
    // O_NONBLOCK keeps a FIFO at this path from blocking the open; it is rejected below.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd.valid()) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            return {};
        }
        return failed(path, errorText(error));
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        const int error = errno;
        return failed(path, errorText(error));
    }
    if (S_ISDIR(info.st_mode)) {
        return {};
    }
    if (!S_ISREG(info.st_mode)) {
        return failed(path, "it is not a regular file");
    }
    FileRead result;
    if (const int error =
            readToEnd(fd.get(), static_cast<std::size_t>(info.st_size), result.bytes)) {
        return failed(path, errorText(error));
    }
    result.status = FileRead::Status::Read;
    return result;
}

FileRead PosixFileAccess::readWhole(const std::string& path) {
    return readRegularFile(path);
}

std::string PosixFileAccess::writeWhole(const std::string& path, std::string_view bytes) {
    return writeFileAtomically(path, bytes, true);
}

bool PosixFileAccess::isFile(const std::string& path) {
    return isRegularFile(path);
}

bool PosixFileAccess::removeFile(const std::string& path) {
    if (::unlink(path.c_str()) == 0) {
        return true;
    }
    return errno == ENOENT || errno == ENOTDIR;
}

}  // namespace sortwell::platform::linux_host
