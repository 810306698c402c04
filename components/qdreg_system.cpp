// Starting with the desktop session, the program directory and the user's shell folders.
#include "components/qdreg.h"

namespace {

std::string WithTrailingSeparator(std::string path) {
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    return path;
}

}  // namespace

TQDRegError::TQDRegError(const std::string& message, std::string detail)
    : std::runtime_error(message), detail_(std::move(detail)) {}

void TQDReg::SetSystemStartup(bool on, const std::string& name) {
    if (!on) {
        const std::string problem = host_.autostart->disable(name);
        if (!problem.empty()) {
            throw TQDRegError("Failed to delete data for '" + name + "'", problem);
        }
        return;
    }
    const std::string executable = host_.program->executablePath();
    const std::string problem = executable.empty() ? "The path of the running program is unknown."
                                                   : host_.autostart->enable(name, executable);
    if (!problem.empty()) {
        throw TQDRegError("Failed to set data for '" + name + "'", problem);
    }
}

bool TQDReg::GetSystemStartup(const std::string& name) const {
    return host_.autostart->isEnabled(name);
}

std::string TQDReg::AppDir() const {
    const std::string executable = host_.program->executablePath();
    const std::size_t lastSeparator = executable.rfind('/');
    if (lastSeparator == std::string::npos) {
        return {};
    }
    return WithTrailingSeparator(executable.substr(0, lastSeparator + 1));
}

std::string TQDReg::ExchangeDir() const {
    const std::string programDir = AppDir();
    if (!programDir.empty() && host_.program->programFolderWritable()) {
        return programDir;
    }
    const std::string configDir = GetDirAppData();
    if (configDir.empty() || Firmenname.empty()) {
        return configDir;
    }
    return configDir + Firmenname + "/";
}

std::string TQDReg::GetShellFolder(const std::string& name) const {
    return WithTrailingSeparator(host_.shellFolders->lookup(name));
}
