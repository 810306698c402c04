#include "platform/linux/xdg_paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace sortwell::platform::linux_host {
namespace {

std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);  // NOLINT(concurrency-mt-unsafe): UI thread only
    return value == nullptr ? std::string() : std::string(value);
}

// The base directory specification ignores relative paths in these variables.
std::string baseDir(const char* variable, const char* fallbackBelowHome) {
    std::string value = environmentValue(variable);
    if (!value.empty() && value.front() == '/') {
        return value;
    }
    const std::string home = homeDir();
    return home.empty() ? std::string() : home + "/" + fallbackBelowHome;
}

}  // namespace

std::string homeDir() {
    std::string home = environmentValue("HOME");
    if (!home.empty()) {
        return home;
    }
    const passwd* entry = getpwuid(getuid());  // NOLINT(concurrency-mt-unsafe): UI thread only
    return entry != nullptr && entry->pw_dir != nullptr ? std::string(entry->pw_dir)
                                                        : std::string();
}

std::string configHome() {
    return baseDir("XDG_CONFIG_HOME", ".config");
}

std::string dataHome() {
    return baseDir("XDG_DATA_HOME", ".local/share");
}

std::string cacheHome() {
    return baseDir("XDG_CACHE_HOME", ".cache");
}

std::string stateHome() {
    return baseDir("XDG_STATE_HOME", ".local/state");
}

}  // namespace sortwell::platform::linux_host
