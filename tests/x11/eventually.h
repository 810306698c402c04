#pragma once

#include <chrono>
#include <thread>

namespace sortwell::test {

// Another process (the X server, the window manager, a stand-in window) acts in its own time;
// the tests wait for the outcome, bounded so that a fault fails instead of hanging. Whether
// `condition` held within `seconds`.
template <typename Condition>
bool eventually(Condition condition, int seconds = 10) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

}  // namespace sortwell::test
