// Any bytes read as the per-user settings file: no crash, and what parses comes back alike.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/linux/settings_file_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace sortwell::platform::linux_host;
    const auto parsed =
        parseSettingsFile(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!parsed.ok) {
        return 0;
    }
    const auto again = parseSettingsFile(formatSettingsFile(parsed.tree));
    if (!again.ok || !(again.tree == parsed.tree)) {
        std::abort();
    }
    return 0;
}
