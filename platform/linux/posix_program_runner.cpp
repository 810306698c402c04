#include "platform/linux/posix_program_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <thread>
#include <utility>

#include "platform/linux/atomic_file.h"

#include "platform/unique_fd.h"

namespace sortwell::platform::linux_host {

namespace {

// One poll reads no more than this, so a program that floods its error output cannot hold up
// the event loop; the rest waits in the pipe for the next poll.
constexpr std::size_t kReadPerPoll = 1 << 20;

// The spawn attributes: a process group of its own, no blocked signals and the usual signal
// dispositions, whatever this program has set for itself.
class SpawnAttributes {
public:
    SpawnAttributes() {
        posix_spawnattr_init(&attributes_);
        sigset_t none;
        sigemptyset(&none);
        posix_spawnattr_setsigmask(&attributes_, &none);
        sigset_t defaults;
        sigemptyset(&defaults);
        for (const int signal :
             {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGCHLD, SIGUSR1, SIGUSR2}) {
            sigaddset(&defaults, signal);
        }
        posix_spawnattr_setsigdefault(&attributes_, &defaults);
        posix_spawnattr_setpgroup(&attributes_, 0);
        posix_spawnattr_setflags(
            &attributes_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    }
    ~SpawnAttributes() { posix_spawnattr_destroy(&attributes_); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
    const posix_spawnattr_t* get() const { return &attributes_; }

private:
    posix_spawnattr_t attributes_;
};

// Input from /dev/null, output to /dev/null, error output to `errorWrite`.
class SpawnFiles {
public:
    explicit SpawnFiles(int errorWrite) {
        posix_spawn_file_actions_init(&actions_);
        posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions_, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&actions_, errorWrite, STDERR_FILENO);
    }
    ~SpawnFiles() { posix_spawn_file_actions_destroy(&actions_); }
    SpawnFiles(const SpawnFiles&) = delete;
    SpawnFiles& operator=(const SpawnFiles&) = delete;
    const posix_spawn_file_actions_t* get() const { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

// A killed program is normally gone at once; one that is not is left to a waiting thread.
constexpr int kReapTries = 50;
constexpr std::chrono::milliseconds kReapPause{1};

class PosixRunningProgram : public RunningProgram {
public:
    PosixRunningProgram(pid_t pid, UniqueFd errorRead)
        : pid_(pid), errorRead_(std::move(errorRead)) {}

    ~PosixRunningProgram() override { endNow(); }

    std::optional<ProgramExit> poll() override {
        if (exit_) {
            return exit_;
        }
        readErrorOutput();
        int status = 0;
        const pid_t reaped = ::waitpid(pid_, &status, WNOHANG);
        if (reaped == pid_) {
            finish(status);
        } else if (reaped < 0 && errno != EINTR) {
            // Someone else reaped it; what it ended with is lost.
            exit_ = ProgramExit{-1, 0, std::move(tail_)};
        }
        return exit_;
    }

    void end() override { endNow(); }

private:
    void endNow() {
        if (exit_) {
            return;
        }
        // Its own process group, so the group id is its pid; never 0 or 1 here.
        if (pid_ > 1) {
            ::kill(-pid_, SIGKILL);
            ::kill(pid_, SIGKILL);
        }
        int status = 0;
        pid_t reaped = 0;
        for (int tries = 0; tries < kReapTries && reaped == 0; ++tries) {
            reaped = ::waitpid(pid_, &status, WNOHANG);
            if (reaped == 0) {
                std::this_thread::sleep_for(kReapPause);
            }
        }
        if (reaped == pid_) {
            finish(status);
            return;
        }
        if (reaped == 0) {
            // Stuck in the kernel, it dies when its call returns; the desk must not wait for
            // that, and no zombie may stay.
            std::thread([pid = pid_] {
                int ignored = 0;
                while (::waitpid(pid, &ignored, 0) < 0 && errno == EINTR) {
                }
            }).detach();
        }
        exit_ = ProgramExit{-1, SIGKILL, std::move(tail_)};
    }

    void finish(int status) {
        readErrorOutput();
        ProgramExit exit;
        if (WIFSIGNALED(status)) {
            exit.signal = WTERMSIG(status);
        } else {
            exit.exitCode = WEXITSTATUS(status);
        }
        exit.errorTail = std::move(tail_);
        exit_ = std::move(exit);
    }

    void readErrorOutput() {
        if (!errorRead_.valid()) {
            return;
        }
        std::array<char, 16384> buffer{};
        std::size_t readNow = 0;
        while (readNow < kReadPerPoll) {
            const ssize_t got = ::read(errorRead_.get(), buffer.data(), buffer.size());
            if (got > 0) {
                keep(buffer.data(), static_cast<std::size_t>(got));
                readNow += static_cast<std::size_t>(got);
            } else if (got < 0 && errno == EINTR) {
                continue;
            } else {
                if (got == 0) {
                    errorRead_.close();
                }
                return;
            }
        }
    }

    void keep(const char* data, std::size_t size) {
        tail_.append(data, size);
        if (tail_.size() > ProgramRunner::kErrorTailBytes) {
            tail_.erase(0, tail_.size() - ProgramRunner::kErrorTailBytes);
        }
    }

    pid_t pid_;
    UniqueFd errorRead_;
    std::string tail_;
    std::optional<ProgramExit> exit_;
};

}  // namespace

ProgramStart PosixProgramRunner::start(const std::string& program,
                                       const std::vector<std::string>& arguments) {
    std::array<int, 2> pipeEnds{};
    if (::pipe2(pipeEnds.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        return {nullptr, "No pipe for its error output: " + errorText(errno)};
    }
    UniqueFd errorRead(pipeEnds[0]);
    UniqueFd errorWrite(pipeEnds[1]);
    // The program's end of the pipe blocks as usual; only ours must never wait.
    ::fcntl(errorWrite.get(), F_SETFL, 0);

    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    const SpawnAttributes attributes;
    const SpawnFiles files(errorWrite.get());
    pid_t pid = -1;
    const int error =
        ::posix_spawnp(&pid, program.c_str(), files.get(), attributes.get(), argv.data(), environ);
    if (error != 0) {
        return {nullptr, errorText(error)};
    }
    errorWrite.close();
    return {std::make_unique<PosixRunningProgram>(pid, std::move(errorRead)), {}};
}

}  // namespace sortwell::platform::linux_host
