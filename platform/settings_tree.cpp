#include "platform/settings_tree.h"

#include <algorithm>

namespace sortwell::platform {

const std::string* SettingsFolder::find(const std::string& key) const {
    const auto it = std::find_if(values.begin(), values.end(),
                                 [&](const auto& entry) { return entry.first == key; });
    return it == values.end() ? nullptr : &it->second;
}

void SettingsFolder::set(const std::string& key, const std::string& value) {
    const auto it = std::find_if(values.begin(), values.end(),
                                 [&](const auto& entry) { return entry.first == key; });
    if (it == values.end()) {
        values.emplace_back(key, value);
    } else {
        it->second = value;
    }
}

SettingsFolder& SettingsTree::folder(const std::string& name) {
    const auto it = std::find_if(folders_.begin(), folders_.end(),
                                 [&](const SettingsFolder& f) { return f.name == name; });
    if (it != folders_.end()) {
        return *it;
    }
    // The root folder always leads, so that a file lists the program key's own values first.
    if (name.empty()) {
        return *folders_.insert(folders_.begin(), SettingsFolder{name, {}});
    }
    return folders_.emplace_back(SettingsFolder{name, {}});
}

const SettingsFolder* SettingsTree::findFolder(const std::string& name) const {
    const auto it = std::find_if(folders_.begin(), folders_.end(),
                                 [&](const SettingsFolder& f) { return f.name == name; });
    return it == folders_.end() ? nullptr : &*it;
}

bool SettingsTree::removeFolder(const std::string& name) {
    const auto it = std::find_if(folders_.begin(), folders_.end(),
                                 [&](const SettingsFolder& f) { return f.name == name; });
    if (it == folders_.end()) {
        return false;
    }
    folders_.erase(it);
    return true;
}

bool SettingsTree::operator==(const SettingsTree& other) const {
    return std::equal(folders_.begin(), folders_.end(), other.folders_.begin(),
                      other.folders_.end(), [](const SettingsFolder& a, const SettingsFolder& b) {
                          return a.name == b.name && a.values == b.values;
                      });
}

}  // namespace sortwell::platform
