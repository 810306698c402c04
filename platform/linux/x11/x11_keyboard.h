#pragma once

#include <memory>
#include <string>

#include "platform/keyboard.h"
#include "platform/linux/x11/x11_connection.h"

namespace sortwell::platform::x11 {

class X11Keymap;

// Synthesised keys through the XTEST extension, looked up in the XKB keymap.
class X11Keyboard : public Keyboard {
public:
    explicit X11Keyboard(std::shared_ptr<X11Connection> connection);
    ~X11Keyboard() override;
    X11Keyboard(const X11Keyboard&) = delete;
    X11Keyboard& operator=(const X11Keyboard&) = delete;

    bool isAvailable() override;
    // Why keys cannot be sent; empty text when they can.
    const std::string& unavailableReason() const { return reason_; }

    ShiftState shiftStateOf(char32_t character) override;
    std::string send(const std::vector<KeyEvent>& events) override;

private:
    std::string checkExtensions();
    // The keymap as it is now; read again after the layout or the group changed.
    const X11Keymap* currentKeymap();
    bool keymapChanged();

    std::shared_ptr<X11Connection> connection_;
    std::string reason_;
    int xkbEventType_ = 0;
    std::unique_ptr<X11Keymap> keymap_;
};

}  // namespace sortwell::platform::x11
