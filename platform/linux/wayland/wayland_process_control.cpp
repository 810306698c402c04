#include "platform/linux/wayland/wayland_process_control.h"

#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

namespace sortwell::platform::wayland {
namespace {

// Long enough for a program to close its window, short enough not to hold up the desk.
constexpr int kCloseWaitMs = 500;

}  // namespace

WaylandProcessControl::WaylandProcessControl(std::shared_ptr<WaylandConnection> connection,
                                             std::unique_ptr<ProcessControl> processes)
    : connection_(std::move(connection)), processes_(std::move(processes)) {}

std::string WaylandProcessControl::endProcess(std::int64_t pid, std::uint64_t windowHandle) {
    if (pid > 0) {
        return processes_->endProcess(pid, windowHandle);
    }
    return closeWindow(windowHandle);
}

std::string WaylandProcessControl::closeWindow(std::uint64_t windowHandle) {
    if (!connection_->sync()) {
        return "No process is known for the window and the Wayland compositor cannot be "
               "asked to close it: " +
               connection_->unavailableReason();
    }
    Toplevel* toplevel = connection_->findToplevel(windowHandle);
    if (toplevel == nullptr) {
        return "The window " + std::to_string(windowHandle) +
               " no longer exists; nothing was ended.";
    }
    zwlr_foreign_toplevel_handle_v1_close(toplevel->proxy);
    if (!connection_->sync()) {
        return "The Wayland compositor was asked to close the window but did not answer: " +
               connection_->unavailableReason();
    }
    // A program with unsaved work may ask its user first, or never close at all.
    if (!connection_->awaitClosed(*toplevel, kCloseWaitMs)) {
        return "The window was asked to close but is still open after " +
               std::to_string(kCloseWaitMs) + " ms; it may be asking a question.";
    }
    return {};
}

}  // namespace sortwell::platform::wayland
