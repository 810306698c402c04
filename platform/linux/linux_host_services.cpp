#include <memory>

#include "platform/host_services.h"
#include "platform/linux/inotify_folder_watch.h"
#include "platform/linux/posix_document_files.h"
#include "platform/linux/posix_journal_file.h"
#include "platform/linux/posix_process_control.h"
#include "platform/linux/posix_program_runner.h"
#include "platform/linux/wayland/wayland_connection.h"
#include "platform/linux/wayland/wayland_keyboard.h"
#include "platform/linux/wayland/wayland_process_control.h"
#include "platform/linux/wayland/wayland_window_system.h"
#include "platform/linux/x11/x11_connection.h"
#include "platform/linux/x11/x11_keyboard.h"
#include "platform/linux/x11/x11_window_system.h"
#include "platform/linux/xdg_paths.h"
#include "platform/unavailable_desktop.h"

namespace sortwell::platform {
namespace {

// Files and settings work in every session; the windows and keys need a window host.
class LinuxHostServices : public HostServices {
public:
    explicit LinuxHostServices(const SessionEnvironment& environment)
        : choice_(chooseHost(environment)),
          // Moves that a crash interrupted are finished through this journal.
          documents_(linux_host::cacheHome() + "/tessaryn/sortwell-moves"),
          journal_(linux_host::stateHome() + "/tessaryn/sortwell-journal") {
        if (!useWaylandIfItOffersWindows(environment)) {
            useX11OrNothing(environment);
        }
    }

    const Host& store() override { return NativeHost(); }
    DocumentFiles& documents() override { return documents_; }
    FolderWatch& folderWatch() override { return folderWatch_; }
    WindowSystem& windowSystem() override { return *windowSystem_; }
    Keyboard& keyboard() override { return *keyboard_; }
    ProcessControl& processControl() override { return *processControl_; }
    ProgramRunner& programRunner() override { return programRunner_; }
    JournalFile& journal() override { return journal_; }
    const HostChoice& choice() const override { return choice_; }
    std::string finishInterruptedWork() override { return documents_.finishInterruptedMoves(); }

private:
    // A wlroots compositor's own window list and keyboard serve better than XWayland, which
    // sees only its own clients. Whether the compositor's host is the one in use.
    bool useWaylandIfItOffersWindows(const SessionEnvironment& environment) {
        if (choice_.session != SessionKind::Wayland || environment.waylandDisplay.empty()) {
            return false;
        }
        auto compositor = wayland::WaylandConnection::open(environment.waylandDisplay);
        if (!compositor->offersWindowProtocols()) {
            compositorWithoutWindows_ = compositor->isOpen();
            return false;
        }
        choice_ = {SessionKind::Wayland, WindowHost::Wayland, {}, {}};
        windowSystem_ = std::make_unique<wayland::WaylandWindowSystem>(compositor);
        keyboard_ = std::make_unique<wayland::WaylandKeyboard>(compositor);
        processControl_ = std::make_unique<wayland::WaylandProcessControl>(
            compositor, std::make_unique<linux_host::PosixProcessControl>(nullptr));
        return true;
    }

    void useX11OrNothing(const SessionEnvironment& environment) {
        if (choice_.windows == WindowHost::X11) {
            useX11(environment);
        }
        const bool x11Usable = choice_.windows == WindowHost::X11 && choice_.reason.empty();
        if (compositorWithoutWindows_ && !x11Usable) {
            choice_ = {
                SessionKind::Wayland, WindowHost::Unavailable, noWindowAccessOnThisDesktop(), {}};
        }
        if (choice_.windows != WindowHost::X11) {
            useNoWindowHost();
        }
    }

    void useX11(const SessionEnvironment& environment) {
        const std::shared_ptr<x11::X11Connection> display = x11::X11Connection::open(environment);
        windowSystem_ = std::make_unique<x11::X11WindowSystem>(display);
        keyboard_ = std::make_unique<x11::X11Keyboard>(display);
        processControl_ = std::make_unique<linux_host::PosixProcessControl>(display);
        if (!display->isOpen()) {
            choice_.reason = display->unavailableReason();
            choice_.notice.clear();
        }
    }

    void useNoWindowHost() {
        windowSystem_ = std::make_unique<UnavailableDesktop>(choice_.reason);
        keyboard_ = std::make_unique<UnavailableDesktop>(choice_.reason);
        processControl_ = std::make_unique<linux_host::PosixProcessControl>(nullptr);
    }

    HostChoice choice_;
    bool compositorWithoutWindows_ = false;
    linux_host::PosixDocumentFiles documents_;
    linux_host::PosixJournalFile journal_;
    linux_host::InotifyFolderWatch folderWatch_;
    std::unique_ptr<WindowSystem> windowSystem_;
    std::unique_ptr<Keyboard> keyboard_;
    std::unique_ptr<ProcessControl> processControl_;
    linux_host::PosixProgramRunner programRunner_;
};

}  // namespace

std::unique_ptr<HostServices> MakeHostServices(const SessionEnvironment& environment) {
    return std::make_unique<LinuxHostServices>(environment);
}

}  // namespace sortwell::platform
