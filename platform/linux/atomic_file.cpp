#include "platform/linux/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <system_error>
#include <utility>

namespace sortwell::platform::linux_host {
namespace {

// mkostemp() fills in six characters from [A-Za-z0-9].
constexpr std::string_view kUniqueSuffix = "XXXXXX";

// Unique names rather than one fixed name: not every caller serialises its writers, and two
// writers sharing one temporary file could rename each other's half-written bytes into place.
std::string temporaryTemplate(const std::string& path) {
    return folderOf(path) + "/." + nameOf(path) + "." + std::string(kUniqueSuffix);
}

bool isTemporaryName(std::string_view targetName, std::string_view candidate) {
    const std::size_t prefixLength = targetName.size() + 2;
    if (candidate.size() != prefixLength + kUniqueSuffix.size() || candidate[0] != '.' ||
        candidate.substr(1, targetName.size()) != targetName ||
        candidate[prefixLength - 1] != '.') {
        return false;
    }
    return std::ranges::all_of(candidate.substr(prefixLength), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    });
}

std::string failure(const std::string& path, const std::string& step, int error) {
    return "Could not save " + path + ": " + step + " failed: " + errorText(error);
}

// An existing file keeps its permissions, e.g. an export the user made readable to others.
int copyModeOfTarget(const std::string& path, int fd) {
    struct stat target {};
    if (::stat(path.c_str(), &target) != 0 || !S_ISREG(target.st_mode)) {
        return 0;
    }
    const mode_t mode = target.st_mode & 07777;
    if (mode == 0600) {
        return 0;
    }
    return ::fchmod(fd, mode) == 0 ? 0 : errno;
}

// Fills the temporary file and closes it; returns the reason on failure.
std::string fillTemporary(const std::string& path, UniqueFd fd, std::string_view bytes,
                          bool syncNow) {
    if (const int error = copyModeOfTarget(path, fd.get())) {
        return failure(path, "setting the mode of the temporary file", error);
    }
    if (const int error = writeAll(fd.get(), bytes)) {
        return failure(path, "writing the temporary file", error);
    }
    if (syncNow) {
        if (const int error = fsyncRetrying(fd.get())) {
            return failure(path, "flushing the temporary file to disk", error);
        }
    }
    if (const int error = fd.close()) {
        return failure(path, "closing the temporary file", error);
    }
    return {};
}

std::string renameIntoPlace(const std::string& temporary, const std::string& path) {
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        return failure(path, "replacing the file", error);
    }
    return {};
}

}  // namespace

std::string errorText(int error) {
    return std::generic_category().message(error);
}

int fsyncRetrying(int fd) {
    while (::fsync(fd) != 0) {
        if (errno != EINTR) {
            return errno;
        }
    }
    return 0;
}

bool isFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

int writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        // Not expected from a regular file, but looping on it would never end.
        if (written == 0) {
            return EIO;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string writeFileAtomically(const std::string& path, std::string_view bytes, bool syncNow) {
    if (nameOf(path).empty()) {
        return "Could not save " + path + ": the path names no file.";
    }
    std::string temporary = temporaryTemplate(path);
    UniqueFd fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!fd.valid()) {
        const int error = errno;
        return failure(path, "creating a temporary file in " + folderOf(path), error);
    }
    std::string problem = fillTemporary(path, std::move(fd), bytes, syncNow);
    if (problem.empty()) {
        problem = renameIntoPlace(temporary, path);
    }
    if (!problem.empty()) {
        ::unlink(temporary.c_str());
        return problem;
    }
    if (syncNow) {
        if (std::string folderProblem = syncFolder(folderOf(path)); !folderProblem.empty()) {
            return "Saved " + path + ", but it may not be on disk yet: " + folderProblem;
        }
    }
    return {};
}

std::string syncFolder(const std::string& folder) {
    UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid()) {
        const int error = errno;
        return "Could not open the folder " + folder + " to flush it: " + errorText(error);
    }
    if (const int error = fsyncRetrying(fd.get())) {
        return "Could not flush the folder " + folder + " to disk: " + errorText(error);
    }
    return {};
}

std::string syncFileAndFolder(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid()) {
        const int error = errno;
        return "Could not open " + path + " to flush it: " + errorText(error);
    }
    if (const int error = fsyncRetrying(fd.get())) {
        return "Could not flush " + path + " to disk: " + errorText(error);
    }
    return syncFolder(folderOf(path));
}

std::string removeLeftoverTemporaries(const std::string& path) {
    const std::string folder = folderOf(path);
    const std::string target = nameOf(path);
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(folder.c_str()), ::closedir);
    if (!listing) {
        const int error = errno;
        return "Could not list " + folder + " for leftover temporary files: " + errorText(error);
    }
    std::string problem;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(listing.get());
        if (entry == nullptr) {
            if (const int error = errno) {
                problem = "Could not list " + folder + ": " + errorText(error);
            }
            return problem;
        }
        if (isTemporaryName(target, entry->d_name) &&
            ::unlinkat(::dirfd(listing.get()), entry->d_name, 0) != 0 && errno != ENOENT) {
            const int error = errno;
            problem = "Could not remove the leftover temporary file " + folder + "/" +
                      entry->d_name + ": " + errorText(error);
        }
    }
}

}  // namespace sortwell::platform::linux_host
