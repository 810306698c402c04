#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace sortwell::test {

// Exit code of a child that could not give up root's rights.
constexpr int kCouldNotDropRights = 77;

// Waits for `child`; its exit code, or -1 when it did not exit normally.
inline int exitCodeOf(pid_t child) {
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs `body` in a child process as the unprivileged user 65534, since root ignores
// permission bits; returns the child's exit code.
inline int exitCodeAsNobody(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(kCouldNotDropRights);
        }
        ::_exit(body());
    }
    return exitCodeOf(child);
}

}  // namespace sortwell::test
