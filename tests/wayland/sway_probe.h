#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace sortwell::test {

// The name of the window that sway says has the focus, read through swaymsg; empty when
// none has or swaymsg fails.
std::string swayFocusedWindowName();

// A program started for one test, its errors kept out of the test's output. Killed and
// reaped at the end unless it ended before.
class ChildProgram {
public:
    explicit ChildProgram(const std::vector<std::string>& arguments);
    ~ChildProgram();
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    // Whether the process ended within `seconds`; reaps it.
    bool ended(int seconds);
    // Ends it at once.
    void kill();

private:
    pid_t pid_ = -1;
    bool reaped_ = false;
};

// A foot terminal window with a given title, running only `sleep` so that nothing renames it.
class FootWindow : public ChildProgram {
public:
    explicit FootWindow(const std::string& title)
        : ChildProgram({"foot", "-T", title, "sleep", "60"}) {}
};

}  // namespace sortwell::test
