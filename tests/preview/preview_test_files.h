#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// Writes test documents into a temporary folder. A document written "settled" looks as if the
// scanner finished it a while ago, so its preview does not wait for the file to be quiet.
class PreviewTestFiles {
public:
    bool isValid() const { return folder_.isValid(); }

    QString write(const QString& name, const QByteArray& bytes, bool settled = true) {
        const QString path = folder_.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            return {};
        }
        if (settled && !file.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                         QFileDevice::FileModificationTime)) {
            return {};
        }
        return path;
    }

    QString path(const QString& name) const { return folder_.filePath(name); }

private:
    QTemporaryDir folder_;
};
