#pragma once

#include <X11/Xlib.h>

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/keyboard.h"
#include "platform/linux/x11/x11_error_trap.h"
#include "platform/linux/x11/x11_keymap.h"

namespace sortwell::platform::x11 {

// The key strokes of one send: presses keys through XTest, adds or lifts the modifiers a
// character's level needs, binds characters without a key to spare keycodes, and remembers
// everything it holds so that finish() leaves no key down and no binding behind.
class X11KeyStrokes {
public:
    X11KeyStrokes(Display* display, const X11Keymap& keymap);
    ~X11KeyStrokes();
    X11KeyStrokes(const X11KeyStrokes&) = delete;
    X11KeyStrokes& operator=(const X11KeyStrokes&) = delete;

    // Empty text when the event was sent, else the reason.
    std::string apply(const KeyEvent& event);

    // Releases every key still held and unbinds the spare keycodes; the first failure's reason.
    std::string finish();

private:
    struct CharacterStroke {
        KeyCode key = 0;
        std::vector<KeyCode> added;   // modifiers pressed for this character
        std::vector<KeyCode> lifted;  // modifiers released for it, pressed again afterwards
    };

    std::string pressNamed(NamedKey key);
    std::string releaseNamed(NamedKey key);
    std::string pressCharacter(char32_t character);
    std::string releaseCharacter(char32_t character);

    std::string strokeFor(char32_t character, CharacterStroke& stroke);
    std::string adjustModifier(bool needed, KeySym modifier, CharacterStroke& stroke);
    std::string bindSpareKey(char32_t character, KeyCode& keycode);
    std::string unbindSpareKeys();

    std::string fake(KeyCode keycode, bool press);
    bool isHeld(KeyCode keycode) const;

    Display* display_;
    const X11Keymap& keymap_;
    X11ErrorTrap trap_;
    std::vector<KeyCode> held_;
    std::unordered_map<char32_t, CharacterStroke> strokes_;
    std::unordered_map<char32_t, KeyCode> spareBindings_;
    std::size_t nextSpare_ = 0;
    bool finished_ = false;
};

}  // namespace sortwell::platform::x11
