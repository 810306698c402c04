#pragma once

#include <string>
#include <variant>
#include <vector>

namespace sortwell::platform {

// Keys that the automation presses by name.
enum class NamedKey { Enter, Tab, Escape, Space, Shift, Control, AltGr };

// One synthesised key event: a named key, or the key that produces a character (a Unicode
// code point) in the current keyboard layout, at its base level.
struct KeyEvent {
    enum class Action { Press, Release };
    Action action = Action::Press;
    std::variant<NamedKey, char32_t> key;
    bool operator==(const KeyEvent&) const = default;
};

// Which modifiers a character needs in the current layout, in the terms of the planner:
// 0 none, 1 Shift, 2 Control, 6 AltGr, 7 Shift and AltGr, -1 no key produces it.
using ShiftState = int;

// Synthesised keyboard input into whatever window has the focus.
class Keyboard {
public:
    virtual ~Keyboard() = default;

    virtual bool isAvailable() = 0;

    // The modifiers that `character` needs in the current layout.
    virtual ShiftState shiftStateOf(char32_t character) = 0;

    // Sends the events in order. A character pressed without the modifiers it needs, or with
    // no key in the layout, still produces exactly that character. Every key pressed is
    // released by the end. Returns the reason on failure, empty text on success.
    virtual std::string send(const std::vector<KeyEvent>& events) = 0;
};

}  // namespace sortwell::platform
