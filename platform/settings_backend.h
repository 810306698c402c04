#pragma once

#include <functional>
#include <string>

#include "platform/settings_tree.h"

namespace sortwell::platform {

// When the bytes of a settings write must be on disk: at once, or within about a second
// (keystroke saves must never wait for the disk).
enum class FlushTiming { Now, Soon };

struct SettingsRead {
    enum class Status { Missing, Read, Failed };
    Status status = Status::Missing;
    SettingsTree tree;
    // Why the read failed, or what was done with a file that could not be parsed.
    std::string problem;
};

struct SettingsWrite {
    bool ok = false;
    // Why the write failed; may also be set on success, e.g. a broken file kept aside.
    std::string problem;
};

// The per-user store of named string values that stands in for the registry. A program key
// such as "tessaryn/Sortwell" holds values and one level of folders (subkeys).
class SettingsBackend {
public:
    virtual ~SettingsBackend() = default;

    // Reads the program key with all its folders.
    virtual SettingsRead read(const std::string& programPath) = 0;

    // Reads the program key, applies `change` and writes the whole key back in one atomic
    // replace: afterwards the key holds either the old or the new values, never a mix.
    virtual SettingsWrite update(const std::string& programPath,
                                 const std::function<void(SettingsTree&)>& change,
                                 FlushTiming timing) = 0;

    // Removes the program key with all its folders; true when it existed and is gone.
    virtual bool removeProgramKey(const std::string& programPath) = 0;

    // Puts every write that was left to trail behind on disk now.
    virtual void flush() = 0;
};

}  // namespace sortwell::platform
