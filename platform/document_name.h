#pragma once

#include <string_view>

namespace sortwell::platform {

// Whether `name` ends in ".pdf" in any letter case, as every scanned document's name does.
bool EndsInPdf(std::string_view name);

}  // namespace sortwell::platform
