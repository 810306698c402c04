// Starts a program and reports, as one line of key=value pairs:
//   mapped_ms   from just before the spawn until the X server maps its window of a given title
//   cpu_to_map_ms  CPU time of all its threads up to that moment (scheduler statistics, in ns)
//   vmhwm_kb    peak resident memory once the window has settled
//   startup_cpu_ms  CPU time used up to that moment
//   idle_cpu_ms over a following idle period, with the context switches of its main thread
//               (its wake-ups) in that period
// The program is ended with SIGTERM afterwards.
//   launch_and_measure [--window TITLE] [--settle MS] [--idle SECONDS] -- PROGRAM [ARGS...]
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

extern char** environ;

namespace {

constexpr int kWindowTimeoutMs = 30000;

double NowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Windows vanish between an event and the look at them; that is no failure here.
int IgnoreXErrors(Display*, XErrorEvent*) {
    return 0;
}

std::string WindowTitle(Display* display, Window window) {
    const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, netWmName, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data != nullptr) {
        std::string title(reinterpret_cast<char*>(data), count);
        XFree(data);
        if (!title.empty()) {
            return title;
        }
    }
    char* name = nullptr;
    if (XFetchName(display, window, &name) != 0 && name != nullptr) {
        std::string title(name);
        XFree(name);
        return title;
    }
    return {};
}

bool IsMappedWithTitle(Display* display, Window window, const std::string& title) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) != 0 &&
           attributes.map_state != IsUnmapped && WindowTitle(display, window) == title;
}

// Waits until a top-level window named `title` is mapped; the moment it saw that, or nothing.
std::optional<double> WaitForMappedWindow(Display* display, const std::string& title) {
    const double deadline = NowMs() + kWindowTimeoutMs;
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event{};
            XNextEvent(display, &event);
            if (event.type == CreateNotify) {
                const Window created = event.xcreatewindow.window;
                XSelectInput(display, created, StructureNotifyMask);
                XSync(display, False);
                // It may have been mapped before it was watched.
                if (IsMappedWithTitle(display, created, title)) {
                    return NowMs();
                }
            } else if (event.type == MapNotify && event.xmap.event == event.xmap.window &&
                       WindowTitle(display, event.xmap.window) == title) {
                return NowMs();
            }
        }
        const double left = deadline - NowMs();
        if (left <= 0) {
            return std::nullopt;
        }
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, static_cast<int>(left) + 1);
    }
}

std::string ProcText(pid_t pid, const char* file) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/" + file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

long StatusField(pid_t pid, const std::string& field) {
    std::istringstream status(ProcText(pid, "status"));
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0) {
            return std::strtol(line.c_str() + field.size() + 1, nullptr, 10);
        }
    }
    return -1;
}

// utime + stime in milliseconds; the fields after the name, which may hold spaces.
double CpuMs(pid_t pid) {
    const std::string stat = ProcText(pid, "stat");
    const std::size_t nameEnd = stat.rfind(')');
    if (nameEnd == std::string::npos) {
        return -1;
    }
    std::istringstream fields(stat.substr(nameEnd + 2));
    std::string skipped;
    for (int field = 3; field < 14; ++field) {
        fields >> skipped;
    }
    unsigned long long user = 0;
    unsigned long long system = 0;
    fields >> user >> system;
    return static_cast<double>(user + system) * 1e3 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Time on a CPU of every thread so far, from the scheduler's own nanosecond counts.
double ThreadsCpuMs(pid_t pid) {
    double total = 0;
    std::error_code error;
    for (const auto& task :
         std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        std::ifstream in(task.path() / "schedstat");
        unsigned long long ns = 0;
        if (in >> ns) {
            total += static_cast<double>(ns) / 1e6;
        }
    }
    return total;
}

long ContextSwitches(pid_t pid) {
    return StatusField(pid, "voluntary_ctxt_switches") +
           StatusField(pid, "nonvoluntary_ctxt_switches");
}

void EndChild(pid_t pid) {
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
}

int Usage() {
    std::fprintf(stderr,
                 "usage: launch_and_measure [--window TITLE] [--settle MS] [--idle SECONDS] "
                 "-- PROGRAM [ARGS...]\n");
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    std::string title;
    int settleMs = 1000;
    int idleSeconds = 0;
    int arg = 1;
    for (; arg < argc && std::strcmp(argv[arg], "--") != 0; ++arg) {
        if (arg + 1 >= argc) {
            return Usage();
        }
        if (std::strcmp(argv[arg], "--window") == 0) {
            title = argv[++arg];
        } else if (std::strcmp(argv[arg], "--settle") == 0) {
            settleMs = std::atoi(argv[++arg]);
        } else if (std::strcmp(argv[arg], "--idle") == 0) {
            idleSeconds = std::atoi(argv[++arg]);
        } else {
            return Usage();
        }
    }
    if (arg + 1 >= argc) {
        return Usage();
    }
    char** command = argv + arg + 1;

    const std::unique_ptr<Display, int (*)(Display*)> display(XOpenDisplay(nullptr), XCloseDisplay);
    if (!display) {
        std::fprintf(stderr, "launch_and_measure: no X display\n");
        return 1;
    }
    XSetErrorHandler(IgnoreXErrors);
    // Watching starts before the program does, so no window of it can be missed.
    XSelectInput(display.get(), DefaultRootWindow(display.get()), SubstructureNotifyMask);
    XSync(display.get(), False);

    const double started = NowMs();
    pid_t pid = 0;
    if (const int error = posix_spawnp(&pid, command[0], nullptr, nullptr, command, environ)) {
        std::fprintf(stderr, "launch_and_measure: cannot start %s: %s\n", command[0],
                     std::strerror(error));
        return 1;
    }

    std::printf("program=%s", command[0]);
    if (!title.empty()) {
        const std::optional<double> mapped = WaitForMappedWindow(display.get(), title);
        if (!mapped) {
            std::printf(" error=window_not_mapped\n");
            EndChild(pid);
            return 1;
        }
        std::printf(" mapped_ms=%.1f cpu_to_map_ms=%.1f", *mapped - started, ThreadsCpuMs(pid));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
    const double startupCpu = CpuMs(pid);
    std::printf(" vmhwm_kb=%ld vmrss_kb=%ld startup_cpu_ms=%.0f", StatusField(pid, "VmHWM"),
                StatusField(pid, "VmRSS"), startupCpu);
    if (idleSeconds > 0) {
        const long switchesBefore = ContextSwitches(pid);
        const double wallBefore = NowMs();
        std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
        const double idleCpu = CpuMs(pid) - startupCpu;
        const double wall = NowMs() - wallBefore;
        std::printf(" idle_wall_ms=%.0f idle_cpu_ms=%.0f idle_cpu_percent=%.3f idle_ctxsw=%ld",
                    wall, idleCpu, idleCpu * 100.0 / wall, ContextSwitches(pid) - switchesBefore);
    }
    std::printf("\n");
    std::fflush(stdout);
    EndChild(pid);
    return 0;
}
