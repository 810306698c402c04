#include "platform/settings_tree.h"

#include <algorithm>
#include <unordered_map>

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

namespace {

using KeyIndex = std::unordered_map<std::string, std::size_t>;

KeyIndex indexOf(const SettingsFolder& folder) {
    KeyIndex index;
    for (std::size_t i = 0; i < folder.values.size(); ++i) {
        index.try_emplace(folder.values[i].first, i);
    }
    return index;
}

void setIndexed(SettingsFolder& folder, KeyIndex& index, const std::string& key,
                const std::string& value) {
    const auto [it, added] = index.try_emplace(key, folder.values.size());
    if (added) {
        folder.values.emplace_back(key, value);
    } else {
        folder.values[it->second].second = value;
    }
}

}  // namespace

void SettingsFolder::setAll(const std::vector<std::pair<std::string, std::string>>& batch) {
    KeyIndex index = indexOf(*this);
    for (const auto& [key, value] : batch) {
        setIndexed(*this, index, key, value);
    }
}

void SettingsTree::setAll(const std::vector<SettingsEntry>& entries) {
    std::unordered_map<std::string, KeyIndex> indexes;
    for (const SettingsEntry& entry : entries) {
        SettingsFolder& target = folder(entry.folder);
        const auto [it, added] = indexes.try_emplace(entry.folder);
        if (added) {
            it->second = indexOf(target);
        }
        setIndexed(target, it->second, entry.key, entry.value);
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
