#pragma once

#include <memory>

#include "platform/linux/x11/x11_connection.h"
#include "platform/window_system.h"

namespace sortwell::platform::x11 {

// Top-level windows through EWMH: the window manager's stacking list, titles, owners from the
// X server, activation through the window manager.
class X11WindowSystem : public WindowSystem {
public:
    explicit X11WindowSystem(std::shared_ptr<X11Connection> connection);

    bool isAvailable() override;
    std::string unavailableReason() override;
    std::vector<WindowInfo> listTopLevelWindows() override;
    bool activate(std::uint64_t handle) override;

private:
    bool windowManagerActivates();
    void requestActivation(unsigned long window);

    std::shared_ptr<X11Connection> connection_;
};

}  // namespace sortwell::platform::x11
