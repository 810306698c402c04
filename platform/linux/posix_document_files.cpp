#include "platform/linux/posix_document_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/document_name.h"
#include "platform/linux/atomic_file.h"

namespace sortwell::platform::linux_host {
namespace {

constexpr std::string_view kTemporaryPrefix = ".sortwell-move-";
constexpr std::string_view kUniqueSuffix = "XXXXXX";  // filled in by mkostemp()
// The size cp uses: 1 MiB writes into the page cache took twice as long on some systems.
constexpr std::size_t kCopyBufferSize = 1 << 17;

std::string moveFailure(const std::string& source, const std::string& target,
                        const std::string& step, int error) {
    return "Could not move " + source + " to " + target + ": " + step +
           " failed: " + errorText(error);
}

// The answers of a file system that knows no RENAME_NOREPLACE.
bool isFlagUnsupported(int error) {
    return error == EINVAL || error == ENOSYS || error == ENOTSUP;
}

// The answers of a file system that will not give one file a second name here.
bool isLinkRefused(int error) {
    return error == EXDEV || error == EPERM || error == EMLINK || error == ENOSYS ||
           error == ENOTSUP;
}

// Copies everything `in` holds to `out`; returns 0 or the errno, and the count in `copied`.
int copyBytes(int in, int out, std::uint64_t& copied) {
    std::vector<char> buffer(kCopyBufferSize);
    copied = 0;
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (got == 0) {
            return 0;
        }
        if (const int error =
                writeAll(out, std::string_view(buffer.data(), static_cast<std::size_t>(got)))) {
            return error;
        }
        copied += static_cast<std::uint64_t>(got);
    }
}

bool sameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// False when the scanner may have written to the original since `before`: another size or
// modification time, or another file under its name by now.
bool originalUnchanged(int fd, const std::string& path, const struct stat& before) {
    struct stat now {};
    struct stat named {};
    return ::fstat(fd, &now) == 0 && now.st_size == before.st_size &&
           sameTime(now.st_mtim, before.st_mtim) && ::stat(path.c_str(), &named) == 0 &&
           named.st_dev == before.st_dev && named.st_ino == before.st_ino;
}

// A copy keeps the original's permissions and times, as a rename would.
int keepModeAndTimes(int fd, const struct stat& original) {
    if (::fchmod(fd, original.st_mode & 0777) != 0) {
        return errno;
    }
    const std::array<timespec, 2> times{original.st_atim, original.st_mtim};
    return ::futimens(fd, times.data()) == 0 ? 0 : errno;
}

// The journal's note of a copy under way, forgotten when the copy is over, however it ended.
class JournalNote {
public:
    JournalNote(MoveJournal& journal, JournalEntry entry)
        : journal_(journal), entry_(std::move(entry)) {
        journal_.add(entry_);
    }
    ~JournalNote() { journal_.remove(entry_); }
    JournalNote(const JournalNote&) = delete;
    JournalNote& operator=(const JournalNote&) = delete;
    JournalNote(JournalNote&&) = delete;
    JournalNote& operator=(JournalNote&&) = delete;

private:
    MoveJournal& journal_;
    JournalEntry entry_;
};

// True when both are regular files with the same bytes.
bool sameDocument(const std::string& a, const std::string& b) {
    const UniqueFd first(::open(a.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    const UniqueFd second(::open(b.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    struct stat firstInfo {};
    struct stat secondInfo {};
    if (!first.valid() || !second.valid() || ::fstat(first.get(), &firstInfo) != 0 ||
        ::fstat(second.get(), &secondInfo) != 0 || !S_ISREG(firstInfo.st_mode) ||
        !S_ISREG(secondInfo.st_mode) || firstInfo.st_size != secondInfo.st_size) {
        return false;
    }
    std::vector<char> left(kCopyBufferSize);
    std::vector<char> right(kCopyBufferSize);
    for (;;) {
        const ssize_t got = ::read(first.get(), left.data(), left.size());
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        std::size_t filled = 0;
        while (filled < static_cast<std::size_t>(got)) {
            const ssize_t more =
                ::read(second.get(), right.data() + filled, static_cast<std::size_t>(got) - filled);
            if (more <= 0) {
                return false;
            }
            filled += static_cast<std::size_t>(more);
        }
        if (!std::equal(left.begin(), left.begin() + got, right.begin())) {
            return false;
        }
    }
}

// A hidden file in the target folder that is removed again unless it was published.
class TemporaryCopy {
public:
    explicit TemporaryCopy(const std::string& folder)
        : path_(folder + "/" + std::string(kTemporaryPrefix) + std::string(kUniqueSuffix)) {
        fd_ = UniqueFd(::mkostemp(path_.data(), O_CLOEXEC));
        error_ = fd_.valid() ? 0 : errno;
    }
    ~TemporaryCopy() {
        if (!published_) {
            fd_.close();
            ::unlink(path_.c_str());
        }
    }
    TemporaryCopy(const TemporaryCopy&) = delete;
    TemporaryCopy& operator=(const TemporaryCopy&) = delete;
    TemporaryCopy(TemporaryCopy&&) = delete;
    TemporaryCopy& operator=(TemporaryCopy&&) = delete;

    int creationError() const { return error_; }
    int fd() const { return fd_.get(); }
    const std::string& path() const { return path_; }
    int close() { return fd_.close(); }
    void markPublished() { published_ = true; }

private:
    std::string path_;
    UniqueFd fd_;
    int error_ = 0;
    bool published_ = false;
};

unsigned char foldedAscii(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

// Sorted without regard to ASCII letter case, then byte by byte, so names that differ only in
// case keep one order on every tick.
bool documentOrder(const std::string& a, const std::string& b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char x = foldedAscii(a[i]);
        const unsigned char y = foldedAscii(b[i]);
        if (x != y) {
            return x < y;
        }
    }
    if (a.size() != b.size()) {
        return a.size() < b.size();
    }
    return a < b;
}

// Folders, devices and dangling links are no documents; a link to a file is.
bool isRegularEntry(int folderFd, const dirent& entry) {
    if (entry.d_type == DT_REG) {
        return true;
    }
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) {
        return false;
    }
    struct stat info {};
    return ::fstatat(folderFd, entry.d_name, &info, 0) == 0 && S_ISREG(info.st_mode);
}

using FolderListing = std::unique_ptr<DIR, int (*)(DIR*)>;

FolderListing openListing(const std::string& folder) {
    return {::opendir(folder.c_str()), ::closedir};
}

}  // namespace

bool PosixDocumentFiles::IsTemporaryName(const std::string& name) {
    const std::string_view view(name);
    if (view.size() != kTemporaryPrefix.size() + kUniqueSuffix.size() ||
        !view.starts_with(kTemporaryPrefix)) {
        return false;
    }
    return std::ranges::all_of(view.substr(kTemporaryPrefix.size()), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    });
}

int PosixDocumentFiles::renameWithoutReplace(const std::string& from, const std::string& to) {
    return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0 ? 0
                                                                                            : errno;
}

int PosixDocumentFiles::hardLink(const std::string& from, const std::string& to) {
    return ::link(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

void PosixDocumentFiles::afterCopy(const std::string& /*source*/) {}

void PosixDocumentFiles::afterPublish(const std::string& /*source*/) {}

std::string PosixDocumentFiles::moveDocument(const std::string& source, const std::string& target) {
    const int error = renameWithoutReplace(source, target);
    if (error == 0) {
        return {};
    }
    if (error == EXDEV) {
        return copyAcross(source, target);
    }
    if (isFlagUnsupported(error)) {
        return linkThenUnlink(source, target);
    }
    return moveFailure(source, target, "renaming", error);
}

std::string PosixDocumentFiles::linkThenUnlink(const std::string& source,
                                               const std::string& target) {
    const int error = hardLink(source, target);
    if (error != 0) {
        return isLinkRefused(error) ? copyAcross(source, target)
                                    : moveFailure(source, target, "linking", error);
    }
    if (::unlink(source.c_str()) == 0) {
        return {};
    }
    const int unlinkError = errno;
    // Both names lead to the one file, so dropping the new name loses nothing.
    std::string problem = moveFailure(source, target, "removing the original name", unlinkError);
    if (::unlink(target.c_str()) != 0) {
        problem += "; the file now has both names";
    }
    return problem;
}

std::string PosixDocumentFiles::copyAcross(const std::string& source, const std::string& target) {
    const UniqueFd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (!in.valid()) {
        const int error = errno;
        return moveFailure(source, target, "opening the original", error);
    }
    struct stat before {};
    if (::fstat(in.get(), &before) != 0) {
        const int error = errno;
        return moveFailure(source, target, "reading the original's size", error);
    }
    if (!S_ISREG(before.st_mode)) {
        return "Could not move " + source + " to " + target + ": it is not a regular file.";
    }
    std::string stillWriting = "Did not move " + source + " to " + target +
                               ": it changed while it was copied; the scanner may still "
                               "be writing it.";
    // Noted first, so that the next start can finish whatever a crash from here on leaves.
    const JournalNote noted(journal_, {source, target});
    TemporaryCopy copy(folderOf(target));
    if (const int error = copy.creationError()) {
        return moveFailure(source, target, "creating a temporary file", error);
    }
    std::uint64_t copied = 0;
    if (const int error = copyBytes(in.get(), copy.fd(), copied)) {
        return moveFailure(source, target, "copying", error);
    }
    afterCopy(source);
    if (copied != static_cast<std::uint64_t>(before.st_size) ||
        !originalUnchanged(in.get(), source, before)) {
        return stillWriting;
    }
    if (const int error = keepModeAndTimes(copy.fd(), before)) {
        return moveFailure(source, target, "keeping the modification time", error);
    }
    if (const int error = fsyncRetrying(copy.fd())) {
        return moveFailure(source, target, "flushing the copy to disk", error);
    }
    if (const int error = copy.close()) {
        return moveFailure(source, target, "closing the copy", error);
    }
    if (const int error = publishCopy(copy.path(), target)) {
        return moveFailure(source, target, "giving the copy its name", error);
    }
    copy.markPublished();
    afterPublish(source);

    std::string problem;
    if (std::string unsynced = syncFolder(folderOf(target)); !unsynced.empty()) {
        problem = "Did not move " + source + ": the copy may not be on disk: " + unsynced;
    } else if (!originalUnchanged(in.get(), source, before)) {
        problem = stillWriting;
    } else if (::unlink(source.c_str()) != 0) {
        const int error = errno;
        problem = moveFailure(source, target, "removing the original", error);
    } else {
        return {};
    }
    // The original stays, so the copy goes again: one document, one place.
    if (::unlink(target.c_str()) != 0) {
        const int error = errno;
        problem += "; the copy " + target + " could not be removed: " + errorText(error);
    }
    return problem;
}

int PosixDocumentFiles::publishCopy(const std::string& temporary, const std::string& target) {
    const int error = renameWithoutReplace(temporary, target);
    if (!isFlagUnsupported(error)) {
        return error;
    }
    const int linkError = hardLink(temporary, target);
    if (linkError == 0) {
        // The copy lives on under the target name; the hidden one is only in the way.
        ::unlink(temporary.c_str());
    }
    return linkError;
}

std::string PosixDocumentFiles::deleteDocument(const std::string& path) {
    if (::unlink(path.c_str()) != 0) {
        const int error = errno;
        return "Could not delete " + path + ": " + errorText(error);
    }
    return {};
}

TrashResult PosixDocumentFiles::trashDocument(const std::string& path) {
    const FreedesktopTrash trash(
        trashPlace_(),
        {[this](const std::string& from, const std::string& to) {
             return renameWithoutReplace(from, to);
         },
         [this](const std::string& from, const std::string& to) { return hardLink(from, to); }});
    TrashMove moved = trash.moveToTrash(path);
    switch (moved.outcome) {
        case TrashMove::Outcome::Trashed:
            return {};
        case TrashMove::Outcome::LeftAlone:
            return {std::move(moved.reason), {}};
        case TrashMove::Outcome::NoTrash:
            break;
    }
    if (std::string problem = deleteDocument(path); !problem.empty()) {
        return {problem + " (no trash could be used either: " + moved.reason + ")", {}};
    }
    return {
        {},
        "No trash could be used for " + path + " (" + moved.reason + "); it was deleted for good."};
}

bool PosixDocumentFiles::folderExists(const std::string& path) {
    return isFolder(path);
}

std::string PosixDocumentFiles::createFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) == 0) {
        return {};
    }
    const int error = errno;
    if (error == EEXIST && folderExists(path)) {
        return {};
    }
    return "Could not create the folder " + path + ": " + errorText(error);
}

std::string PosixDocumentFiles::removeEmptyFolder(const std::string& path) {
    if (::rmdir(path.c_str()) == 0) {
        return {};
    }
    const int error = errno;
    // POSIX allows either errno for a folder that still holds something.
    if (error == ENOTEMPTY || error == EEXIST || error == ENOENT) {
        return {};
    }
    return "Could not remove the folder " + path + ": " + errorText(error);
}

DocumentStat PosixDocumentFiles::statDocument(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        const int error = errno;
        return {{}, "Could not look at " + path + ": " + errorText(error)};
    }
    if (!S_ISREG(info.st_mode)) {
        return {{}, "Could not look at " + path + ": it is not a regular file."};
    }
    const auto sinceEpoch =
        std::chrono::seconds(info.st_mtim.tv_sec) + std::chrono::nanoseconds(info.st_mtim.tv_nsec);
    FileStat stat;
    stat.size = static_cast<std::uint64_t>(info.st_size);
    stat.device = static_cast<std::uint64_t>(info.st_dev);
    stat.inode = static_cast<std::uint64_t>(info.st_ino);
    stat.modified = std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(sinceEpoch));
    return {stat, {}};
}

DocumentListing PosixDocumentFiles::listDocuments(const std::string& folder) {
    DocumentListing listing;
    const FolderListing entries = openListing(folder);
    if (!entries) {
        const int error = errno;
        listing.problem = "Could not list " + folder + ": " + errorText(error);
        return listing;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(entries.get());
        if (entry == nullptr) {
            break;
        }
        const std::string_view name(entry->d_name);
        if (!name.starts_with('.') && EndsInPdf(name) &&
            isRegularEntry(::dirfd(entries.get()), *entry)) {
            listing.names.emplace_back(name);
        }
    }
    if (const int error = errno; error != 0) {
        listing.problem = "Could not list " + folder + ": " + errorText(error);
        listing.names.clear();
        return listing;
    }
    std::ranges::sort(listing.names, documentOrder);
    return listing;
}

std::string PosixDocumentFiles::removeLeftoverTemporaries(const std::string& folder) {
    const FolderListing entries = openListing(folder);
    if (!entries) {
        const int error = errno;
        return "Could not list " + folder + " for leftover temporary files: " + errorText(error);
    }
    std::string problem;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(entries.get());
        if (entry == nullptr) {
            if (const int error = errno; error != 0) {
                problem = "Could not list " + folder + ": " + errorText(error);
            }
            return problem;
        }
        if (IsTemporaryName(entry->d_name) &&
            ::unlinkat(::dirfd(entries.get()), entry->d_name, 0) != 0 && errno != ENOENT) {
            const int error = errno;
            problem = "Could not remove the leftover temporary file " + folder + "/" +
                      entry->d_name + ": " + errorText(error);
        }
    }
}

std::string PosixDocumentFiles::finishInterruptedMoves() {
    std::string problem;
    for (const JournalEntry& move : journal_.entries()) {
        const std::string folder = folderOf(move.target);
        if (folderExists(folder)) {
            if (std::string failed = removeLeftoverTemporaries(folder); !failed.empty()) {
                problem = std::move(failed);
            }
        }
        // Published but not yet removed from the input folder: the document stands whole at its
        // target, so the original goes, once the copy is surely on disk.
        if (sameDocument(move.source, move.target) && syncFileAndFolder(move.target).empty() &&
            ::unlink(move.source.c_str()) != 0) {
            const int error = errno;
            problem = "Could not remove " + move.source + ", which was filed as " + move.target +
                      ": " + errorText(error);
        }
    }
    journal_.clear();
    return problem;
}

}  // namespace sortwell::platform::linux_host
