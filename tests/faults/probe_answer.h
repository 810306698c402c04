#pragma once

#include <cstdio>
#include <string>

namespace sortwell::test {

// What a probe prints for the scripts that drive it: "ok", or "refused: <reason>"; its exit
// status, 0 or 1.
inline int answer(const std::string& problem) {
    if (problem.empty()) {
        std::printf("ok\n");
        return 0;
    }
    std::printf("refused: %s\n", problem.c_str());
    return 1;
}

}  // namespace sortwell::test
