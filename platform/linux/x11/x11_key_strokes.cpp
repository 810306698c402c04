#include "platform/linux/x11/x11_key_strokes.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/linux/named_keysym.h"

namespace sortwell::platform::x11 {
namespace {

// The focused program reads the new binding when it handles the mapping notice that comes
// before the key event. Unbinding before it got there would make it read the old, empty key,
// so the binding stays a moment longer than the last key event.
constexpr std::chrono::milliseconds kSpareBindingSettle{100};

std::string nameOf(KeySym keysym) {
    const char* name = XKeysymToString(keysym);
    return name == nullptr ? "an unnamed key" : name;
}

std::string codePointText(char32_t character) {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "U+%04X", static_cast<unsigned>(character));
    return text.data();
}

}  // namespace

X11KeyStrokes::X11KeyStrokes(Display* display, const X11Keymap& keymap)
    : display_(display), keymap_(keymap), trap_(display) {}

X11KeyStrokes::~X11KeyStrokes() {
    if (!finished_) {
        finish();  // only reached when unwinding; the keys must come up all the same
    }
}

std::string X11KeyStrokes::apply(const KeyEvent& event) {
    const bool press = event.action == KeyEvent::Action::Press;
    if (const auto* named = std::get_if<NamedKey>(&event.key)) {
        return press ? pressNamed(*named) : releaseNamed(*named);
    }
    const char32_t character = std::get<char32_t>(event.key);
    return press ? pressCharacter(character) : releaseCharacter(character);
}

std::string X11KeyStrokes::finish() {
    finished_ = true;
    std::string firstFailure;
    const std::vector<KeyCode> stillHeld(held_.rbegin(), held_.rend());
    for (const KeyCode keycode : stillHeld) {
        std::string failure = fake(keycode, false);
        if (firstFailure.empty()) {
            firstFailure = std::move(failure);
        }
    }
    strokes_.clear();
    std::string unbound = unbindSpareKeys();
    return firstFailure.empty() ? unbound : firstFailure;
}

std::string X11KeyStrokes::pressNamed(NamedKey key) {
    const KeySym keysym = linux_host::NamedKeysym(key);
    const auto keycode = keymap_.keycodeFor(keysym);
    if (!keycode) {
        return "The keyboard layout has no key for " + nameOf(keysym) + ".";
    }
    return fake(*keycode, true);
}

std::string X11KeyStrokes::releaseNamed(NamedKey key) {
    const auto keycode = keymap_.keycodeFor(linux_host::NamedKeysym(key));
    if (!keycode || !isHeld(*keycode)) {
        return {};  // nothing of ours is down
    }
    return fake(*keycode, false);
}

std::string X11KeyStrokes::pressCharacter(char32_t character) {
    if (strokes_.contains(character)) {
        if (std::string failure = releaseCharacter(character); !failure.empty()) {
            return failure;
        }
    }
    CharacterStroke& stroke = strokes_[character];
    if (std::string failure = strokeFor(character, stroke); !failure.empty()) {
        return failure;
    }
    return fake(stroke.key, true);
}

std::string X11KeyStrokes::releaseCharacter(char32_t character) {
    const auto found = strokes_.find(character);
    if (found == strokes_.end()) {
        return {};  // nothing of ours is down
    }
    const CharacterStroke stroke = found->second;
    strokes_.erase(found);
    std::string failure = fake(stroke.key, false);
    for (auto modifier = stroke.added.rbegin(); failure.empty() && modifier != stroke.added.rend();
         ++modifier) {
        failure = fake(*modifier, false);
    }
    for (auto modifier = stroke.lifted.begin(); failure.empty() && modifier != stroke.lifted.end();
         ++modifier) {
        failure = fake(*modifier, true);
    }
    return failure;
}

std::string X11KeyStrokes::strokeFor(char32_t character, CharacterStroke& stroke) {
    const auto position = keymap_.find(character);
    if (!position) {
        // Both levels of a spare key carry the character, so held modifiers do not matter.
        return bindSpareKey(character, stroke.key);
    }
    stroke.key = position->keycode;
    if (std::string failure = adjustModifier(position->shift, XK_Shift_L, stroke);
        !failure.empty()) {
        return failure;
    }
    return adjustModifier(position->level3, XK_ISO_Level3_Shift, stroke);
}

std::string X11KeyStrokes::adjustModifier(bool needed, KeySym modifier, CharacterStroke& stroke) {
    const auto keycode = keymap_.keycodeFor(modifier);
    if (!keycode) {
        return needed ? "The keyboard layout has no key for " + nameOf(modifier) + "." : "";
    }
    if (needed && !isHeld(*keycode)) {
        stroke.added.push_back(*keycode);
        return fake(*keycode, true);
    }
    if (!needed && isHeld(*keycode)) {
        // A modifier held by the script would move the character to another level.
        stroke.lifted.push_back(*keycode);
        return fake(*keycode, false);
    }
    return {};
}

std::string X11KeyStrokes::bindSpareKey(char32_t character, KeyCode& keycode) {
    if (const auto bound = spareBindings_.find(character); bound != spareBindings_.end()) {
        keycode = bound->second;
        return {};
    }
    const KeySym keysym = keysymForCharacter(character);
    const auto& spares = keymap_.unusedKeycodes();
    if (keysym == NoSymbol) {
        return "No key can type the character " + codePointText(character) + ".";
    }
    if (spares.empty()) {
        return "The keyboard has no free keycode to type the character " +
               codePointText(character) + ".";
    }
    if (nextSpare_ == spares.size()) {
        if (std::string failure = unbindSpareKeys(); !failure.empty()) {
            return failure;
        }
    }
    keycode = spares[nextSpare_++];
    std::array<KeySym, 2> levels = {keysym, keysym};
    XChangeKeyboardMapping(display_, keycode, static_cast<int>(levels.size()), levels.data(), 1);
    spareBindings_.emplace(character, keycode);
    if (const int error = trap_.syncAndTakeError(); error != 0) {
        return "The X server refused to bind a key for the character " + codePointText(character) +
               ": " + trap_.describe(error);
    }
    return {};
}

std::string X11KeyStrokes::unbindSpareKeys() {
    if (spareBindings_.empty()) {
        return {};
    }
    std::this_thread::sleep_for(kSpareBindingSettle);
    for (const auto& [character, keycode] : spareBindings_) {
        KeySym empty = NoSymbol;
        XChangeKeyboardMapping(display_, keycode, 1, &empty, 1);
    }
    spareBindings_.clear();
    nextSpare_ = 0;
    if (const int error = trap_.syncAndTakeError(); error != 0) {
        return "The X server refused to give a spare key its empty binding back: " +
               trap_.describe(error);
    }
    return {};
}

std::string X11KeyStrokes::fake(KeyCode keycode, bool press) {
    XTestFakeKeyEvent(display_, keycode, press ? True : False, CurrentTime);
    XSync(display_, False);
    if (press) {
        if (!isHeld(keycode)) {
            held_.push_back(keycode);
        }
    } else {
        held_.erase(std::remove(held_.begin(), held_.end(), keycode), held_.end());
    }
    if (const int error = trap_.takeError(); error != 0) {
        return "The X server refused a key event: " + trap_.describe(error);
    }
    return {};
}

bool X11KeyStrokes::isHeld(KeyCode keycode) const {
    return std::find(held_.begin(), held_.end(), keycode) != held_.end();
}

}  // namespace sortwell::platform::x11
