#pragma once

#include <string>
#include <utility>
#include <vector>

namespace sortwell::platform {

// One value with its name and the folder that holds it ("" for the program key itself).
struct SettingsEntry {
    std::string key;
    std::string value;
    std::string folder;
    bool operator==(const SettingsEntry&) const = default;
};

// Named string values of one key of the per-user settings, in the order they were first
// written; rewriting a value keeps its place, as the registry does.
struct SettingsFolder {
    std::string name;  // "" for the program key itself
    std::vector<std::pair<std::string, std::string>> values;

    const std::string* find(const std::string& key) const;
    void set(const std::string& key, const std::string& value);
    // The same as set() for each value in turn, in linear time.
    void setAll(const std::vector<std::pair<std::string, std::string>>& batch);
};

// A program key with its folders: the root folder "" first, then the subkeys in the order
// they were created. Names are compared byte for byte.
class SettingsTree {
public:
    SettingsFolder& folder(const std::string& name);
    const SettingsFolder* findFolder(const std::string& name) const;
    bool removeFolder(const std::string& name);
    // The same as folder(e.folder).set(e.key, e.value) for each entry in turn, in linear time:
    // a whole store is saved at once, and must not cost a search per value.
    void setAll(const std::vector<SettingsEntry>& entries);
    const std::vector<SettingsFolder>& folders() const { return folders_; }
    bool empty() const { return folders_.empty(); }

    bool operator==(const SettingsTree& other) const;

private:
    std::vector<SettingsFolder> folders_;
};

}  // namespace sortwell::platform
