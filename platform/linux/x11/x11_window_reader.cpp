#include "platform/linux/x11/x11_window_reader.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XRes.h>

#include <algorithm>

#include "platform/linux/x11/x11_window_property.h"

namespace sortwell::platform::x11 {
namespace {

// XResQueryClientIds, which names a client's process, came with XRes 1.2.
bool serverReportsClientPids(Display* display) {
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    return XResQueryExtension(display, &eventBase, &errorBase) == True &&
           XResQueryVersion(display, &major, &minor) != 0 &&
           (major > 1 || (major == 1 && minor >= 2));
}

// WM_NAME may be Latin-1 (STRING), UTF-8, or compound text for Xlib to convert.
std::string legacyTitleText(Display* display, XTextProperty& text, Atom utf8Type) {
    std::string raw(reinterpret_cast<const char*>(text.value), text.nitems);
    if (text.encoding == XA_STRING) {
        return latin1ToUtf8(raw);
    }
    if (text.encoding == utf8Type) {
        return raw;
    }
    char** list = nullptr;
    int count = 0;
    if (Xutf8TextPropertyToTextList(display, &text, &list, &count) < Success || list == nullptr) {
        return raw;
    }
    std::string converted = count > 0 ? std::string(list[0]) : std::string();
    XFreeStringList(list);
    return converted;
}

}  // namespace

X11WindowReader::X11WindowReader(X11Connection& connection)
    : connection_(connection),
      display_(connection.display()),
      serverReportsPids_(serverReportsClientPids(connection.display())) {}

std::vector<Window> X11WindowReader::frontToBack() {
    // Both the EWMH stacking list and XQueryTree run bottom to top.
    X11ErrorTrap trap(display_);
    auto windows = rootWindowList("_NET_CLIENT_LIST_STACKING", trap);
    if (!windows) {
        // Mapping order, oldest first: the newest is the likeliest to be in front.
        windows = rootWindowList("_NET_CLIENT_LIST", trap);
    }
    if (!windows) {
        windows = rootChildrenBottomToTop();
    }
    std::reverse(windows->begin(), windows->end());
    return *windows;
}

std::vector<WindowInfo> X11WindowReader::describe(const std::vector<Window>& windows) {
    std::vector<WindowInfo> described;
    described.reserve(windows.size());
    for (const Window window : windows) {
        if (auto info = describe(window)) {
            described.push_back(std::move(*info));
        }
    }
    return described;
}

std::optional<WindowInfo> X11WindowReader::describe(Window window) {
    X11ErrorTrap trap(display_);
    auto title = titleOf(window, trap);
    if (!title) {
        return std::nullopt;
    }
    std::int64_t pid = serverKnownPidOf(window, trap);
    if (pid <= 0) {
        const auto announced = announcedPidOf(window, trap);
        if (!announced) {
            return std::nullopt;
        }
        pid = *announced;
    }
    return WindowInfo{window, pid, std::move(*title)};
}

std::optional<std::string> X11WindowReader::titleOf(Window window, X11ErrorTrap& trap) {
    const Atom utf8Type = connection_.atom("UTF8_STRING");
    const X11WindowProperty netName(display_, window, connection_.atom("_NET_WM_NAME"), utf8Type);
    if (trap.takeError() != 0) {
        return std::nullopt;
    }
    if (netName.found()) {
        return netName.bytes();
    }
    XTextProperty text{};
    const Status read = XGetWMName(display_, window, &text);
    if (trap.takeError() != 0) {
        return std::nullopt;
    }
    if (read == 0 || text.value == nullptr) {
        return std::string();
    }
    std::string title = legacyTitleText(display_, text, utf8Type);
    XFree(text.value);
    return title;
}

std::int64_t X11WindowReader::serverKnownPidOf(Window window, X11ErrorTrap& trap) {
    if (!serverReportsPids_) {
        return 0;
    }
    XResClientIdSpec spec{window, XRES_CLIENT_ID_PID_MASK};
    long count = 0;
    XResClientIdValue* ids = nullptr;
    const Status status = XResQueryClientIds(display_, 1, &spec, &count, &ids);
    std::int64_t pid = 0;
    if (status == Success && trap.takeError() == 0) {
        for (long index = 0; index < count && pid <= 0; ++index) {
            pid = XResGetClientPid(&ids[index]);
        }
    }
    XResClientIdsDestroy(count, ids);
    return pid > 0 ? pid : 0;
}

std::optional<std::int64_t> X11WindowReader::announcedPidOf(Window window, X11ErrorTrap& trap) {
    // Set by the client itself, so it may lie; only used when the server cannot tell.
    const X11WindowProperty pid(display_, window, connection_.atom("_NET_WM_PID"), XA_CARDINAL);
    if (trap.takeError() != 0) {
        return std::nullopt;
    }
    const auto values = pid.longs();
    return values.empty() ? 0 : static_cast<std::int64_t>(values.front() & 0xFFFFFFFFUL);
}

std::optional<std::vector<Window>> X11WindowReader::rootWindowList(const char* property,
                                                                   X11ErrorTrap& trap) {
    const X11WindowProperty list(display_, connection_.rootWindow(), connection_.atom(property),
                                 XA_WINDOW);
    if (trap.takeError() != 0 || !list.found()) {
        return std::nullopt;
    }
    const auto values = list.longs();
    return std::vector<Window>(values.begin(), values.end());
}

std::vector<Window> X11WindowReader::rootChildrenBottomToTop() {
    X11ErrorTrap trap(display_);
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    std::vector<Window> windows;
    if (XQueryTree(display_, connection_.rootWindow(), &root, &parent, &children, &count) != 0) {
        windows.assign(children, children + count);
    }
    if (children != nullptr) {
        XFree(children);
    }
    return windows;
}

}  // namespace sortwell::platform::x11
