#include "platform/linux/wayland/wayland_connection.h"

#include <poll.h>
#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

namespace sortwell::platform::wayland {
namespace {

// A compositor that is alive answers a sync in well under a second.
constexpr int kAnswerLimitMs = 2000;
constexpr std::uint32_t kToplevelVersion = 3;

void onGlobal(void* data, wl_registry* /*registry*/, std::uint32_t name, const char* interface,
              std::uint32_t version) {
    static_cast<WaylandConnection*>(data)->bindGlobal(name, interface, version);
}

void onGlobalRemove(void* /*data*/, wl_registry* /*registry*/, std::uint32_t /*name*/) {}

const wl_registry_listener kRegistryListener = {onGlobal, onGlobalRemove};

Toplevel& toplevelOf(void* data) {
    return *static_cast<Toplevel*>(data);
}

void onTitle(void* data, zwlr_foreign_toplevel_handle_v1* /*proxy*/, const char* title) {
    toplevelOf(data).title = title;
}

void onAppId(void* /*data*/, zwlr_foreign_toplevel_handle_v1* /*proxy*/, const char* /*id*/) {}

void onOutput(void* /*data*/, zwlr_foreign_toplevel_handle_v1* /*proxy*/, wl_output* /*out*/) {}

void onState(void* data, zwlr_foreign_toplevel_handle_v1* /*proxy*/, wl_array* states) {
    const auto* begin = static_cast<const std::uint32_t*>(states->data);
    const auto* end = begin + states->size / sizeof(std::uint32_t);
    toplevelOf(data).activated =
        std::find(begin, end, ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED) != end;
}

void onDone(void* /*data*/, zwlr_foreign_toplevel_handle_v1* /*proxy*/) {}

void onClosed(void* data, zwlr_foreign_toplevel_handle_v1* /*proxy*/) {
    toplevelOf(data).closed = true;
}

void onParent(void* /*data*/, zwlr_foreign_toplevel_handle_v1* /*proxy*/,
              zwlr_foreign_toplevel_handle_v1* /*parent*/) {}

const zwlr_foreign_toplevel_handle_v1_listener kToplevelListener = {
    onTitle, onAppId, onOutput, onOutput, onState, onDone, onClosed, onParent};

void onNewToplevel(void* data, zwlr_foreign_toplevel_manager_v1* /*manager*/,
                   zwlr_foreign_toplevel_handle_v1* proxy) {
    static_cast<WaylandConnection*>(data)->addToplevel(proxy);
}

void onManagerFinished(void* /*data*/, zwlr_foreign_toplevel_manager_v1* /*manager*/) {}

const zwlr_foreign_toplevel_manager_v1_listener kManagerListener = {onNewToplevel,
                                                                    onManagerFinished};

void onSyncDone(void* data, wl_callback* /*callback*/, std::uint32_t /*serial*/) {
    *static_cast<bool*>(data) = true;
}

const wl_callback_listener kSyncListener = {onSyncDone};

int millisecondsLeft(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<std::int64_t>(0, left.count()));
}

}  // namespace

std::shared_ptr<WaylandConnection> WaylandConnection::open(const std::string& name) {
    std::shared_ptr<WaylandConnection> connection(new WaylandConnection());
    if (connection->connect(name)) {
        // The first sync binds the globals, the second brings the windows open now.
        connection->sync() && connection->sync();
    }
    return connection;
}

bool WaylandConnection::connect(const std::string& name) {
    display_ = wl_display_connect(name.empty() ? nullptr : name.c_str());
    if (display_ == nullptr) {
        reason_ =
            "Cannot connect to the Wayland compositor \"" + name + "\": " + std::strerror(errno);
        return false;
    }
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &kRegistryListener, this);
    return true;
}

WaylandConnection::~WaylandConnection() {
    if (display_ == nullptr) {
        return;
    }
    for (const auto& toplevel : toplevels_) {
        zwlr_foreign_toplevel_handle_v1_destroy(toplevel->proxy);
    }
    if (toplevelManager_ != nullptr) {
        zwlr_foreign_toplevel_manager_v1_destroy(toplevelManager_);
    }
    if (keyboardManager_ != nullptr) {
        zwp_virtual_keyboard_manager_v1_destroy(keyboardManager_);
    }
    if (seat_ != nullptr) {
        wl_seat_destroy(seat_);
    }
    wl_registry_destroy(registry_);
    wl_display_disconnect(display_);
}

bool WaylandConnection::offersWindowProtocols() const {
    return isOpen() && seat_ != nullptr && toplevelManager_ != nullptr &&
           keyboardManager_ != nullptr;
}

void WaylandConnection::bindGlobal(std::uint32_t name, const char* interface,
                                   std::uint32_t version) {
    const std::string kind = interface;
    if (kind == wl_seat_interface.name && seat_ == nullptr) {
        seat_ = static_cast<wl_seat*>(wl_registry_bind(registry_, name, &wl_seat_interface, 1));
    } else if (kind == zwlr_foreign_toplevel_manager_v1_interface.name &&
               toplevelManager_ == nullptr) {
        toplevelManager_ = static_cast<zwlr_foreign_toplevel_manager_v1*>(
            wl_registry_bind(registry_, name, &zwlr_foreign_toplevel_manager_v1_interface,
                             std::min(version, kToplevelVersion)));
        zwlr_foreign_toplevel_manager_v1_add_listener(toplevelManager_, &kManagerListener, this);
    } else if (kind == zwp_virtual_keyboard_manager_v1_interface.name &&
               keyboardManager_ == nullptr) {
        keyboardManager_ = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(registry_, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    }
}

void WaylandConnection::addToplevel(zwlr_foreign_toplevel_handle_v1* proxy) {
    auto toplevel = std::make_unique<Toplevel>();
    toplevel->handle = nextHandle_++;
    toplevel->proxy = proxy;
    zwlr_foreign_toplevel_handle_v1_add_listener(proxy, &kToplevelListener, toplevel.get());
    toplevels_.push_back(std::move(toplevel));
}

void WaylandConnection::forgetClosedToplevels() {
    std::erase_if(toplevels_, [](const std::unique_ptr<Toplevel>& toplevel) {
        if (toplevel->closed) {
            zwlr_foreign_toplevel_handle_v1_destroy(toplevel->proxy);
        }
        return toplevel->closed;
    });
}

Toplevel* WaylandConnection::findToplevel(std::uint64_t handle) {
    for (const auto& toplevel : toplevels_) {
        if (toplevel->handle == handle && !toplevel->closed) {
            return toplevel.get();
        }
    }
    return nullptr;
}

bool WaylandConnection::flush() {
    if (!isOpen()) {
        return false;
    }
    if (wl_display_flush(display_) < 0 && errno != EAGAIN) {
        return noteDisplayError();
    }
    return true;
}

bool WaylandConnection::takeWaitingEvents() {
    if (!isOpen()) {
        return false;
    }
    waitForEvents(0);
    return isOpen();
}

int WaylandConnection::descriptor() const {
    return isOpen() ? wl_display_get_fd(display_) : -1;
}

bool WaylandConnection::sync() {
    if (!isOpen()) {
        return false;
    }
    bool answered = false;
    wl_callback* callback = wl_display_sync(display_);
    wl_callback_add_listener(callback, &kSyncListener, &answered);
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kAnswerLimitMs);
    while (!answered && isOpen()) {
        if (!waitForEvents(millisecondsLeft(deadline))) {
            break;
        }
    }
    wl_callback_destroy(callback);
    if (!answered && reason_.empty()) {
        reason_ = "The Wayland compositor did not answer within " +
                  std::to_string(kAnswerLimitMs / 1000) + " s.";
    }
    return answered;
}

bool WaylandConnection::settle(int milliseconds) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (isOpen() && millisecondsLeft(deadline) > 0) {
        waitForEvents(millisecondsLeft(deadline));
    }
    return sync();
}

bool WaylandConnection::awaitClosed(const Toplevel& toplevel, int milliseconds) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!toplevel.closed && isOpen() && millisecondsLeft(deadline) > 0) {
        waitForEvents(millisecondsLeft(deadline));
    }
    return toplevel.closed;
}

bool WaylandConnection::waitForEvents(int timeoutMs) {
    while (wl_display_prepare_read(display_) != 0) {
        if (wl_display_dispatch_pending(display_) < 0) {
            return noteDisplayError();
        }
    }
    if (wl_display_flush(display_) < 0 && errno != EAGAIN) {
        wl_display_cancel_read(display_);
        return noteDisplayError();
    }
    pollfd ready = {wl_display_get_fd(display_), POLLIN, 0};
    if (poll(&ready, 1, timeoutMs) <= 0) {
        wl_display_cancel_read(display_);
        return false;
    }
    if (wl_display_read_events(display_) < 0 || wl_display_dispatch_pending(display_) < 0) {
        return noteDisplayError();
    }
    return true;
}

bool WaylandConnection::noteDisplayError() {
    const int error = wl_display_get_error(display_);
    reason_ = "The connection to the Wayland compositor was lost: " +
              std::string(std::strerror(error != 0 ? error : EPIPE)) + ".";
    return false;
}

}  // namespace sortwell::platform::wayland
