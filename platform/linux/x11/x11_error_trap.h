#pragma once

#include <X11/Xlib.h>

#include <string>

namespace sortwell::platform::x11 {

// Catches the X errors of one display for its lifetime. Xlib's default handler ends the
// program, and a window may vanish between two requests at any time, so every request about
// another program's window runs inside a trap. Traps nest; errors of other displays go on to
// the handler that was installed before.
class X11ErrorTrap {
public:
    explicit X11ErrorTrap(Display* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // The first error code seen since the last take, 0 for none. Requests with a reply have
    // had their error delivered by the time they return, so no round trip is needed for them.
    int takeError();

    // Waits until the server has handled every request sent so far, then takes the error.
    int syncAndTakeError();

    std::string describe(int errorCode) const;

private:
    void settle();
    static int handleError(Display* display, XErrorEvent* event);

    Display* display_;
    X11ErrorTrap* outer_;
    XErrorHandler previousHandler_ = nullptr;
    int firstError_ = 0;
};

}  // namespace sortwell::platform::x11
