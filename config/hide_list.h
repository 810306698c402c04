#pragma once

#include <string>
#include <vector>

namespace sortwell::config {

// One item of the "Visible for:" check list: a name of the NameList, checked when the button
// is shown for that name.
struct NameCheck {
    std::string name;
    bool checked = true;

    bool operator==(const NameCheck&) const = default;
};

// The "Visible for:" check list, in NameList order.
using VisibleForList = std::vector<NameCheck>;

// A hide text written from a check list, and why a name was left out of it.
struct HideText {
    // The unchecked names that a hide text can hold, in list order, joined by ",".
    std::string hide;
    // Empty when every unchecked name was written; else which name could not be, and why.
    std::string error;
};

// The names a hide text lists, in order. A comma ends a name; a comma at the very end adds no
// further name, and a comma at the start or two in a row give an empty name.
std::vector<std::string> SplitHide(const std::string& hide);

// True when one of the names of `hide` equals `name` exactly (letter case and blanks count).
bool IsHidden(const std::string& hide, const std::string& name);

// Shows a hide text in the check list: every item is checked, then each item whose name is
// listed in `hide` is unchecked. Listed names that match no item are ignored.
void ApplyHide(VisibleForList& list, const std::string& hide);

// The hide text that the check list shows. A name with a comma in it, or an empty name, would
// read back as other names, so it is left out and named in `error` instead.
HideText GetHide(const VisibleForList& list);

}  // namespace sortwell::config
