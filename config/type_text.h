#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/keyboard.h"

namespace sortwell::config {

// What a lower-case "e" stands for: the ESC command is planned as the text "e".
enum class LetterE { Typed, PressesEscape };

// The modifiers a character needs in the current keyboard layout.
using ShiftStateLookup = std::function<platform::ShiftState(char32_t)>;

// The key events that type `text` (UTF-8), first character first. A line break (LF, CR, LF CR
// or CR LF) presses Enter once; tab and blank press Tab and Space;
// any other character presses Shift (state 1), Control (2) or AltGr (6) first, then its own
// key, then releases Shift, Control and AltGr. Every key press is followed by its release.
// A byte that starts no valid UTF-8 sequence is taken as the Latin-1 character of that value.
std::vector<platform::KeyEvent> TypeText(std::string_view text,
                                         const ShiftStateLookup& shiftStateOf,
                                         LetterE letterE = LetterE::Typed);

// The same, with the shift states of `keyboard`'s layout.
std::vector<platform::KeyEvent> TypeText(std::string_view text, platform::Keyboard& keyboard,
                                         LetterE letterE = LetterE::Typed);

}  // namespace sortwell::config
