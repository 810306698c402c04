// A compositor as GNOME or weston would look to its clients: a proxy in front of a real
// compositor's socket that passes every message on unchanged, but keeps the globals of the
// named interfaces out of each client's registry.
//   registry_filter LISTEN_NAME UPSTREAM_NAME INTERFACE...
// Both names are sockets in XDG_RUNTIME_DIR. Prints "listening" once clients may connect and
// runs until killed.
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kDisplayId = 1;
constexpr std::uint16_t kGetRegistry = 1;
constexpr std::uint16_t kGlobal = 0;
constexpr std::uint16_t kGlobalRemove = 1;
constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kMaxFds = 28;

std::set<std::string> hiddenInterfaces;

std::string socketPath(const char* name) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return std::string(runtime != nullptr ? runtime : "/tmp") + "/" + name;
}

sockaddr_un addressOf(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    return address;
}

std::uint32_t word(const std::vector<char>& bytes, std::size_t at) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, sizeof(value));
    return value;
}

// Bytes read from one side and not yet passed on, with the descriptors that came with them.
struct Stream {
    int from = -1;
    int to = -1;
    std::vector<char> pending;
    std::vector<int> fds;
};

// One client and its own connection to the real compositor.
struct Link {
    Stream requests;
    Stream events;
    std::set<std::uint32_t> registries;
    std::set<std::uint32_t> hiddenNames;
    bool broken = false;
};

bool receive(Stream& stream) {
    std::array<char, 4096> buffer{};
    std::array<char, CMSG_SPACE(sizeof(int) * kMaxFds)> control{};
    iovec piece{buffer.data(), buffer.size()};
    msghdr message{};
    message.msg_iov = &piece;
    message.msg_iovlen = 1;
    message.msg_control = control.data();
    message.msg_controllen = control.size();
    const ssize_t got = recvmsg(stream.from, &message, MSG_CMSG_CLOEXEC);
    if (got <= 0) {
        return false;
    }
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header != nullptr;
         header = CMSG_NXTHDR(&message, header)) {
        if (header->cmsg_level == SOL_SOCKET && header->cmsg_type == SCM_RIGHTS) {
            const std::size_t count = (header->cmsg_len - CMSG_LEN(0)) / sizeof(int);
            const auto* fds = reinterpret_cast<const int*>(CMSG_DATA(header));
            stream.fds.insert(stream.fds.end(), fds, fds + count);
        }
    }
    stream.pending.insert(stream.pending.end(), buffer.begin(), buffer.begin() + got);
    return true;
}

// Sends `bytes` with every descriptor held so far: a message's descriptors never arrive
// after the message.
bool send(Stream& stream, const char* bytes, std::size_t size) {
    while (size > 0) {
        iovec piece{const_cast<char*>(bytes), size};
        msghdr message{};
        message.msg_iov = &piece;
        message.msg_iovlen = 1;
        std::array<char, CMSG_SPACE(sizeof(int) * kMaxFds)> control{};
        const std::size_t count = std::min(stream.fds.size(), kMaxFds);
        if (count > 0) {
            message.msg_control = control.data();
            message.msg_controllen = CMSG_SPACE(sizeof(int) * count);
            cmsghdr* header = CMSG_FIRSTHDR(&message);
            header->cmsg_level = SOL_SOCKET;
            header->cmsg_type = SCM_RIGHTS;
            header->cmsg_len = CMSG_LEN(sizeof(int) * count);
            std::memcpy(CMSG_DATA(header), stream.fds.data(), sizeof(int) * count);
        }
        const ssize_t sent = sendmsg(stream.to, &message, MSG_NOSIGNAL);
        if (sent <= 0) {
            return false;
        }
        for (std::size_t i = 0; i < count; ++i) {
            close(stream.fds[i]);
        }
        stream.fds.erase(stream.fds.begin(), stream.fds.begin() + static_cast<long>(count));
        bytes += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

std::string globalInterface(const std::vector<char>& message) {
    const std::uint32_t length = word(message, kHeaderSize + 4);
    if (length == 0 || kHeaderSize + 8 + length > message.size()) {
        return {};
    }
    return {message.data() + kHeaderSize + 8, length - 1};
}

// Whether a whole message from the compositor reaches the client.
bool passesToClient(Link& link, const std::vector<char>& message) {
    const std::uint32_t sender = word(message, 0);
    const auto opcode = static_cast<std::uint16_t>(word(message, 4) & 0xffff);
    if (!link.registries.contains(sender) || message.size() < kHeaderSize + 4) {
        return true;
    }
    const std::uint32_t name = word(message, kHeaderSize);
    if (opcode == kGlobal && hiddenInterfaces.contains(globalInterface(message))) {
        link.hiddenNames.insert(name);
        return false;
    }
    return !(opcode == kGlobalRemove && link.hiddenNames.contains(name));
}

void noteRegistry(Link& link, const std::vector<char>& message) {
    const auto opcode = static_cast<std::uint16_t>(word(message, 4) & 0xffff);
    if (word(message, 0) == kDisplayId && opcode == kGetRegistry &&
        message.size() >= kHeaderSize + 4) {
        link.registries.insert(word(message, kHeaderSize));
    }
}

// Passes on every whole message read so far; a part of one waits for the rest.
bool relay(Link& link, Stream& stream, bool towardsClient) {
    std::size_t start = 0;
    while (stream.pending.size() - start >= kHeaderSize) {
        const std::size_t size = word(stream.pending, start + 4) >> 16;
        if (size < kHeaderSize) {
            return false;
        }
        if (stream.pending.size() - start < size) {
            break;
        }
        const std::vector<char> message(stream.pending.begin() + static_cast<long>(start),
                                        stream.pending.begin() + static_cast<long>(start + size));
        start += size;
        if (!towardsClient) {
            noteRegistry(link, message);
        } else if (!passesToClient(link, message)) {
            continue;
        }
        if (!send(stream, message.data(), message.size())) {
            return false;
        }
    }
    stream.pending.erase(stream.pending.begin(), stream.pending.begin() + static_cast<long>(start));
    return true;
}

int connectTo(const std::string& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_un address = addressOf(path);
    if (fd < 0 || connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        std::perror("registry_filter: connect");
        if (fd >= 0) {
            close(fd);
        }
        return -1;
    }
    return fd;
}

int listenAt(const std::string& path) {
    unlink(path.c_str());
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_un address = addressOf(path);
    if (fd < 0 || bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        listen(fd, 16) != 0) {
        std::perror("registry_filter: listen");
        std::exit(1);
    }
    return fd;
}

void closeLink(Link& link) {
    for (Stream* stream : {&link.requests, &link.events}) {
        for (const int fd : stream->fds) {
            close(fd);
        }
    }
    close(link.requests.from);
    close(link.events.from);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s LISTEN_NAME UPSTREAM_NAME INTERFACE...\n", argv[0]);
        return 2;
    }
    hiddenInterfaces.insert(argv + 3, argv + argc);
    const std::string upstream = socketPath(argv[2]);
    const int listener = listenAt(socketPath(argv[1]));
    std::printf("listening\n");
    std::fflush(stdout);

    std::vector<std::unique_ptr<Link>> links;
    for (;;) {
        std::vector<pollfd> watched{{listener, POLLIN, 0}};
        for (const auto& link : links) {
            watched.push_back({link->requests.from, POLLIN, 0});
            watched.push_back({link->events.from, POLLIN, 0});
        }
        if (poll(watched.data(), watched.size(), -1) < 0) {
            continue;
        }
        if ((watched[0].revents & POLLIN) != 0) {
            const int client = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
            const int server = client >= 0 ? connectTo(upstream) : -1;
            if (server >= 0) {
                auto link = std::make_unique<Link>();
                link->requests = {client, server, {}, {}};
                link->events = {server, client, {}, {}};
                links.push_back(std::move(link));
            } else if (client >= 0) {
                close(client);
            }
        }
        for (std::size_t i = 0; i < links.size() && 1 + 2 * i < watched.size(); ++i) {
            Link& link = *links[i];
            const pollfd& fromClient = watched[1 + 2 * i];
            const pollfd& fromServer = watched[2 + 2 * i];
            if (fromClient.revents != 0) {
                link.broken |= !receive(link.requests) || !relay(link, link.requests, false);
            }
            if (fromServer.revents != 0) {
                link.broken |= !receive(link.events) || !relay(link, link.events, true);
            }
        }
        for (auto link = links.begin(); link != links.end();) {
            if ((*link)->broken) {
                closeLink(**link);
                link = links.erase(link);
            } else {
                ++link;
            }
        }
    }
}
