#include "platform/host.h"
#include "platform/linux/posix_file_access.h"
#include "platform/linux/proc_program_location.h"
#include "platform/linux/settings_file_backend.h"
#include "platform/linux/xdg_autostart.h"
#include "platform/linux/xdg_user_dirs.h"

namespace sortwell::platform {

const Host& NativeHost() {
    static linux_host::SettingsFileBackend settings;
    static linux_host::PosixFileAccess files;
    static linux_host::XdgAutostart autostart;
    static linux_host::XdgUserDirs shellFolders;
    static linux_host::ProcProgramLocation program;
    static const Host host{&settings, &files, &autostart, &shellFolders, &program};
    return host;
}

}  // namespace sortwell::platform
