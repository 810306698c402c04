#pragma once

#include <string>

namespace sortwell::platform {

// The parts of the environment that say which display server the desktop runs on.
struct SessionEnvironment {
    std::string display;         // DISPLAY
    std::string waylandDisplay;  // WAYLAND_DISPLAY
    std::string sessionType;     // XDG_SESSION_TYPE

    static SessionEnvironment ofThisProcess();
};

enum class SessionKind { X11, Wayland, NoDisplay };

// What reaches other programs' windows and keyboard.
enum class WindowHost { X11, Wayland, Unavailable };

// The host for a session, and what to tell the user about it.
struct HostChoice {
    SessionKind session = SessionKind::NoDisplay;
    WindowHost windows = WindowHost::Unavailable;
    std::string reason;  // why no window host can be used; empty when one can
    std::string notice;  // a limitation worth saying once, such as a Wayland session
};

// Decides from the environment alone; connecting to the display is the host's next step.
HostChoice chooseHost(const SessionEnvironment& environment);

// What to say where a Wayland compositor was reached but lets no program reach other
// windows, and there is no usable X display either.
std::string noWindowAccessOnThisDesktop();

}  // namespace sortwell::platform
