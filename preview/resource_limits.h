#pragma once

#include <string>

// Limits the helper puts on itself before it opens a document, so that a hostile file cannot
// take the machine's memory, spin on after the desk gave up, or outlive the desk.
namespace preview {

inline constexpr unsigned long long kAddressSpaceBytes = 1ULL << 30;
// A backstop only: the desk kills the helper after 5 s of wall time.
inline constexpr unsigned long long kCpuSeconds = 10;

// Empty text on success, else what could not be limited.
std::string LimitResources();

}  // namespace preview
