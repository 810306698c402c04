#include "desk/detection.h"

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

}  // namespace sortwell::desk
