#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/unique_fd.h"

namespace sortwell::platform {

// Tells this user from the others on the machine, for names of per-user files and sockets.
std::string currentUserId();

// An open socket, or the reason there is none.
struct SocketResult {
    UniqueFd fd;
    // Empty on success; otherwise fit to show the user.
    std::string error;
    // Connecting only: there is no socket file, or nothing accepts on it (a crash left it, or
    // its listener has not started yet), so a later try may succeed.
    bool nobodyListens = false;
};

// Listens on a non-blocking stream socket at `path` that only this user may connect to (mode
// 0600; a missing folder is made with mode 0700). A socket file on which nothing accepts was
// left by a crash and is replaced; one that a live listener serves is not.
SocketResult listenUserOnly(const std::string& path);

// Connects to the socket at `path`, blocking; connecting and sending wait `timeoutMs` at most.
SocketResult connectTo(const std::string& path, int timeoutMs);

// Sends all of `bytes` on a connected socket; returns the reason on failure, empty text on
// success. A peer that has gone away is a failure, not a signal.
std::string sendAll(int fd, std::string_view bytes);

// Connects to `path`, sends `message` whole and closes. `fd` stays empty.
SocketResult sendMessage(const std::string& path, std::string_view message, int timeoutMs);

enum class AcceptStatus { Accepted, NonePending, Refused, Failed };

struct AcceptResult {
    AcceptStatus status = AcceptStatus::NonePending;
    // The non-blocking connection when Accepted.
    UniqueFd fd;
    // Why a connection was Refused, or why the listening socket Failed.
    std::string error;
};

// Takes one waiting connection off the listening `listenFd` without blocking. A peer running
// as another user than this process is closed at once and reported as Refused.
AcceptResult acceptFromSameUser(int listenFd);

// Collects the lines that arrive on a connection; a line may come in any number of pieces.
class LineReader {
public:
    enum class Status { Open, Ended, Failed };

    // Lines longer than `maxLineBytes` (without the "\n") mark the peer as not speaking the
    // protocol.
    explicit LineReader(std::size_t maxLineBytes) : maxLineBytes_(maxLineBytes) {}

    // Reads one piece of what the non-blocking `fd` holds now. Ended: the peer closed and all
    // its bytes are in. Failed: error() says why.
    Status readFrom(int fd);
    void append(std::string_view piece);

    // The next whole line without its "\n"; nothing while the line is incomplete.
    std::optional<std::string> takeLine();

    bool overlong() const { return overlong_; }
    const std::string& error() const { return error_; }

private:
    std::size_t maxLineBytes_;
    std::string buffer_;
    std::size_t pendingLength_ = 0;
    bool overlong_ = false;
    std::string error_;
};

}  // namespace sortwell::platform
