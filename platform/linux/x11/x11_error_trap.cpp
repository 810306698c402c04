#include "platform/linux/x11/x11_error_trap.h"

#include <array>

namespace sortwell::platform::x11 {
namespace {

// Xlib's error handler is one per process; the traps form a stack on this one thread.
X11ErrorTrap* innermostTrap = nullptr;
XErrorHandler handlerBeforeTraps = nullptr;

}  // namespace

X11ErrorTrap::X11ErrorTrap(Display* display) : display_(display), outer_(innermostTrap) {
    settle();  // errors of earlier requests belong to whoever sent them
    previousHandler_ = XSetErrorHandler(&X11ErrorTrap::handleError);
    if (outer_ == nullptr) {
        handlerBeforeTraps = previousHandler_;
    }
    innermostTrap = this;
}

X11ErrorTrap::~X11ErrorTrap() {
    settle();  // an error still in flight must land here, not in the default handler
    innermostTrap = outer_;
    XSetErrorHandler(previousHandler_);
    if (outer_ == nullptr) {
        handlerBeforeTraps = nullptr;
    }
}

int X11ErrorTrap::takeError() {
    const int error = firstError_;
    firstError_ = 0;
    return error;
}

int X11ErrorTrap::syncAndTakeError() {
    settle();
    return takeError();
}

void X11ErrorTrap::settle() {
    // Requests with a reply have been answered already; a round trip is only worth it when
    // requests without one are still unanswered.
    if (LastKnownRequestProcessed(display_) + 1 < NextRequest(display_)) {
        XSync(display_, False);
    }
}

std::string X11ErrorTrap::describe(int errorCode) const {
    std::array<char, 256> text{};
    XGetErrorText(display_, errorCode, text.data(), static_cast<int>(text.size()));
    return text.data();
}

int X11ErrorTrap::handleError(Display* display, XErrorEvent* event) {
    for (X11ErrorTrap* trap = innermostTrap; trap != nullptr; trap = trap->outer_) {
        if (trap->display_ == display) {
            if (trap->firstError_ == 0) {
                trap->firstError_ = event->error_code;
            }
            return 0;
        }
    }
    return handlerBeforeTraps == nullptr ? 0 : handlerBeforeTraps(display, event);
}

}  // namespace sortwell::platform::x11
