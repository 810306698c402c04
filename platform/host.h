#pragma once

#include "platform/autostart.h"
#include "platform/file_access.h"
#include "platform/program_location.h"
#include "platform/settings_backend.h"
#include "platform/shell_folders.h"

namespace sortwell::platform {

// The host operations the settings store relies on. Tests hand in fakes.
struct Host {
    SettingsBackend* settings = nullptr;
    FileAccess* files = nullptr;
    Autostart* autostart = nullptr;
    ShellFolders* shellFolders = nullptr;
    ProgramLocation* program = nullptr;
};

// What the store relies on, for this machine. The program gets it through its host services;
// tools and tests that need only the store take it here.
const Host& NativeHost();

}  // namespace sortwell::platform
