#include "x11/x_probe.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <array>
#include <cstdlib>

namespace sortwell::test {
namespace {

bool runSetxkbmap(const std::string& layout) {
    const std::string command = "setxkbmap -layout " + layout;
    return std::system(command.c_str()) == 0;
}

}  // namespace

XProbe::XProbe() : display_(XOpenDisplay(nullptr)) {}

XProbe::~XProbe() {
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
}

Window XProbe::activeWindow() {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const Atom property = XInternAtom(display_, "_NET_ACTIVE_WINDOW", False);
    XGetWindowProperty(display_, DefaultRootWindow(display_), property, 0, 1, False, XA_WINDOW,
                       &type, &format, &count, &after, &data);
    Window active = 0;
    if (data != nullptr) {
        if (count == 1 && format == 32) {
            active = *reinterpret_cast<unsigned long*>(data);
        }
        XFree(data);
    }
    return active;
}

Window XProbe::createWindow(const std::string& utf8Name, const std::string& latin1Name) {
    const Window window =
        XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 200, 100, 0, 0, 0);
    if (!utf8Name.empty()) {
        XChangeProperty(display_, window, XInternAtom(display_, "_NET_WM_NAME", False),
                        XInternAtom(display_, "UTF8_STRING", False), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(utf8Name.data()),
                        static_cast<int>(utf8Name.size()));
    }
    if (!latin1Name.empty()) {
        XChangeProperty(display_, window, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(latin1Name.data()),
                        static_cast<int>(latin1Name.size()));
    }
    XMapWindow(display_, window);
    XSync(display_, False);
    return window;
}

void XProbe::destroyWindow(Window window) {
    XDestroyWindow(display_, window);
    XSync(display_, False);
}

bool XProbe::anyKeyDown() {
    std::array<char, 32> keys{};
    XQueryKeymap(display_, keys.data());
    return std::ranges::any_of(keys, [](char byte) { return byte != 0; });
}

ScopedLayout::ScopedLayout(const std::string& layout) : switched_(runSetxkbmap(layout)) {}

ScopedLayout::~ScopedLayout() {
    runSetxkbmap("us");
}

}  // namespace sortwell::test
