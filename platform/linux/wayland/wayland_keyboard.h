#pragma once

#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/keyboard.h"
#include "platform/linux/wayland/wayland_connection.h"
#include "platform/linux/wayland/wayland_keymap.h"

struct zwp_virtual_keyboard_v1;

namespace sortwell::platform::wayland {

// Synthesised keys through a virtual keyboard on the compositor's seat. Characters that the
// layout lacks are put on its empty keys in a keymap made for the text, which is uploaded
// for the typing and replaced by the layout again afterwards.
class WaylandKeyboard : public Keyboard {
public:
    explicit WaylandKeyboard(std::shared_ptr<WaylandConnection> connection);
    ~WaylandKeyboard() override;
    WaylandKeyboard(const WaylandKeyboard&) = delete;
    WaylandKeyboard& operator=(const WaylandKeyboard&) = delete;

    bool isAvailable() override;
    // Why keys cannot be sent; empty text when they can.
    std::string unavailableReason() const;

    ShiftState shiftStateOf(char32_t character) override;
    std::string send(const std::vector<KeyEvent>& events) override;

private:
    struct HeldKey {
        std::variant<NamedKey, char32_t> key;
        std::uint32_t keycode = 0;
    };

    std::string ensureKeyboard();
    std::string sendPart(std::span<const KeyEvent> events);
    std::size_t lengthOfPartThatFits(std::span<const KeyEvent> events) const;
    std::string upload(const std::string& keymapText);
    std::string press(const KeyEvent& event, const WaylandKeymap& keymap);
    void release(const KeyEvent& event, const WaylandKeymap& keymap);
    void releaseEverything();
    void sendKey(std::uint32_t keycode, bool down);
    void sendModifiers(std::uint32_t mask);

    std::shared_ptr<WaylandConnection> connection_;
    std::unique_ptr<WaylandKeymap> layout_;
    zwp_virtual_keyboard_v1* keyboard_ = nullptr;
    std::string reason_;
    std::vector<HeldKey> held_;
    std::uint32_t heldModifiers_ = 0;
};

}  // namespace sortwell::platform::wayland
