#pragma once

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/keyboard.h"

namespace sortwell::platform::x11 {

// Where a character sits in the layout: its key and the modifiers that select its level.
struct KeyPosition {
    KeyCode keycode = 0;
    bool shift = false;
    bool level3 = false;  // AltGr
};

// The planner's terms for a position: 0 none, 1 Shift, 6 AltGr, 7 Shift and AltGr.
ShiftState shiftStateOf(const KeyPosition& position);

// The keysym that stands for a Unicode character, named where X11 has a name for it.
KeySym keysymForCharacter(char32_t character);

// A table of the current XKB keymap in the active group: character to key and level, keysym
// to key, and the keycodes that no key uses (free to bind for a moment).
class X11Keymap {
public:
    static std::optional<X11Keymap> read(Display* display);

    // The easiest way to type `character`: fewest modifiers, then the lowest keycode.
    std::optional<KeyPosition> find(char32_t character) const;
    // The key that gives `keysym` with no modifier.
    std::optional<KeyCode> keycodeFor(KeySym keysym) const;
    const std::vector<KeyCode>& unusedKeycodes() const { return unused_; }

private:
    void addKey(const XkbDescRec& keyboard, KeyCode keycode, int group, unsigned level3Mask);
    void addCharacter(char32_t character, const KeyPosition& position);

    std::unordered_map<char32_t, KeyPosition> characters_;
    std::unordered_map<KeySym, KeyCode> keys_;
    std::vector<KeyCode> unused_;
};

}  // namespace sortwell::platform::x11
