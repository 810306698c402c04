#include "platform/linux/x11/x11_session.h"

#include <cstdlib>

namespace sortwell::platform::x11 {
namespace {

std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

bool isWaylandSession(const SessionEnvironment& environment) {
    return !environment.waylandDisplay.empty() || environment.sessionType == "wayland";
}

}  // namespace

SessionEnvironment SessionEnvironment::ofThisProcess() {
    return {environmentValue("DISPLAY"), environmentValue("WAYLAND_DISPLAY"),
            environmentValue("XDG_SESSION_TYPE")};
}

SessionAssessment assessSession(const SessionEnvironment& environment) {
    const bool wayland = isWaylandSession(environment);
    if (environment.display.empty()) {
        if (wayland) {
            return {false,
                    "This Wayland session has no XWayland (DISPLAY is not set): other programs' "
                    "windows cannot be listed, raised or typed into.",
                    {}};
        }
        return {false,
                "There is no X display (DISPLAY is not set): other programs' windows cannot be "
                "listed, raised or typed into.",
                {}};
    }
    if (wayland) {
        return {true,
                {},
                "This is a Wayland session: only windows of programs running under XWayland can "
                "be listed, raised and typed into."};
    }
    return {true, {}, {}};
}

}  // namespace sortwell::platform::x11
