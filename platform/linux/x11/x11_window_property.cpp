#include "platform/linux/x11/x11_window_property.h"

namespace sortwell::platform::x11 {
namespace {

// Far more than any title or window list; in 32-bit units, as the protocol counts.
constexpr long kLongestProperty = 1L << 20;

}  // namespace

X11WindowProperty::X11WindowProperty(Display* display, Window window, Atom property, Atom type) {
    unsigned long bytesAfter = 0;
    const int status =
        XGetWindowProperty(display, window, property, 0, kLongestProperty, False, type,
                           &actualType_, &format_, &count_, &bytesAfter, &data_);
    if (status != Success) {
        data_ = nullptr;
        actualType_ = None;
    } else if (type != AnyPropertyType && actualType_ != type && data_ != nullptr) {
        XFree(data_);  // a property of another type than asked carries no value here
        data_ = nullptr;
    }
}

X11WindowProperty::~X11WindowProperty() {
    if (data_ != nullptr) {
        XFree(data_);
    }
}

std::string X11WindowProperty::bytes() const {
    if (!found() || format_ != 8) {
        return {};
    }
    return {reinterpret_cast<const char*>(data_), count_};
}

std::vector<unsigned long> X11WindowProperty::longs() const {
    if (!found() || format_ != 32) {
        return {};
    }
    // Xlib hands format-32 items over as longs, whatever the size of a long.
    const auto* items = reinterpret_cast<const unsigned long*>(data_);
    return {items, items + count_};
}

std::string latin1ToUtf8(std::string_view latin1) {
    std::string utf8;
    utf8.reserve(latin1.size());
    for (const char byte : latin1) {
        const auto code = static_cast<unsigned char>(byte);
        if (code < 0x80) {
            utf8.push_back(byte);
        } else {
            utf8.push_back(static_cast<char>(0xC0 | (code >> 6)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return utf8;
}

}  // namespace sortwell::platform::x11
