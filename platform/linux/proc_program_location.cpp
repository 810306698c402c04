#include "platform/linux/proc_program_location.h"

#include <unistd.h>

#include <cstddef>

namespace sortwell::platform::linux_host {
namespace {

// Far beyond any path the kernel hands out; stops the growth should readlink misbehave.
constexpr std::size_t kLargestTarget = std::size_t{1} << 20;

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

std::string ProcProgramLocation::executablePath() {
    return readSymlinkTarget("/proc/self/exe");
}

}  // namespace sortwell::platform::linux_host
