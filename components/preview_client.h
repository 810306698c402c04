#pragma once

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QProcess>
#include <QSize>
#include <QString>
#include <QTimer>

// What the preview helper made of one document: a picture and the page count, or the reason
// there is none.
struct PreviewResult {
    QString path;
    QImage image;
    int pages = 0;
    QString problem;  // non-empty: no picture, and this says why, for the user

    bool ok() const { return problem.isEmpty(); }
};

// Runs the helper program `sortwell-preview` on one document at a time, without a shell, and
// kills it when it takes longer than the time limit. A newer request kills the older one,
// whose result is never reported.
class PreviewClient : public QObject {
    Q_OBJECT

public:
    static constexpr int kTimeLimitMs = 5000;

    explicit PreviewClient(QObject* parent = nullptr);
    ~PreviewClient() override;

    // The helper next to the running program.
    static QString defaultHelperPath();
    void setHelperPath(const QString& path) { helperPath_ = path; }
    QString helperPath() const { return helperPath_; }

    // Renders the first page of `path` fitted into `size`; reports through finished().
    void request(const QString& path, QSize size);
    // Stops the running render, if any, without a report.
    void cancel();
    bool isRunning() const;

signals:
    void finished(const PreviewResult& result);

private:
    void onFinished(int exitCode, QProcess::ExitStatus status);
    void onStartFailed(QProcess::ProcessError error);
    void onTimeout();
    void report(PreviewResult result);
    PreviewResult readResult(int exitCode, QProcess::ExitStatus status);

    QString helperPath_;
    QString path_;
    QProcess* process_ = nullptr;
    QTimer timeLimit_;
    bool timedOut_ = false;
};
