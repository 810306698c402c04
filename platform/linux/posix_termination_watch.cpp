#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <csignal>

#include "platform/termination_watch.h"

namespace sortwell::platform {
namespace {

// The write end is used from the signal handler, which may only call async-signal-safe code.
std::array<int, 2> signalSocket = {-1, -1};

void noteSignal(int /*signal*/) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalSocket[0], &byte, 1);
}

}  // namespace

TerminationWatch::TerminationWatch() {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSocket.data()) != 0) {
        signalSocket = {-1, -1};
        return;
    }
    struct sigaction action {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

TerminationWatch::~TerminationWatch() {
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    for (int& end : signalSocket) {
        if (end >= 0) {
            ::close(end);
            end = -1;
        }
    }
}

int TerminationWatch::handle() const {
    return signalSocket[1];
}

void TerminationWatch::acknowledge() {
    char byte = 0;
    [[maybe_unused]] const ssize_t read = ::read(signalSocket[1], &byte, 1);
}

}  // namespace sortwell::platform
