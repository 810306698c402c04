#pragma once

#include <string>

namespace sortwell::platform::linux_host {

// The user's home folder: $HOME, else the password database; empty when neither tells.
std::string homeDir();

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config. Read at every call, so that a
// change of the environment (as in tests) takes effect at once.
std::string configHome();

// $XDG_DATA_HOME when absolute, else ~/.local/share.
std::string dataHome();

// $XDG_CACHE_HOME when absolute, else ~/.cache.
std::string cacheHome();

// $XDG_STATE_HOME when absolute, else ~/.local/state.
std::string stateHome();

}  // namespace sortwell::platform::linux_host
