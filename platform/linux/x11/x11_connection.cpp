#include "platform/linux/x11/x11_connection.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <iostream>
#include <mutex>

namespace sortwell::platform::x11 {
namespace {

void sayOnce(const std::string& notice) {
    static std::once_flag said;
    std::call_once(said, [&notice] { std::cerr << "Sortwell: " << notice << '\n'; });
}

// XIfEvent fixes this signature, a mutable XPointer included.
Bool isPropertyNotifyOn(Display* /*display*/, XEvent* event,
                        XPointer window) {  // NOLINT(readability-non-const-parameter)
    const bool matches = event->type == PropertyNotify &&
                         event->xproperty.window == *reinterpret_cast<const Window*>(window);
    return matches ? True : False;
}

}  // namespace

std::shared_ptr<X11Connection> X11Connection::open(const SessionEnvironment& environment) {
    const HostChoice session = chooseHost(environment);
    if (session.windows != WindowHost::X11) {
        return std::shared_ptr<X11Connection>(new X11Connection(nullptr, session.reason, {}));
    }
    Display* display = XOpenDisplay(environment.display.c_str());
    if (display == nullptr) {
        return std::shared_ptr<X11Connection>(new X11Connection(
            nullptr, "Cannot connect to the X display \"" + environment.display + "\".", {}));
    }
    if (!session.notice.empty()) {
        sayOnce(session.notice);
    }
    return std::shared_ptr<X11Connection>(new X11Connection(display, {}, session.notice));
}

std::shared_ptr<X11Connection> X11Connection::open() {
    return open(SessionEnvironment::ofThisProcess());
}

X11Connection::X11Connection(Display* display, std::string reason, std::string notice)
    : display_(display), reason_(std::move(reason)), notice_(std::move(notice)) {}

X11Connection::~X11Connection() {
    if (display_ == nullptr) {
        return;
    }
    if (timestampWindow_ != 0) {
        XDestroyWindow(display_, timestampWindow_);
    }
    XCloseDisplay(display_);
}

unsigned long X11Connection::rootWindow() const {
    return DefaultRootWindow(display_);
}

unsigned long X11Connection::atom(const char* name) {
    const auto known = atoms_.find(name);
    if (known != atoms_.end()) {
        return known->second;
    }
    const Atom created = XInternAtom(display_, name, False);
    atoms_.emplace(name, created);
    return created;
}

unsigned long X11Connection::serverTime() {
    // The server stamps a property change with its time; an empty append changes nothing.
    Window window = timestampWindow();
    XChangeProperty(display_, window, atom("_SORTWELL_TIMESTAMP"), XA_STRING, 8, PropModeAppend,
                    nullptr, 0);
    XEvent event;
    XIfEvent(display_, &event, &isPropertyNotifyOn, reinterpret_cast<XPointer>(&window));
    return event.xproperty.time;
}

unsigned long X11Connection::timestampWindow() {
    if (timestampWindow_ == 0) {
        XSetWindowAttributes attributes{};
        attributes.event_mask = PropertyChangeMask;
        timestampWindow_ = XCreateWindow(display_, rootWindow(), -1, -1, 1, 1, 0, CopyFromParent,
                                         InputOnly, CopyFromParent, CWEventMask, &attributes);
    }
    return timestampWindow_;
}

}  // namespace sortwell::platform::x11
