// Times the Wayland host against the compositor it runs under: refreshing the window list,
// and typing 100 characters into the focused window, with and without characters that the
// layout lacks. Prints the median of each in milliseconds. Run by wayland.sh.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/linux/wayland/wayland_connection.h"
#include "platform/linux/wayland/wayland_keyboard.h"
#include "platform/linux/wayland/wayland_window_system.h"

namespace {

using namespace sortwell::platform;
using namespace sortwell::platform::wayland;

template <typename Work>
double medianMs(int runs, Work work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

std::vector<KeyEvent> typing(const std::u32string& text) {
    std::vector<KeyEvent> events;
    for (const char32_t character : text) {
        events.push_back({KeyEvent::Action::Press, character});
        events.push_back({KeyEvent::Action::Release, character});
    }
    return events;
}

std::u32string repeated(const std::u32string& part, std::size_t length) {
    std::u32string text;
    while (text.size() < length) {
        text += part;
    }
    return text.substr(0, length);
}

}  // namespace

int main() {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    const auto connection = WaylandConnection::open(name == nullptr ? "" : name);
    if (!connection->offersWindowProtocols()) {
        std::fprintf(stderr, "wayland_timing: %s\n", connection->unavailableReason().c_str());
        return 1;
    }
    WaylandWindowSystem windows(connection);
    WaylandKeyboard keyboard(connection);
    std::size_t listed = 0;
    const double refresh = medianMs(50, [&] { listed = windows.listTopLevelWindows().size(); });
    const auto plain = typing(repeated(U"Sortwell types 42 Keys! ", 100));
    const auto foreign = typing(repeated(U"Stra\u00DFe 5 \u20AC ", 100));
    std::string error;
    const double typePlain = medianMs(20, [&] { error += keyboard.send(plain); });
    const double typeForeign = medianMs(20, [&] { error += keyboard.send(foreign); });
    if (!error.empty()) {
        std::fprintf(stderr, "wayland_timing: %s\n", error.c_str());
        return 1;
    }
    std::printf("window list refresh, %zu toplevels: median %.3f ms (50 runs)\n", listed, refresh);
    std::printf("typing 100 characters on the layout: median %.3f ms (20 runs)\n", typePlain);
    std::printf("typing 100 characters, some off the layout: median %.3f ms (20 runs)\n",
                typeForeign);
    return 0;
}
