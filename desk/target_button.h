#pragma once

#include <string>

namespace sortwell::desk {

// One configured target: a row of the Configuration dialog's Buttons list.
struct TargetButton {
    std::string icon;     // path of an ".ico" or ".bmp" file for the face; may be empty
    std::string caption;  // text on the button
    std::string folder;   // folder pattern with %YEAR, %MONTH, %TAG, %NAME
    std::string hide;     // the names the button is hidden for, as a hide text

    bool operator==(const TargetButton&) const = default;
};

}  // namespace sortwell::desk
