#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include <QSessionManager>
#include <QTimer>

#include "app/desk_windows.h"
#include "app/sortwell_application.h"
#include "app/termination_signals.h"
#include "components/message_box.h"
#include "components/single_instance.h"
#include "desk/hand_over.h"
#include "desk/settings_model.h"
#include "desk/undo_filing.h"
#include "platform/host_services.h"

namespace {

constexpr int kRefusedExitCode = 2;

// --help, --version and arguments that make no sense need no display.
int AnswerWithoutDesk(const sortwell::desk::CommandLine& command) {
    using Action = sortwell::desk::CommandLine::Action;
    if (command.action == Action::Help) {
        std::fwrite(sortwell::desk::kUsageText.data(), 1, sortwell::desk::kUsageText.size(),
                    stdout);
        return 0;
    }
    if (command.action == Action::Version) {
        std::printf("sortwell %s\n", SORTWELL_VERSION);
        return 0;
    }
    std::fprintf(stderr, "sortwell: %s\n", command.problem.c_str());
    return kRefusedExitCode;
}

void ConfigureStore(TQDReg& store) {
    store.Programmname = "Sortwell";
    store.Firmenname = "tessaryn";
    store.IniFileName = "QSortwell.ini";
}

// Ends the program the way "&Exit" does, without dismissing the document at hand.
void EndWithoutDismissing(TForm1& desk) {
    desk.exitRequested = true;
    QApplication::quit();
}

using Say = void (*)(QWidget*, const QString&, const QString&);

// Shows `text`, if any, once the event loop runs, so that the start is not held up by it.
void SayOnceRunning(TForm1& desk, Say say, const std::string& text) {
    if (text.empty()) {
        return;
    }
    QTimer::singleShot(0, &desk, [&desk, say, text] {
        say(&desk, QStringLiteral("Tessaryn Sortwell"), QString::fromStdString(text));
    });
}

// Puts the files of --present into the input folder and returns where they are now; stderr
// says why any was refused.
sortwell::desk::HandOverResult PutIntoInputFolder(const std::vector<std::string>& files,
                                                  TQDReg& store,
                                                  sortwell::platform::DocumentFiles& documents) {
    if (!store.LoadFromRegistry() && !store.LastError().empty()) {
        std::fprintf(stderr, "sortwell: %s\n", store.LastError().c_str());
    }
    const std::string inputFolder = sortwell::desk::LoadSettings(store).snapshot.inputDir;
    sortwell::desk::HandOverResult result = sortwell::desk::HandOverAll(
        files, std::filesystem::current_path().string(), inputFolder, documents);
    for (const std::string& problem : result.problems) {
        std::fprintf(stderr, "sortwell: %s\n", problem.c_str());
    }
    return result;
}

struct OpenedJournal {
    bool usable = false;  // a journal that could not be read is not written to either
    std::string said;     // what the user should hear of it
};

// Reads the filing journal and ends the undos a crash interrupted.
OpenedJournal OpenJournal(sortwell::desk::FilingJournal& journal,
                          sortwell::platform::DocumentFiles& documents) {
    if (std::string problem = journal.load(); !problem.empty()) {
        return {false,
                "The filing journal cannot be read, so filings cannot be taken back: " + problem};
    }
    return {true, sortwell::desk::FinishInterruptedUndos(journal, documents)};
}

int RunDesk(SortwellApplication& app, const sortwell::desk::CommandLine& command) {
    // The host comes first: a hand-over reads the settings and moves files before it knows
    // whether a desk runs already.
    const std::unique_ptr<sortwell::platform::HostServices> host =
        sortwell::platform::MakeHostServices(
            sortwell::platform::SessionEnvironment::ofThisProcess());
    TQDReg store(host->store());
    ConfigureStore(store);
    SingleInstance instance;
    std::vector<std::string> handedOver;
    bool refused = false;
    if (command.action == sortwell::desk::CommandLine::Action::Present) {
        const sortwell::desk::HandOverResult result =
            PutIntoInputFolder(command.files, store, host->documents());
        refused = !result.problems.empty();
        // Files that a later failed move left behind are in the input folder all the same.
        if (result.paths.empty() && refused) {
            return kRefusedExitCode;
        }
        handedOver = result.paths;
        instance.handOverFiles(handedOver);
    }
    const bool undo = command.action == sortwell::desk::CommandLine::Action::Undo;
    if (undo) {
        instance.handOverUndo();
    }
    if (!instance.claim()) {
        if (!instance.errorString().isEmpty()) {
            std::fprintf(stderr, "sortwell: %s\n", qPrintable(instance.errorString()));
            return 1;
        }
        // The running program shows its window, and the files handed to it.
        return refused ? kRefusedExitCode : 0;
    }
    // Interrupted moves first: an interrupted undo is judged by where its document is now.
    std::string leftovers = host->finishInterruptedWork();
    sortwell::desk::FilingJournal journal(host->journal());
    const OpenedJournal opened = OpenJournal(journal, host->documents());
    if (!opened.said.empty()) {
        leftovers += (leftovers.empty() ? "" : "\n") + opened.said;
    }

    DeskServices services;
    services.store = &store;
    services.files = &host->documents();
    services.folderWatch = &host->folderWatch();
    services.windowSystem = &host->windowSystem();
    services.processControl = &host->processControl();
    services.keyboard = &host->keyboard();
    services.programRunner = &host->programRunner();
    services.journal = opened.usable ? &journal : nullptr;
    UseSystemClocksAndDesktop(services);
    DeskWindows windows(services);
    TForm1& desk = *windows.Form1;

    QObject::connect(&instance, &SingleInstance::showRequested, &desk,
                     &TForm1::ShowMainWindow1Click);
    QObject::connect(
        &instance, &SingleInstance::presentRequested, &desk,
        [&desk](const QByteArray& path) { desk.PresentHandedOver(path.toStdString()); });
    QObject::connect(&instance, &SingleInstance::undoRequested, &desk, &TForm1::UndoLastFiling);
    for (const std::string& path : handedOver) {
        desk.PresentHandedOver(path);
    }
    if (undo) {
        desk.UndoWhenStarted();
    }
    TerminationSignals terminationSignals;
    QObject::connect(&terminationSignals, &TerminationSignals::terminationRequested, &desk,
                     [&desk] { EndWithoutDismissing(desk); });
    // At log-off the session may close the window; that must not delete the document.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &desk,
                     [&desk](QSessionManager&) { desk.SessionEnding(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &desk,
                     [&store] { store.FlushRegistry(); });

    SayOnceRunning(desk, &MessageBox::warning, leftovers);
    SayOnceRunning(desk, &MessageBox::information, host->choice().notice);
    desk.show();
    return QApplication::exec();
}

}  // namespace

int main(int argc, char* argv[]) {
    const sortwell::desk::CommandLine command =
        sortwell::desk::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    using Action = sortwell::desk::CommandLine::Action;
    if (command.action != Action::RunDesk && command.action != Action::Present &&
        command.action != Action::Undo) {
        return AnswerWithoutDesk(command);
    }
    SortwellApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessaryn Sortwell Store"));
    // Desktops match the windows to the menu entry by it (the Wayland app id).
    QGuiApplication::setDesktopFileName(QStringLiteral("com.tessaryn.Sortwell"));
    // Going to the tray hides the last window; that is no reason to end.
    QApplication::setQuitOnLastWindowClosed(false);
    try {
        return RunDesk(app, command);
    } catch (const std::exception& error) {
        MessageBox::critical(nullptr, QApplication::applicationName(),
                             QString::fromUtf8(error.what()));
    }
    return 0;
}
