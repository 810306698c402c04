#include "platform/local_channel.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include "platform/linux/atomic_file.h"

namespace sortwell::platform {
namespace {

using linux_host::errorText;
using linux_host::folderOf;
using linux_host::isFolder;

constexpr mode_t kSocketMode = 0600;
constexpr mode_t kFolderMode = 0700;
// Asking whether a leftover socket file still has a listener takes no longer than this.
constexpr int kProbeTimeoutMs = 500;
constexpr std::size_t kReadPieceBytes = 512;

// False when `path` does not fit: the kernel's limit is a little over 100 bytes.
bool fillAddress(const std::string& path, sockaddr_un& address) {
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof(address.sun_path)) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

std::string tooLong(const std::string& path) {
    return "The socket path " + path + " is too long (at most " +
           std::to_string(sizeof(sockaddr_un::sun_path) - 1) + " bytes).";
}

const sockaddr* asAddress(const sockaddr_un& address) {
    return reinterpret_cast<const sockaddr*>(&address);
}

std::string ensurePrivateFolder(const std::string& folder) {
    if (isFolder(folder)) {
        return {};
    }
    if (::mkdir(folder.c_str(), kFolderMode) != 0) {
        const int error = errno;
        if (error == EEXIST && isFolder(folder)) {
            return {};
        }
        return "Cannot make the folder " + folder + ": " + errorText(error);
    }
    // mkdir() applies the umask, which could take the owner's own rights away.
    if (::chmod(folder.c_str(), kFolderMode) != 0) {
        return "Cannot make the folder " + folder + " private: " + errorText(errno);
    }
    return {};
}

// A socket file stays behind when its listener dies; it is only removed once a connection
// attempt shows that nothing accepts on it.
std::string removeLeftover(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        const int error = errno;
        return error == ENOENT ? std::string() : "Cannot examine " + path + ": " + errorText(error);
    }
    if (!S_ISSOCK(info.st_mode)) {
        return "Cannot listen on " + path + ": a file that is not a socket is in the way.";
    }
    const SocketResult probe = connectTo(path, kProbeTimeoutMs);
    if (probe.fd.valid()) {
        return "Cannot listen on " + path + ": another program already listens there.";
    }
    if (!probe.nobodyListens) {
        return probe.error;
    }
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        return "Cannot remove the leftover socket " + path + ": " + errorText(errno);
    }
    return {};
}

// fchmod() before bind() gives the new file its mode, so it is never open to others.
std::string bindUserOnly(int fd, const std::string& path, const sockaddr_un& address) {
    if (::fchmod(fd, kSocketMode) != 0) {
        return "Cannot restrict the socket to this user: " + errorText(errno);
    }
    if (::bind(fd, asAddress(address), sizeof(address)) != 0) {
        const int error = errno;
        if (error != EADDRINUSE) {
            return "Cannot create the socket " + path + ": " + errorText(error);
        }
        if (std::string reason = removeLeftover(path); !reason.empty()) {
            return reason;
        }
        if (::bind(fd, asAddress(address), sizeof(address)) != 0) {
            return "Cannot create the socket " + path + ": " + errorText(errno);
        }
    }
    // The umask applies on top of the mode; the owner needs write access to connect.
    if (::chmod(path.c_str(), kSocketMode) != 0) {
        return "Cannot restrict the socket " + path + " to this user: " + errorText(errno);
    }
    return {};
}

AcceptResult checkPeer(UniqueFd fd) {
    AcceptResult result;
    ucred peer{};
    socklen_t length = sizeof(peer);
    if (::getsockopt(fd.get(), SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0) {
        result.status = AcceptStatus::Refused;
        result.error = "Cannot tell who connected: " + errorText(errno);
        return result;
    }
    if (peer.uid != ::geteuid()) {
        result.status = AcceptStatus::Refused;
        result.error = "A process of user " + std::to_string(peer.uid) + " connected; ignored.";
        return result;
    }
    result.status = AcceptStatus::Accepted;
    result.fd = std::move(fd);
    return result;
}

}  // namespace

std::string currentUserId() {
    return std::to_string(::getuid());
}

SocketResult listenUserOnly(const std::string& path) {
    SocketResult result;
    sockaddr_un address{};
    if (!fillAddress(path, address)) {
        result.error = tooLong(path);
        return result;
    }
    result.error = ensurePrivateFolder(folderOf(path));
    if (!result.error.empty()) {
        return result;
    }
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd.valid()) {
        result.error = "Cannot make a socket: " + errorText(errno);
        return result;
    }
    result.error = bindUserOnly(fd.get(), path, address);
    if (!result.error.empty()) {
        return result;
    }
    if (::listen(fd.get(), SOMAXCONN) != 0) {
        result.error = "Cannot listen on " + path + ": " + errorText(errno);
        ::unlink(path.c_str());
        return result;
    }
    result.fd = std::move(fd);
    return result;
}

SocketResult connectTo(const std::string& path, int timeoutMs) {
    SocketResult result;
    sockaddr_un address{};
    if (!fillAddress(path, address)) {
        result.error = tooLong(path);
        return result;
    }
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd.valid()) {
        result.error = "Cannot make a socket: " + errorText(errno);
        return result;
    }
    // On a Unix socket the send timeout also bounds a connect that waits for a full backlog.
    const timeval timeout{timeoutMs / 1000, static_cast<suseconds_t>(timeoutMs % 1000) * 1000};
    if (::setsockopt(fd.get(), SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof(timeout)) != 0) {
        result.error = "Cannot set the socket's timeout: " + errorText(errno);
        return result;
    }
    if (::connect(fd.get(), asAddress(address), sizeof(address)) != 0) {
        const int error = errno;
        result.nobodyListens = error == ENOENT || error == ECONNREFUSED;
        result.error = "Cannot connect to " + path + ": " + errorText(error);
        return result;
    }
    result.fd = std::move(fd);
    return result;
}

std::string sendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0) {
            if (errno == EINTR) {
                continue;
            }
            return "Cannot send: " + errorText(errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return {};
}

SocketResult sendMessage(const std::string& path, std::string_view message, int timeoutMs) {
    SocketResult connection = connectTo(path, timeoutMs);
    if (!connection.fd.valid()) {
        return connection;
    }
    SocketResult result;
    if (std::string reason = sendAll(connection.fd.get(), message); !reason.empty()) {
        result.error = "Cannot reach " + path + ": " + reason;
        return result;
    }
    if (const int error = connection.fd.close()) {
        result.error = "Cannot finish the message to " + path + ": " + errorText(error);
    }
    return result;
}

AcceptResult acceptFromSameUser(int listenFd) {
    for (;;) {
        UniqueFd fd(::accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (fd.valid()) {
            return checkPeer(std::move(fd));
        }
        const int error = errno;
        // A peer that gave up while waiting in the backlog leaves nothing to answer.
        if (error == EINTR || error == ECONNABORTED) {
            continue;
        }
        AcceptResult result;
        if (error != EAGAIN && error != EWOULDBLOCK) {
            result.status = AcceptStatus::Failed;
            result.error = "Cannot accept a connection: " + errorText(error);
        }
        return result;
    }
}

LineReader::Status LineReader::readFrom(int fd) {
    std::array<char, kReadPieceBytes> piece{};
    for (;;) {
        const ssize_t got = ::recv(fd, piece.data(), piece.size(), 0);
        if (got > 0) {
            append({piece.data(), static_cast<std::size_t>(got)});
            return Status::Open;
        }
        if (got == 0) {
            return Status::Ended;
        }
        const int error = errno;
        if (error == EINTR) {
            continue;
        }
        if (error == EAGAIN || error == EWOULDBLOCK) {
            return Status::Open;
        }
        error_ = "Cannot read from the connection: " + errorText(error);
        return Status::Failed;
    }
}

void LineReader::append(std::string_view piece) {
    for (const char c : piece) {
        if (c == '\n') {
            pendingLength_ = 0;
        } else if (++pendingLength_ > maxLineBytes_) {
            overlong_ = true;
        }
    }
    buffer_.append(piece);
}

std::optional<std::string> LineReader::takeLine() {
    const std::size_t end = buffer_.find('\n');
    if (end == std::string::npos) {
        return std::nullopt;
    }
    std::string line = buffer_.substr(0, end);
    buffer_.erase(0, end + 1);
    return line;
}

}  // namespace sortwell::platform
