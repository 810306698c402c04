#include "desk/detection.h"

#include <string_view>

namespace sortwell::desk {

void KnownFiles::TakeBaseline(const std::vector<std::string>& listing) {
    names_.clear();
    names_.reserve(listing.size());
    names_.insert(listing.begin(), listing.end());
}

std::string FindNewDocument(const std::vector<std::string>& listing, const KnownFiles& known) {
    for (const std::string& name : listing) {
        if (!known.Contains(name)) {
            return name;
        }
    }
    return {};
}

std::string DetectionDecision(bool baseline, const std::vector<std::string>& listing,
                              KnownFiles& known, const std::string& currentDocument) {
    if (baseline) {
        known.TakeBaseline(listing);
        return currentDocument;
    }
    std::string found = FindNewDocument(listing, known);
    return found.empty() ? currentDocument : found;
}

std::string ShownName(const std::string& name) {
    static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    std::string shown;
    shown.reserve(name.size());
    for (const char byte : name) {
        const auto code = static_cast<unsigned char>(byte);
        if (code < 0x20 || code == 0x7F) {
            shown += kReplacement;
        } else {
            shown += byte;
        }
    }
    return shown;
}

}  // namespace sortwell::desk
