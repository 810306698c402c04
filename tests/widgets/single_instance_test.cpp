#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include <array>

#include <QCoreApplication>
#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTest>

#include "components/single_instance.h"

namespace {

// Each case gets its own key, so cases and parallel test runs never meet.
QString uniqueKey() {
    static int counter = 0;
    return QStringLiteral("sortwell-test-%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(++counter);
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

        QLocalSocket wrongLine;
        wrongLine.connectToServer(first.serverName());
        QVERIFY(wrongLine.waitForConnected(5000));
        wrongLine.write("raise everything\n");
        QTRY_COMPARE_WITH_TIMEOUT(wrongLine.state(), QLocalSocket::UnconnectedState, 5000);

        QLocalSocket endless;
        endless.connectToServer(first.serverName());
        QVERIFY(endless.waitForConnected(5000));
        endless.write(QByteArray(200, 's'));
        QTRY_COMPARE_WITH_TIMEOUT(endless.state(), QLocalSocket::UnconnectedState, 5000);

        QCOMPARE(shows.count(), 0);
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
