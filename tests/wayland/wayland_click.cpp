// Clicks the left button at a point of a wlroots compositor's screen, through a virtual
// pointer: a headless compositor has no pointer of its own.
//   wayland_click X Y WIDTH HEIGHT
// X and Y are in the frame WIDTH x HEIGHT, the size of the whole screen.
#include <unistd.h>
#include <wayland-client.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace {

constexpr std::uint32_t kLeftButton = 0x110;  // BTN_LEFT

struct Globals {
    wl_seat* seat = nullptr;
    zwlr_virtual_pointer_manager_v1* manager = nullptr;
};

void announced(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
               std::uint32_t /*version*/) {
    auto* globals = static_cast<Globals*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && globals->seat == nullptr) {
        globals->seat =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        globals->manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    }
}

void removed(void* /*data*/, wl_registry* /*registry*/, std::uint32_t /*name*/) {}

const wl_registry_listener kRegistryListener{announced, removed};

std::uint32_t nowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint32_t>(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

// The clients learn of the new pointer and answer its enter before the next event counts.
void letClientsCatchUp(wl_display* display) {
    wl_display_roundtrip(display);
    usleep(300 * 1000);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s X Y WIDTH HEIGHT\n", argv[0]);
        return 2;
    }
    const auto x = static_cast<std::uint32_t>(std::atoi(argv[1]));
    const auto y = static_cast<std::uint32_t>(std::atoi(argv[2]));
    const auto width = static_cast<std::uint32_t>(std::atoi(argv[3]));
    const auto height = static_cast<std::uint32_t>(std::atoi(argv[4]));

    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "wayland_click: no compositor to connect to\n");
        return 1;
    }
    Globals globals;
    wl_registry_add_listener(wl_display_get_registry(display), &kRegistryListener, &globals);
    wl_display_roundtrip(display);
    if (globals.manager == nullptr) {
        std::fprintf(stderr, "wayland_click: the compositor offers no virtual pointer\n");
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.manager, globals.seat);
    letClientsCatchUp(display);
    // Once beside the point and then onto it, so that the window sees the pointer arrive.
    zwlr_virtual_pointer_v1_motion_absolute(pointer, nowMs(), x + 1, y, width, height);
    zwlr_virtual_pointer_v1_frame(pointer);
    letClientsCatchUp(display);
    zwlr_virtual_pointer_v1_motion_absolute(pointer, nowMs(), x, y, width, height);
    zwlr_virtual_pointer_v1_frame(pointer);
    letClientsCatchUp(display);
    zwlr_virtual_pointer_v1_button(pointer, nowMs(), kLeftButton, WL_POINTER_BUTTON_STATE_PRESSED);
    zwlr_virtual_pointer_v1_frame(pointer);
    wl_display_roundtrip(display);
    usleep(50 * 1000);
    zwlr_virtual_pointer_v1_button(pointer, nowMs(), kLeftButton, WL_POINTER_BUTTON_STATE_RELEASED);
    zwlr_virtual_pointer_v1_frame(pointer);
    letClientsCatchUp(display);
    zwlr_virtual_pointer_v1_destroy(pointer);
    const int status = wl_display_roundtrip(display) < 0 ? 1 : 0;
    wl_display_disconnect(display);
    return status;
}
