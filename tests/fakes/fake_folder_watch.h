#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <string>
#include <vector>

#include "platform/folder_watch.h"

namespace sortwell::test {

// A folder watch the test drives: announce() queues news and makes the handle readable, as
// the system would after a change. Can be told that every folder must be polled.
class FakeFolderWatch : public platform::FolderWatch {
public:
    FakeFolderWatch() {
        if (::pipe2(pipe_.data(), O_NONBLOCK | O_CLOEXEC) != 0) {
            pipe_ = {-1, -1};
        }
    }
    ~FakeFolderWatch() override {
        for (const int fd : pipe_) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
    FakeFolderWatch(const FakeFolderWatch&) = delete;
    FakeFolderWatch& operator=(const FakeFolderWatch&) = delete;

    // Non-empty: every folder must be polled, for this reason.
    std::string pollReason;
    std::vector<std::string> watched;
    int stops = 0;

    void announce(platform::WatchNews news) {
        pending_.push_back(news);
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(pipe_[1], &byte, 1);
    }

    platform::WatchStart watch(const std::string& folder) override {
        watched.push_back(folder);
        pending_.clear();
        if (!pollReason.empty()) {
            return {-1, pollReason};
        }
        return {pipe_[0], {}};
    }

    platform::WatchNews drain() override {
        std::array<char, 64> bytes{};
        while (::read(pipe_[0], bytes.data(), bytes.size()) > 0) {
        }
        platform::WatchNews news = platform::WatchNews::Nothing;
        for (const platform::WatchNews next : pending_) {
            if (next == platform::WatchNews::FolderGone || news == platform::WatchNews::Nothing) {
                news = next;
            }
        }
        pending_.clear();
        return news;
    }

    void stop() override { ++stops; }

private:
    std::array<int, 2> pipe_{-1, -1};
    std::vector<platform::WatchNews> pending_;
};

}  // namespace sortwell::test
