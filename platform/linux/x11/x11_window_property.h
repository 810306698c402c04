#pragma once

#include <X11/Xlib.h>

#include <string>
#include <string_view>
#include <vector>

namespace sortwell::platform::x11 {

// One property of a window as XGetWindowProperty returned it, freed with the holder.
// Call it inside an X11ErrorTrap: the window may be gone.
class X11WindowProperty {
public:
    X11WindowProperty(Display* display, Window window, Atom property, Atom type);
    ~X11WindowProperty();
    X11WindowProperty(const X11WindowProperty&) = delete;
    X11WindowProperty& operator=(const X11WindowProperty&) = delete;

    // Present with the asked type (or any type, when AnyPropertyType was asked).
    bool found() const { return data_ != nullptr && actualType_ != None; }
    Atom actualType() const { return actualType_; }

    std::string bytes() const;                 // a format-8 property
    std::vector<unsigned long> longs() const;  // a format-32 property

private:
    unsigned char* data_ = nullptr;
    Atom actualType_ = None;
    int format_ = 0;
    unsigned long count_ = 0;
};

// ISO 8859-1 text, as the STRING type holds it, in UTF-8.
std::string latin1ToUtf8(std::string_view latin1);

}  // namespace sortwell::platform::x11
