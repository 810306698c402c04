// One refresh of the window list with 50 top-level windows, as the automation does every
// 500 ms. Needs a display with a window manager:
//   tests/x11/run_under_xvfb.sh <build>/bench/x11_window_list_bench
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/x11/x11_connection.h"
#include "platform/linux/x11/x11_window_system.h"

namespace {

using sortwell::platform::x11::X11Connection;
using sortwell::platform::x11::X11WindowSystem;

constexpr int kWindows = 50;

// Plain windows with titles, made by the benchmark's own connection and mapped so that the
// window manager lists them.
class TitledWindows {
public:
    explicit TitledWindows(int count) : display_(XOpenDisplay(nullptr)) {
        if (display_ == nullptr) {
            return;
        }
        const Atom name = XInternAtom(display_, "_NET_WM_NAME", False);
        const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
        for (int index = 0; index < count; ++index) {
            const std::string title = "Benchmark window " + std::to_string(index);
            const Window window =
                XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 120, 80, 0, 0, 0);
            XChangeProperty(display_, window, name, utf8, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(title.data()),
                            static_cast<int>(title.size()));
            XMapWindow(display_, window);
        }
        XSync(display_, False);
    }
    ~TitledWindows() {
        if (display_ != nullptr) {
            XCloseDisplay(display_);
        }
    }
    TitledWindows(const TitledWindows&) = delete;
    TitledWindows& operator=(const TitledWindows&) = delete;

    bool isOpen() const { return display_ != nullptr; }

private:
    Display* display_;
};

// The window manager takes the windows on in its own time.
bool awaitListed(X11WindowSystem& windows, std::size_t count) {
    for (int tries = 0; tries < 500; ++tries) {
        if (windows.listTopLevelWindows().size() >= count) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

void BM_WindowListRefresh50Windows(benchmark::State& state) {
    const auto connection = X11Connection::open();
    X11WindowSystem windows(connection);
    const TitledWindows titled(kWindows);
    if (!windows.isAvailable() || !titled.isOpen()) {
        state.SkipWithError(windows.isAvailable() ? "cannot open the display"
                                                  : windows.unavailableReason().c_str());
        return;
    }
    if (!awaitListed(windows, kWindows)) {
        state.SkipWithError("the window manager did not list the 50 windows");
        return;
    }
    std::size_t listed = 0;
    for (auto _ : state) {
        const auto list = windows.listTopLevelWindows();
        listed = list.size();
        benchmark::DoNotOptimize(list.data());
    }
    state.counters["windows"] = static_cast<double>(listed);
}
BENCHMARK(BM_WindowListRefresh50Windows)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
