#include "components/qbrfolder.h"

#include <QFileInfo>

#include "components/file_dialog.h"

QString TQBrFolder::Execute(const QString& startFolder, const QString& title, QWidget* owner) {
    const QString start = QFileInfo(startFolder).isDir() ? startFolder : QString();
    QString chosen = FileDialog::existingFolder(owner, title, start);
    while (chosen.size() > 1 && chosen.endsWith(QLatin1Char('/'))) {
        chosen.chop(1);
    }
    return chosen;
}
