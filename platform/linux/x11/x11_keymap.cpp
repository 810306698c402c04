#include "platform/linux/x11/x11_keymap.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>
#include <xkbcommon/xkbcommon.h>

#include <bit>
#include <memory>

namespace sortwell::platform::x11 {
namespace {

struct KeyboardDescFree {
    void operator()(XkbDescPtr keyboard) const {
        XkbFreeKeyboard(keyboard, XkbAllComponentsMask, True);
    }
};
using KeyboardDesc = std::unique_ptr<XkbDescRec, KeyboardDescFree>;

// The modifiers that select `level` of a key of this type, when Shift and AltGr can do it.
std::optional<unsigned> modifiersForLevel(const XkbKeyTypeRec& type, unsigned level,
                                          unsigned allowed) {
    if (level == 0) {
        return 0U;
    }
    std::optional<unsigned> best;
    for (int index = 0; index < type.map_count; ++index) {
        const XkbKTMapEntryRec& entry = type.map[index];
        const unsigned mask = entry.mods.mask;
        if (entry.active == False || entry.level != level || mask == 0 || (mask & ~allowed) != 0) {
            continue;
        }
        if (!best || std::popcount(mask) < std::popcount(*best)) {
            best = mask;
        }
    }
    return best;
}

// The real modifier that the AltGr key sets, 0 when the layout has no such key: characters
// on the AltGr levels then count as having no key.
unsigned level3Modifier(const XkbDescRec& keyboard, int group) {
    for (int keycode = keyboard.min_key_code; keycode <= keyboard.max_key_code; ++keycode) {
        const int groups = XkbKeyNumGroups(&keyboard, keycode);
        if (groups > 0 &&
            XkbKeySymEntry(&keyboard, keycode, 0, group % groups) == XK_ISO_Level3_Shift) {
            return keyboard.map->modmap[keycode];
        }
    }
    return 0;
}

int activeGroup(Display* display) {
    XkbStateRec state{};
    XkbGetState(display, XkbUseCoreKbd, &state);
    return state.group;
}

}  // namespace

ShiftState shiftStateOf(const KeyPosition& position) {
    return (position.shift ? 1 : 0) + (position.level3 ? 6 : 0);
}

KeySym keysymForCharacter(char32_t character) {
    if (character == U'\n') {
        return XK_Return;  // a line break is typed with Enter
    }
    const bool surrogate = character >= 0xD800 && character <= 0xDFFF;
    if (surrogate || character > 0x10FFFF) {
        return NoSymbol;  // halves of UTF-16 pairs and values beyond Unicode are no characters
    }
    return xkb_utf32_to_keysym(character);
}

std::optional<X11Keymap> X11Keymap::read(Display* display) {
    const KeyboardDesc keyboard(XkbGetMap(display, XkbAllClientInfoMask, XkbUseCoreKbd));
    if (!keyboard || keyboard->map == nullptr) {
        return std::nullopt;
    }
    const int group = activeGroup(display);
    const unsigned level3Mask = level3Modifier(*keyboard, group);
    X11Keymap keymap;
    // From the top down, so that spare keycodes are taken far from the real keys.
    for (int keycode = keyboard->max_key_code; keycode >= keyboard->min_key_code; --keycode) {
        keymap.addKey(*keyboard, static_cast<KeyCode>(keycode), group, level3Mask);
    }
    return keymap;
}

std::optional<KeyPosition> X11Keymap::find(char32_t character) const {
    const auto found = characters_.find(character == U'\n' ? U'\r' : character);
    if (found == characters_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<KeyCode> X11Keymap::keycodeFor(KeySym keysym) const {
    const auto found = keys_.find(keysym);
    if (found == keys_.end()) {
        return std::nullopt;
    }
    return found->second;
}

void X11Keymap::addKey(const XkbDescRec& keyboard, KeyCode keycode, int group,
                       unsigned level3Mask) {
    const int groups = XkbKeyNumGroups(&keyboard, keycode);
    if (groups == 0) {
        if (keyboard.map->modmap[keycode] == 0) {
            unused_.push_back(keycode);
        }
        return;
    }
    const int keyGroup = group % groups;
    const XkbKeyTypeRec& type = *XkbKeyKeyType(&keyboard, keycode, keyGroup);
    const unsigned allowed = ShiftMask | level3Mask;
    const int width = XkbKeyGroupWidth(&keyboard, keycode, keyGroup);
    for (int level = 0; level < width; ++level) {
        const KeySym keysym = XkbKeySymEntry(&keyboard, keycode, level, keyGroup);
        if (keysym == NoSymbol) {
            continue;
        }
        if (level == 0) {
            keys_.insert_or_assign(keysym, keycode);  // walking down: the lowest keycode stays
        }
        const char32_t character = xkb_keysym_to_utf32(static_cast<xkb_keysym_t>(keysym));
        const auto modifiers = modifiersForLevel(type, static_cast<unsigned>(level), allowed);
        if (character == 0 || !modifiers) {
            continue;
        }
        addCharacter(character, {keycode, (*modifiers & ShiftMask) != 0,
                                 level3Mask != 0 && (*modifiers & level3Mask) != 0});
    }
}

void X11Keymap::addCharacter(char32_t character, const KeyPosition& position) {
    // Keys arrive from the highest keycode down, so on a tie the lower keycode wins.
    const auto [known, inserted] = characters_.try_emplace(character, position);
    if (!inserted && shiftStateOf(position) <= shiftStateOf(known->second)) {
        known->second = position;
    }
}

}  // namespace sortwell::platform::x11
