#pragma once

#include <sys/types.h>

#include <string>

namespace sortwell::test {

// The name of the window that sway says has the focus, read through swaymsg; empty when
// none has or swaymsg fails.
std::string swayFocusedWindowName();

// A foot terminal window with a given title, running only `sleep` so that nothing renames
// it. Killed and reaped at the end unless it ended before.
class FootWindow {
public:
    explicit FootWindow(const std::string& title);
    ~FootWindow();
    FootWindow(const FootWindow&) = delete;
    FootWindow& operator=(const FootWindow&) = delete;

    // Whether the process ended within `seconds`; reaps it.
    bool ended(int seconds);

private:
    pid_t pid_ = -1;
    bool reaped_ = false;
};

}  // namespace sortwell::test
