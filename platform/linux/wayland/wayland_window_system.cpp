#include "platform/linux/wayland/wayland_window_system.h"

#include <algorithm>

#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

namespace sortwell::platform::wayland {

WaylandWindowSystem::WaylandWindowSystem(std::shared_ptr<WaylandConnection> connection)
    : connection_(std::move(connection)) {}

bool WaylandWindowSystem::isAvailable() {
    return connection_->offersWindowProtocols();
}

std::string WaylandWindowSystem::unavailableReason() {
    return connection_->unavailableReason();
}

std::vector<WindowInfo> WaylandWindowSystem::listTopLevelWindows() {
    if (!connection_->sync()) {
        return {};
    }
    connection_->forgetClosedToplevels();
    std::vector<WindowInfo> windows;
    for (const auto& toplevel : connection_->toplevels()) {
        windows.push_back({toplevel->handle, 0, toplevel->title});
    }
    const auto active =
        std::find_if(connection_->toplevels().begin(), connection_->toplevels().end(),
                     [](const std::unique_ptr<Toplevel>& toplevel) { return toplevel->activated; });
    if (active != connection_->toplevels().end()) {
        const auto index = active - connection_->toplevels().begin();
        std::rotate(windows.begin(), windows.begin() + index, windows.begin() + index + 1);
    }
    return windows;
}

bool WaylandWindowSystem::activate(std::uint64_t handle) {
    if (!connection_->sync()) {
        return false;
    }
    Toplevel* toplevel = connection_->findToplevel(handle);
    if (toplevel == nullptr) {
        return false;
    }
    zwlr_foreign_toplevel_handle_v1_activate(toplevel->proxy, connection_->seat());
    return connection_->sync();
}

// A compositor cuts off a client that leaves its events unread for too long, and the window
// titles of a busy desktop change all the time.
int WaylandWindowSystem::newsDescriptor() {
    return connection_->descriptor();
}

bool WaylandWindowSystem::takeNews() {
    if (!connection_->takeWaitingEvents()) {
        return false;
    }
    connection_->forgetClosedToplevels();
    return true;
}

}  // namespace sortwell::platform::wayland
