#include "config/hide_list.h"

#include <algorithm>
#include <string_view>

namespace sortwell::config {

namespace {

constexpr char kSeparator = ',';

// The listed names as views into `hide`; a trailing comma closes the last name and opens none.
std::vector<std::string_view> HiddenNames(std::string_view hide) {
    std::vector<std::string_view> names;
    std::size_t start = 0;
    while (start < hide.size()) {
        const std::size_t comma = hide.find(kSeparator, start);
        if (comma == std::string_view::npos) {
            names.push_back(hide.substr(start));
            break;
        }
        names.push_back(hide.substr(start, comma - start));
        start = comma + 1;
    }
    return names;
}

std::string WhyNotWritable(const std::string& name) {
    if (name.empty()) {
        return "An empty name cannot be listed among the names a button is hidden for; the "
               "button stays visible for it.";
    }
    if (name.find(kSeparator) != std::string::npos) {
        return "The name \"" + name +
               "\" contains a comma and cannot be listed among the names a button is hidden "
               "for; the button stays visible for it.";
    }
    return {};
}

}  // namespace

std::vector<std::string> SplitHide(const std::string& hide) {
    const std::vector<std::string_view> views = HiddenNames(hide);
    return {views.begin(), views.end()};
}

bool IsHidden(const std::string& hide, const std::string& name) {
    const std::vector<std::string_view> names = HiddenNames(hide);
    return std::find(names.begin(), names.end(), name) != names.end();
}

void ApplyHide(VisibleForList& list, const std::string& hide) {
    const std::vector<std::string_view> names = HiddenNames(hide);
    for (NameCheck& item : list) {
        item.checked = std::find(names.begin(), names.end(), item.name) == names.end();
    }
}

HideText GetHide(const VisibleForList& list) {
    HideText result;
    for (const NameCheck& item : list) {
        if (item.checked) {
            continue;
        }
        std::string problem = WhyNotWritable(item.name);
        if (!problem.empty()) {
            if (result.error.empty()) {
                result.error = std::move(problem);
            }
            continue;
        }
        if (!result.hide.empty()) {
            result.hide += kSeparator;
        }
        result.hide += item.name;
    }
    return result;
}

}  // namespace sortwell::config
