// A stand-in for the scanner program that the default automation script drives: a window
// titled "ScanSnap QuickMenu" that scans on Enter and writes a one-page PDF into a folder.
#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>

#include "scanner_window.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("A stand-in scanner program for the tests.");
    parser.addHelpOption();
    const QCommandLineOption output("output", "The folder the scans are written into.", "folder");
    const QCommandLineOption copies("copies", "A folder that keeps a copy of every scan.",
                                    "folder");
    parser.addOption(output);
    parser.addOption(copies);
    parser.process(application);
    const QDir outputFolder(parser.value(output));
    const QDir copiesFolder(parser.value(copies));
    if (!parser.isSet(output) || !parser.isSet(copies) || !outputFolder.exists() ||
        !copiesFolder.exists()) {
        std::fprintf(stderr, "Give an existing --output and --copies folder.\n");
        return 2;
    }
    ScannerWindow window(outputFolder, copiesFolder);
    window.show();
    window.activateWindow();
    return QApplication::exec();
}
