#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/keyboard.h"
#include "platform/window_system.h"

namespace sortwell::platform {

// Where no window host serves the session: every window and key operation declines with the
// same reason, so that an automation step says why instead of waiting.
class UnavailableDesktop : public WindowSystem, public Keyboard {
public:
    explicit UnavailableDesktop(std::string reason) : reason_(std::move(reason)) {}

    bool isAvailable() override { return false; }
    std::string unavailableReason() override { return reason_; }
    std::vector<WindowInfo> listTopLevelWindows() override { return {}; }
    bool activate(std::uint64_t /*handle*/) override { return false; }

    ShiftState shiftStateOf(char32_t /*character*/) override { return -1; }
    std::string send(const std::vector<KeyEvent>& /*events*/) override { return reason_; }

private:
    std::string reason_;
};

}  // namespace sortwell::platform
