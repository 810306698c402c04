#pragma once

#include <QList>
#include <QString>

class QWidget;

// Every folder and file chooser the windows open goes through here, so that a test can give
// the choice in advance and see what was asked, without a dialog ever opening.
class FileDialog {
public:
    struct Request {
        QString startFolder;
        QString title;
        QString filter;  // empty for a folder
    };

    // An existing folder, chosen in a modal dialog that starts at `startFolder`; empty text
    // when the user cancels.
    static QString existingFolder(QWidget* owner, const QString& title, const QString& startFolder);
    // An existing file, chosen with the given filter ("All (*.ico *.bmp);;Icons (*.ico)"), the
    // first choice selected; empty text when the user cancels.
    static QString openFile(QWidget* owner, const QString& title, const QString& startFolder,
                            const QString& filter);

    // The next dialog returns `choice` (empty text for a cancel) without opening.
    static void setNextChoice(const QString& choice);
    static int choicesLeft();
    static QList<Request> requests();
    static void clear();
};
