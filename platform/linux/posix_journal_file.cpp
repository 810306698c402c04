#include "platform/linux/posix_journal_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/atomic_file.h"
#include "platform/unique_fd.h"

namespace sortwell::platform::linux_host {
namespace {

constexpr mode_t kFileMode = 0600;
constexpr mode_t kFolderMode = 0700;

std::string failure(const std::string& path, const std::string& step, int error) {
    return "Could not write the journal " + path + ": " + step + " failed: " + errorText(error);
}

// Creates `folder` and its missing parents, each put on disk in its own parent.
std::string createFolders(const std::string& folder) {
    if (folder.empty() || folder == "/" || folder == "." || isFolder(folder)) {
        return {};
    }
    if (std::string problem = createFolders(folderOf(folder)); !problem.empty()) {
        return problem;
    }
    if (::mkdir(folder.c_str(), kFolderMode) != 0 && errno != EEXIST) {
        const int error = errno;
        return "Could not create the folder " + folder + ": " + errorText(error);
    }
    return syncFolder(folderOf(folder));
}

struct OpenedJournal {
    UniqueFd fd;
    bool created = false;
    int error = 0;
};

OpenedJournal openForAppend(const std::string& path) {
    constexpr int kFlags = O_RDWR | O_APPEND | O_CLOEXEC;
    OpenedJournal opened;
    opened.fd = UniqueFd(::open(path.c_str(), kFlags));
    if (!opened.fd.valid() && errno == ENOENT) {
        opened.fd = UniqueFd(::open(path.c_str(), kFlags | O_CREAT | O_EXCL, kFileMode));
        opened.created = opened.fd.valid();
        if (!opened.fd.valid() && errno == EEXIST) {
            opened.fd = UniqueFd(::open(path.c_str(), kFlags));
        }
    }
    opened.error = opened.fd.valid() ? 0 : errno;
    return opened;
}

// Sets `torn` when the file does not end in "\n", as a crash can leave it; 0 or the errno.
int findTornLine(int fd, bool& torn) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return errno;
    }
    char last = '\n';
    if (info.st_size > 0 && ::pread(fd, &last, 1, info.st_size - 1) != 1) {
        return errno == 0 ? EIO : errno;
    }
    torn = last != '\n';
    return 0;
}

}  // namespace

JournalRead PosixJournalFile::read() {
    const UniqueFd fd(::open(path_.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) {
        const int error = errno;
        if (error == ENOENT) {
            return {};
        }
        return {{}, "Could not read the journal " + path_ + ": " + errorText(error)};
    }
    JournalRead result;
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got == 0) {
            return result;
        }
        if (got < 0 && errno != EINTR) {
            const int error = errno;
            return {{}, "Could not read the journal " + path_ + ": " + errorText(error)};
        }
        if (got > 0) {
            result.text.append(buffer, static_cast<std::size_t>(got));
        }
    }
}

std::string PosixJournalFile::append(const std::string& line) {
    if (std::string problem = createFolders(folderOf(path_)); !problem.empty()) {
        return problem;
    }
    OpenedJournal opened = openForAppend(path_);
    if (!opened.fd.valid()) {
        return failure(path_, "opening", opened.error);
    }
    bool torn = false;
    if (const int error = findTornLine(opened.fd.get(), torn)) {
        return failure(path_, "reading the last line", error);
    }
    // The torn line is ended first, so that it stays one unreadable line and this one whole.
    const std::string bytes = (torn ? "\n" : "") + line + "\n";
    if (const int error = writeAll(opened.fd.get(), bytes)) {
        return failure(path_, "writing", error);
    }
    if (const int error = fsyncRetrying(opened.fd.get())) {
        return failure(path_, "flushing to disk", error);
    }
    if (const int error = opened.fd.close()) {
        return failure(path_, "closing", error);
    }
    return opened.created ? syncFolder(folderOf(path_)) : std::string();
}

}  // namespace sortwell::platform::linux_host
