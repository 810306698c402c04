#pragma once

#include <cstddef>
#include <string_view>

namespace sortwell {

// The length of the valid UTF-8 sequence at the start of `text`, or 0 when none starts there
// (an empty text, a stray continuation byte, an overlong or cut-off sequence, a surrogate, a
// code point past U+10FFFF).
std::size_t Utf8SequenceLength(std::string_view text);

}  // namespace sortwell
