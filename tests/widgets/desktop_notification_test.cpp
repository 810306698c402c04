// The desktop notification against a notification service of the test's own, on a private
// session bus (the test runs under dbus-run-session).
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>
#include <QVariantMap>

#include "components/desktop_notification.h"

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
constexpr uint kGivenId = 7;
}  // namespace

// Records what it is asked to show and can say that a note was clicked.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QStringList summaries;
    QStringList bodies;
    QStringList actions;

public slots:
    uint Notify(const QString& /*app*/, uint /*replaces*/, const QString& /*icon*/,
                const QString& summary, const QString& body, const QStringList& noteActions,
                const QVariantMap& /*hints*/, int /*timeout*/) {
        summaries << summary;
        bodies << body;
        actions = noteActions;
        return kGivenId;
    }

signals:
    void ActionInvoked(uint id, const QString& action);
};

class DesktopNotificationTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(),
                 "run under dbus-run-session, as CTest does");
    }

    void init() {
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.registerObject(
            kPath, &service_, QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
        QVERIFY(bus.registerService(kService));
    }

    void cleanup() {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterService(kService);
        bus.unregisterObject(kPath);
        service_.summaries.clear();
        service_.bodies.clear();
    }

    void showsTheNoteWithAnActionForAClickOnIt() {
        DesktopNotification note;
        QSignalSpy answered(&note, &DesktopNotification::answered);
        note.show(QStringLiteral("scan0001.pdf is ready to be filed"),
                  QStringLiteral("Click to open the desk."));
        QVERIFY(answered.wait(5000));
        QCOMPARE(answered.front().front().toBool(), true);
        QCOMPARE(note.shownId(), kGivenId);
        QCOMPARE(service_.summaries,
                 QStringList{QStringLiteral("scan0001.pdf is ready to be filed")});
        QCOMPARE(service_.bodies, QStringList{QStringLiteral("Click to open the desk.")});
        QVERIFY(service_.actions.contains(QStringLiteral("default")));
    }

    void aClickOnItsOwnNoteOpensTheDeskAndOthersDoNot() {
        DesktopNotification note;
        QSignalSpy answered(&note, &DesktopNotification::answered);
        QSignalSpy activated(&note, &DesktopNotification::activated);
        note.show(QStringLiteral("a.pdf is ready to be filed"), QString());
        QVERIFY(answered.wait(5000));

        emit service_.ActionInvoked(kGivenId + 1, QStringLiteral("default"));
        emit service_.ActionInvoked(kGivenId, QStringLiteral("other"));
        emit service_.ActionInvoked(kGivenId, QStringLiteral("default"));
        QVERIFY(activated.wait(5000));
        QTest::qWait(100);
        QCOMPARE(activated.count(), 1);
    }

    void withoutAServiceTheNoteIsRefusedAndNothingWaits() {
        QDBusConnection::sessionBus().unregisterService(kService);
        DesktopNotification note;
        QSignalSpy answered(&note, &DesktopNotification::answered);
        note.show(QStringLiteral("b.pdf is ready to be filed"), QString());
        QVERIFY(answered.wait(5000));
        QCOMPARE(answered.front().front().toBool(), false);
        QCOMPARE(note.shownId(), 0U);
        QVERIFY(service_.summaries.isEmpty());
    }

private:
    FakeNotifications service_;
};

QTEST_MAIN(DesktopNotificationTest)
#include "desktop_notification_test.moc"
