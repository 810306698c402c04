#include "scanner_window.h"

#include <QDateTime>
#include <QFileInfo>
#include <QKeyEvent>
#include <algorithm>
#include <cstdio>

#include "one_page_pdf.h"

namespace {
constexpr int kLoadingMs = 1200;
constexpr int kWriteDelayMs = 1500;
constexpr int kPieces = 4;
constexpr int kPieceIntervalMs = 100;
constexpr int kConfirmations = 2;
}  // namespace

ScannerWindow::ScannerWindow(const QDir& output, const QDir& copies)
    : output_(output), copies_(copies) {
    setWindowTitle(QStringLiteral("ScanSnap QuickMenu"));
    setText(QStringLiteral("Ready to scan. Press Enter."));
    setMinimumSize(320, 120);
    setAlignment(Qt::AlignCenter);
    setFocusPolicy(Qt::StrongFocus);
    loading_.setWindowTitle(QStringLiteral("Loading"));
    loading_.setText(QStringLiteral("Scanning ..."));
    loading_.setMinimumSize(200, 60);
    // The scanner's own window keeps the keyboard, as the sequence's next Enter expects.
    loading_.setAttribute(Qt::WA_ShowWithoutActivating);
    pieceTimer_.setInterval(kPieceIntervalMs);
    connect(&pieceTimer_, &QTimer::timeout, this, &ScannerWindow::writeNextPiece);
}

void ScannerWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QLabel::keyPressEvent(event);
        return;
    }
    say(QStringLiteral("enter"));
    if (state_ == State::Ready) {
        startScan();
    } else if (state_ == State::Confirming && --confirmationsLeft_ == 0) {
        state_ = State::Writing;
        setText(QStringLiteral("Saving ..."));
        QTimer::singleShot(kWriteDelayMs, this, &ScannerWindow::startWriting);
    }
}

void ScannerWindow::startScan() {
    state_ = State::Loading;
    setText(QStringLiteral("Scanning ..."));
    loading_.show();
    say(QStringLiteral("loading"));
    QTimer::singleShot(kLoadingMs, this, &ScannerWindow::finishLoading);
}

void ScannerWindow::finishLoading() {
    loading_.hide();
    state_ = State::Confirming;
    confirmationsLeft_ = kConfirmations;
    setText(QStringLiteral("Scan finished. Press Enter twice to save."));
    activateWindow();
}

QString ScannerWindow::nextFileName() const {
    for (int number = scans_ + 1;; ++number) {
        QString name = QStringLiteral("scan%1.pdf").arg(number, 4, 10, QLatin1Char('0'));
        if (!output_.exists(name)) {
            return name;
        }
    }
}

void ScannerWindow::startWriting() {
    const QString name = nextFileName();
    ++scans_;
    document_ = OnePagePdf(QStringLiteral("Stand-in scan %1 (%2)").arg(scans_).arg(name));
    QFile copy(copies_.filePath(name));
    if (copy.open(QIODevice::WriteOnly)) {
        copy.write(document_);
    }
    target_.setFileName(output_.filePath(name));
    if (!target_.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        say(QStringLiteral("error cannot create ") + target_.fileName());
        state_ = State::Ready;
        return;
    }
    written_ = 0;
    say(QStringLiteral("arrived ") + name);
    writeNextPiece();
    pieceTimer_.start();
}

void ScannerWindow::writeNextPiece() {
    const qsizetype piece = (document_.size() + kPieces - 1) / kPieces;
    const qsizetype size = std::min(piece, document_.size() - written_);
    target_.write(document_.constData() + written_, size);
    target_.flush();
    written_ += size;
    if (written_ < document_.size()) {
        return;
    }
    pieceTimer_.stop();
    target_.close();
    say(QStringLiteral("complete ") + QFileInfo(target_).fileName());
    state_ = State::Ready;
    setText(QStringLiteral("Ready to scan. Press Enter."));
}

// One line per event on stdout, with the wall-clock time in milliseconds, for the test's log.
void ScannerWindow::say(const QString& line) const {
    std::printf("%lld %s\n", QDateTime::currentMSecsSinceEpoch(), qPrintable(line));
    std::fflush(stdout);
}
