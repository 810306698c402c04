#pragma once

namespace sortwell::platform {

// Owns one file descriptor. The destructor closes it without looking at the result, which is
// only right on paths that already report another failure; a successful write calls close()
// and checks it, since close() can carry a late write error.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd();
    UniqueFd(UniqueFd&& other) noexcept;
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

    // Closes now; returns 0 or the errno close() gave.
    int close();

private:
    int fd_ = -1;
};

}  // namespace sortwell::platform
