#pragma once

#include <string>

namespace sortwell::platform::x11 {

// The parts of the environment that say which display server the desktop runs on.
struct SessionEnvironment {
    std::string display;         // DISPLAY
    std::string waylandDisplay;  // WAYLAND_DISPLAY
    std::string sessionType;     // XDG_SESSION_TYPE

    static SessionEnvironment ofThisProcess();
};

// Whether other programs' windows can be reached through X11, and what to tell the user.
struct SessionAssessment {
    bool canUseX11 = false;
    std::string reason;  // why X11 cannot be used; empty when it can
    std::string notice;  // a limitation worth saying once, such as a Wayland session
};

// Decides from the environment alone; connecting to the display is the caller's next step.
SessionAssessment assessSession(const SessionEnvironment& environment);

}  // namespace sortwell::platform::x11
