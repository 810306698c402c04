#include "platform/linux/freedesktop_trash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string_view>
#include <utility>

#include "platform/linux/atomic_file.h"
#include "platform/linux/xdg_paths.h"

namespace sortwell::platform::linux_host {
namespace {

constexpr std::string_view kInfoSuffix = ".trashinfo";
// Far beyond what a scanner's repeated file names reach, and still a bounded search.
constexpr int kMostNamesTried = 10000;

std::string inFolder(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

bool isFlagUnsupported(int error) {
    return error == EINVAL || error == ENOSYS || error == ENOTSUP;
}

// The path as a URL path: unreserved bytes and '/' as they are, every other byte as %XX.
std::string percentEncoded(std::string_view path) {
    constexpr std::string_view kHex = "0123456789ABCDEF";
    constexpr std::string_view kKept = "-_.!~*'()/";
    std::string encoded;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        const bool alphanumeric = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                                  (byte >= '0' && byte <= '9');
        if (alphanumeric || kKept.find(c) != std::string_view::npos) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kHex[byte >> 4U];
            encoded += kHex[byte & 0xFU];
        }
    }
    return encoded;
}

// The deletion date in local time, as the trash wants it: 2014-09-01T12:34:56.
std::string localDate(std::chrono::system_clock::time_point when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    std::array<char, 32> text{};
    if (::localtime_r(&seconds, &local) == nullptr ||
        std::strftime(text.data(), text.size(), "%Y-%m-%dT%H:%M:%S", &local) == 0) {
        return {};
    }
    return text.data();
}

std::string madeFailure(const std::string& folder, int error) {
    return "the trash folder " + folder + " could not be made: " + errorText(error);
}

// Creates `folder` and its missing parents with mode 0700; a folder or a link to one already
// there is taken as it is.
std::string makeFolders(const std::string& folder) {
    if (isFolder(folder)) {
        return {};
    }
    if (const std::string parent = folderOf(folder); parent != folder) {
        if (std::string problem = makeFolders(parent); !problem.empty()) {
            return problem;
        }
    }
    if (::mkdir(folder.c_str(), 0700) == 0) {
        return {};
    }
    const int error = errno;
    if (error == EEXIST && isFolder(folder)) {
        return {};
    }
    return madeFailure(folder, error == EEXIST ? ENOTDIR : error);
}

// Creates `folder` with mode 0700 unless there is one; it must be a real folder of this user,
// since others may write beside it on a shared volume.
std::string makeOwnFolder(const std::string& folder) {
    if (::mkdir(folder.c_str(), 0700) == 0) {
        return {};
    }
    const int error = errno;
    struct stat info {};
    if (error != EEXIST || ::lstat(folder.c_str(), &info) != 0) {
        return madeFailure(folder, error);
    }
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::geteuid()) {
        return "the trash folder " + folder + " is not a folder of this user";
    }
    return {};
}

// Makes files/ and info/ in `trash` and checks that both are on `device`: a trash elsewhere
// would need a copy, and a copy is never made.
std::string prepareTrash(const std::string& trash, dev_t device) {
    for (const char* part : {"files", "info"}) {
        const std::string folder = trash + "/" + part;
        if (std::string problem = makeOwnFolder(folder); !problem.empty()) {
            return problem;
        }
        struct stat info {};
        if (::stat(folder.c_str(), &info) != 0 || info.st_dev != device) {
            return "the trash " + trash + " is on another device";
        }
    }
    return {};
}

// The device the folder `path` is on, or would be once made; false when that cannot be told.
bool deviceOf(std::string path, dev_t& device) {
    struct stat info {};
    while (::stat(path.c_str(), &info) != 0) {
        if (errno != ENOENT || path == folderOf(path)) {
            return false;
        }
        path = folderOf(path);
    }
    device = info.st_dev;
    return true;
}

// The top of the mount point that holds `folder`: the last folder up the way still on `device`.
std::string topDirOf(std::string folder, dev_t device) {
    while (folder != "/") {
        const std::string parent = folderOf(folder);
        struct stat info {};
        if (::stat(parent.c_str(), &info) != 0 || info.st_dev != device) {
            break;
        }
        folder = parent;
    }
    return folder;
}

// Where the file is, as the trash info notes it: absolute in the home trash, else below the
// top of the volume, so that the volume can be mounted elsewhere.
std::string notedPath(const std::string& path, const std::string& topDir) {
    if (topDir.empty()) {
        return path;
    }
    return path.substr(topDir == "/" ? 1 : topDir.size() + 1);
}

enum class InfoWrite { Written, NameTaken, Failed };

// Writes the trash info as the new file `info` and puts it on disk; on failure `problem` says
// why and no info is left.
InfoWrite writeInfo(const std::string& info, const std::string& content, std::string& problem) {
    UniqueFd fd(::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd.valid()) {
        const int error = errno;
        if (error == EEXIST) {
            return InfoWrite::NameTaken;
        }
        problem = "the trash info " + info + " could not be made: " + errorText(error);
        return InfoWrite::Failed;
    }
    int error = writeAll(fd.get(), content);
    if (error == 0) {
        error = fsyncRetrying(fd.get());
    }
    if (error == 0) {
        error = fd.close();
    }
    problem = error == 0 ? syncFolder(folderOf(info))
                         : "the trash info " + info + " could not be written: " + errorText(error);
    if (!problem.empty()) {
        ::unlink(info.c_str());
        return InfoWrite::Failed;
    }
    return InfoWrite::Written;
}

std::string absolutePath(const std::string& path) {
    if (path.starts_with('/')) {
        return path;
    }
    const std::unique_ptr<char, decltype(&std::free)> here(::getcwd(nullptr, 0), std::free);
    return here ? inFolder(here.get(), path) : path;
}

}  // namespace

TrashPlace DesktopTrashPlace() {
    const std::string data = dataHome();
    return {data.starts_with('/') ? data + "/Trash" : std::string(),
            [] { return std::chrono::system_clock::now(); }};
}

FreedesktopTrash::FreedesktopTrash(TrashPlace place, TrashCalls calls)
    : place_(std::move(place)), calls_(std::move(calls)) {}

TrashMove FreedesktopTrash::moveToTrash(const std::string& path) const {
    const std::string absolute = absolutePath(path);
    struct stat file {};
    if (::lstat(absolute.c_str(), &file) != 0) {
        const int error = errno;
        return {TrashMove::Outcome::LeftAlone,
                "Could not move " + path + " to the trash: " + errorText(error)};
    }
    if (S_ISDIR(file.st_mode)) {
        return {TrashMove::Outcome::LeftAlone,
                "Could not move " + path + " to the trash: it is a folder."};
    }
    // The folder's real path, since the way up to the mount's top must not follow links.
    const std::unique_ptr<char, decltype(&std::free)> real(
        ::realpath(folderOf(absolute).c_str(), nullptr), std::free);
    if (!real) {
        const int error = errno;
        return {TrashMove::Outcome::NoTrash,
                "its folder could not be looked at: " + errorText(error)};
    }
    std::string reason;
    const Trash trash = trashFor(real.get(), file.st_dev, reason);
    if (!trash.folder.empty()) {
        reason = putInto(trash, inFolder(real.get(), nameOf(absolute)));
    }
    return {reason.empty() ? TrashMove::Outcome::Trashed : TrashMove::Outcome::NoTrash, reason};
}

FreedesktopTrash::Trash FreedesktopTrash::trashFor(const std::string& folder, dev_t device,
                                                   std::string& reason) const {
    dev_t homeDevice = 0;
    if (!place_.homeTrash.empty() && deviceOf(place_.homeTrash, homeDevice) &&
        homeDevice == device) {
        reason = makeFolders(place_.homeTrash);
        if (reason.empty()) {
            reason = prepareTrash(place_.homeTrash, device);
        }
        return reason.empty() ? Trash{place_.homeTrash, {}} : Trash{};
    }
    const std::string top = topDirOf(folder, device);
    const std::string uid = std::to_string(::geteuid());
    // A shared trash the administrator made: a real folder with the sticky bit, so that no
    // user can remove another's folder in it.
    const std::string shared = inFolder(top, ".Trash");
    struct stat info {};
    if (::lstat(shared.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
        (info.st_mode & S_ISVTX) != 0) {
        const std::string own = shared + "/" + uid;
        if (makeOwnFolder(own).empty() && prepareTrash(own, device).empty()) {
            return {own, top};
        }
    }
    const std::string own = inFolder(top, ".Trash-" + uid);
    reason = makeOwnFolder(own);
    if (reason.empty()) {
        reason = prepareTrash(own, device);
    }
    return reason.empty() ? Trash{own, top} : Trash{};
}

std::string FreedesktopTrash::putInto(const Trash& trash, const std::string& path) const {
    const std::string content =
        "[Trash Info]\nPath=" + percentEncoded(notedPath(path, trash.topDir)) +
        "\nDeletionDate=" + localDate(place_.clock()) + "\n";
    const std::string name = nameOf(path);
    for (int number = 1; number <= kMostNamesTried; ++number) {
        const std::string candidate = number == 1 ? name : name + "." + std::to_string(number);
        const std::string info = trash.folder + "/info/" + candidate + std::string(kInfoSuffix);
        std::string problem;
        const InfoWrite written = writeInfo(info, content, problem);
        if (written == InfoWrite::NameTaken) {
            continue;
        }
        if (written == InfoWrite::Failed) {
            return problem;
        }
        const std::string target = trash.folder + "/files/" + candidate;
        const int error = renameInto(path, target, problem);
        if (error == 0) {
            return {};
        }
        // Without the file the info would offer to restore nothing.
        if (::unlink(info.c_str()) != 0) {
            const int unlinkError = errno;
            problem += "; the trash info " + info + " stays: " + errorText(unlinkError);
        }
        if (error != EEXIST || !problem.empty()) {
            std::string reason = "moving it to " + target + " failed: " + errorText(error);
            reason += problem;
            return reason;
        }
    }
    return "the trash " + trash.folder + " has no free name for " + name;
}

int FreedesktopTrash::renameInto(const std::string& from, const std::string& to,
                                 std::string& note) const {
    const int error = calls_.renameWithoutReplace(from, to);
    if (!isFlagUnsupported(error)) {
        return error;
    }
    if (const int linkError = calls_.hardLink(from, to)) {
        return linkError;
    }
    if (::unlink(from.c_str()) == 0) {
        return 0;
    }
    const int unlinkError = errno;
    // Both names lead to the one file, so dropping the new name loses nothing.
    if (::unlink(to.c_str()) != 0) {
        note = "; the file now also has the name " + to;
    }
    return unlinkError;
}

}  // namespace sortwell::platform::linux_host
