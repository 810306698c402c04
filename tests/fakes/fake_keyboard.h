#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/keyboard.h"

namespace sortwell::test {

// A keyboard whose layout a test sets character by character (0, no modifier, for the
// rest); records every event sent.
class FakeKeyboard : public platform::Keyboard {
public:
    std::map<char32_t, platform::ShiftState> shiftStates;
    std::vector<platform::KeyEvent> sent;
    std::string refuseWith;  // non-empty: send fails with this reason and records nothing
    bool available = true;

    bool isAvailable() override { return available; }

    platform::ShiftState shiftStateOf(char32_t character) override {
        const auto it = shiftStates.find(character);
        return it == shiftStates.end() ? 0 : it->second;
    }

    std::string send(const std::vector<platform::KeyEvent>& events) override {
        if (!refuseWith.empty()) {
            return refuseWith;
        }
        sent.insert(sent.end(), events.begin(), events.end());
        return {};
    }
};

}  // namespace sortwell::test
