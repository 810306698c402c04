#include "config/type_text.h"

#include "platform/utf8.h"

#include <utility>

namespace sortwell::config {

namespace {

using platform::KeyEvent;
using platform::NamedKey;

constexpr platform::ShiftState kShift = 1;
constexpr platform::ShiftState kControl = 2;
constexpr platform::ShiftState kAltGr = 6;

char32_t DecodeSequence(std::string_view sequence) {
    const auto lead = static_cast<unsigned char>(sequence[0]);
    if (sequence.size() == 1) {
        return lead;
    }
    const unsigned leadBits = sequence.size() == 2 ? 0x1FU : (sequence.size() == 3 ? 0x0FU : 0x07U);
    char32_t codePoint = lead & leadBits;
    for (std::size_t i = 1; i < sequence.size(); ++i) {
        codePoint = (codePoint << 6U) | (static_cast<unsigned char>(sequence[i]) & 0x3FU);
    }
    return codePoint;
}

std::vector<char32_t> CodePointsOf(std::string_view text) {
    std::vector<char32_t> codePoints;
    codePoints.reserve(text.size());
    while (!text.empty()) {
        const std::size_t length = Utf8SequenceLength(text);
        if (length == 0) {
            codePoints.push_back(static_cast<unsigned char>(text[0]));
            text.remove_prefix(1);
        } else {
            codePoints.push_back(DecodeSequence(text.substr(0, length)));
            text.remove_prefix(length);
        }
    }
    return codePoints;
}

bool IsOtherHalfOfBreak(char32_t first, char32_t next) {
    return (first == U'\n' && next == U'\r') || (first == U'\r' && next == U'\n');
}

class KeyPlan {
public:
    void Tap(NamedKey key) {
        Press(key);
        Release(key);
    }

    // A character by the general rule: its modifier, its key, then all three modifiers up.
    void TapCharacter(char32_t character, platform::ShiftState state) {
        if (state == kShift) {
            Press(NamedKey::Shift);
        } else if (state == kControl) {
            Press(NamedKey::Control);
        } else if (state == kAltGr) {
            Press(NamedKey::AltGr);
        }
        Press(character);
        Release(character);
        Release(NamedKey::Shift);
        Release(NamedKey::Control);
        Release(NamedKey::AltGr);
    }

    std::vector<KeyEvent> Take() { return std::move(events_); }

private:
    template <typename Key>
    void Press(Key key) {
        events_.push_back({KeyEvent::Action::Press, key});
    }
    template <typename Key>
    void Release(Key key) {
        events_.push_back({KeyEvent::Action::Release, key});
    }

    std::vector<KeyEvent> events_;
};

}  // namespace

std::vector<KeyEvent> TypeText(std::string_view text, const ShiftStateLookup& shiftStateOf,
                               LetterE letterE) {
    const std::vector<char32_t> characters = CodePointsOf(text);
    KeyPlan plan;
    for (std::size_t i = 0; i < characters.size(); ++i) {
        const char32_t character = characters[i];
        if (character == U'\n' || character == U'\r') {
            // One Enter per line break, whichever way round its two characters come.
            plan.Tap(NamedKey::Enter);
            if (i + 1 < characters.size() && IsOtherHalfOfBreak(character, characters[i + 1])) {
                ++i;
            }
        } else if (character == U'\t') {
            plan.Tap(NamedKey::Tab);
        } else if (character == U'e' && letterE == LetterE::PressesEscape) {
            plan.Tap(NamedKey::Escape);
        } else if (character == U' ') {
            plan.Tap(NamedKey::Space);
        } else {
            plan.TapCharacter(character, shiftStateOf(character));
        }
    }
    return plan.Take();
}

std::vector<KeyEvent> TypeText(std::string_view text, platform::Keyboard& keyboard,
                               LetterE letterE) {
    return TypeText(
        text, [&keyboard](char32_t character) { return keyboard.shiftStateOf(character); },
        letterE);
}

}  // namespace sortwell::config
