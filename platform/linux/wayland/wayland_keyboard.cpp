#include "platform/linux/wayland/wayland_keyboard.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "platform/unique_fd.h"
#include "virtual-keyboard-unstable-v1-client-protocol.h"

namespace sortwell::platform::wayland {
namespace {

constexpr int kNewKeyboardSettleMs = 150;
// An X client behind XWayland reads a changed keymap back from the X server only after it
// hears of the change: keys sent sooner are read in the keymap before.
constexpr int kKeymapSettleMs = 100;

std::uint32_t nowMs() {
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

void collectKeys(std::span<const KeyEvent> events, std::vector<char32_t>& characters,
                 std::vector<NamedKey>& keys) {
    for (const KeyEvent& event : events) {
        if (const auto* character = std::get_if<char32_t>(&event.key)) {
            characters.push_back(*character);
        } else {
            keys.push_back(std::get<NamedKey>(event.key));
        }
    }
}

std::vector<std::uint32_t> missingFrom(const WaylandKeymap& keymap,
                                       std::span<const KeyEvent> events) {
    std::vector<char32_t> characters;
    std::vector<NamedKey> keys;
    collectKeys(events, characters, keys);
    return keymap.missingKeysyms(characters, keys);
}

std::string codePointText(char32_t character) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(character));
    return text;
}

}  // namespace

WaylandKeyboard::WaylandKeyboard(std::shared_ptr<WaylandConnection> connection)
    : connection_(std::move(connection)) {
    if (!connection_->offersWindowProtocols()) {
        reason_ = connection_->unavailableReason().empty()
                      ? "The Wayland compositor offers no virtual keyboard."
                      : connection_->unavailableReason();
        return;
    }
    layout_ = WaylandKeymap::fromEnvironment(reason_);
}

// Made on the first keys, so that a program that never types adds no keyboard to the seat.
// A seat that had no keyboard before gains one now, and the focused window binds it only
// after hearing so: keys sent before then would be lost.
std::string WaylandKeyboard::ensureKeyboard() {
    if (keyboard_ != nullptr) {
        return {};
    }
    keyboard_ = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(
        connection_->keyboardManager(), connection_->seat());
    if (std::string error = upload(layout_->text()); !error.empty()) {
        return error;
    }
    return connection_->settle(kNewKeyboardSettleMs) ? std::string()
                                                     : connection_->unavailableReason();
}

WaylandKeyboard::~WaylandKeyboard() {
    if (keyboard_ != nullptr) {
        zwp_virtual_keyboard_v1_destroy(keyboard_);
        connection_->flush();
    }
}

bool WaylandKeyboard::isAvailable() {
    return unavailableReason().empty();
}

std::string WaylandKeyboard::unavailableReason() const {
    if (!reason_.empty()) {
        return reason_;
    }
    return connection_->unavailableReason();
}

ShiftState WaylandKeyboard::shiftStateOf(char32_t character) {
    return layout_ ? layout_->shiftStateOf(character) : -1;
}

std::string WaylandKeyboard::send(const std::vector<KeyEvent>& events) {
    if (!isAvailable()) {
        return unavailableReason();
    }
    std::span<const KeyEvent> rest(events);
    std::string error = ensureKeyboard();
    while (!rest.empty() && error.empty()) {
        const std::size_t length = lengthOfPartThatFits(rest);
        error = sendPart(rest.first(length));
        rest = rest.subspan(length);
    }
    releaseEverything();
    if (!connection_->sync() && error.empty()) {
        error = connection_->unavailableReason();
    }
    return error;
}

// The longest start of `events` whose missing characters all fit on the layout's empty keys;
// at least one event, so that a text always moves on.
std::size_t WaylandKeyboard::lengthOfPartThatFits(std::span<const KeyEvent> events) const {
    const std::size_t room = layout_->spareKeyCount();
    std::size_t length = 1;
    while (length < events.size() &&
           missingFrom(*layout_, events.first(length + 1)).size() <= room) {
        ++length;
    }
    return length;
}

std::string WaylandKeyboard::sendPart(std::span<const KeyEvent> events) {
    const std::vector<std::uint32_t> missing = missingFrom(*layout_, events);
    std::unique_ptr<WaylandKeymap> textKeymap;
    if (!missing.empty()) {
        std::size_t placed = 0;
        std::string error;
        textKeymap = WaylandKeymap::fromText(layout_->textWithExtraKeys(missing, placed), error);
        if (!textKeymap) {
            return "Cannot make a keymap for the text: " + error;
        }
        if (error = upload(textKeymap->text()); !error.empty()) {
            return error;
        }
        connection_->settle(kKeymapSettleMs);
    }
    const WaylandKeymap& keymap = textKeymap ? *textKeymap : *layout_;
    std::string error;
    for (const KeyEvent& event : events) {
        if (event.action == KeyEvent::Action::Press) {
            error = press(event, keymap);
        } else {
            release(event, keymap);
        }
        if (!error.empty()) {
            break;
        }
    }
    if (textKeymap) {
        releaseEverything();
        connection_->settle(kKeymapSettleMs);
        const std::string restored = upload(layout_->text());
        return error.empty() ? restored : error;
    }
    return error;
}

std::string WaylandKeyboard::upload(const std::string& keymapText) {
    UniqueFd file(memfd_create("sortwell-keymap", MFD_CLOEXEC));
    if (!file.valid()) {
        return std::string("Cannot make room for the keymap: ") + std::strerror(errno);
    }
    const std::size_t size = keymapText.size() + 1;  // the compositor wants the final NUL
    if (write(file.get(), keymapText.c_str(), size) != static_cast<ssize_t>(size)) {
        return std::string("Cannot write the keymap: ") + std::strerror(errno);
    }
    zwp_virtual_keyboard_v1_keymap(keyboard_, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, file.get(),
                                   static_cast<std::uint32_t>(size));
    // The request took its own copy of the descriptor; ours closes here.
    return connection_->flush() ? std::string() : connection_->unavailableReason();
}

std::string WaylandKeyboard::press(const KeyEvent& event, const WaylandKeymap& keymap) {
    if (const auto* key = std::get_if<NamedKey>(&event.key)) {
        const auto stroke = keymap.strokeFor(*key);
        if (!stroke) {
            return "The keymap has no key for a named key.";
        }
        sendKey(stroke->keycode, true);
        heldModifiers_ |= keymap.modifierOf(*key);
        sendModifiers(heldModifiers_);
        held_.push_back({event.key, stroke->keycode});
        return {};
    }
    const char32_t character = std::get<char32_t>(event.key);
    const auto stroke = keymap.strokeFor(character);
    if (!stroke) {
        return "No key can type the character " + codePointText(character) + ".";
    }
    // The character decides Shift and AltGr itself; a held Control still applies.
    const std::uint32_t control = heldModifiers_ & keymap.modifierOf(NamedKey::Control);
    sendModifiers(stroke->modifiers | control);
    sendKey(stroke->keycode, true);
    held_.push_back({event.key, stroke->keycode});
    return {};
}

void WaylandKeyboard::release(const KeyEvent& event, const WaylandKeymap& keymap) {
    const auto found = std::find_if(held_.begin(), held_.end(),
                                    [&](const HeldKey& held) { return held.key == event.key; });
    if (found == held_.end()) {
        return;  // never pressed: nothing is down to let go
    }
    sendKey(found->keycode, false);
    held_.erase(found);
    if (const auto* key = std::get_if<NamedKey>(&event.key)) {
        heldModifiers_ &= ~keymap.modifierOf(*key);
    }
    sendModifiers(heldModifiers_);
}

void WaylandKeyboard::releaseEverything() {
    for (auto held = held_.rbegin(); held != held_.rend(); ++held) {
        sendKey(held->keycode, false);
    }
    held_.clear();
    heldModifiers_ = 0;
    sendModifiers(0);
    connection_->flush();
}

void WaylandKeyboard::sendKey(std::uint32_t keycode, bool down) {
    // The protocol carries evdev codes, which XKB numbers 8 higher.
    zwp_virtual_keyboard_v1_key(
        keyboard_, nowMs(), keycode - 8,
        down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
}

void WaylandKeyboard::sendModifiers(std::uint32_t mask) {
    zwp_virtual_keyboard_v1_modifiers(keyboard_, mask, 0, 0, 0);
}

}  // namespace sortwell::platform::wayland
