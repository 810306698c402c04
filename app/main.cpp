#include <cstdio>
#include <exception>

#include <QSessionManager>
#include <QTimer>

#include "app/desk_windows.h"
#include "app/sortwell_application.h"
#include "app/termination_signals.h"
#include "components/message_box.h"
#include "components/single_instance.h"
#include "platform/host_services.h"

namespace {

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

int RunDesk(SortwellApplication& app) {
    SingleInstance instance;
    if (!instance.claim()) {
        if (!instance.errorString().isEmpty()) {
            std::fprintf(stderr, "sortwell: %s\n", qPrintable(instance.errorString()));
            return 1;
        }
        return 0;  // the running program shows its window instead
    }

    const std::unique_ptr<sortwell::platform::HostServices> host =
        sortwell::platform::MakeHostServices(
            sortwell::platform::SessionEnvironment::ofThisProcess());
    const std::string leftovers = host->finishInterruptedWork();
    TQDReg store(host->store());
    ConfigureStore(store);

    DeskServices services;
    services.store = &store;
    services.files = &host->documents();
    services.windowSystem = &host->windowSystem();
    services.processControl = &host->processControl();
    services.keyboard = &host->keyboard();
    UseSystemClocksAndDesktop(services);
    DeskWindows windows(services);
    TForm1& desk = *windows.Form1;

    QObject::connect(&instance, &SingleInstance::showRequested, &desk,
                     &TForm1::ShowMainWindow1Click);
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
    SortwellApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessaryn Sortwell Store"));
    // Going to the tray hides the last window; that is no reason to end.
    QApplication::setQuitOnLastWindowClosed(false);
    try {
        return RunDesk(app);
    } catch (const std::exception& error) {
        MessageBox::critical(nullptr, QApplication::applicationName(),
                             QString::fromUtf8(error.what()));
    }
    return 0;
}
