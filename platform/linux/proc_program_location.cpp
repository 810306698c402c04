#include "platform/linux/proc_program_location.h"

#include <unistd.h>

#include <cstddef>
#include <string_view>

namespace sortwell::platform::linux_host {
namespace {

// Far beyond any path the kernel hands out; stops the growth should readlink misbehave.
constexpr std::size_t kLargestTarget = std::size_t{1} << 20;

constexpr std::string_view kDeletedSuffix = " (deleted)";

}  // namespace

std::string readSymlinkTarget(const std::string& path) {
    // readlink truncates silently, so a result that fills the buffer may be cut: grow and retry.
    for (std::size_t size = 256; size <= kLargestTarget; size *= 2) {
        std::string buffer(size, '\0');
        const ssize_t length = readlink(path.c_str(), buffer.data(), buffer.size());
        if (length < 0) {
            return {};
        }
        if (static_cast<std::size_t>(length) < buffer.size()) {
            buffer.resize(static_cast<std::size_t>(length));
            return buffer;
        }
    }
    return {};
}

ProgramFile programFileFromLink(const std::string& linkText,
                                const std::function<bool(const std::string&)>& isFile) {
    if (!linkText.ends_with(kDeletedSuffix)) {
        return {linkText, {}};
    }
    const std::string oldPath = linkText.substr(0, linkText.size() - kDeletedSuffix.size());
    if (isFile(oldPath)) {
        return {oldPath, {}};
    }
    return {{},
            "The program file " + oldPath +
                " was removed while the program runs, and no new version is there."};
}

std::string ProcProgramLocation::executablePath() {
    return readSymlinkTarget("/proc/self/exe");
}

bool ProcProgramLocation::programFolderWritable() {
    const std::string path = executablePath();
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return false;
    }
    const std::string folder = slash == 0 ? std::string("/") : path.substr(0, slash);
    return access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace sortwell::platform::linux_host
