#include "components/file_dialog.h"

#include <QFileDialog>
#include <QQueue>

namespace {

struct Record {
    QQueue<QString> choices;
    QList<FileDialog::Request> requests;
};

Record& record() {
    static Record instance;
    return instance;
}

// The prepared choice, if a test gave one; otherwise nothing and the dialog opens.
bool takePreparedChoice(const FileDialog::Request& request, QString& choice) {
    auto& state = record();
    state.requests.append(request);
    if (state.choices.isEmpty()) {
        return false;
    }
    choice = state.choices.dequeue();
    return true;
}

}  // namespace

QString FileDialog::existingFolder(QWidget* owner, const QString& title,
                                   const QString& startFolder) {
    QString choice;
    if (takePreparedChoice({startFolder, title, {}}, choice)) {
        return choice;
    }
    return QFileDialog::getExistingDirectory(owner, title, startFolder, QFileDialog::ShowDirsOnly);
}

QString FileDialog::openFile(QWidget* owner, const QString& title, const QString& startFolder,
                             const QString& filter) {
    QString choice;
    if (takePreparedChoice({startFolder, title, filter}, choice)) {
        return choice;
    }
    return QFileDialog::getOpenFileName(owner, title, startFolder, filter);
}

void FileDialog::setNextChoice(const QString& choice) {
    record().choices.enqueue(choice);
}

int FileDialog::choicesLeft() {
    return static_cast<int>(record().choices.size());
}

QList<FileDialog::Request> FileDialog::requests() {
    return record().requests;
}

void FileDialog::clear() {
    record().choices.clear();
    record().requests.clear();
}
