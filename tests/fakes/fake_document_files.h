#pragma once

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/document_files.h"

namespace sortwell::test {

// Documents and folders in memory. Records every operation it was asked for, in order, as
// "move <from> -> <to>", "delete <path>", "createFolder <path>" and so on, and can be told to
// refuse moves or the creation of particular folders.
class FakeDocumentFiles : public platform::DocumentFiles {
public:
    std::map<std::string, platform::FileStat> files;
    std::set<std::string> folders{"/"};
    std::map<std::string, std::vector<std::string>> listings;  // folder -> names, as given
    std::map<std::string, std::string> refuseFolders;          // folder -> reason
    std::string refuseMovesWith;
    // Set to make a listing leave out the names whose file went, as a real folder does.
    bool listingsFollowFiles = false;
    std::vector<std::string> calls;

    std::string moveDocument(const std::string& source, const std::string& target) override {
        calls.push_back("move " + source + " -> " + target);
        if (!refuseMovesWith.empty()) {
            return refuseMovesWith;
        }
        const auto it = files.find(source);
        if (it == files.end()) {
            return "no file " + source;
        }
        if (files.contains(target) || folders.contains(target)) {
            return "already there: " + target;
        }
        if (!folders.contains(folderOf(target))) {
            return "no folder for " + target;
        }
        files[target] = it->second;
        files.erase(source);
        return {};
    }

    std::string deleteDocument(const std::string& path) override {
        calls.push_back("delete " + path);
        return files.erase(path) == 1 ? std::string() : "no file " + path;
    }

    // Set to make the trash unusable, so that trashing deletes for good with this note.
    std::string noTrashBecause;
    // Set to make trashing fail with this reason, leaving the file.
    std::string refuseTrashWith;
    std::vector<std::string> trashed;

    platform::TrashResult trashDocument(const std::string& path) override {
        calls.push_back("trash " + path);
        if (!refuseTrashWith.empty()) {
            return {refuseTrashWith, {}};
        }
        if (files.erase(path) != 1) {
            return {"no file " + path, {}};
        }
        if (!noTrashBecause.empty()) {
            return {{}, noTrashBecause};
        }
        trashed.push_back(path);
        return {};
    }

    bool folderExists(const std::string& path) override {
        calls.push_back("folderExists " + path);
        return folders.contains(path);
    }

    std::string createFolder(const std::string& path) override {
        calls.push_back("createFolder " + path);
        if (const auto it = refuseFolders.find(path); it != refuseFolders.end()) {
            return it->second;
        }
        if (!folders.contains(folderOf(path))) {
            return "no parent for " + path;
        }
        folders.insert(path);
        return {};
    }

    // Set to make removing this folder fail with the reason.
    std::map<std::string, std::string> refuseRemovals;

    std::string removeEmptyFolder(const std::string& path) override {
        calls.push_back("removeEmptyFolder " + path);
        if (const auto it = refuseRemovals.find(path); it != refuseRemovals.end()) {
            return it->second;
        }
        if (holdsAnything(path)) {
            return {};
        }
        folders.erase(path);
        return {};
    }

    platform::DocumentStat statDocument(const std::string& path) override {
        calls.push_back("stat " + path);
        const auto it = files.find(path);
        if (it == files.end()) {
            return {{}, "no file " + path};
        }
        return {it->second, {}};
    }

    platform::DocumentListing listDocuments(const std::string& folder) override {
        calls.push_back("list " + folder);
        const auto it = listings.find(folder);
        if (it == listings.end()) {
            return {{}, "no folder " + folder};
        }
        if (!listingsFollowFiles) {
            return {it->second, {}};
        }
        std::vector<std::string> present;
        for (const std::string& name : it->second) {
            if (files.contains(folder + "/" + name)) {
                present.push_back(name);
            }
        }
        return {present, {}};
    }

    std::string removeLeftoverTemporaries(const std::string& folder) override {
        calls.push_back("removeLeftoverTemporaries " + folder);
        return {};
    }

    // The calls that changed something, without the look-ups.
    std::vector<std::string> changes() const {
        std::vector<std::string> result;
        for (const std::string& call : calls) {
            if (!call.starts_with("folderExists ") && !call.starts_with("stat ") &&
                !call.starts_with("list ")) {
                result.push_back(call);
            }
        }
        return result;
    }

private:
    bool holdsAnything(const std::string& folder) const {
        const auto inside = [&folder](const std::string& path) {
            return path != folder && folderOf(path) == folder;
        };
        return std::ranges::any_of(files, [&](const auto& file) { return inside(file.first); }) ||
               std::ranges::any_of(folders, inside);
    }

    static std::string folderOf(const std::string& path) {
        const std::size_t slash = path.rfind('/');
        if (slash == std::string::npos) {
            return {};
        }
        return slash == 0 ? std::string("/") : path.substr(0, slash);
    }
};

}  // namespace sortwell::test
