#pragma once

#include <X11/Xlib.h>

#include <optional>
#include <vector>

#include "platform/linux/x11/x11_connection.h"
#include "platform/linux/x11/x11_error_trap.h"
#include "platform/window_system.h"

namespace sortwell::platform::x11 {

// Reads the top-level windows of the display: their stacking order, titles and owners.
class X11WindowReader {
public:
    explicit X11WindowReader(X11Connection& connection);

    // The managed top-level windows, the frontmost first.
    std::vector<Window> frontToBack();

    // Title, owning process and handle of each window, in the given order. A window that
    // is gone by the time it is read is left out; the ones after it are still read.
    std::vector<WindowInfo> describe(const std::vector<Window>& windows);
    std::optional<WindowInfo> describe(Window window);

private:
    // Each returns nothing when the window is gone.
    std::optional<std::string> titleOf(Window window, X11ErrorTrap& trap);
    std::int64_t serverKnownPidOf(Window window, X11ErrorTrap& trap);
    std::optional<std::int64_t> announcedPidOf(Window window, X11ErrorTrap& trap);

    std::optional<std::vector<Window>> rootWindowList(const char* property, X11ErrorTrap& trap);
    std::vector<Window> rootChildrenBottomToTop();

    X11Connection& connection_;
    Display* display_;
    bool serverReportsPids_ = false;
};

}  // namespace sortwell::platform::x11
