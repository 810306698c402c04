#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/window_system.h"
#include "x11/eventually.h"

namespace sortwell::test {

// Waits until `windows` lists a window that `matches`; its entry.
template <typename Matches>
std::optional<platform::WindowInfo> awaitListedWhere(platform::WindowSystem& windows,
                                                     Matches matches) {
    std::optional<platform::WindowInfo> found;
    eventually([&] {
        for (const platform::WindowInfo& window : windows.listTopLevelWindows()) {
            if (matches(window)) {
                found = window;
                return true;
            }
        }
        return false;
    });
    return found;
}

// Waits until `windows` lists a window titled `title`; its entry.
inline std::optional<platform::WindowInfo> awaitListed(platform::WindowSystem& windows,
                                                       const std::string& title) {
    return awaitListedWhere(
        windows, [&](const platform::WindowInfo& window) { return window.title == title; });
}

// Whether a fresh list holds the window `handle`.
inline bool isListed(platform::WindowSystem& windows, std::uint64_t handle) {
    const auto listed = windows.listTopLevelWindows();
    return std::any_of(listed.begin(), listed.end(),
                       [&](const platform::WindowInfo& window) { return window.handle == handle; });
}

}  // namespace sortwell::test
