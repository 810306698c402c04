#include "platform/linux/wayland/wayland_keymap.h"

#include <xkbcommon/xkbcommon-keysyms.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>

#include "platform/linux/named_keysym.h"

namespace sortwell::platform::wayland {
namespace {

// Keycodes above 255 do not fit clients that still think in X11 key codes.
constexpr xkb_keycode_t kLargestPortableKeycode = 255;
constexpr xkb_layout_index_t kFirstLayout = 0;

std::unique_ptr<xkb_context, void (*)(xkb_context*)> newContext() {
    return {xkb_context_new(XKB_CONTEXT_NO_FLAGS), xkb_context_unref};
}

std::string keysymName(std::uint32_t keysym) {
    char name[64];
    if (xkb_keysym_get_name(keysym, name, sizeof name) <= 0) {
        std::snprintf(name, sizeof name, "0x%08x", keysym);
    }
    return name;
}

std::uint32_t keysymOfCharacter(char32_t character) {
    switch (character) {
        case U'\n':
        case U'\r':
            return XKB_KEY_Return;
        case U'\t':
            return XKB_KEY_Tab;
        default:
            return xkb_utf32_to_keysym(character);
    }
}

}  // namespace

std::unique_ptr<WaylandKeymap> WaylandKeymap::fromEnvironment(std::string& error) {
    auto context = newContext();
    if (!context) {
        error = "Cannot start xkbcommon.";
        return nullptr;
    }
    xkb_keymap* keymap =
        xkb_keymap_new_from_names(context.get(), nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (keymap == nullptr) {
        error = "Cannot compile the keyboard layout that XKB_DEFAULT_LAYOUT names.";
        return nullptr;
    }
    return std::unique_ptr<WaylandKeymap>(new WaylandKeymap(context.release(), keymap));
}

std::unique_ptr<WaylandKeymap> WaylandKeymap::fromText(const std::string& text,
                                                       std::string& error) {
    auto context = newContext();
    if (!context) {
        error = "Cannot start xkbcommon.";
        return nullptr;
    }
    xkb_keymap* keymap = xkb_keymap_new_from_string(
        context.get(), text.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (keymap == nullptr) {
        error = "The keymap text does not compile.";
        return nullptr;
    }
    return std::unique_ptr<WaylandKeymap>(new WaylandKeymap(context.release(), keymap));
}

WaylandKeymap::WaylandKeymap(xkb_context* context, xkb_keymap* keymap)
    : context_(context), keymap_(keymap) {
    char* text = xkb_keymap_get_as_string(keymap_, XKB_KEYMAP_FORMAT_TEXT_V1);
    text_ = text;
    std::free(text);
}

WaylandKeymap::~WaylandKeymap() {
    xkb_keymap_unref(keymap_);
    xkb_context_unref(context_);
}

std::optional<KeyStroke> WaylandKeymap::strokeFor(char32_t character) const {
    return strokeForKeysym(keysymOfCharacter(character));
}

std::optional<KeyStroke> WaylandKeymap::strokeFor(NamedKey key) const {
    return strokeForKeysym(linux_host::NamedKeysym(key));
}

// The key and level that need the fewest modifiers win, so that 'a' is not typed as a
// keypad or a Shift-Lock variant.
std::optional<KeyStroke> WaylandKeymap::strokeForKeysym(std::uint32_t keysym) const {
    if (keysym == XKB_KEY_NoSymbol) {
        return std::nullopt;
    }
    std::optional<KeyStroke> best;
    const xkb_keycode_t last = std::min(xkb_keymap_max_keycode(keymap_), kLargestPortableKeycode);
    for (xkb_keycode_t keycode = xkb_keymap_min_keycode(keymap_); keycode <= last; ++keycode) {
        const xkb_level_index_t levels =
            xkb_keymap_num_levels_for_key(keymap_, keycode, kFirstLayout);
        for (xkb_level_index_t level = 0; level < levels; ++level) {
            const xkb_keysym_t* symbols = nullptr;
            const int count =
                xkb_keymap_key_get_syms_by_level(keymap_, keycode, kFirstLayout, level, &symbols);
            if (count != 1 || symbols[0] != keysym) {
                continue;
            }
            xkb_mod_mask_t masks[4];
            if (xkb_keymap_key_get_mods_for_level(keymap_, keycode, kFirstLayout, level, masks,
                                                  4) == 0) {
                continue;
            }
            if (!best || std::popcount(masks[0]) < std::popcount(best->modifiers)) {
                best = KeyStroke{keycode, masks[0]};
            }
        }
    }
    return best;
}

std::uint32_t WaylandKeymap::modifierMask(const char* name) const {
    const xkb_mod_index_t index = xkb_keymap_mod_get_index(keymap_, name);
    return index == XKB_MOD_INVALID ? 0 : 1U << index;
}

std::uint32_t WaylandKeymap::modifierOf(NamedKey key) const {
    switch (key) {
        case NamedKey::Shift:
            return modifierMask(XKB_MOD_NAME_SHIFT);
        case NamedKey::Control:
            return modifierMask(XKB_MOD_NAME_CTRL);
        case NamedKey::AltGr:
            return modifierMask("Mod5");
        default:
            return 0;
    }
}

ShiftState WaylandKeymap::shiftStateOf(char32_t character) const {
    const auto stroke = strokeFor(character);
    if (!stroke) {
        return -1;
    }
    const bool shift = (stroke->modifiers & modifierOf(NamedKey::Shift)) != 0;
    const bool altGr = (stroke->modifiers & modifierOf(NamedKey::AltGr)) != 0;
    const bool control = (stroke->modifiers & modifierOf(NamedKey::Control)) != 0;
    if (altGr) {
        return shift ? 7 : 6;
    }
    if (control) {
        return 2;
    }
    return shift ? 1 : 0;
}

std::vector<std::uint32_t> WaylandKeymap::missingKeysyms(const std::vector<char32_t>& characters,
                                                         const std::vector<NamedKey>& keys) const {
    std::vector<std::uint32_t> wanted;
    for (const char32_t character : characters) {
        wanted.push_back(keysymOfCharacter(character));
    }
    for (const NamedKey key : keys) {
        wanted.push_back(linux_host::NamedKeysym(key));
    }
    std::vector<std::uint32_t> missing;
    for (const std::uint32_t keysym : wanted) {
        if (keysym != XKB_KEY_NoSymbol && !strokeForKeysym(keysym) &&
            std::find(missing.begin(), missing.end(), keysym) == missing.end()) {
            missing.push_back(keysym);
        }
    }
    return missing;
}

std::vector<std::uint32_t> WaylandKeymap::spareKeycodes() const {
    std::vector<std::uint32_t> spare;
    const xkb_keycode_t last = std::min(xkb_keymap_max_keycode(keymap_), kLargestPortableKeycode);
    for (xkb_keycode_t keycode = xkb_keymap_min_keycode(keymap_); keycode <= last; ++keycode) {
        if (xkb_keymap_key_get_name(keymap_, keycode) != nullptr &&
            xkb_keymap_num_layouts_for_key(keymap_, keycode) == 0) {
            spare.push_back(keycode);
        }
    }
    return spare;
}

// The symbols section is the last one: its closing "};" comes just before the keymap's.
std::string WaylandKeymap::textWithExtraKeys(const std::vector<std::uint32_t>& keysyms,
                                             std::size_t& placed) const {
    const std::vector<std::uint32_t> spare = spareKeycodes();
    placed = std::min(spare.size(), keysyms.size());
    std::string keys;
    for (std::size_t i = 0; i < placed; ++i) {
        keys += "\tkey <" + std::string(xkb_keymap_key_get_name(keymap_, spare[i])) + "> { [ " +
                keysymName(keysyms[i]) + " ] };\n";
    }
    const std::size_t keymapEnd = text_.rfind("};");
    const std::size_t symbolsEnd = keymapEnd == std::string::npos || keymapEnd == 0
                                       ? std::string::npos
                                       : text_.rfind("};", keymapEnd - 1);
    if (symbolsEnd == std::string::npos) {
        placed = 0;
        return text_;
    }
    std::string text = text_;
    text.insert(symbolsEnd, keys);
    return text;
}

}  // namespace sortwell::platform::wayland
