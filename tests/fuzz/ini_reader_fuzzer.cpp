// Any bytes read as an INI file: no crash, and what was read is written and read back alike.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "components/qdreg.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TQDReg reg(sortwell::platform::NativeHost());
    reg.AddIniText(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!reg.IniUnsafeEntry().empty()) {
        return 0;
    }
    const std::string text = reg.IniText();
    TQDReg again(sortwell::platform::NativeHost());
    again.AddIniText(text);
    // Folders are grouped on writing, so compare the written texts rather than the orders.
    if (again.IniText() != text) {
        std::abort();
    }
    return 0;
}
