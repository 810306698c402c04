#pragma once

#include <X11/Xlib.h>

#include <string>

namespace sortwell::test {

// The test's own connection to the display, to look at what the code under test did and to
// make plain windows with chosen properties.
class XProbe {
public:
    XProbe();
    ~XProbe();
    XProbe(const XProbe&) = delete;
    XProbe& operator=(const XProbe&) = delete;

    bool isOpen() const { return display_ != nullptr; }
    Display* display() const { return display_; }

    // The window named by the root's _NET_ACTIVE_WINDOW, 0 when there is none.
    Window activeWindow();

    // A top-level window with a UTF-8 _NET_WM_NAME (when not empty) and a Latin-1 WM_NAME
    // (when not empty), mapped so that the window manager lists it.
    Window createWindow(const std::string& utf8Name, const std::string& latin1Name);
    void destroyWindow(Window window);

    // Whether the server holds any key down.
    bool anyKeyDown();

private:
    Display* display_;
};

// Switches the keyboard layout of the test display, and back to "us" at the end.
class ScopedLayout {
public:
    explicit ScopedLayout(const std::string& layout);
    ~ScopedLayout();
    ScopedLayout(const ScopedLayout&) = delete;
    ScopedLayout& operator=(const ScopedLayout&) = delete;

    bool switched() const { return switched_; }

private:
    bool switched_;
};

}  // namespace sortwell::test
