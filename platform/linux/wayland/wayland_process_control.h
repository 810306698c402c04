#pragma once

#include <memory>

#include "platform/linux/wayland/wayland_connection.h"
#include "platform/window_system.h"

namespace sortwell::platform::wayland {

// Ends programs on a Wayland desktop. The window list tells no process ids, so a window is
// asked to close through the compositor; a known pid goes to `processes` instead.
class WaylandProcessControl : public ProcessControl {
public:
    WaylandProcessControl(std::shared_ptr<WaylandConnection> connection,
                          std::unique_ptr<ProcessControl> processes);

    std::string endProcess(std::int64_t pid, std::uint64_t windowHandle) override;

private:
    std::string closeWindow(std::uint64_t windowHandle);

    std::shared_ptr<WaylandConnection> connection_;
    std::unique_ptr<ProcessControl> processes_;
};

}  // namespace sortwell::platform::wayland
