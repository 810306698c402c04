#include "platform/linux/x11/x11_keyboard.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include "platform/linux/x11/x11_key_strokes.h"
#include "platform/linux/x11/x11_keymap.h"

namespace sortwell::platform::x11 {

X11Keyboard::X11Keyboard(std::shared_ptr<X11Connection> connection)
    : connection_(std::move(connection)) {
    if (!connection_) {
        reason_ = "No X11 connection was set up.";
    } else if (!connection_->isOpen()) {
        reason_ = connection_->unavailableReason();
    } else {
        reason_ = checkExtensions();
    }
}

X11Keyboard::~X11Keyboard() = default;

bool X11Keyboard::isAvailable() {
    return reason_.empty();
}

ShiftState X11Keyboard::shiftStateOf(char32_t character) {
    const X11Keymap* keymap = isAvailable() ? currentKeymap() : nullptr;
    if (keymap == nullptr) {
        return -1;
    }
    const auto position = keymap->find(character);
    return position ? x11::shiftStateOf(*position) : -1;
}

std::string X11Keyboard::send(const std::vector<KeyEvent>& events) {
    if (!isAvailable()) {
        return reason_;
    }
    const X11Keymap* keymap = currentKeymap();
    if (keymap == nullptr) {
        return "The keyboard layout cannot be read from the X server.";
    }
    X11KeyStrokes strokes(connection_->display(), *keymap);
    for (const KeyEvent& event : events) {
        if (std::string failure = strokes.apply(event); !failure.empty()) {
            strokes.finish();  // the keys come up; the first failure is what the caller hears
            return failure;
        }
    }
    return strokes.finish();
}

std::string X11Keyboard::checkExtensions() {
    Display* display = connection_->display();
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor) == False) {
        return "The X server has no XTEST extension, so keys cannot be typed into other programs.";
    }
    int opcode = 0;
    major = XkbMajorVersion;
    minor = XkbMinorVersion;
    if (XkbQueryExtension(display, &opcode, &xkbEventType_, &errorBase, &major, &minor) == False) {
        return "The X server has no XKEYBOARD extension, so the keyboard layout cannot be read.";
    }
    // Told about layout and group changes, the table is read again only when it went stale.
    XkbSelectEvents(display, XkbUseCoreKbd, XkbNewKeyboardNotifyMask | XkbMapNotifyMask,
                    XkbNewKeyboardNotifyMask | XkbMapNotifyMask);
    XkbSelectEventDetails(display, XkbUseCoreKbd, XkbStateNotify, XkbGroupStateMask,
                          XkbGroupStateMask);
    return {};
}

const X11Keymap* X11Keyboard::currentKeymap() {
    const bool changed = keymapChanged();
    if (!keymap_ || changed) {
        auto fresh = X11Keymap::read(connection_->display());
        keymap_ = fresh ? std::make_unique<X11Keymap>(std::move(*fresh)) : nullptr;
    }
    return keymap_.get();
}

bool X11Keyboard::keymapChanged() {
    Display* display = connection_->display();
    bool changed = false;
    XEvent event;
    while (XCheckTypedEvent(display, xkbEventType_, &event) == True) {
        changed = true;
    }
    while (XCheckTypedEvent(display, MappingNotify, &event) == True) {
        changed = true;
    }
    return changed;
}

}  // namespace sortwell::platform::x11
