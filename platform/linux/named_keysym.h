#pragma once

#include <xkbcommon/xkbcommon-keysyms.h>

#include <cstdint>

#include "platform/keyboard.h"

namespace sortwell::platform::linux_host {

// The keysym that a named key sends; X11 and XKB number keysyms alike.
constexpr std::uint32_t NamedKeysym(NamedKey key) {
    switch (key) {
        case NamedKey::Enter:
            return XKB_KEY_Return;
        case NamedKey::Tab:
            return XKB_KEY_Tab;
        case NamedKey::Escape:
            return XKB_KEY_Escape;
        case NamedKey::Space:
            return XKB_KEY_space;
        case NamedKey::Shift:
            return XKB_KEY_Shift_L;
        case NamedKey::Control:
            return XKB_KEY_Control_L;
        case NamedKey::AltGr:
            return XKB_KEY_ISO_Level3_Shift;
    }
    return XKB_KEY_NoSymbol;
}

}  // namespace sortwell::platform::linux_host
