#pragma once

#include <string>
#include <string_view>

namespace sortwell::config {

// The SHA-256 digest of `data` in lower-case hexadecimal (64 characters).
std::string Sha256Hex(std::string_view data);

}  // namespace sortwell::config
