#pragma once

#include <memory>

#include "platform/linux/x11/x11_connection.h"
#include "platform/window_system.h"

namespace sortwell::platform::linux_host {

// Ends programs with SIGKILL; where no process id is known, cuts the window's client off the
// X display instead of guessing one.
class PosixProcessControl : public ProcessControl {
public:
    // `x11` may be closed or null; then only processes with a known id can be ended.
    explicit PosixProcessControl(std::shared_ptr<x11::X11Connection> x11);

    std::string endProcess(std::int64_t pid, std::uint64_t windowHandle) override;

private:
    std::string killProcess(std::int64_t pid);
    std::string cutOffClient(std::uint64_t windowHandle);

    std::shared_ptr<x11::X11Connection> x11_;
};

}  // namespace sortwell::platform::linux_host
