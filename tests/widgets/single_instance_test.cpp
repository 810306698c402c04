#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstring>

#include <array>
#include <string>

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include "components/single_instance.h"
#include "platform/local_channel.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

using sortwell::platform::connectTo;
using sortwell::platform::sendAll;
using sortwell::platform::sendMessage;
using sortwell::platform::UniqueFd;

namespace {

// Each case gets its own key, so cases and parallel test runs never meet.
QString uniqueKey() {
    static int counter = 0;
    return QStringLiteral("sortwell-test-%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(++counter);
}

constexpr int kTimeoutMs = 5000;
constexpr int kSentAsNobody = 0;
constexpr int kRefusedByPermission = 3;
constexpr int kOtherFailure = 4;

std::string native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

UniqueFd connectToInstance(const SingleInstance& instance) {
    return std::move(connectTo(native(instance.serverName()), kTimeoutMs).fd);
}

// True once the other end has closed the connection; the server never writes to it.
bool closedByPeer(int fd) {
    char byte = 0;
    const ssize_t got = ::recv(fd, &byte, 1, MSG_DONTWAIT | MSG_PEEK);
    return got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK);
}

// A socket bound at `path` that never listens, as a process that died or hung before
// listen() leaves it.
UniqueFd boundWithoutListening(const QString& path) {
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, native(path).c_str(), sizeof(address.sun_path) - 1);
    if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        return UniqueFd();
    }
    return fd;
}

bool isSocketFile(const QString& path) {
    struct stat info {};
    return ::lstat(native(path).c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

// Sends a show request from a process of the user "nobody"; how that went, as an exit code.
int showRequestAsNobody(const QString& socketPath) {
    const std::string path = native(socketPath);
    return sortwell::test::exitCodeAsNobody([&path] {
        const auto sent = sendMessage(path, "show\n", kTimeoutMs);
        if (sent.error.empty()) {
            return kSentAsNobody;
        }
        const bool byPermission =
            !sent.nobodyListens && sent.error.find(std::strerror(EACCES)) != std::string::npos;
        return byPermission ? kRefusedByPermission : kOtherFailure;
    });
}

// A child process that claims the key and then waits to be killed.
class ClaimingChild {
public:
    explicit ClaimingChild(const QString& key) {
        std::array<int, 2> ready{};
        if (::pipe(ready.data()) != 0) {
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            SingleInstance holder(key);
            const char claimed = holder.claim() ? '1' : '0';
            if (::write(ready[1], &claimed, 1) != 1) {
                ::_exit(1);
            }
            for (;;) {
                ::pause();
            }
        }
        ::close(ready[1]);
        if (pid_ > 0 && ::read(ready[0], &claimed_, 1) != 1) {
            claimed_ = 0;
        }
        ::close(ready[0]);
    }
    ~ClaimingChild() { killHard(); }
    ClaimingChild(const ClaimingChild&) = delete;
    ClaimingChild& operator=(const ClaimingChild&) = delete;

    bool claimed() const { return pid_ > 0 && claimed_ == '1'; }

    void killHard() {
        if (pid_ <= 0) {
            return;
        }
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    char claimed_ = 0;
};

}  // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT

private slots:
    void theFirstStartClaimsInAPerUserPlace() {
        SingleInstance first(uniqueKey());
        QVERIFY(first.claim());
        QVERIFY(first.isClaimed());
        QVERIFY2(first.errorString().isEmpty(), qPrintable(first.errorString()));
        const QString uid = QString::number(::getuid());
        QVERIFY(first.lockFilePath().contains(uid));
        QVERIFY(first.serverName().contains(uid));
        QVERIFY(QFile::exists(first.lockFilePath()));
    }

    void aSecondStartFailsAndBringsTheFirstForward() {
        const QString key = uniqueKey();
        SingleInstance first(key);
        QVERIFY(first.claim());
        QSignalSpy shows(&first, &SingleInstance::showRequested);

        SingleInstance second(key);
        QVERIFY(!second.claim());
        QVERIFY(!second.isClaimed());
        QVERIFY2(second.errorString().isEmpty(), qPrintable(second.errorString()));
        QVERIFY(shows.wait(5000));
        QCOMPARE(shows.count(), 1);
    }

    void aSecondStartHandsOverItsFilesInOrderAndThenShowsTheDesk() {
        const QString key = uniqueKey();
        SingleInstance first(key);
        QVERIFY(first.claim());
        QSignalSpy presents(&first, &SingleInstance::presentRequested);
        QSignalSpy shows(&first, &SingleInstance::showRequested);

        SingleInstance second(key);
        second.handOverFiles({"/in/first.pdf", "/in/line\nbreak.pdf"});
        QVERIFY(!second.claim());
        QVERIFY2(second.errorString().isEmpty(), qPrintable(second.errorString()));
        QVERIFY(shows.wait(5000));
        QCOMPARE(presents.count(), 2);
        QCOMPARE(presents.at(0).at(0).toByteArray(), QByteArray("/in/first.pdf"));
        QCOMPARE(presents.at(1).at(0).toByteArray(), QByteArray("/in/line\nbreak.pdf"));
        QCOMPARE(shows.count(), 1);
    }

    void afterTheFirstEndsANewStartClaimsAndListens() {
        const QString key = uniqueKey();
        QString lockPath;
        {
            SingleInstance first(key);
            QVERIFY(first.claim());
            lockPath = first.lockFilePath();
        }
        QVERIFY(!QFile::exists(lockPath));

        SingleInstance next(key);
        QVERIFY(next.claim());
        QSignalSpy shows(&next, &SingleInstance::showRequested);
        SingleInstance another(key);
        QVERIFY(!another.claim());
        QVERIFY(shows.wait(5000));
    }

    void aStartKilledWithoutCleanupDoesNotBlockTheNext() {
        const QString key = uniqueKey();
        ClaimingChild child(key);
        QVERIFY(child.claimed());

        SingleInstance whileAlive(key);
        QVERIFY(!whileAlive.claim());

        child.killHard();
        QVERIFY(QFile::exists(whileAlive.lockFilePath()));
        QVERIFY(QFile::exists(whileAlive.serverName()));

        SingleInstance next(key);
        QVERIFY(next.claim());
        QVERIFY2(next.errorString().isEmpty(), qPrintable(next.errorString()));
        QSignalSpy shows(&next, &SingleInstance::showRequested);
        SingleInstance later(key);
        QVERIFY(!later.claim());
        QVERIFY(shows.wait(5000));
    }

    void onlyTheShowRequestBringsTheWindowForward() {
        const QString key = uniqueKey();
        SingleInstance first(key);
        QVERIFY(first.claim());
        QSignalSpy shows(&first, &SingleInstance::showRequested);

        const UniqueFd wrongLine = connectToInstance(first);
        QVERIFY(wrongLine.valid());
        QVERIFY(sendAll(wrongLine.get(), "raise everything\n").empty());
        QTRY_VERIFY_WITH_TIMEOUT(closedByPeer(wrongLine.get()), kTimeoutMs);

        const UniqueFd endless = connectToInstance(first);
        QVERIFY(endless.valid());
        QVERIFY(sendAll(endless.get(), std::string(20000, 's')).empty());
        QTRY_VERIFY_WITH_TIMEOUT(closedByPeer(endless.get()), kTimeoutMs);

        QCOMPARE(shows.count(), 0);
    }

    void aStaleSocketFileIsReplacedAndTheNewInstanceAnswers() {
        const QString key = uniqueKey();
        SingleInstance next(key);
        QVERIFY(boundWithoutListening(next.serverName()).valid());
        QVERIFY(isSocketFile(next.serverName()));

        QVERIFY(next.claim());
        QVERIFY2(next.errorString().isEmpty(), qPrintable(next.errorString()));
        QSignalSpy shows(&next, &SingleInstance::showRequested);
        SingleInstance later(key);
        QVERIFY(!later.claim());
        QVERIFY2(later.errorString().isEmpty(), qPrintable(later.errorString()));
        QVERIFY(shows.wait(kTimeoutMs));
    }

    void aSocketHeldByALeftoverThatDoesNotListenIsRecovered() {
        const QString key = uniqueKey();
        SingleInstance next(key);
        const UniqueFd leftover = boundWithoutListening(next.serverName());
        QVERIFY(leftover.valid());

        QVERIFY(next.claim());
        QVERIFY2(next.errorString().isEmpty(), qPrintable(next.errorString()));
        QSignalSpy shows(&next, &SingleInstance::showRequested);
        SingleInstance later(key);
        QVERIFY(!later.claim());
        QVERIFY(shows.wait(kTimeoutMs));
    }

    void aRequestArrivingInPiecesIsReadWhole() {
        SingleInstance first(uniqueKey());
        QVERIFY(first.claim());
        QSignalSpy shows(&first, &SingleInstance::showRequested);

        const UniqueFd client = connectToInstance(first);
        QVERIFY(client.valid());
        for (const char* piece : {"s", "ho"}) {
            QVERIFY(sendAll(client.get(), piece).empty());
            // Lets the instance read the piece on its own before the next one comes.
            QTest::qWait(100);
            QCOMPARE(shows.count(), 0);
            QVERIFY(!closedByPeer(client.get()));
        }
        QVERIFY(sendAll(client.get(), "w\n").empty());
        QVERIFY(shows.wait(kTimeoutMs));
        QCOMPARE(shows.count(), 1);
    }

    void anotherUserCannotOpenTheSocket() {
        if (::geteuid() != 0) {
            QSKIP("needs root to run a process as another user");
        }
        // A folder of the test's own, so that only the socket's mode stands in the way.
        const sortwell::test::TempDir runtime;
        const sortwell::test::ScopedEnv runtimeDir("XDG_RUNTIME_DIR", runtime.str());
        SingleInstance first(uniqueKey());
        QVERIFY(first.claim());
        QVERIFY(first.serverName().startsWith(QString::fromStdString(runtime.str())));
        QVERIFY(::chmod(runtime.path().c_str(), 0711) == 0);
        QCOMPARE(sortwell::test::permissions(native(first.serverName())), 0600U);
        QSignalSpy shows(&first, &SingleInstance::showRequested);

        QCOMPARE(showRequestAsNobody(first.serverName()), kRefusedByPermission);

        // Requests are taken in order, so once the user's own one is in, the other is done.
        QVERIFY(sendMessage(native(first.serverName()), "show\n", kTimeoutMs).error.empty());
        QVERIFY(shows.wait(kTimeoutMs));
        QCOMPARE(shows.count(), 1);
    }

    void aPeerOfAnotherUserIsIgnoredEvenWhereTheFileLetsItIn() {
        if (::geteuid() != 0) {
            QSKIP("needs root to run a process as another user");
        }
        const sortwell::test::TempDir runtime;
        const sortwell::test::ScopedEnv runtimeDir("XDG_RUNTIME_DIR", runtime.str());
        SingleInstance first(uniqueKey());
        QVERIFY(first.claim());
        QVERIFY(::chmod(runtime.path().c_str(), 0711) == 0);
        QVERIFY(::chmod(native(first.serverName()).c_str(), 0666) == 0);
        QSignalSpy shows(&first, &SingleInstance::showRequested);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("user 65534")));

        QCOMPARE(showRequestAsNobody(first.serverName()), kSentAsNobody);

        QVERIFY(sendMessage(native(first.serverName()), "show\n", kTimeoutMs).error.empty());
        QVERIFY(shows.wait(kTimeoutMs));
        QCOMPARE(shows.count(), 1);
    }

    void aLockThatCannotBeWrittenIsReportedNotHandedOver() {
        SingleInstance nowhere(QStringLiteral("no-such-folder-%1/sortwell").arg(uniqueKey()));
        QVERIFY(!nowhere.claim());
        QVERIFY(!nowhere.isClaimed());
        QVERIFY(nowhere.errorString().contains(nowhere.lockFilePath()));
    }

    void claimingTwiceKeepsTheClaim() {
        SingleInstance first(uniqueKey());
        QVERIFY(first.claim());
        QVERIFY(first.claim());
        QVERIFY(first.isClaimed());
    }
};

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
