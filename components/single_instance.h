#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QLockFile>
#include <QObject>
#include <QString>

#include "platform/unique_fd.h"

class QSocketNotifier;

// One running Sortwell per user: the first start holds a lock file and listens for requests
// on a user-only Unix socket; a later start asks that one to show its window and then leaves,
// so no second poller runs over the same input folder. Requests are lines, e.g. "show\n".
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // Instances with the same key exclude each other; tests pass their own key.
    explicit SingleInstance(const QString& key = QStringLiteral("sortwell"),
                            QObject* parent = nullptr);
    ~SingleInstance() override;

    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this process is now the one instance. False when another holds the lock (it
    // has then been asked to show itself, or been handed the files, see below) or when the
    // lock could not be taken; the caller exits either way, and errorString() says why when
    // the hand-over did not happen.
    bool claim();
    // What claim() hands to a running instance, instead of only asking it to show the desk.
    void handOverFiles(const std::vector<std::string>& paths);
    // What claim() asks of a running instance: take back its last filing.
    void handOverUndo();
    bool isClaimed() const { return claimed_; }
    // Empty after a clean claim or hand-over; otherwise the reason, fit to show the user.
    QString errorString() const { return error_; }

    QString lockFilePath() const { return lockPath_; }
    // The path of the socket the claiming instance listens on.
    QString serverName() const { return serverName_; }

signals:
    // Another start asked for the window.
    void showRequested();
    // Another start put this file into the input folder for the desk.
    void presentRequested(const QByteArray& path);
    // Another start asked to take back the last filing.
    void undoRequested();

private:
    struct Connection;

    bool takeLock();
    void listen();
    void stopListening();
    void askRunningInstance();
    void acceptRequests();
    void addConnection(sortwell::platform::UniqueFd fd);
    void readRequests(int fd);
    void closeConnection(int fd);

    QString lockPath_;
    QString serverName_;
    QLockFile lock_;
    bool claimed_ = false;
    QString error_;
    std::string requests_;
    sortwell::platform::UniqueFd listenFd_;
    // Declared after the descriptors, so that each notifier goes before its descriptor closes.
    std::unique_ptr<QSocketNotifier> listenNotifier_;
    std::map<int, std::unique_ptr<Connection>> connections_;
};
