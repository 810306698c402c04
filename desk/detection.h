#pragma once

#include <cstddef>
#include <string>
#include <unordered_set>
#include <vector>

namespace sortwell::desk {

// The names that were in the input folder at the last baseline. A set, so that each tick
// compares a listing in linear time however many files the folder holds.
class KnownFiles {
public:
    // Forgets every known name and learns every name of `listing`.
    void TakeBaseline(const std::vector<std::string>& listing);

    // True when a known name equals `name` exactly, letter case included.
    bool Contains(const std::string& name) const { return names_.contains(name); }

    std::size_t size() const { return names_.size(); }

private:
    std::unordered_set<std::string> names_;
};

// The first name of `listing`, in listing order, that `known` does not hold; empty when every
// name is known.
std::string FindNewDocument(const std::vector<std::string>& listing, const KnownFiles& known);

// One detection scan over a fresh listing: with `baseline` the listing becomes the known files
// and the current document stays; otherwise the first new name becomes the current document,
// which stays as it was when there is none. Returns the current document afterwards; the
// window presents it when it is not empty.
std::string DetectionDecision(bool baseline, const std::vector<std::string>& listing,
                              KnownFiles& known, const std::string& currentDocument);

// The file name as the desk shows it on one line: line breaks and other control characters
// become the replacement character; the name itself is left as the folder holds it.
std::string ShownName(const std::string& name);

}  // namespace sortwell::desk
