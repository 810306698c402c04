#include "x11/stand_in_process.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <thread>
#include <vector>

#include "x11/eventually.h"

namespace sortwell::test {
namespace {

constexpr int kReadySeconds = 20;

}  // namespace

StandInProcess::StandInProcess(const std::string& title, const std::string& recordPath,
                               const std::vector<std::string>& options) {
    start(title, recordPath, options);
    if (failure_.empty()) {
        awaitReady();
    }
}

StandInProcess::~StandInProcess() {
    if (output_ >= 0) {
        close(output_);
    }
    if (pid_ > 0 && !reaped_) {
        kill(pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
}

std::optional<int> StandInProcess::waitForEnd(int seconds) {
    int status = 0;
    const bool ended = eventually(
        [&] {
            const pid_t result = waitpid(pid_, &status, WNOHANG);
            return result == pid_;
        },
        seconds);
    if (!ended) {
        return std::nullopt;
    }
    reaped_ = true;
    return status;
}

void StandInProcess::start(const std::string& title, const std::string& recordPath,
                           const std::vector<std::string>& options) {
    std::array<int, 2> pipeEnds{};
    if (pipe(pipeEnds.data()) != 0) {
        failure_ = std::string("pipe: ") + std::strerror(errno);
        return;
    }
    std::vector<std::string> arguments = {SORTWELL_STAND_IN_WINDOW, "--title", title};
    if (!recordPath.empty()) {
        arguments.insert(arguments.end(), {"--record", recordPath});
    }
    arguments.insert(arguments.end(), options.begin(), options.end());
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    output_ = pipeEnds[0];
    if (pid_ < 0) {
        failure_ = std::string("fork: ") + std::strerror(errno);
    }
}

void StandInProcess::awaitReady() {
    std::string said;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kReadySeconds);
    while (said.find("ready\n") == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd waiting{output_, POLLIN, 0};
        if (left.count() <= 0 || poll(&waiting, 1, static_cast<int>(left.count())) <= 0) {
            failure_ = "the stand-in window did not say \"ready\" within " +
                       std::to_string(kReadySeconds) + " s";
            return;
        }
        std::array<char, 256> buffer{};
        const ssize_t count = read(output_, buffer.data(), buffer.size());
        if (count <= 0) {
            failure_ = "the stand-in window ended before it was ready (" + said + ")";
            return;
        }
        said.append(buffer.data(), static_cast<std::size_t>(count));
    }
}

}  // namespace sortwell::test
