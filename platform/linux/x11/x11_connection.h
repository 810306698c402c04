#pragma once

#include <memory>
#include <string>
#include <unordered_map>

#include "platform/session.h"

// Xlib's own name for its display type, declared here so that users need not include Xlib.
using Display = struct _XDisplay;  // NOLINT(bugprone-reserved-identifier)

namespace sortwell::platform::x11 {

// One connection to the X display, shared by the window list, the keyboard and the process
// control. Opening never fails loudly: without a display it stays closed and says why.
class X11Connection {
public:
    static std::shared_ptr<X11Connection> open(const SessionEnvironment& environment);
    static std::shared_ptr<X11Connection> open();  // from this process's environment

    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    bool isOpen() const { return display_ != nullptr; }
    Display* display() const { return display_; }
    const std::string& unavailableReason() const { return reason_; }
    // A limitation of the session that the user should hear once, or empty text.
    const std::string& sessionNotice() const { return notice_; }

    unsigned long rootWindow() const;
    unsigned long atom(const char* name);

    // The server's current time, as window managers want it in activation requests.
    unsigned long serverTime();

private:
    X11Connection(Display* display, std::string reason, std::string notice);
    unsigned long timestampWindow();

    Display* display_;
    std::string reason_;
    std::string notice_;
    unsigned long timestampWindow_ = 0;
    std::unordered_map<std::string, unsigned long> atoms_;
};

}  // namespace sortwell::platform::x11
