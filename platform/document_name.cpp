#include "platform/document_name.h"

#include <algorithm>

namespace sortwell::platform {

bool EndsInPdf(std::string_view name) {
    constexpr std::string_view kExtension = ".pdf";
    if (name.size() < kExtension.size()) {
        return false;
    }
    const std::string_view end = name.substr(name.size() - kExtension.size());
    return std::equal(end.begin(), end.end(), kExtension.begin(), [](char c, char lower) {
        return (c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) == lower;
    });
}

}  // namespace sortwell::platform
