#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTimer>

// The stand-in scanner's main window. Enter starts a scan: a short-lived "Loading" window,
// then a confirmation that wants two more Enter presses, and then the PDF, written into the
// output folder in pieces over a few hundred milliseconds as a scanner writes it.
class ScannerWindow : public QLabel {
    Q_OBJECT
public:
    ScannerWindow(const QDir& output, const QDir& copies);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum class State { Ready, Loading, Confirming, Writing };

    void startScan();
    void finishLoading();
    void startWriting();
    void writeNextPiece();
    QString nextFileName() const;
    void say(const QString& line) const;

    QDir output_;
    QDir copies_;
    State state_ = State::Ready;
    int confirmationsLeft_ = 0;
    int scans_ = 0;
    QLabel loading_;
    QFile target_;
    QByteArray document_;
    qsizetype written_ = 0;
    QTimer pieceTimer_;
};
