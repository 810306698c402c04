#pragma once

#include <string>
#include <utility>
#include <vector>

namespace sortwell::platform {

// Named string values of one key of the per-user settings, in the order they were first
// written; rewriting a value keeps its place, as the registry does.
struct SettingsFolder {
    std::string name;  // "" for the program key itself
    std::vector<std::pair<std::string, std::string>> values;

    const std::string* find(const std::string& key) const;
    void set(const std::string& key, const std::string& value);
};

// A program key with its folders: the root folder "" first, then the subkeys in the order
// they were created. Names are compared byte for byte.
class SettingsTree {
public:
    SettingsFolder& folder(const std::string& name);
    const SettingsFolder* findFolder(const std::string& name) const;
    bool removeFolder(const std::string& name);
    const std::vector<SettingsFolder>& folders() const { return folders_; }
    bool empty() const { return folders_.empty(); }

    bool operator==(const SettingsTree& other) const;

private:
    std::vector<SettingsFolder> folders_;
};

}  // namespace sortwell::platform
