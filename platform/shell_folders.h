#pragma once

#include <string>

namespace sortwell::platform {

// The user's well-known folders, asked for by their Windows shell-folder names
// ("Desktop", "Personal", "Startup", "Quick Launch", ...).
class ShellFolders {
public:
    virtual ~ShellFolders() = default;

    // The folder's path, or empty text when the host has no such folder.
    virtual std::string lookup(const std::string& shellName) = 0;
};

}  // namespace sortwell::platform
