#include "platform/linux/x11/x11_window_system.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>

#include "platform/linux/x11/x11_error_trap.h"
#include "platform/linux/x11/x11_window_property.h"
#include "platform/linux/x11/x11_window_reader.h"

namespace sortwell::platform::x11 {
namespace {

// EWMH source indication: a pager or taskbar, which window managers obey without second
// guessing focus stealing.
constexpr long kSourceIsPager = 2;

// X resource ids use 29 bits; anything larger cannot name a window.
constexpr std::uint64_t kLargestResourceId = 0x1FFFFFFF;

}  // namespace

X11WindowSystem::X11WindowSystem(std::shared_ptr<X11Connection> connection)
    : connection_(std::move(connection)) {}

bool X11WindowSystem::isAvailable() {
    return connection_ && connection_->isOpen();
}

std::string X11WindowSystem::unavailableReason() {
    if (!connection_) {
        return "No X11 connection was set up.";
    }
    return connection_->unavailableReason();
}

std::vector<WindowInfo> X11WindowSystem::listTopLevelWindows() {
    if (!isAvailable()) {
        return {};
    }
    X11WindowReader reader(*connection_);
    return reader.describe(reader.frontToBack());
}

bool X11WindowSystem::activate(std::uint64_t handle) {
    if (!isAvailable() || handle == 0 || handle > kLargestResourceId) {
        return false;
    }
    Display* display = connection_->display();
    const auto window = static_cast<Window>(handle);
    X11ErrorTrap trap(display);
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) == 0 || trap.takeError() != 0) {
        return false;
    }
    if (windowManagerActivates()) {
        requestActivation(window);
        XRaiseWindow(display, window);
    } else if (attributes.map_state == IsViewable) {
        // Without an EWMH window manager nobody else moves the focus.
        XRaiseWindow(display, window);
        XSetInputFocus(display, window, RevertToParent, connection_->serverTime());
    } else {
        XMapRaised(display, window);
    }
    return trap.syncAndTakeError() == 0;
}

bool X11WindowSystem::windowManagerActivates() {
    X11ErrorTrap trap(connection_->display());
    const X11WindowProperty supported(connection_->display(), connection_->rootWindow(),
                                      connection_->atom("_NET_SUPPORTED"), XA_ATOM);
    const auto atoms = supported.longs();
    return std::find(atoms.begin(), atoms.end(), connection_->atom("_NET_ACTIVE_WINDOW")) !=
           atoms.end();
}

void X11WindowSystem::requestActivation(unsigned long window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = connection_->atom("_NET_ACTIVE_WINDOW");
    event.xclient.format = 32;
    event.xclient.data.l[0] = kSourceIsPager;
    event.xclient.data.l[1] = static_cast<long>(connection_->serverTime());
    event.xclient.data.l[2] = 0;  // the window active now: none of ours
    XSendEvent(connection_->display(), connection_->rootWindow(), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

}  // namespace sortwell::platform::x11
