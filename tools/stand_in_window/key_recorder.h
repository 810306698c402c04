#pragma once

#include <QFile>
#include <QLabel>
#include <QString>

// Shows and records the text that key events bring: each character as typed, Enter as a line
// feed, Escape as "<esc>", Tab as a tab. The record file is flushed after every key so that a
// test sees exactly what arrived so far.
class KeyRecorder : public QLabel {
public:
    explicit KeyRecorder(const QString& recordPath);

    // Why the record file cannot be written, or empty text.
    QString openError() const;
    // As a program with unsaved work would: a request to close is turned down.
    void refuseToClose() { refusesToClose_ = true; }

protected:
    bool event(QEvent* event) override;  // Tab reaches us here before focus handling
    void keyPressEvent(QKeyEvent* event) override;

private:
    void record(const QString& text);

    QFile file_;
    QString shown_;
    bool refusesToClose_ = false;
};
