#include "platform/linux/posix_process_control.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>

#include "platform/linux/x11/x11_error_trap.h"
#include "platform/linux/x11/x11_window_reader.h"

namespace sortwell::platform::linux_host {
namespace {

// X resource ids use 29 bits. 0 would be AllTemporary to XKillClient: every client that left
// resources behind.
constexpr std::uint64_t kLargestResourceId = 0x1FFFFFFF;

std::string pidText(std::int64_t pid) {
    return std::to_string(pid);
}

}  // namespace

PosixProcessControl::PosixProcessControl(std::shared_ptr<x11::X11Connection> x11)
    : x11_(std::move(x11)) {}

std::string PosixProcessControl::endProcess(std::int64_t pid, std::uint64_t windowHandle) {
    if (pid == getpid()) {
        return "Process " + pidText(pid) + " is Sortwell itself; it is not ended.";
    }
    if (pid > 0) {
        return killProcess(pid);
    }
    // 0 and below name process groups or every process of the user to kill(): never sent.
    return cutOffClient(windowHandle);
}

std::string PosixProcessControl::killProcess(std::int64_t pid) {
    if (pid > INT_MAX) {
        return "Process id " + pidText(pid) + " is out of range; nothing was ended.";
    }
    if (kill(static_cast<pid_t>(pid), SIGKILL) != 0) {
        return "Cannot end process " + pidText(pid) + ": " + std::strerror(errno);
    }
    return {};
}

std::string PosixProcessControl::cutOffClient(std::uint64_t windowHandle) {
    if (windowHandle == 0 || windowHandle > kLargestResourceId) {
        return "No process is known for the window and there is no window to cut off; nothing "
               "was ended.";
    }
    if (!x11_ || !x11_->isOpen()) {
        return "No process is known for the window and there is no X display to cut its "
               "program off; nothing was ended.";
    }
    Display* display = x11_->display();
    const auto window = static_cast<Window>(windowHandle);
    x11::X11ErrorTrap trap(display);
    const auto owner = x11::X11WindowReader(*x11_).describe(window);
    if (!owner) {
        return "The window " + pidText(static_cast<std::int64_t>(windowHandle)) +
               " no longer exists; nothing was ended.";
    }
    if (owner->pid == getpid() || window == x11_->rootWindow()) {
        return "The window belongs to Sortwell itself or to the display; it is not cut off.";
    }
    XKillClient(display, window);
    if (const int error = trap.syncAndTakeError(); error != 0) {
        return "The X server did not cut the window's program off: " + trap.describe(error);
    }
    return {};
}

}  // namespace sortwell::platform::linux_host
