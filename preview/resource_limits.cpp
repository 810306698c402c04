#include "preview/resource_limits.h"

#include <sys/prctl.h>
#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace preview {
namespace {

std::string SetLimit(int resource, rlim_t value, const char* what) {
    const rlimit limit{value, value};
    if (setrlimit(resource, &limit) != 0) {
        return std::string("cannot limit ") + what + ": " + std::strerror(errno);
    }
    return {};
}

}  // namespace

std::string LimitResources() {
    if (std::string problem = SetLimit(RLIMIT_AS, kAddressSpaceBytes, "the memory");
        !problem.empty()) {
        return problem;
    }
    if (std::string problem = SetLimit(RLIMIT_CPU, kCpuSeconds, "the processor time");
        !problem.empty()) {
        return problem;
    }
    // A desk that crashed cannot kill its helper any more.
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0) {
        return std::string("cannot follow the desk: ") + std::strerror(errno);
    }
    return {};
}

}  // namespace preview
