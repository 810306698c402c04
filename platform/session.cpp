#include "platform/session.h"

#include <cstdlib>

namespace sortwell::platform {
namespace {

std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

SessionKind sessionKindOf(const SessionEnvironment& environment) {
    if (!environment.waylandDisplay.empty() || environment.sessionType == "wayland") {
        return SessionKind::Wayland;
    }
    return environment.display.empty() ? SessionKind::NoDisplay : SessionKind::X11;
}

}  // namespace

SessionEnvironment SessionEnvironment::ofThisProcess() {
    return {environmentValue("DISPLAY"), environmentValue("WAYLAND_DISPLAY"),
            environmentValue("XDG_SESSION_TYPE")};
}

HostChoice chooseHost(const SessionEnvironment& environment) {
    const SessionKind session = sessionKindOf(environment);
    if (environment.display.empty()) {
        if (session == SessionKind::Wayland) {
            return {session,
                    WindowHost::Unavailable,
                    "This Wayland session has no XWayland (DISPLAY is not set): other programs' "
                    "windows cannot be listed, raised or typed into.",
                    {}};
        }
        return {session,
                WindowHost::Unavailable,
                "There is no X display (DISPLAY is not set): other programs' windows cannot be "
                "listed, raised or typed into.",
                {}};
    }
    if (session == SessionKind::Wayland) {
        return {session,
                WindowHost::X11,
                {},
                "This is a Wayland session: only windows of programs running under XWayland can "
                "be listed, raised and typed into."};
    }
    return {session, WindowHost::X11, {}, {}};
}

std::string noWindowAccessOnThisDesktop() {
    return "This desktop lets no program list or type into other windows. Use RUN steps or "
           "watch the input folder.";
}

}  // namespace sortwell::platform
