#include "components/single_instance.h"

#include <optional>
#include <utility>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>

#include "components/instance_request.h"
#include "platform/local_channel.h"

using sortwell::platform::AcceptResult;
using sortwell::platform::AcceptStatus;
using sortwell::platform::LineReader;
using sortwell::platform::SocketResult;
using sortwell::platform::UniqueFd;

namespace {

// A request is one line, with at most a path in it; anything longer is not from Sortwell.
constexpr std::size_t kMaxRequestBytes = 16384;
constexpr int kConnectAttempts = 10;
constexpr int kConnectTimeoutMs = 200;
constexpr int kRetryPauseMs = 100;

// The runtime folder is private to the user; the temp folder is shared, so there the user
// id in the name keeps users apart.
QString perUserFolder() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

QString perUserName(const QString& key, const QString& suffix) {
    return key + QLatin1Char('-') + QString::fromStdString(sortwell::platform::currentUserId()) +
           suffix;
}

QString socketPath(const QString& key, const QString& lockPath) {
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty()) {
        folder = QFileInfo(lockPath).absolutePath();
    }
    return folder + QLatin1Char('/') + perUserName(key, QStringLiteral(".socket"));
}

std::string nativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString lockFailureReason(QLockFile::LockError error, const QString& path) {
    switch (error) {
        case QLockFile::PermissionError:
            return QStringLiteral("Cannot create the lock file %1: permission denied.").arg(path);
        case QLockFile::UnknownError:
            return QStringLiteral("Cannot create the lock file %1.").arg(path);
        case QLockFile::NoError:
        case QLockFile::LockFailedError:
            break;
    }
    return {};
}

// A file left behind is taken for a crash's leftover and replaced by the next start, so a
// failure to remove it costs nothing.
void removeSocketFile(const QString& path) {
    ::unlink(nativePath(path).c_str());
}

// A notifier must not be deleted while it delivers its own signal.
void retire(std::unique_ptr<QSocketNotifier>& notifier) {
    notifier->setEnabled(false);
    notifier.release()->deleteLater();
}

}  // namespace

struct SingleInstance::Connection {
    explicit Connection(UniqueFd socket) : fd(std::move(socket)), reader(kMaxRequestBytes) {}

    UniqueFd fd;
    LineReader reader;
    std::unique_ptr<QSocketNotifier> notifier;
};

SingleInstance::SingleInstance(const QString& key, QObject* parent)
    : QObject(parent),
      lockPath_(perUserFolder() + QLatin1Char('/') + perUserName(key, QStringLiteral(".lock"))),
      serverName_(socketPath(key, lockPath_)),
      lock_(lockPath_),
      requests_(EncodeRequest({}) + '\n') {
    // Only a lock whose owner process is gone counts as stale, never one that is merely old:
    // the program holds its lock for as long as it runs.
    lock_.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
    connections_.clear();
    if (listenFd_.valid()) {
        listenNotifier_.reset();
        removeSocketFile(serverName_);
    }
}

bool SingleInstance::claim() {
    error_.clear();
    if (claimed_) {
        return true;
    }
    if (!takeLock()) {
        return false;
    }
    claimed_ = true;
    listen();
    return true;
}

bool SingleInstance::takeLock() {
    if (lock_.tryLock(0)) {
        return true;
    }
    if (lock_.error() != QLockFile::LockFailedError) {
        error_ = lockFailureReason(lock_.error(), lockPath_);
        return false;
    }
    askRunningInstance();
    return false;
}

void SingleInstance::listen() {
    // Holding the lock proves that no live instance owns the socket; a file that a crashed one
    // left behind is replaced.
    SocketResult listening = sortwell::platform::listenUserOnly(nativePath(serverName_));
    if (!listening.fd.valid()) {
        error_ = QStringLiteral("Sortwell runs, but a second start cannot reach it: %1")
                     .arg(QString::fromStdString(listening.error));
        return;
    }
    listenFd_ = std::move(listening.fd);
    listenNotifier_ = std::make_unique<QSocketNotifier>(listenFd_.get(), QSocketNotifier::Read);
    connect(listenNotifier_.get(), &QSocketNotifier::activated, this,
            &SingleInstance::acceptRequests);
}

void SingleInstance::stopListening() {
    retire(listenNotifier_);
    removeSocketFile(serverName_);
    listenFd_ = UniqueFd();
}

void SingleInstance::handOverFiles(const std::vector<std::string>& paths) {
    requests_.clear();
    for (const std::string& path : paths) {
        requests_ += EncodeRequest({InstanceRequest::Kind::Present, path}) + '\n';
    }
    requests_ += EncodeRequest({}) + '\n';
}

void SingleInstance::handOverUndo() {
    requests_ = EncodeRequest({InstanceRequest::Kind::Undo, {}}) + '\n';
}

void SingleInstance::askRunningInstance() {
    // The running instance takes its lock a moment before it listens, so a start that
    // races it retries for a short while.
    const std::string path = nativePath(serverName_);
    SocketResult sent;
    for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
        sent = sortwell::platform::sendMessage(path, requests_, kConnectTimeoutMs);
        if (sent.error.empty()) {
            return;
        }
        if (!sent.nobodyListens) {
            break;
        }
        QThread::msleep(kRetryPauseMs);
    }
    error_ = QStringLiteral("Sortwell is already running but does not answer: %1")
                 .arg(QString::fromStdString(sent.error));
}

void SingleInstance::acceptRequests() {
    for (;;) {
        AcceptResult accepted = sortwell::platform::acceptFromSameUser(listenFd_.get());
        switch (accepted.status) {
            case AcceptStatus::Accepted:
                addConnection(std::move(accepted.fd));
                break;
            case AcceptStatus::Refused:
                qWarning("sortwell: %s", accepted.error.c_str());
                break;
            case AcceptStatus::NonePending:
                return;
            case AcceptStatus::Failed:
                // The socket stays ready, so going on would repeat the failure at once.
                qWarning("sortwell: a second start can no longer reach this one: %s",
                         accepted.error.c_str());
                stopListening();
                return;
        }
    }
}

void SingleInstance::addConnection(UniqueFd fd) {
    const int key = fd.get();
    auto connection = std::make_unique<Connection>(std::move(fd));
    connection->notifier = std::make_unique<QSocketNotifier>(key, QSocketNotifier::Read);
    connect(connection->notifier.get(), &QSocketNotifier::activated, this,
            [this, key] { readRequests(key); });
    connections_[key] = std::move(connection);
}

void SingleInstance::readRequests(int fd) {
    const auto found = connections_.find(fd);
    if (found == connections_.end()) {
        return;
    }
    LineReader& reader = found->second->reader;
    const LineReader::Status status = reader.readFrom(fd);
    if (status == LineReader::Status::Failed) {
        qWarning("sortwell: %s", reader.error().c_str());
    }
    bool understood = !reader.overlong();
    std::vector<InstanceRequest> requests;
    while (understood) {
        const std::optional<std::string> line = reader.takeLine();
        if (!line) {
            break;
        }
        std::optional<InstanceRequest> request = DecodeRequest(*line);
        understood = request.has_value();
        if (understood) {
            requests.push_back(std::move(*request));
        }
    }
    // Closed before the signals go out: a slot that runs an event loop could read again.
    if (!understood || status != LineReader::Status::Open) {
        closeConnection(fd);
    }
    for (const InstanceRequest& request : requests) {
        switch (request.kind) {
            case InstanceRequest::Kind::Present:
                emit presentRequested(QByteArray::fromStdString(request.path));
                break;
            case InstanceRequest::Kind::Undo:
                emit undoRequested();
                break;
            case InstanceRequest::Kind::Show:
                emit showRequested();
                break;
        }
    }
}

void SingleInstance::closeConnection(int fd) {
    const auto found = connections_.find(fd);
    retire(found->second->notifier);
    connections_.erase(found);
}
