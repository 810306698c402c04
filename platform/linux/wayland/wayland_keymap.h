#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/keyboard.h"

struct xkb_context;
struct xkb_keymap;

namespace sortwell::platform::wayland {

// A key of the keymap and the modifiers that bring out the wanted symbol on it.
struct KeyStroke {
    std::uint32_t keycode = 0;    // XKB keycode: the evdev code plus 8
    std::uint32_t modifiers = 0;  // real modifier mask for the modifiers request
    bool operator==(const KeyStroke&) const = default;
};

// An XKB keymap as a virtual keyboard uploads it, with the lookups typing needs.
class WaylandKeymap {
public:
    // The layout the XKB_DEFAULT_* variables name, US otherwise. Null with `error` set.
    static std::unique_ptr<WaylandKeymap> fromEnvironment(std::string& error);
    static std::unique_ptr<WaylandKeymap> fromText(const std::string& text, std::string& error);
    ~WaylandKeymap();
    WaylandKeymap(const WaylandKeymap&) = delete;
    WaylandKeymap& operator=(const WaylandKeymap&) = delete;

    const std::string& text() const { return text_; }

    std::optional<KeyStroke> strokeFor(char32_t character) const;
    std::optional<KeyStroke> strokeFor(NamedKey key) const;
    // The modifier that holding `key` adds; 0 for keys that are not modifiers.
    std::uint32_t modifierOf(NamedKey key) const;
    ShiftState shiftStateOf(char32_t character) const;

    // Which of `characters` and `keys` this keymap has no key for, each once.
    std::vector<std::uint32_t> missingKeysyms(const std::vector<char32_t>& characters,
                                              const std::vector<NamedKey>& keys) const;
    // How many keys carry nothing and can take a symbol for a text.
    std::size_t spareKeyCount() const { return spareKeycodes().size(); }
    // This keymap's text with `keysyms` put on keys that carry nothing, at most as many as
    // there are such keys; `placed` says how many fitted.
    std::string textWithExtraKeys(const std::vector<std::uint32_t>& keysyms,
                                  std::size_t& placed) const;

private:
    WaylandKeymap(xkb_context* context, xkb_keymap* keymap);
    std::optional<KeyStroke> strokeForKeysym(std::uint32_t keysym) const;
    std::uint32_t modifierMask(const char* name) const;
    std::vector<std::uint32_t> spareKeycodes() const;

    xkb_context* context_;
    xkb_keymap* keymap_;
    std::string text_;
};

}  // namespace sortwell::platform::wayland
