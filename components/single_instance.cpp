#include "components/single_instance.h"

#include <unistd.h>

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace {

const QByteArray kShowRequest = QByteArrayLiteral("show\n");
// A request is one short line; anything longer is not from Sortwell.
constexpr qint64 kMaxRequestBytes = 64;
constexpr int kConnectAttempts = 10;
constexpr int kConnectTimeoutMs = 200;
constexpr int kRetryPauseMs = 100;

// The runtime folder is private to the user; the temp folder is shared, so there the user
// id in the name keeps users apart.
QString perUserFolder() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

QString perUserPath(const QString& key, const QString& suffix) {
    return perUserFolder() + QLatin1Char('/') + key + QLatin1Char('-') +
           QString::number(::getuid()) + suffix;
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

}  // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent)
    : QObject(parent),
      lockPath_(perUserPath(key, QStringLiteral(".lock"))),
      serverName_(perUserPath(key, QStringLiteral(".socket"))),
      lock_(lockPath_) {
    // Only a lock whose owner process is gone counts as stale, never one that is merely old:
    // the program holds its lock for as long as it runs.
    lock_.setStaleLockTime(0);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::acceptRequests);
}

SingleInstance::~SingleInstance() {
    server_.close();
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
    askRunningInstanceToShow();
    return false;
}

void SingleInstance::listen() {
    // Holding the lock proves that no live instance owns the socket; a crashed one may have
    // left its file behind, which would make listen() fail.
    QLocalServer::removeServer(serverName_);
    if (!server_.listen(serverName_)) {
        error_ = QStringLiteral("Sortwell runs, but a second start cannot reach it: %1")
                     .arg(server_.errorString());
    }
}

void SingleInstance::askRunningInstanceToShow() {
    // The running instance takes its lock a moment before it listens, so a start that
    // races it retries for a short while.
    QLocalSocket socket;
    for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
        socket.connectToServer(serverName_);
        if (socket.waitForConnected(kConnectTimeoutMs)) {
            socket.write(kShowRequest);
            const bool sent = socket.waitForBytesWritten(kConnectTimeoutMs);
            socket.disconnectFromServer();
            if (sent) {
                return;
            }
            break;
        }
        QThread::msleep(kRetryPauseMs);
    }
    error_ = QStringLiteral("Sortwell is already running but does not answer: %1")
                 .arg(socket.errorString());
}

void SingleInstance::acceptRequests() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        // The request may have arrived along with the connection.
        readRequest(socket);
    }
}

void SingleInstance::readRequest(QLocalSocket* socket) {
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMaxRequestBytes) {
            socket->abort();
        }
        return;
    }
    const QByteArray request = socket->readLine(kMaxRequestBytes);
    socket->disconnectFromServer();
    if (request == kShowRequest) {
        emit showRequested();
    }
}
