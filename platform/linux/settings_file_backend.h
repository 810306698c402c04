#pragma once

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/settings_backend.h"

namespace sortwell::platform::linux_host {

// Keeps each program key in one text file below the XDG config folder: "tessaryn/Sortwell" is
// <config>/tessaryn/Sortwell.conf. Every write replaces the whole file in one rename, under an
// exclusive lock on its folder, so that two processes never interleave their read-modify-write
// and one never drops the other's change. A file that cannot be parsed is moved aside, never
// overwritten.
class SettingsFileBackend : public SettingsBackend {
public:
    // Uses configHome(), looked up at every call.
    SettingsFileBackend() = default;
    // Uses `configHome` instead of the environment.
    explicit SettingsFileBackend(std::string configHome);

    SettingsRead read(const std::string& programPath) override;
    SettingsWrite update(const std::string& programPath,
                         const std::function<void(SettingsTree&)>& change,
                         FlushTiming timing) override;
    bool removeProgramKey(const std::string& programPath) override;

    // Failures are reported by the next update(), as flush() has no result.
    void flush() override;

    // The file that holds `programPath`; empty when the key name or the config folder is
    // not usable.
    std::string settingsFilePath(const std::string& programPath) const;

    // True while a Soon write waits for flush().
    bool hasUnflushedWrites() const { return !unflushed_.empty(); }

private:
    struct Location {
        std::string file;
        std::string problem;
    };

    Location locate(const std::string& programPath) const;
    SettingsWrite writeLocked(const std::string& file,
                              const std::function<void(SettingsTree&)>& change, FlushTiming timing);
    void sweepOnce(const std::string& file, std::string& notes);
    void noteWritten(const std::string& file, FlushTiming timing);
    void forgetUnflushed(const std::string& file);
    void deferProblem(const std::string& problem);

    std::optional<std::string> configHome_;
    std::vector<std::string> unflushed_;
    std::set<std::string> swept_;
    // Failures of calls that cannot return a reason, passed on by the next update().
    std::string deferredProblems_;
};

}  // namespace sortwell::platform::linux_host
