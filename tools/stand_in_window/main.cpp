// A window that stands in for another program in the tests: it carries a given title, says
// "ready" once it is on the screen, and records every key it receives.
#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <QWindow>
#include <cstdio>

#include "key_recorder.h"

namespace {

// Says "ready" on stdout once the window is exposed, that is mapped and on the screen. Asked
// on a short timer rather than told by an event, so that an early expose cannot slip by.
void announceReadyWhenExposed(QWidget& window, QTimer& poll) {
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, &window, [&window, &poll] {
        if (window.windowHandle() != nullptr && window.windowHandle()->isExposed()) {
            poll.stop();
            std::puts("ready");
            std::fflush(stdout);
        }
    });
    poll.start();
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("A stand-in window that records the keys it receives.");
    parser.addHelpOption();
    const QCommandLineOption title("title", "The window title.", "text", "Stand-in window");
    const QCommandLineOption recordFile("record", "Append received text to this file.", "file");
    parser.addOption(title);
    parser.addOption(recordFile);
    const QCommandLineOption refuseClose("refuse-close", "Turn down every request to close.");
    parser.addOption(refuseClose);
    parser.process(application);

    KeyRecorder window(parser.value(recordFile));
    if (const QString error = window.openError(); !error.isEmpty()) {
        std::fprintf(stderr, "Cannot write the record file: %s\n", qPrintable(error));
        return 2;
    }
    if (parser.isSet(refuseClose)) {
        window.refuseToClose();
    }
    window.setWindowTitle(parser.value(title));
    window.setFocus();
    window.show();
    QTimer readyPoll;
    announceReadyWhenExposed(window, readyPoll);
    return QApplication::exec();
}
