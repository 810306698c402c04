#pragma once

#include <memory>

#include "platform/linux/wayland/wayland_connection.h"
#include "platform/window_system.h"

namespace sortwell::platform::wayland {

// Other programs' windows as the compositor's window list tells them. The list has no
// stacking order: the focused window comes first, the others in the order they appeared.
class WaylandWindowSystem : public WindowSystem {
public:
    explicit WaylandWindowSystem(std::shared_ptr<WaylandConnection> connection);

    bool isAvailable() override;
    std::string unavailableReason() override;
    std::vector<WindowInfo> listTopLevelWindows() override;
    bool activate(std::uint64_t handle) override;
    int newsDescriptor() override;
    bool takeNews() override;

private:
    std::shared_ptr<WaylandConnection> connection_;
};

}  // namespace sortwell::platform::wayland
