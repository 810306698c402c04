#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace sortwell::test {

// A stand-in window program started for one test: its own process with a given title,
// recording the keys it receives. Killed and reaped at the end unless a test did it first.
class StandInProcess {
public:
    // Starts the program, with any further `options` of its own, and waits until it says
    // "ready"; check failure() afterwards.
    StandInProcess(const std::string& title, const std::string& recordPath = {},
                   const std::vector<std::string>& options = {});
    ~StandInProcess();
    StandInProcess(const StandInProcess&) = delete;
    StandInProcess& operator=(const StandInProcess&) = delete;

    pid_t pid() const { return pid_; }
    // Why the program did not come up, or empty text.
    const std::string& failure() const { return failure_; }

    // The wait status once the process has ended, waiting at most `seconds`.
    std::optional<int> waitForEnd(int seconds);

private:
    void start(const std::string& title, const std::string& recordPath,
               const std::vector<std::string>& options);
    void awaitReady();

    pid_t pid_ = -1;
    int output_ = -1;
    bool reaped_ = false;
    std::string failure_;
};

}  // namespace sortwell::test
