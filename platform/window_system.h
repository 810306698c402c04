#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sortwell::platform {

// One top-level window of the desktop.
struct WindowInfo {
    std::uint64_t handle = 0;
    std::int64_t pid = 0;  // 0 when the host cannot tell which process owns the window
    std::string title;     // UTF-8, as the window gives it
};

// Other programs' top-level windows: listing and bringing one to the front.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // False where windows of other programs cannot be listed or raised (no X server, a
    // Wayland session without XWayland); unavailableReason() then says why.
    virtual bool isAvailable() = 0;
    virtual std::string unavailableReason() = 0;

    // The top-level windows, front to back. A window that vanishes while it is being read
    // is left out; the windows after it are still listed.
    virtual std::vector<WindowInfo> listTopLevelWindows() = 0;

    // Makes the window the active one and raises it; false when it no longer exists.
    virtual bool activate(std::uint64_t handle) = 0;

    // A descriptor that turns readable when the desktop sends news of its windows, or -1 for
    // a host that is only asked. The owner then calls takeNews(), so that news cannot pile
    // up while nobody lists the windows; false from it means no more news will come.
    virtual int newsDescriptor() { return -1; }
    virtual bool takeNews() { return false; }
};

// Ending another program.
class ProcessControl {
public:
    virtual ~ProcessControl() = default;

    // Ends the process that owns the window at once. Uses `pid` when it is known (> 0) and is
    // not this program; otherwise cuts the window's client off the display. Returns the
    // reason when nothing could be ended, empty text on success.
    virtual std::string endProcess(std::int64_t pid, std::uint64_t windowHandle) = 0;
};

}  // namespace sortwell::platform
