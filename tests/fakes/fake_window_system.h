#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/window_system.h"

namespace sortwell::test {

// A desktop whose window list a test sets; records which windows were raised and which
// processes were ended.
class FakeWindowSystem : public platform::WindowSystem, public platform::ProcessControl {
public:
    std::vector<platform::WindowInfo> windows;  // front to back
    bool available = true;
    std::vector<std::uint64_t> activated;
    std::vector<std::pair<std::int64_t, std::uint64_t>> ended;  // pid, window handle
    std::string refuseEndWith;  // non-empty: endProcess fails with this reason
    int newsFd = -1;            // a pipe's read end: a desktop that sends news of its windows
    int newsTaken = 0;
    bool moreNewsComes = true;

    bool isAvailable() override { return available; }
    std::string unavailableReason() override {
        return available ? std::string() : "no window list in this test";
    }
    std::vector<platform::WindowInfo> listTopLevelWindows() override { return windows; }

    bool activate(std::uint64_t handle) override {
        const bool exists =
            std::any_of(windows.begin(), windows.end(),
                        [handle](const platform::WindowInfo& w) { return w.handle == handle; });
        if (exists) {
            activated.push_back(handle);
        }
        return exists;
    }

    int newsDescriptor() override { return newsFd; }
    bool takeNews() override {
        char byte = 0;
        newsTaken += read(newsFd, &byte, 1) == 1 ? 1 : 0;
        return moreNewsComes;
    }

    std::string endProcess(std::int64_t pid, std::uint64_t windowHandle) override {
        if (!refuseEndWith.empty()) {
            return refuseEndWith;
        }
        ended.emplace_back(pid, windowHandle);
        return {};
    }

    void open(std::uint64_t handle, std::int64_t pid, std::string title) {
        windows.insert(windows.begin(), {handle, pid, std::move(title)});
    }

    void close(const std::string& title) {
        std::erase_if(windows,
                      [&title](const platform::WindowInfo& w) { return w.title == title; });
    }
};

}  // namespace sortwell::test
