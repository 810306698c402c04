#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct zwlr_foreign_toplevel_manager_v1;
struct zwlr_foreign_toplevel_handle_v1;
struct zwp_virtual_keyboard_manager_v1;

namespace sortwell::platform::wayland {

// One window the compositor announced, as far as its events have told.
struct Toplevel {
    std::uint64_t handle = 0;  // ours, counted up in the order the windows appeared
    zwlr_foreign_toplevel_handle_v1* proxy = nullptr;
    std::string title;
    bool activated = false;
    bool closed = false;
};

// The client connection to a wlroots compositor: its seat, its window list and its virtual
// keyboards. Never blocks for long: every wait for the compositor has a time limit, and a
// compositor that went away leaves the connection closed with the reason.
class WaylandConnection {
public:
    // `name` as in WAYLAND_DISPLAY; empty for the default.
    static std::shared_ptr<WaylandConnection> open(const std::string& name);
    ~WaylandConnection();
    WaylandConnection(const WaylandConnection&) = delete;
    WaylandConnection& operator=(const WaylandConnection&) = delete;

    bool isOpen() const { return display_ != nullptr && reason_.empty(); }
    // Whether the compositor offers the window list, the virtual keyboard and a seat.
    bool offersWindowProtocols() const;
    const std::string& unavailableReason() const { return reason_; }

    // Sends what is queued and handles every event up to now; false when the compositor is
    // gone or did not answer within the limit.
    bool sync();
    // Handles events for `milliseconds`, for a change that other clients must first answer.
    bool settle(int milliseconds);
    // Handles events until the window has closed or `milliseconds` have passed; whether it
    // closed.
    bool awaitClosed(const Toplevel& toplevel, int milliseconds);
    // Sends what is queued without waiting for an answer.
    bool flush();
    // Handles the events that have arrived, without waiting; false when the compositor is gone.
    bool takeWaitingEvents();
    // What turns readable when events arrive, or -1 without a connection.
    int descriptor() const;

    const std::vector<std::unique_ptr<Toplevel>>& toplevels() const { return toplevels_; }
    Toplevel* findToplevel(std::uint64_t handle);

    wl_seat* seat() const { return seat_; }
    zwp_virtual_keyboard_manager_v1* keyboardManager() const { return keyboardManager_; }

    // For the protocol listeners.
    void bindGlobal(std::uint32_t name, const char* interface, std::uint32_t version);
    void addToplevel(zwlr_foreign_toplevel_handle_v1* proxy);
    void forgetClosedToplevels();

private:
    WaylandConnection() = default;
    bool connect(const std::string& name);
    bool waitForEvents(int timeoutMs);
    bool noteDisplayError();

    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    zwlr_foreign_toplevel_manager_v1* toplevelManager_ = nullptr;
    zwp_virtual_keyboard_manager_v1* keyboardManager_ = nullptr;
    std::vector<std::unique_ptr<Toplevel>> toplevels_;
    std::uint64_t nextHandle_ = 1;
    std::string reason_;
};

}  // namespace sortwell::platform::wayland
