#include "components/preview_client.h"

#include <QCoreApplication>

#include "desk/preview_reply.h"

namespace desk = sortwell::desk;

namespace {

PreviewResult Failure(const QString& path, const QString& reason) {
    PreviewResult result;
    result.path = path;
    result.problem = reason;
    return result;
}

QImage PictureFrom(const char* pixels, int width, int height) {
    const auto* bits = reinterpret_cast<const uchar*>(pixels);
    // The copy owns its pixels; the view on the process's buffer would not outlive it.
    return QImage(bits, width, height, width * 4, QImage::Format_ARGB32).copy();
}

}  // namespace

PreviewClient::PreviewClient(QObject* parent) : QObject(parent), helperPath_(defaultHelperPath()) {
    timeLimit_.setSingleShot(true);
    // A coarse timer may fire up to 5 % early, and the limit the user reads is 5 s.
    timeLimit_.setTimerType(Qt::PreciseTimer);
    timeLimit_.setInterval(kTimeLimitMs);
    connect(&timeLimit_, &QTimer::timeout, this, &PreviewClient::onTimeout);
}

PreviewClient::~PreviewClient() {
    cancel();
}

QString PreviewClient::defaultHelperPath() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/sortwell-preview");
}

void PreviewClient::request(const QString& path, QSize size) {
    cancel();
    path_ = path;
    timedOut_ = false;
    process_ = new QProcess(this);
    process_->setStandardErrorFile(QProcess::nullDevice());
    connect(process_, &QProcess::finished, this, &PreviewClient::onFinished);
    connect(process_, &QProcess::errorOccurred, this, &PreviewClient::onStartFailed);
    timeLimit_.start();
    process_->start(helperPath_,
                    {path, QString::number(size.width()), QString::number(size.height())});
}

void PreviewClient::cancel() {
    timeLimit_.stop();
    if (process_ == nullptr) {
        return;
    }
    QProcess* process = process_;
    process_ = nullptr;
    process->disconnect(this);
    if (process->state() == QProcess::NotRunning) {
        process->deleteLater();
        return;
    }
    // The killed helper is reaped when it has gone, without making the desk wait.
    connect(process, &QProcess::finished, process, &QObject::deleteLater);
    process->kill();
}

bool PreviewClient::isRunning() const {
    return process_ != nullptr;
}

void PreviewClient::onFinished(int exitCode, QProcess::ExitStatus status) {
    report(readResult(exitCode, status));
}

void PreviewClient::onStartFailed(QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) {
        return;  // a crash or a kill also ends in finished(), which reports it
    }
    report(Failure(path_, QStringLiteral("the preview program could not be started: ") +
                              process_->errorString()));
}

void PreviewClient::onTimeout() {
    timedOut_ = true;
    process_->kill();
}

void PreviewClient::report(PreviewResult result) {
    timeLimit_.stop();
    process_->disconnect(this);
    process_->deleteLater();
    process_ = nullptr;
    emit finished(result);
}

PreviewResult PreviewClient::readResult(int exitCode, QProcess::ExitStatus status) {
    if (timedOut_) {
        return Failure(path_,
                       QStringLiteral("rendering took longer than %1 s").arg(kTimeLimitMs / 1000));
    }
    if (status == QProcess::CrashExit) {
        return Failure(path_, QStringLiteral("the preview program failed on this file"));
    }
    const QByteArray output = process_->readAllStandardOutput();
    const qsizetype lineEnd = output.indexOf('\n');
    const desk::PreviewHeader header = desk::ParsePreviewHeader(
        lineEnd < 0 ? std::string_view{} : std::string_view(output.constData(), lineEnd + 1));
    if (!header.problem.empty()) {
        return Failure(path_, QString::fromStdString(header.problem));
    }
    const auto pixelBytes = static_cast<std::size_t>(output.size() - lineEnd - 1);
    if (exitCode != 0 || pixelBytes != header.pixelBytes()) {
        return Failure(path_, QStringLiteral("the preview program gave an incomplete picture"));
    }
    PreviewResult result;
    result.path = path_;
    result.pages = header.pages;
    result.image = PictureFrom(output.constData() + lineEnd + 1, header.width, header.height);
    return result;
}
