#pragma once

#include <map>
#include <set>
#include <string>

#include "platform/host.h"
#include "platform/linux/posix_file_access.h"

namespace sortwell::test {

// An in-memory per-user store that counts writes and can be told to refuse them.
class FakeSettingsBackend : public platform::SettingsBackend {
public:
    std::map<std::string, platform::SettingsTree> keys;
    std::string refuseWritesWith;  // non-empty: every update fails with this reason
    int updates = 0;
    int flushes = 0;
    platform::FlushTiming lastTiming = platform::FlushTiming::Now;

    platform::SettingsRead read(const std::string& programPath) override {
        platform::SettingsRead result;
        const auto it = keys.find(programPath);
        if (it != keys.end()) {
            result.status = platform::SettingsRead::Status::Read;
            result.tree = it->second;
        }
        return result;
    }

    platform::SettingsWrite update(const std::string& programPath,
                                   const std::function<void(platform::SettingsTree&)>& change,
                                   platform::FlushTiming timing) override {
        ++updates;
        lastTiming = timing;
        if (!refuseWritesWith.empty()) {
            return {false, refuseWritesWith};
        }
        platform::SettingsTree tree = keys[programPath];
        change(tree);
        keys[programPath] = tree;
        return {true, ""};
    }

    bool removeProgramKey(const std::string& programPath) override {
        return keys.erase(programPath) == 1;
    }

    void flush() override { ++flushes; }
};

class FakeAutostart : public platform::Autostart {
public:
    std::map<std::string, std::string> entries;  // name -> executable
    std::string refuseWith;

    std::string enable(const std::string& name, const std::string& executable) override {
        if (!refuseWith.empty()) {
            return refuseWith;
        }
        entries[name] = executable;
        return {};
    }
    std::string disable(const std::string& name) override {
        if (!refuseWith.empty()) {
            return refuseWith;
        }
        entries.erase(name);
        return {};
    }
    bool isEnabled(const std::string& name) override { return entries.count(name) == 1; }
};

class FakeShellFolders : public platform::ShellFolders {
public:
    std::map<std::string, std::string> folders;
    std::string lookup(const std::string& shellName) override {
        const auto it = folders.find(shellName);
        return it == folders.end() ? std::string() : it->second;
    }
};

class FakeProgramLocation : public platform::ProgramLocation {
public:
    std::string path = "/opt/sortwell/bin/sortwell";
    bool folderWritable = true;
    std::string executablePath() override { return path; }
    bool programFolderWritable() override { return folderWritable; }
};

// Fakes for everything but files, which tests keep in a temporary folder.
struct FakeHost {
    FakeSettingsBackend settings;
    platform::linux_host::PosixFileAccess files;
    FakeAutostart autostart;
    FakeShellFolders shellFolders;
    FakeProgramLocation program;

    platform::Host host() {
        return platform::Host{&settings, &files, &autostart, &shellFolders, &program};
    }
};

}  // namespace sortwell::test
