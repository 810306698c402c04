#include "platform/linux/inotify_folder_watch.h"

#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>

#include "platform/linux/atomic_file.h"

namespace sortwell::platform::linux_host {
namespace {

// The statfs magic numbers of the file systems on which inotify misses remote writes.
constexpr long kNfsMagic = 0x6969;
constexpr long kSmbMagic = 0x517B;
constexpr long kSmb2Magic = 0xFE534D42;
constexpr long kCifsMagic = 0xFF534D42;
constexpr long kFuseMagic = 0x65735546;
constexpr long kV9fsMagic = 0x01021997;

constexpr std::uint32_t kFolderEvents = IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_DELETE |
                                        IN_MOVED_FROM | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

WatchStart Poll(std::string reason) {
    return {-1, std::move(reason)};
}

}  // namespace

std::string UntrustedFileSystem(long magic) {
    // statfs reports the magic sign-extended on some systems; only the low 32 bits count.
    switch (magic & 0xFFFFFFFFL) {
        case kNfsMagic:
            return "NFS";
        case kSmbMagic:
            return "SMB";
        case kSmb2Magic:
            return "SMB2";
        case kCifsMagic:
            return "CIFS";
        case kFuseMagic:
            return "FUSE";
        case kV9fsMagic:
            return "9p";
        default:
            return {};
    }
}

WatchStart InotifyFolderWatch::watch(const std::string& folder) {
    stop();
    struct statfs fileSystem {};
    if (::statfs(folder.c_str(), &fileSystem) != 0) {
        return Poll("the folder cannot be looked at: " + errorText(errno));
    }
    const std::string untrusted = UntrustedFileSystem(static_cast<long>(fileSystem.f_type));
    if (!untrusted.empty()) {
        return Poll("the folder is on a " + untrusted +
                    " file system, where writes from other machines raise no event");
    }
    return watchWithInotify(folder);
}

WatchStart InotifyFolderWatch::watchWithInotify(const std::string& folder) {
    if (!inotify_.valid()) {
        inotify_ = UniqueFd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
        if (!inotify_.valid()) {
            return Poll("no inotify instance can be made: " + errorText(errno));
        }
    }
    watchDescriptor_ = ::inotify_add_watch(inotify_.get(), folder.c_str(), kFolderEvents);
    if (watchDescriptor_ < 0) {
        const int error = errno;
        if (error == ENOSPC) {
            return Poll("the system's limit of inotify watches is reached");
        }
        return Poll("the folder cannot be watched: " + errorText(error));
    }
    return {inotify_.get(), {}};
}

WatchNews InotifyFolderWatch::drain() {
    if (!inotify_.valid()) {
        return WatchNews::Nothing;
    }
    WatchNews news = WatchNews::Nothing;
    alignas(inotify_event) std::array<char, 4096> buffer{};
    for (;;) {
        const ssize_t got = ::read(inotify_.get(), buffer.data(), buffer.size());
        if (got <= 0) {
            break;  // EAGAIN: every event is taken
        }
        for (ssize_t offset = 0; offset < got;) {
            inotify_event event{};
            std::memcpy(&event, buffer.data() + offset, sizeof event);
            offset += static_cast<ssize_t>(sizeof event + event.len);
            const bool overflow = (event.mask & IN_Q_OVERFLOW) != 0;
            if (!overflow && event.wd != watchDescriptor_) {
                continue;  // left over from a folder watched before
            }
            if (!overflow && (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) != 0) {
                news = WatchNews::FolderGone;
            } else if (news == WatchNews::Nothing) {
                news = WatchNews::Changed;
            }
        }
    }
    if (news == WatchNews::FolderGone) {
        stop();
    }
    return news;
}

void InotifyFolderWatch::stop() {
    if (inotify_.valid() && watchDescriptor_ >= 0) {
        ::inotify_rm_watch(inotify_.get(), watchDescriptor_);
    }
    watchDescriptor_ = -1;
}

}  // namespace sortwell::platform::linux_host
